// The launcher's rules that need no window: its constants (its texts are in
// launchertexts.h), the start-up layout, the frame around a link label, the page picture
// of a tab and the installer's path. Tested in tests/tst_autorun.cpp.
#pragma once

#include <QChar>
#include <QDir>
#include <QString>
#include <QtGlobal>
#include <array>

namespace autorun {

// The exit code when a page picture cannot be loaded.
inline constexpr int kPictureErrorExitCode = 1;

// Colours, &H00BBGGRR.
inline constexpr quint32 kIdleLinkColor = 0x0000FF00;        // green
inline constexpr quint32 kHighlightLinkColor = 0x00FFFFFF;   // white
inline constexpr quint32 kLightFrameColor = 0x00FFFF00;      // red 0, green 255, blue 255
inline constexpr quint32 kDarkFrameColor = 0x00FF8000;       // red 0, green 128, blue 255
inline constexpr quint32 kPictureBackColor = 0x00808080;     // grey
inline constexpr quint32 kExplainColor = 0x00FFFFFF;         // white

// Page picture area, twips.
inline constexpr int kPictureWidth = 9000;
inline constexpr int kPictureHeight = 6000;

// The designed tab strip's page-area offsets (CL, CT) and the client area they give the
// window around the picture: 9120 x 6390 twips.
inline constexpr int kDesignPageLeft = 60;
inline constexpr int kDesignPageTop = 330;
inline constexpr int kDesignClientWidth = kDesignPageLeft + kPictureWidth + kDesignPageLeft;
inline constexpr int kDesignClientHeight = kDesignPageTop + kPictureHeight + kDesignPageLeft;

// How far the frame around a link label stands out from the label, twips.
inline constexpr qint16 kFrameOutsetX = 120;
inline constexpr qint16 kFrameOutsetY = 60;

inline constexpr char kSoftwarePicture[] = "Software.jpg";
inline constexpr char kContactPicture[] = "e-contact.jpg";

// The maker's web site: shown as the explanation of lblLink and opened by its click.
// A reserved example domain (the same address as Kestrion's About box).
inline constexpr char kWebSite[] = "http://www.valtrona.example";

// The start-up layout's sizes, in twips. Inputs: the page-area offsets CL and CT read from
// the tab control at its design size, and the window's current outer and client sizes.
struct StartupLayout
{
    float outerWidth = 0;   // new outer size of the window (border and caption included)
    float outerHeight = 0;
    float clientWidth = 0;  // the client size that follows from it
    float clientHeight = 0;
    int pictureLeft = 0;    // picBackground.Left, .Top
    int pictureTop = 0;
};

StartupLayout startupLayout(int clientLeft, int clientTop, float outerWidth, float outerHeight,
                            float clientWidth, float clientHeight);

// One line of the frame around a link label. Coordinates are twips in picBackground.
struct FrameLine
{
    qint16 x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    quint32 color = 0;
};

// Line1 top, Line2 left, Line3 bottom (one twip longer to the right), Line4 right. Every end
// point is computed in 16-bit signed arithmetic (wrapping like a 16-bit register; with
// the designed labels the values stay far inside the range).
std::array<FrameLine, 4> labelFrame(qint16 left, qint16 top, qint16 width, qint16 height,
                                    bool pressed);

// The picture file of tab i (1-based): tab 1 "Software.jpg", every
// other tab "e-contact.jpg". Relative name: resolved against the working directory.
QString pagePictureFile(int tabIndex);

// The installer: "setup<sep>setup.exe" below the launcher's folder, with the
// platform's separator, adding a separator only when the folder does not already end in
// one (a root folder such as "/" or "D:\").
QString installerPath(const QString &launcherFolder, QChar separator = QDir::separator());

} // namespace autorun
