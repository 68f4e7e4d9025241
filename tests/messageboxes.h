#pragma once

class QMessageBox;

// The program shows its messages without waiting for them; tests find them here.
QMessageBox *openMessageBox();
void closeMessageBoxes();
