#pragma once

// What the board tells: a line of news on standard output, or a failure on standard error
// that ends the program with status 1. The files it puts beside the user's (the COMn link
// or address file, and its FIFO) go with it at any end.

#include <filesystem>
#include <string>

// Prints one line of news and makes sure it leaves at once, even into a pipe.
void say(const char *format, ...);

// Says what went wrong, removes the board's files and exits with status 1.
[[noreturn]] void fail(const std::string &message);

// A file to remove when the board ends, by removeBoardFiles() or by fail().
void removeAtEnd(const std::filesystem::path &path);
void removeBoardFiles();
