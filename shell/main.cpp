#include "appearance.h"
#include "programversion.h"
#include "serialhost.h"
#include "startup.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Qt's own file dialogs, not the desktop's: their texts follow the language chosen in
    // the settings dialog, which a desktop's dialog would not.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    // No display name: the window system would append it to every window title.
    QApplication::setApplicationName(QStringLiteral("Kestrion"));
    QApplication::setApplicationVersion(fileVersionString(programVersion()));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));

    applyProgramAppearance(app);

    SerialHost host;
    host.endOnTerminationSignals();
    startUp(host);
    return app.exec();
}
