#include "console.h"

#include <windows.h>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

HANDLE handleOf(FILE *stream)
{
    return ::GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}

bool isConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode);
}

} // namespace

namespace Console {

// A console that takes the escape sequences the progress lines are redrawn with.
bool stderrIsTerminal()
{
    const HANDLE handle = handleOf(stderr);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !::GetConsoleMode(handle, &mode))
        return false;
    return ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

int columns()
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (::GetConsoleScreenBufferInfo(handleOf(stderr), &info) && info.srWindow.Right > info.srWindow.Left)
        return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
}

// A console is given the characters themselves, whatever its code page; a file or a pipe
// gets UTF-8.
void print(FILE *stream, const QString &text)
{
    std::fflush(stream);
    const HANDLE handle = handleOf(stream);
    if (isConsole(handle)) {
        DWORD written = 0;
        ::WriteConsoleW(handle, reinterpret_cast<const wchar_t *>(text.utf16()), DWORD(text.size()), &written, nullptr);
        return;
    }
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

} // namespace Console
