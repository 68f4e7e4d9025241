#include "twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace autorun {

TwipScale TwipScale::forScreen()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return TwipScale(screen->logicalDotsPerInch());
    return TwipScale();
}

QRect TwipScale::toPixels(const QRect &twips) const
{
    // Convert the edges, not the size, so that neighbouring rectangles meet exactly.
    const int left = toPixels(twips.x());
    const int top = toPixels(twips.y());
    const int right = toPixels(qreal(twips.x()) + twips.width());
    const int bottom = toPixels(qreal(twips.y()) + twips.height());
    return QRect(left, top, right - left, bottom - top);
}

QRect TwipScale::toTwips(const QRect &pixels) const
{
    const int left = qRound(toTwips(pixels.x()));
    const int top = qRound(toTwips(pixels.y()));
    const int right = qRound(toTwips(pixels.x() + pixels.width()));
    const int bottom = qRound(toTwips(pixels.y() + pixels.height()));
    return QRect(left, top, right - left, bottom - top);
}

} // namespace autorun
