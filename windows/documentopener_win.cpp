#include "documentopener.h"

#include <QDesktopServices>

// The shell opens the document on its own: there is nothing to wait for.
bool openDocument(QObject *owner, const QUrl &url, std::function<void()> failed)
{
    Q_UNUSED(owner);
    Q_UNUSED(failed);
    return QDesktopServices::openUrl(url);
}
