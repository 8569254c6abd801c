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

    // Shows the window and lets it paint before start-up goes on.
    void start();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void delayOver();

    QTimer* m_delay;
    bool m_readyToClose = false;
    bool m_keyboardGrabbed = false;
};

} // namespace kvor
