#include "appearance.h"
#include "programversion.h"
#include "serialhost.h"
#include "startup.h"

#include <QApplication>
#include <QIcon>
#include <QList>

#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt ends the program with an abort and advice to reinstall it. While
// the application is made, Qt's messages are held back: should it give up, the user gets
// one line that says what is wrong, and status 1; otherwise the messages go out as usual.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QList<HeldMessage> heldMessages;

void holdMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        heldMessages.append({type, QByteArray(context.category), text});
        return;
    }
    const QByteArray x11 = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const QByteArray display = !x11.isEmpty()       ? "DISPLAY=" + x11
                               : !wayland.isEmpty() ? "WAYLAND_DISPLAY=" + wayland
                                                    : QByteArray("DISPLAY is not set");
    std::fprintf(stderr, "Kestrion needs a display and none could be opened (%s); kestrion-cli works without one.\n",
                 display.constData());
    std::_Exit(1);
}

} // namespace

int main(int argc, char *argv[])
{
    const QtMessageHandler usual = qInstallMessageHandler(holdMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(usual);
    for (const HeldMessage &message : std::as_const(heldMessages))
        usual(message.type, QMessageLogContext(nullptr, 0, nullptr, message.category.constData()), message.text);
    heldMessages.clear();

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
