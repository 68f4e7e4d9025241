#pragma once

// Where the board's commands come from, a line each: standard input (read while the board
// runs in the foreground) and the control FIFO DIR/COMn.ctl (always).

#include <filesystem>
#include <functional>
#include <string>

extern const char *const commandHelp;   // the answer to "help"

// One source of commands: collects its text and hands out complete lines.
class CommandSource {
public:
    explicit CommandSource(int fd) : fd(fd) {}

    // Reads what has come and hands each complete line to `take`; at the end of the input
    // the source has ended.
    void read(const std::function<void(const std::string &)> &take);

    int fd;
    bool ended = false;

private:
    std::string pending;
};

// The control FIFO, opened for reading. The board holds a writer on it as well, so that it
// never reports end-of-file when a writer goes. A FIFO that cannot be opened ends the
// program through fail().
CommandSource openControlFifo(const std::filesystem::path &path);

// Whether standard input may be read now.
bool mayReadStdin();

// A command line, split into its first word and the rest, both trimmed.
struct Command {
    std::string word, argument;
};
Command parseCommand(std::string line);
