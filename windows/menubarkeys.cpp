#include "menubarkeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QShortcutEvent>

MenuBarKeys::MenuBarKeys(QMainWindow &window, QWidget &altSTarget)
    : QObject(&window)
    , m_window(window)
    , m_altSTarget(altSTarget)
    , m_bar(window.menuBar())
{
    m_bar->installEventFilter(this);
    qApp->installEventFilter(this);
}

bool MenuBarKeys::eventFilter(QObject *watched, QEvent *event)
{
    // Only pointers are compared here: the filter sees events while the window is going.
    if (event->type() == QEvent::Shortcut && watched == m_bar) {
        const auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->key() == QKeySequence(Qt::ALT | Qt::Key_S)) {
            if (m_altSTarget.isEnabled())
                m_altSTarget.setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == &m_window && handleKey(static_cast<QKeyEvent *>(event)))
            return true;
    }
    return false;
}

bool MenuBarKeys::handleKey(const QKeyEvent *key)
{
    if (key->isAutoRepeat())
        return false;
    if (key->type() == QEvent::KeyRelease) {
        if (key->key() == Qt::Key_Alt && m_altPressedAlone)
            m_armed = true;
        m_altPressedAlone = false;
        return false;
    }
    m_altPressedAlone = key->key() == Qt::Key_Alt;
    if (m_altPressedAlone)
        return false;
    if (m_armed) {
        m_armed = false;
        for (QAction *entry : m_bar->actions()) {
            if (QKeySequence::mnemonic(entry->text()) != QKeySequence(Qt::ALT | key->key()))
                continue;
            if (entry->menu())
                m_bar->setActiveAction(entry);
            else
                entry->trigger();
            return true;
        }
        return key->key() == Qt::Key_Escape;
    }
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier) {
        m_armed = true;
        return true;
    }
    return false;
}
