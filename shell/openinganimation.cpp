#include "openinganimation.h"

#include <QVariantAnimation>
#include <QWidget>

#include <algorithm>

namespace {

// Seen on dark and light desktops alike.
constexpr QRgb FrameColour = qRgb(0x2F, 0x5F, 0xD0);

// n / 2, with a half rounded to the even neighbour.
int halfRoundedToEven(int n)
{
    int half = n >= 0 ? n / 2 : -((1 - n) / 2); // floor(n / 2)
    if (n % 2 != 0 && half % 2 != 0)
        ++half; // exactly between half and half + 1: take the even one
    return half;
}

} // namespace

ScreenRect ScreenRect::fromQRect(const QRect &rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect ScreenRect::toQRect() const
{
    return QRect(left, top, right - left, bottom - top);
}

ScreenRect animationStartRect(const ScreenRect &desktop)
{
    const int left = desktop.left + halfRoundedToEven(desktop.right - desktop.left);
    const int top = desktop.top + halfRoundedToEven(desktop.bottom - desktop.top);
    return {left, top, left + 1, top + 1};
}

OpeningAnimation::OpeningAnimation(QObject *parent)
    : QObject(parent)
    , m_animation(new QVariantAnimation(this))
{
    for (std::unique_ptr<QWidget> &edge : m_edges) {
        edge = std::make_unique<QWidget>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint
                                                      | Qt::WindowTransparentForInput
                                                      | Qt::WindowDoesNotAcceptFocus);
        edge->setObjectName(QStringLiteral("openingFrameEdge"));
        edge->setAttribute(Qt::WA_ShowWithoutActivating);
        edge->setAttribute(Qt::WA_TransparentForMouseEvents);
        edge->setAutoFillBackground(true);
        QPalette palette = edge->palette();
        palette.setColor(QPalette::Window, QColor(FrameColour));
        edge->setPalette(palette);
    }
    m_animation->setDuration(durationMs);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { moveFrame(value.toRect()); });
    connect(m_animation, &QVariantAnimation::finished, this, [this] {
        for (const std::unique_ptr<QWidget> &edge : m_edges)
            edge->hide();
        emit finished();
    });
}

OpeningAnimation::~OpeningAnimation() = default;

void OpeningAnimation::play(const QRect &from, const QRect &to)
{
    m_animation->stop();
    m_animation->setStartValue(from);
    m_animation->setEndValue(to);
    moveFrame(from);
    for (const std::unique_ptr<QWidget> &edge : m_edges)
        edge->show();
    m_animation->start();
}

void OpeningAnimation::moveFrame(const QRect &rect)
{
    m_rect = rect;
    const int across = std::min(thickness, rect.height());
    const int down = std::min(thickness, rect.width());
    m_edges[0]->setGeometry(rect.left(), rect.top(), rect.width(), across);
    m_edges[1]->setGeometry(rect.left(), rect.bottom() + 1 - across, rect.width(), across);
    m_edges[2]->setGeometry(rect.left(), rect.top(), down, rect.height());
    m_edges[3]->setGeometry(rect.right() + 1 - down, rect.top(), down, rect.height());
}
