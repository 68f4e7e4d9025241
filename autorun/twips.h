// The one place where the launcher turns the design's units into Qt's: twips (1/1440 inch)
// to pixels at the screen's logical resolution, and &H00BBGGRR colours to QColor.
#pragma once

#include <QColor>
#include <QRect>
#include <QtGlobal>

namespace autorun {

inline constexpr qreal kTwipsPerInch = 1440.0;
// The resolution the window was designed at, and the one taken when no screen tells.
inline constexpr qreal kDesignDotsPerInch = 96.0;

// Twips <-> device-independent pixels at a given logical resolution (dots per inch).
// At 96 dpi a pixel is 15 twips. Every conversion of the launcher goes through here.
class TwipScale
{
public:
    explicit TwipScale(qreal dotsPerInch = kDesignDotsPerInch)
        : m_dpi(dotsPerInch > 0 ? dotsPerInch : kDesignDotsPerInch) {}

    // The logical resolution of the primary screen (96 when there is none).
    static TwipScale forScreen();

    qreal twipsPerPixel() const { return kTwipsPerInch / m_dpi; }

    int toPixels(qreal twips) const { return qRound(twips * m_dpi / kTwipsPerInch); }
    qreal toTwips(int pixels) const { return pixels * kTwipsPerInch / m_dpi; }
    // A rectangle given as Left, Top, Width, Height in twips.
    QRect toPixels(const QRect &twips) const;
    QRect toTwips(const QRect &pixels) const;

private:
    qreal m_dpi;
};

// Colours are written &H00BBGGRR: red in the low byte, blue in the high byte.
inline QColor colorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline quint32 bgrFromColor(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

} // namespace autorun
