#pragma once

#include <QtGlobal>

// The settings the whole program shares. The settings dialog writes them; the transfer
// windows read them. Nothing is kept between runs.
namespace ProgramSettings {

inline qint16 intBoard = 0;                  // 8088 or 8052; 0 until the first OK
inline qint16 blnChinese = 0;                // 0 English, 1 Traditional Chinese
inline bool blnSettingFromWindow = false;    // the settings dialog was opened from a window

} // namespace ProgramSettings
