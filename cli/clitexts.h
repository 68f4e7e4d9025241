#pragma once

#include "transfer.h"
#include "transfertexts.h"

#include <QString>

// The command-line program's own texts in English and Traditional Chinese. The texts it
// shares with the transfer window (the finishing messages, the faults) come from
// TransferTexts.
namespace CliTexts {

QString description(Language language);
QString boardOption(Language language);
QString portOption(Language language);
QString waitOption(Language language);
QString langOption(Language language);
QString commandArgument(Language language);
QString fileArgument(Language language);
// The names of the values in the usage: <PORT>, <SECONDS>, command, FILE.
QString portValueName(Language language);
QString secondsValueName(Language language);
QString commandName(Language language);
QString fileName(Language language);

QString usageHint(Language language);
QString missingCommand(Language language);
QString unknownCommand(Language language, const QString &command);
QString missingOption(Language language, const QString &option);
QString badBoard(Language language, const QString &value);
QString badPort(Language language, const QString &value);
QString onePortForUpload(Language language);
QString portNamedTwice(Language language, const QString &value);
QString badWait(Language language, const QString &value);
QString waitIsForUpload(Language language);
QString badLanguage(Language language, const QString &value);
QString fileCount(Language language, int expected);

QString noPorts(Language language);
QString progressLine(Language language, const TransferProgress &progress, qint64 bytesPerSecond);
QString interrupted(Language language, const TransferOutcome &outcome);
// An upload that stored no byte; `silentSeconds` above 0 when it ended because the board
// had been silent that long.
QString nothingReceived(Language language, const TransferOutcome &outcome, qint64 silentSeconds);
// An upload given up in the middle of the board's data.
QString unfinished(Language language, const TransferOutcome &outcome, qint64 silentSeconds);

} // namespace CliTexts
