#pragma once

#include <QMessageBox>

// How the program warns and informs: a message box with an icon, a title and an OK
// button, opened without waiting (transfers and the port go on behind it), deleted when
// closed, and wide enough that the window system shows its whole title.
namespace MessageBoxes {

QMessageBox *show(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text);

// The width a box needs for its title in the title bar, beside the bar's own buttons.
int widthForTitle(const QString &title);

} // namespace MessageBoxes
