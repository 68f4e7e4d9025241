#pragma once

#include "boardstation.h"
#include "language.h"
#include "transfer.h"

#include <QString>

// The texts of a transfer window in English and Traditional Chinese. The frames name the
// board (VXT-8088, VXT-8052); every other text but one tooltip is the same in both windows.
namespace WindowTexts {

QString sendFrame(Language language, const QString &boardName);      // "PC to VXT-8088"
QString receiveFrame(Language language, const QString &boardName);   // "VXT-8088 to PC"
QString sourceLabel(Language language);
QString targetLabel(Language language);
QString sourceFieldTip(Language language);
QString targetFieldTip(Language language);
QString browseTip(Language language);
// The transfer buttons' caption and tooltip, at rest and while their transfer runs. The
// Chinese tooltip of the running download is the one text that differs between the boards.
struct ButtonTexts {
    QString caption;
    QString toolTip;
};
ButtonTexts downloadIdle(Language language);
ButtonTexts uploadIdle(Language language);
ButtonTexts downloadRunning(Language language, Board board);
ButtonTexts uploadRunning(Language language);

// The menu bar: View > Examples..., Setting, Help > Content... and About...
QString viewMenu(Language language);
QString examplesItem(Language language);
QString settingCommand(Language language);
QString helpMenu(Language language);
QString contentItem(Language language);
QString aboutItem(Language language);

// Help > Content or View > Examples when the document at `path` is missing or no program
// could open it.
QString cannotOpen(Language language, const QString &path, bool missing);

// The status line below the banner: the port the window uses, the network address behind
// it, and how its line stands ("COM5 — rfc2217://labpi:3001 — open"). Empty while no
// port is chosen.
QString portStatus(Language language, const StationState &state);

} // namespace WindowTexts
