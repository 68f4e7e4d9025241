#include "upload.h"

#include <QFileInfo>

#include <windows.h>

SystemError Upload::folderRefusal(const QString &folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.exists())
        return systemError(ERROR_PATH_NOT_FOUND);
    if (!info.isDir())
        return systemError(ERROR_DIRECTORY);
    if (!info.isWritable())
        return systemError(ERROR_ACCESS_DENIED);
    return {};
}
