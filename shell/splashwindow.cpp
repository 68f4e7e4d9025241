#include "splashwindow.h"

#include "openinganimation.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {
// The picture is 640 x 470: its last two rows fall outside the window.
constexpr QSize WindowSize(640, 468);
// Behind the picture: the dark blue at its foot, should the picture be missing.
constexpr QRgb BackgroundColour = qRgb(0x05, 0x0F, 0x33);
} // namespace

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_picture(QStringLiteral(":/assets/splash.jpg"))
    , tmrLogo(new QTimer(this))
{
    setObjectName(QStringLiteral("frmLogo"));
    // Never drawn: the window has no title bar.
    setWindowTitle(QStringLiteral("Valtrona"));
    setFixedSize(WindowSize);

    tmrLogo->setObjectName(QStringLiteral("tmrLogo"));
    tmrLogo->setInterval(waitMs);
    tmrLogo->setSingleShot(true);
    connect(tmrLogo, &QTimer::timeout, this, &SplashWindow::leave);
}

void SplashWindow::start()
{
    if (m_started || m_left)
        return;
    m_started = true;
    tmrLogo->start();

    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) {
        show();
        return;
    }
    const QRect desktop = screen->geometry();
    move(desktop.center() - rect().center());

    auto *opening = new OpeningAnimation(this);
    connect(opening, &OpeningAnimation::finished, this, [this, opening] {
        opening->deleteLater();
        if (!m_left)
            show();
    });
    const ScreenRect from = animationStartRect(ScreenRect::fromQRect(desktop));
    opening->play(from.toQRect(), geometry());
}

void SplashWindow::showEvent(QShowEvent *event)
{
    // Shown without start(): the wait begins now.
    if (!m_started && !m_left) {
        m_started = true;
        tmrLogo->start();
    }
    QWidget::showEvent(event);
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(BackgroundColour));
    painter.drawPixmap(0, 0, m_picture);   // unscaled, from the top-left corner
}

void SplashWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (rect().contains(event->position().toPoint()))
        leave();
}

void SplashWindow::leave()
{
    if (m_left)
        return;
    m_left = true;
    tmrLogo->stop();
    emit leaving();
    close();
}
