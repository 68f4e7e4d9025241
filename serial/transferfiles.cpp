#include "transferfiles.h"

#include <QFile>
#include <QFileInfo>

namespace VXT8088_8052 {

bool CheckFileExists(const QString &strPath)
{
    if (strPath.isEmpty())
        return false;
    return QFileInfo(strPath).isFile();
}

void RemoveFile(const QString &strPath)
{
    if (strPath.isEmpty())
        return;
    const QFileInfo info(strPath);
    if (info.isSymLink()) {
        QFile::remove(strPath);   // the link itself, never what it points to
        return;
    }
    if (!info.isFile())
        return;
    if (!(info.permissions() & QFile::WriteOwner))
        return;   // read-only files are kept
    QFile::remove(strPath);
}

} // namespace VXT8088_8052
