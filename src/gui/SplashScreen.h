#pragma once
// The picture shown while the program starts: it may close one second after it appeared, or at
// once when the user presses Escape.

#include <QWidget>

class QTimer;

namespace kvor {

class SplashScreen final : public QWidget
{
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);
    ~SplashScreen() override;

    bool readyToClose() const { return m_readyToClose; }

    // Shows the window; ready() follows when it may close.
    void start();

signals:
    // The delay is over or the user pressed Escape; sent once per start().
    void ready();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void delayOver();
    void becomeReady();

    QTimer* m_delay;
    bool m_readyToClose = false;
    bool m_keyboardGrabbed = false;
};

} // namespace kvor
