#include "serialhost.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // No display name: the window system would append it to every window title.
    QApplication::setApplicationName(QStringLiteral("Kestrion"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));

    // The Chinese captions name Ming faces that are rarely installed outside Windows;
    // fall back on a Ming face that is, so that they never show as boxes.
    const QStringList ming{QStringLiteral("MingLiU"), QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW"),
                           QStringLiteral("AR PL UMing HK"), QStringLiteral("AR PL UMing CN")};
    QFont::insertSubstitutions(QStringLiteral("細明體"), ming);
    QFont::insertSubstitutions(QStringLiteral("新細明體"), ming);

    SerialHost host;
    host.Form_Load();
    return app.exec();
}
