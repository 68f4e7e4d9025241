#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

// A control of a window by its object name. A test that asks for one the window does not
// have stops at once.
template <typename Control>
Control *control(const QObject &window, const char *name)
{
    auto *found = window.findChild<Control *>(QLatin1String(name));
    if (!found)
        qFatal("no %s named %s", Control::staticMetaObject.className(), name);
    return found;
}
