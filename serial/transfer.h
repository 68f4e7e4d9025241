#pragma once

#include <QtGlobal>

// Why a transfer could not start or could not go on. The windows turn these into
// messages in the user's language.
enum class TransferFault {
    None,
    SourceUnreadable,   // the file to send cannot be opened or read
    SourceEmpty,        // the file to send holds no byte
    SourceTooLarge,     // more than the board can take
    TargetNotAFile,     // the file to write is a folder, a device or a pipe
    TargetUnwritable,   // the file to write cannot be created or written
    TargetReadOnly,     // the file to write is marked read-only and was left alone
    PortClosed,         // the port is closed and could not be opened again
    PortFailed,         // the port stopped working during the transfer
};

// What one step of a transfer came to.
struct TransferStep {
    enum Kind {
        Continue,      // more to do; the event loop calls again
        Completed,     // download: the whole stream went to the port;
                       // upload: it ended with its file written and closed
        Interrupted,   // download: the user stopped it;
                       // upload: it ended before anything arrived (no file)
        Failed,        // see fault
    };
    Kind kind = Continue;
    int percent = -1;    // the progress when it changed in this step, else -1
    qint64 count = -1;   // uploads that show a count instead: the count after this step
    bool endCharacter = false;   // the board closed its stream in this step
    TransferFault fault = TransferFault::None;
};

// Percentage of `done` out of `total`, rounded to a whole number, halves up.
inline int roundedPercent(qint64 done, qint64 total)
{
    if (total <= 0)
        return 0;
    return int((done * 200 + total) / (total * 2));
}
