#include "gui/SplashScreen.h"

#include "gui/Icons.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>

namespace kvor {

namespace {
constexpr int kDelayMs = 1000;
} // namespace

SplashScreen::SplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_delay(new QTimer(this))
{
    setObjectName(QStringLiteral("splashScreen"));
    setWindowTitle(QStringLiteral("KVOR"));
    setAccessibleName(QStringLiteral("KVOR"));
    // The picture is drawn for this size; scaling keeps it sharp.
    setFixedSize(QSvgRenderer(QString::fromLatin1(icon::kSplash)).defaultSize());
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    m_delay->setObjectName(QStringLiteral("closeDelay"));
    connect(m_delay, &QTimer::timeout, this, &SplashScreen::delayOver);
}

SplashScreen::~SplashScreen()
{
    if (m_keyboardGrabbed) {
        releaseKeyboard();
    }
}

void SplashScreen::start()
{
    m_readyToClose = false;
    m_delay->setInterval(kDelayMs);
    m_delay->start();
    setCursor(Qt::WaitCursor);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
    // The splash has no controls: every key comes to the window itself.
    grabKeyboard();
    m_keyboardGrabbed = true;
}

void SplashScreen::delayOver()
{
    m_delay->stop();
    becomeReady();
}

void SplashScreen::becomeReady()
{
    if (!m_readyToClose) {
        m_readyToClose = true;
        emit ready();
    }
}

void SplashScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        m_delay->stop();
        becomeReady();
        hide();
        return;
    }
    event->accept();
}

void SplashScreen::hideEvent(QHideEvent* event)
{
    if (m_keyboardGrabbed) {
        releaseKeyboard();
        m_keyboardGrabbed = false;
    }
    QWidget::hideEvent(event);
}

void SplashScreen::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    PaintSvg(icon::kSplash, p, rect());
}

} // namespace kvor
