// How the launcher reports: a message box with an icon, a title and an OK button, wide
// enough that the window system shows its whole title. Its one report is a picture that
// cannot be loaded, after which the program ends: the caller waits until the box is closed.
// (Kestrion's windows have a helper of their own; the launcher shares no code with them.)
#pragma once

#include <QMessageBox>

namespace autorun::MessageBoxes {

void showAndWait(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text);

} // namespace autorun::MessageBoxes
