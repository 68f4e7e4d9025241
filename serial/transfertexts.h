#pragma once

#include "transfer.h"

#include <QString>

// The texts the transfers show: button texts while running, progress titles, the
// messages at the end and the messages for a transfer that cannot go on. `chinese` is the
// program's language flag (non-zero: Traditional Chinese).
namespace TransferTexts {

struct ButtonTexts {
    QString caption;
    QString toolTip;
};

struct Message {
    QString title;
    QString text;
};

// The program's title, carried by message boxes that have no title of their own.
QString programTitle();

ButtonTexts downloadRunning(int chinese, const QString &chineseToolTip);
ButtonTexts uploadRunning(int chinese);

// "　Transferring..." / "　Receiving..." and their Chinese forms.
QString sending(int chinese);
QString receiving(int chinese);
// "25%": a whole percentage, at least two digits.
QString percent(int value);
// "1234(4D2H)"
QString countWithHex(qint64 count);

Message downloadFinished(int chinese, qint64 count);
Message uploadFinished(int chinese, qint64 count);
Message fileTooLarge(int chinese);
// Why a transfer could not start or stopped; `detail` adds what the system said, and
// `kept`, when not negative, how many received bytes the target file holds.
Message fault(int chinese, TransferFault fault, const QString &detail = {}, qint64 kept = -1);

// The file-type list of the browse dialogs.
QString fileFilter(int chinese);

} // namespace TransferTexts
