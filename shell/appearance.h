#pragma once

class QApplication;

// The program's look: a small dialog font, since every window is laid out in fixed pixel
// positions, classic frames whose caption sits on the border line, and Ming faces for the
// Chinese captions.
void applyProgramAppearance(QApplication &app);
