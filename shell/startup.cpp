#include "startup.h"

#include "serialhost.h"
#include "splashwindow.h"

SplashWindow *startUp(SerialHost &host)
{
    auto *splash = new SplashWindow;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(splash, &SplashWindow::leaving, &host, &SerialHost::Form_Load);
    splash->start();
    return splash;
}
