#pragma once

#include "portchoice.h"
#include "transfertexts.h"

#include <QtGlobal>

// What the user chooses in the settings dialog: the board, the language and the serial
// port. OK hands it to the program, which keeps it for the run; nothing is kept between
// runs.
struct ProgramSettings {
    qint16 intBoard = 0;     // 8088 or 8052; 0 until the first OK
    qint16 blnChinese = 0;   // 0 English, 1 Traditional Chinese
    PortChoice port;         // the port OK opened; none until the first OK

    // The board chosen; the 8088 until the first OK.
    Board board() const { return intBoard == 8052 ? Board::Vxt8052 : Board::Vxt8088; }
    // The language as most readers take the flag: Chinese when it is not zero.
    Language language() const { return blnChinese ? Language::Chinese : Language::English; }
};
