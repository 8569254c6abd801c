#include "gui/frmSplash.h"

#include "gui/Icons.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace kvor {

namespace {
constexpr int kDelayMs = 1000;
const QSize kSplashSize(560, 300);
} // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("KVOR"));
    setAccessibleName(QStringLiteral("KVOR"));
    setFixedSize(kSplashSize);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    m_tmrDelay.setObjectName(QStringLiteral("tmrDelay"));
    m_tmrDelay.setSingleShot(false);
    connect(&m_tmrDelay, &QTimer::timeout, this, &frmSplash::tmrDelay_Timer);
}

frmSplash::~frmSplash()
{
    if (m_keyboardGrabbed) {
        releaseKeyboard();
    }
}

void frmSplash::Form_Load()
{
    m_readyToClose = false;
    m_tmrDelay.setInterval(kDelayMs);
    m_tmrDelay.start();
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
    QCoreApplication::processEvents();
}

void frmSplash::tmrDelay_Timer()
{
    m_tmrDelay.stop();
    m_readyToClose = true;
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        m_readyToClose = true;
        m_tmrDelay.stop();
        hide();
        return;
    }
    event->accept();
}

void frmSplash::hideEvent(QHideEvent* event)
{
    if (m_keyboardGrabbed) {
        releaseKeyboard();
        m_keyboardGrabbed = false;
    }
    QWidget::hideEvent(event);
}

void frmSplash::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, SplashPicture(size()));
}

} // namespace kvor
