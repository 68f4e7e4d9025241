#pragma once

#include "transfer.h"
#include "transfertexts.h"

#include <QList>
#include <QString>

// The texts of the settings dialog in English and Traditional Chinese. The names of the
// languages and of the boards read the same in both.
namespace SettingsTexts {

QString caption(Language language);
QString languageFrame(Language language);
QString portLabel(Language language);
QString okButton(Language language);
QString exitButton(Language language);

// OK with an empty list: the devices that are there but cannot be used, or else what to
// look at.
QString noPortFound(Language language, const QList<PortError> &unavailable);
// OK with nothing chosen in the list.
QString noPortSelected(Language language);

// The note below the list: one line for each kind of fault, naming the COM numbers it
// concerns ("COM1–COM3, COM7: refused the connection: ..."). A fault of one port alone,
// and one that is not about a COM number (the set-up of the numbers), keep their own
// sentence, with the device or address.
QStringList portNote(Language language, const QList<PortError> &unavailable);
// "COM1–COM3, COM7": runs of numbers with an en dash, the others by commas.
QString comNumbers(Language language, QList<int> numbers);
// Lists the ports anew without leaving the dialog.
QString tryAgainButton(Language language);

} // namespace SettingsTexts
