#pragma once

#include "transfertexts.h"

#include <QtGlobal>

// The settings the whole program shares. The settings dialog writes them; the shell hands
// them to the transfer window. Nothing is kept between runs.
namespace ProgramSettings {

inline qint16 intBoard = 0;                  // 8088 or 8052; 0 until the first OK
inline qint16 blnChinese = 0;                // 0 English, 1 Traditional Chinese
inline bool blnSettingFromWindow = false;    // the settings dialog was opened from a window

// The board chosen; the 8088 until the first OK.
inline Board board()
{
    return intBoard == 8052 ? Board::Vxt8052 : Board::Vxt8088;
}

// The language as most readers take the flag: Chinese when it is not zero.
inline Language language()
{
    return blnChinese ? Language::Chinese : Language::English;
}

} // namespace ProgramSettings
