#pragma once

#include "language.h"
#include "transfer.h"

#include <QString>

// The texts the transfers show: progress titles, the messages at the end and the messages
// for a transfer that cannot go on, in English or Traditional Chinese.
namespace TransferTexts {

struct Message {
    QString title;
    QString text;
};

// The program's title, carried by message boxes that have no title of their own.
QString programTitle();

// "　Transferring..." / "　Receiving..." and their Chinese forms.
QString sending(Language language);
QString receiving(Language language);
// "25%": a whole percentage, at least two digits.
QString percent(int value);
// A name or an address from a file or the command line as a text may show it: control
// characters written as escapes (\x1B, \x00), so that it cannot move the terminal's
// cursor, retitle or clear it, or cut the message short.
QString printable(const QString &text);
// "1234(4D2H)"
QString countWithHex(qint64 count);

// What the window and kestrion-cli tell when a transfer has ended, and how. A fault is a
// warning. A download that went through, and an upload that made its file however it
// ended, tell their count. An interrupted download, and an upload that ended before
// anything came, say nothing.
struct Ending {
    enum Tone { Silent, Information, Warning };
    Tone tone = Silent;
    Message message;
};
Ending ending(Language language, const TransferOutcome &outcome);

// The parts of those endings:
Message downloadFinished(Language language, qint64 count);
// The count, and a word where the stream was not what the board should send: fewer or
// more bytes than the 8052 announced, characters that are no hexadecimal digits, a last
// digit without its pair.
Message uploadFinished(Language language, const TransferOutcome &outcome);
// Those words alone; empty when the stream was as it should be.
QString uploadRemarks(Language language, const TransferOutcome &outcome);
Message fileTooLarge(Language language);
// Why a transfer could not start or stopped, what the system said in our words, and what
// was sent or what the target file keeps.
Message fault(Language language, const TransferOutcome &outcome);
// Why the port could not be opened, and what to do.
QString portError(Language language, const PortError &error);
// What is wrong with a network address: a clause to follow a colon. `option`: the option
// at fault, where the problem is one.
QString addressProblem(Language language, AddressProblem problem, const QString &option = {});
// The port stopped working while no transfer ran; `address`: the network address behind
// it, if any.
Message portLost(Language language, const QString &portName, const QString &address = {});
// A reason the system gave (its error number and text), in our words where we know the
// number, else its own text.
QString systemReason(Language language, const SystemError &error);

// The file-type list of the browse dialogs.
QString fileFilter(Language language);

} // namespace TransferTexts
