// The launcher's controls: the designed picture box, label, line and tab strip, as small
// Qt widgets. Positions are kept in twips, as the design gives them, and placed in pixels
// through the window's TwipScale.
#pragma once

#include "twips.h"

#include <QLabel>
#include <QPixmap>
#include <QTabWidget>
#include <QWidget>

namespace autorun {

// A control whose Left, Top, Width and Height are held in twips (like the designed controls)
// and turned into a pixel geometry in one place. It holds a copy of the scale, not a
// reference: the window's own scale is destroyed before the window's children are.
class TwipGeometry
{
public:
    explicit TwipGeometry(const TwipScale &scale) : m_scale(scale) {}
    QRect twips() const { return m_twips; }

protected:
    void setTwipsOn(QWidget *w, const QRect &twips)
    {
        m_twips = twips;
        w->setGeometry(m_scale.toPixels(twips));
    }
    const TwipScale m_scale;

private:
    QRect m_twips;
};

// picBackground: paints its back colour, then its picture unscaled from the top-left
// corner. Reports pointer movement over itself (where no label is).
class PictureBox : public QWidget, public TwipGeometry
{
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ backColor WRITE setBackColor)
public:
    PictureBox(const TwipScale &scale, QWidget *parent);

    void setTwipGeometry(const QRect &twips) { setTwipsOn(this, twips); }
    quint32 backColor() const { return m_backColor; }
    void setBackColor(quint32 bgr);
    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);

signals:
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    quint32 m_backColor = 0x00808080;
    QPixmap m_picture;
};

// A label with a text colour given as &H00BBGGRR and the three mouse events the
// launcher handles: MouseMove (with or without a button held), MouseDown (any button)
// and Click (the platform's click: left button pressed and released on the label).
class Label : public QLabel, public TwipGeometry
{
    Q_OBJECT
    Q_PROPERTY(quint32 ForeColor READ foreColor WRITE setForeColor)
public:
    Label(const TwipScale &scale, QWidget *parent);

    void setTwipGeometry(const QRect &twips) { setTwipsOn(this, twips); }
    quint32 foreColor() const { return m_foreColor; }
    void setForeColor(quint32 bgr);

signals:
    void mouseMoved();
    void mouseDown();
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    quint32 m_foreColor = 0;
    bool m_leftDown = false;
};

// A line shape, one pixel wide and solid, from (X1, Y1) to (X2, Y2) in twips of its
// container. It takes no mouse input: the pointer over a line is over the container.
class LineShape : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int X1 READ x1 WRITE setX1)
    Q_PROPERTY(int Y1 READ y1 WRITE setY1)
    Q_PROPERTY(int X2 READ x2 WRITE setX2)
    Q_PROPERTY(int Y2 READ y2 WRITE setY2)
    Q_PROPERTY(quint32 BorderColor READ borderColor WRITE setBorderColor)
public:
    LineShape(const TwipScale &scale, QWidget *parent);

    int x1() const { return m_x1; }
    int y1() const { return m_y1; }
    int x2() const { return m_x2; }
    int y2() const { return m_y2; }
    quint32 borderColor() const { return m_color; }
    void setX1(int twips) { m_x1 = twips; place(); }
    void setY1(int twips) { m_y1 = twips; place(); }
    void setX2(int twips) { m_x2 = twips; place(); }
    void setY2(int twips) { m_y2 = twips; place(); }
    void setBorderColor(quint32 bgr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void place();
    const TwipScale m_scale;
    int m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    quint32 m_color = 0;
    QPoint m_from, m_to; // end points in pixels, relative to this widget
};

// TabStrip1: the platform's tab control. Its page area (the part under the tab row,
// inside the frame) is what the tab widget itself would give its pages.
//
// Its style keeps the look of the application's style but the geometry of the tab strip
// the window was designed with (the common tab control): a tab row as tall as the caption
// font's height plus 7 pixels, and a page area 2 pixels below the tab row and 4 pixels
// inside the left, right and bottom edges. With the 9.75 pt caption font (13 pixels high
// at 96 dpi) that is CL 4 px and CT 22 px: 60 and 330 twips, the designed values.
class TabStripStyle;

class TabStrip : public QTabWidget, public TwipGeometry
{
    Q_OBJECT
public:
    TabStrip(const TwipScale &scale, QWidget *parent);

    void setTwipGeometry(const QRect &twips) { setTwipsOn(this, twips); }
    // The page area in pixels, relative to the tab strip, for its current size.
    QRect pageArea() const;
    // The same in twips: ClientLeft, ClientTop, ClientWidth, ClientHeight.
    QRect pageAreaTwips() const { return m_scale.toTwips(pageArea()); }

private:
    TabStripStyle *m_style = nullptr;
};

} // namespace autorun
