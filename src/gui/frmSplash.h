#pragma once
// The picture shown while the program starts: it may close one second after it appeared, or at
// once when the user presses Escape.

#include <QTimer>
#include <QWidget>

namespace kvor {

class frmSplash final : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    ~frmSplash() override;

    bool ReadyToClose() const { return m_readyToClose; }
    QTimer* tmrDelay() { return &m_tmrDelay; }

    // Shows the window and lets it paint before start-up goes on.
    void Form_Load();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void tmrDelay_Timer();

    QTimer m_tmrDelay;
    bool m_readyToClose = false;
    bool m_keyboardGrabbed = false;
};

} // namespace kvor
