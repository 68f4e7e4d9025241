#pragma once

#include <QPixmap>
#include <QWidget>

class QTimer;

// The start-up splash frmLogo: the product picture, frameless and centred, until its
// timer runs out or the user clicks it. Either way it emits leaving() once, then closes.
//
//   auto *splash = new SplashWindow;
//   splash->setAttribute(Qt::WA_DeleteOnClose);
//   QObject::connect(splash, &SplashWindow::leaving, ...show the serial host...);
//   splash->start();
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int waitMs = 5000;

    explicit SplashWindow(QWidget *parent = nullptr);

    // Loads the splash: starts tmrLogo, centres the window on the primary screen and
    // plays the opening frame from the screen's centre to the window; the window shows
    // when the frame has reached it.
    void start();

signals:
    // Time to go on to the serial host. Emitted exactly once, just before closing.
    void leaving();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // On tmrLogo's timeout or a click, whichever comes first.
    void leave();

    QPixmap m_picture;
    QTimer *tmrLogo;
    bool m_started = false;
    bool m_left = false;
};
