// autorun: the start menu of the kit's distribution disc.
#include "autorun_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(autorun::kProgramTitle));

    autorun::AutorunWindow window;
    // A page picture that cannot be loaded ends the program before the window is shown.
    if (const auto error = window.Form_Load()) {
        autorun::showPictureError(nullptr, *error);
        return autorun::kPictureErrorExitCode;
    }
    window.showCentred();
    return app.exec();
}
