#include "launcher_logic.h"

namespace autorun {

StartupLayout startupLayout(int clientLeft, int clientTop, float outerWidth, float outerHeight,
                            float clientWidth, float clientHeight)
{
    const float CL = float(clientLeft);
    const float CT = float(clientTop);
    StartupLayout r;
    // The picture sits where the tab strip's page area begins.
    r.pictureLeft = clientLeft;
    r.pictureTop = clientTop;
    // The client area becomes the picture with the page area's margins around it: CL on
    // the left and on the right, CT above and CL below. The outer size adds what the
    // border and caption take now, outer minus client. Summed in single precision, in
    // this order.
    r.outerWidth = CL + CL + ((outerWidth + float(kPictureWidth)) - clientWidth);
    r.outerHeight = (CT + ((outerHeight + float(kPictureHeight)) - clientHeight)) + CL;
    // The border and caption keep their size, so the client area takes the difference.
    r.clientWidth = r.outerWidth - (outerWidth - clientWidth);
    r.clientHeight = r.outerHeight - (outerHeight - clientHeight);
    return r;
}

namespace {
// 16-bit signed addition that wraps as a 16-bit register does.
qint16 add16(qint16 a, qint16 b)
{
    return qint16(quint16(quint16(a) + quint16(b)));
}
} // namespace

std::array<FrameLine, 4> labelFrame(qint16 L, qint16 T, qint16 W, qint16 H, bool pressed)
{
    const quint32 light = pressed ? kDarkFrameColor : kLightFrameColor;
    const quint32 dark = pressed ? kLightFrameColor : kDarkFrameColor;

    const qint16 left = add16(L, -kFrameOutsetX);                      // L - 120
    const qint16 top = add16(T, -kFrameOutsetY);                       // T - 60
    const qint16 right = add16(add16(L, W), kFrameOutsetX);            // L + W + 120
    const qint16 bottomRight = add16(add16(L, W), kFrameOutsetX + 1);  // L + W + 121
    const qint16 bottom = add16(add16(T, H), kFrameOutsetY);           // T + H + 60

    std::array<FrameLine, 4> lines;
    lines[0] = {left, top, right, top, light};                 // Line1: top
    lines[1] = {left, top, left, bottom, light};               // Line2: left
    lines[2] = {left, bottom, bottomRight, bottom, dark};      // Line3: bottom
    lines[3] = {right, top, right, bottom, dark};              // Line4: right
    return lines;
}

QString pagePictureFile(int tabIndex)
{
    return QString::fromLatin1(tabIndex == 1 ? kSoftwarePicture : kContactPicture);
}

QString installerPath(const QString &launcherFolder, QChar separator)
{
    QString path = launcherFolder;
    if (!path.endsWith(separator))
        path += separator;
    return path + QLatin1String("setup") + separator + QLatin1String("setup.exe");
}

} // namespace autorun
