#include "console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace Console {

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

int columns()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

// The terminal takes the locale's encoding.
void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace Console
