#pragma once

#include <QString>

#include <cstdio>

// The console the program writes to: stdout and stderr, as a terminal or redirected.
// Each platform has its own part (console_unix.cpp, console_win.cpp).
namespace Console {

// Whether stderr is a terminal on which progress lines can be redrawn in place.
bool stderrIsTerminal();
// The width of stderr's terminal; 80 where it does not say.
int columns();
// Writes `text` to stdout or stderr at once, in a form the terminal shows in Chinese as
// in English.
void print(FILE *stream, const QString &text);

} // namespace Console
