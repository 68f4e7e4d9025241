// autorun: the start menu of the kit's distribution disc.
#include "autorun_window.h"
#include "launchertexts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(autorun::LauncherTexts::programTitle());
    // Qt's own texts (the message box's button) in Chinese where the report is.
    QTranslator qtTexts;
    if (autorun::languageOf(QLocale()) == autorun::Language::Chinese
        && qtTexts.load(QStringLiteral("qtbase_zh_TW"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    autorun::AutorunWindow window;
    // A page picture that cannot be loaded ends the program before the window is shown.
    if (const auto error = window.Form_Load()) {
        autorun::showPictureError(nullptr, *error);
        return autorun::kPictureErrorExitCode;
    }
    window.showCentred();
    return app.exec();
}
