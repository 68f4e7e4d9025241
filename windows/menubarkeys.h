#pragma once

#include <QObject>

class QKeyEvent;
class QMainWindow;
class QMenuBar;
class QWidget;

// The keyboard way into a window's menu bar when Alt+S belongs to a field: Alt pressed
// and released alone, or F10, then the letter of a menu or command picks it; Escape
// gives up. Alt+S itself moves to `altSTarget`, as the field's label says, while that
// field takes input.
class MenuBarKeys : public QObject {
    Q_OBJECT

public:
    MenuBarKeys(QMainWindow &window, QWidget &altSTarget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleKey(const QKeyEvent *key);

    QMainWindow &m_window;
    QWidget &m_altSTarget;
    QMenuBar *m_bar;
    bool m_altPressedAlone = false;   // Alt is down and no other key came with it
    bool m_armed = false;             // the next key picks a menu by its letter
};
