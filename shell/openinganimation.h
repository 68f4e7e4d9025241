#pragma once

#include <QObject>
#include <QRect>

#include <array>
#include <memory>

class QVariantAnimation;
class QWidget;

// A screen rectangle as the window system gives it: left and top inclusive, right and
// bottom exclusive (a one-pixel rectangle has right = left + 1).
struct ScreenRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static ScreenRect fromQRect(const QRect &rect);
    QRect toQRect() const;
};

// Where the opening frame starts: one pixel at the desktop's centre, half the width and
// half the height each rounded to the nearest integer with halves going to the even
// neighbour (1366 x 768 -> 683, 384, 684, 385; 1365 wide -> left 682).
ScreenRect animationStartRect(const ScreenRect &desktop);

// The frame that grows from one rectangle to another before a window shows: four thin
// borderless windows, one for each edge, that take no input and never appear in the
// taskbar (so nothing needs a compositor or window shapes). They hide when the frame
// has reached the target, and finished() follows.
class OpeningAnimation : public QObject
{
    Q_OBJECT

public:
    static constexpr int durationMs = 250;
    static constexpr int thickness = 3;

    explicit OpeningAnimation(QObject *parent = nullptr);
    ~OpeningAnimation() override;

    void play(const QRect &from, const QRect &to);
    // Where the frame stands now (its outer rectangle).
    QRect frameRect() const { return m_rect; }

signals:
    void finished();

private:
    void moveFrame(const QRect &rect);

    // Top-level windows: the animation is no widget that could be their parent.
    std::array<std::unique_ptr<QWidget>, 4> m_edges;
    QVariantAnimation *m_animation;
    QRect m_rect;
};
