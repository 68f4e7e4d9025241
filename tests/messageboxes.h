#pragma once

#include <QList>

class QMessageBox;

// The program shows its messages without waiting for them; tests find them here.
// The visible message boxes, oldest first.
QList<QMessageBox *> messageBoxes();
// The first of them, or null.
QMessageBox *openMessageBox();
// Closes them all; they delete themselves.
void closeMessageBoxes();
