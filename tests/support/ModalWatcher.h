#pragma once
// Acts on a window that a command opens modally (the report editor over a dialog), then closes it,
// so that a test can drive the command and look inside the window while it is open.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace kvor::test {

class ModalWatcher final
{
public:
    // `onOpen` runs once for every modal window with this object name; the window is closed
    // afterwards unless `onOpen` returns false.
    ModalWatcher(const QString& objectName, std::function<bool(QWidget*)> onOpen)
        : m_name(objectName), m_onOpen(std::move(onOpen))
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal->objectName() != m_name || modal == m_last) {
                return;
            }
            m_last = modal;
            ++seen;
            if (m_onOpen(modal)) {
                modal->close();
            }
        });
        m_timer.start();
    }

    int seen = 0;

private:
    QString m_name;
    std::function<bool(QWidget*)> m_onOpen;
    QTimer m_timer;
    QPointer<QWidget> m_last;
};

} // namespace kvor::test
