#include "boardprofile.h"

const BoardProfile &vxt8088Profile()
{
    static const BoardProfile profile{
        Board::Vxt8088,
        QStringLiteral("frmVXT8088"),
        QStringLiteral("VXT-8088 RS-232C System"),
        QStringLiteral("VXT-8088"),
        QStringLiteral("/../Dos/VXT-8088"),
    };
    return profile;
}

const BoardProfile &vxt8052Profile()
{
    static const BoardProfile profile{
        Board::Vxt8052,
        QStringLiteral("frmVXT8052"),
        QStringLiteral("VXT-8052 RS-232C System"),
        QStringLiteral("VXT-8052"),
        QStringLiteral("/../Dos/VXT-8052"),
    };
    return profile;
}

const BoardProfile &profileForBoard(Board board)
{
    return board == Board::Vxt8052 ? vxt8052Profile() : vxt8088Profile();
}
