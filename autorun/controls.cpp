#include "controls.h"

#include <QMouseEvent>
#include <QPainter>
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
    // The spec's labels draw their text from the top-left corner; background transparent.
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

TabStrip::TabStrip(const TwipScale &scale, QWidget *parent)
    : QTabWidget(parent), TwipGeometry(scale)
{
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
