#pragma once

#include <QString>
#include <functional>
#include <memory>

class Download;
class Upload;

// What sets one board's transfer window apart from the other's.
struct BoardProfile {
    int board;                               // 8088 or 8052
    QString windowName;                      // object name of the window
    QString caption;                         // idle window title
    QString boardName;                       // first part of the progress titles
    QString examplesFolder;                  // appended to the program's folder
    QString chineseDownloadInterruptTip;     // the one tooltip that differs
    bool hasQuietTimer;                      // the 8052 ends uploads after a quiet time
    std::function<std::unique_ptr<Download>()> makeDownload;
    // `announcedLength` reads the length the board announced (the 8052's header).
    std::function<std::unique_ptr<Upload>(std::function<qint64()> announcedLength)> makeUpload;
};

const BoardProfile &vxt8088Profile();
const BoardProfile &vxt8052Profile();
const BoardProfile &profileForBoard(int board);
