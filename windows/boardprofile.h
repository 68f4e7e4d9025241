#pragma once

#include "transfer.h"

#include <QString>

// What sets one board's transfer window apart from the other's.
struct BoardProfile {
    Board board;
    QString windowName;                      // object name of the window
    QString caption;                         // idle window title
    QString boardName;                       // first part of the progress titles
    QString examplesFolder;                  // appended to the program's folder
};

const BoardProfile &vxt8088Profile();
const BoardProfile &vxt8052Profile();
const BoardProfile &profileForBoard(Board board);
