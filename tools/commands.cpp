#include "commands.h"

#include "news.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

const char *const commandHelp =
    "commands: send FILE | raw FILE | stop | help | quit\n";

void CommandSource::read(const std::function<void(const std::string &)> &take)
{
    char buffer[512];
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) {
        // End of input: stop listening. (EIO is a terminal read in the background; the
        // FIFO never ends, as we hold a writer on it.)
        if (n == 0 || (errno != EAGAIN && errno != EINTR && errno != EIO))
            ended = true;
        return;
    }
    pending.append(buffer, n);
    std::size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        take(line);
    }
}

CommandSource openControlFifo(const std::filesystem::path &path)
{
    CommandSource fifo(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    const int keepOpen = open(path.c_str(), O_WRONLY | O_CLOEXEC);   // held for good
    if (fifo.fd < 0 || keepOpen < 0)
        fail(path.string() + ": " + std::strerror(errno));
    return fifo;
}

// Standard input is read when it is a file or a pipe, and when it is a terminal, only
// while we are the job in the foreground: a background job that reads its terminal is
// stopped by the system, and the typing is meant for the shell anyway.
bool mayReadStdin()
{
    return !isatty(STDIN_FILENO) || tcgetpgrp(STDIN_FILENO) == getpgrp();
}

Command parseCommand(std::string line)
{
    auto trim = [](std::string &s) {
        s.erase(0, s.find_first_not_of(" \t\r"));
        s.erase(s.find_last_not_of(" \t\r") + 1);
    };
    trim(line);
    Command command;
    command.word = line.substr(0, line.find(' '));
    command.argument = command.word.size() < line.size() ? line.substr(command.word.size()) : "";
    trim(command.argument);
    return command;
}
