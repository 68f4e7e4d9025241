#include "documentopener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

bool openDocument(QObject *owner, const QUrl &url, std::function<void()> failed)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        auto *process = new QProcess(owner);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        QObject::connect(process, &QProcess::finished, owner, [process, failed](int status, QProcess::ExitStatus how) {
            if (how != QProcess::NormalExit || status != 0)
                failed();
            process->deleteLater();
        });
        QObject::connect(process, &QProcess::errorOccurred, owner, [process, failed](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            failed();
            process->deleteLater();
        });
        process->start(opener, {QString::fromLatin1(url.toEncoded())});
        return true;
    }
    return QDesktopServices::openUrl(url);
}
