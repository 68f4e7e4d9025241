#include "controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace autorun {

// ---- PictureBox ----

PictureBox::PictureBox(const TwipScale &scale, QWidget *parent)
    : QWidget(parent), TwipGeometry(scale)
{
    setMouseTracking(true);
}

void PictureBox::setBackColor(quint32 bgr)
{
    m_backColor = bgr;
    update();
}

void PictureBox::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), colorFromBgr(m_backColor));
    // Natural size, from the top-left corner: never scaled.
    if (!m_picture.isNull())
        p.drawPixmap(QPoint(0, 0), m_picture);
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    emit mouseMoved();
}

// ---- Label ----

Label::Label(const TwipScale &scale, QWidget *parent) : QLabel(parent), TwipGeometry(scale)
{
    // The designed labels draw their text from the top-left corner; background transparent.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
}

void Label::setForeColor(quint32 bgr)
{
    m_foreColor = bgr;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, colorFromBgr(bgr));
    setPalette(pal);
}

void Label::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    emit mouseMoved();
}

void Label::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    m_leftDown = event->button() == Qt::LeftButton;
    emit mouseDown();
}

void Label::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    const bool click = m_leftDown && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_leftDown = false;
    if (click)
        emit clicked();
}

void Label::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is a DblClick for the platform's label, which
    // has no handler here: no MouseDown and no second Click.
    event->accept();
    m_leftDown = false;
}

// ---- LineShape ----

LineShape::LineShape(const TwipScale &scale, QWidget *parent) : QWidget(parent), m_scale(scale)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    hide();
}

void LineShape::setBorderColor(quint32 bgr)
{
    m_color = bgr;
    update();
}

void LineShape::place()
{
    const QPoint a(m_scale.toPixels(m_x1), m_scale.toPixels(m_y1));
    const QPoint b(m_scale.toPixels(m_x2), m_scale.toPixels(m_y2));
    const QRect box = QRect(a, b).normalized();
    setGeometry(box); // QRect(a, b) holds both end points
    m_from = a - box.topLeft();
    m_to = b - box.topLeft();
    update();
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QPen(colorFromBgr(m_color), 1, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(m_from, m_to);
}

// ---- TabStrip ----

class TabStripStyle : public QProxyStyle
{
public:
    static constexpr int kTabPadding = 7;  // tab height = caption font height + 7
    static constexpr int kPageTop = 2;     // page area below the tab row
    static constexpr int kPageMargin = 4;  // page area inside the left, right, bottom edges

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_TabBarTab && option)
            s.setHeight(option->fontMetrics.height() + kTabPadding);
        return s;
    }

    QRect subElementRect(SubElement element, const QStyleOption *option,
                         const QWidget *widget) const override
    {
        if (element == SE_TabWidgetTabContents) {
            if (const auto *frame = qstyleoption_cast<const QStyleOptionTabWidgetFrame *>(option)) {
                const QRect r = frame->rect;
                const int top = frame->tabBarSize.height() + kPageTop;
                return QRect(r.left() + kPageMargin, r.top() + top, r.width() - 2 * kPageMargin,
                             r.height() - top - kPageMargin);
            }
        }
        return QProxyStyle::subElementRect(element, option, widget);
    }
};

TabStrip::TabStrip(const TwipScale &scale, QWidget *parent)
    : QTabWidget(parent), TwipGeometry(scale), m_style(new TabStripStyle)
{
    m_style->setParent(this);
    // A widget's style does not pass to its children: the tab row gets it too.
    setStyle(m_style);
    tabBar()->setStyle(m_style);
    setTabPosition(QTabWidget::North);
}

QRect TabStrip::pageArea() const
{
    // What QTabWidget computes for its page stack, taken for the tab strip's current size
    // (valid before the widget is shown or laid out).
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    option.rect = rect();
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this);
}

} // namespace autorun
