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

} // namespace SettingsTexts
