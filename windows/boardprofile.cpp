#include "boardprofile.h"

#include "download.h"
#include "upload.h"

const BoardProfile &vxt8088Profile()
{
    static const BoardProfile profile{
        8088,
        QStringLiteral("frmVXT8088"),
        QStringLiteral("VXT-8088 RS-232C System"),
        QStringLiteral("VXT-8088"),
        QStringLiteral("/../Dos/VXT-8088"),
        QStringLiteral("中斷下載檔案"),
        false,
        [] { return std::unique_ptr<Download>(new HexDownload); },
        [](std::function<qint64()>) { return std::unique_ptr<Upload>(new HexUpload); },
    };
    return profile;
}

const BoardProfile &vxt8052Profile()
{
    static const BoardProfile profile{
        8052,
        QStringLiteral("frmVXT8052"),
        QStringLiteral("VXT-8052 RS-232C System"),
        QStringLiteral("VXT-8052"),
        QStringLiteral("/../Dos/VXT-8052"),
        QStringLiteral("中斷傳送檔案"),
        true,
        [] { return std::unique_ptr<Download>(new RawDownload); },
        [](std::function<qint64()> announcedLength) {
            return std::unique_ptr<Upload>(new RawUpload(std::move(announcedLength)));
        },
    };
    return profile;
}

const BoardProfile &profileForBoard(int board)
{
    return board == 8052 ? vxt8052Profile() : vxt8088Profile();
}
