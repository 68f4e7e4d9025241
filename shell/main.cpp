#include "appearance.h"
#include "serialhost.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // No display name: the window system would append it to every window title.
    QApplication::setApplicationName(QStringLiteral("Kestrion"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));

    applyProgramAppearance(app);

    SerialHost host;
    host.Form_Load();
    return app.exec();
}
