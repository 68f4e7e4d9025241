#include "news.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The COMn link (or address file) and its FIFO once they exist, so that even a failure
// removes them.
std::vector<std::filesystem::path> filesToRemove;

} // namespace

void say(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void removeAtEnd(const std::filesystem::path &path)
{
    filesToRemove.push_back(path);
}

void removeBoardFiles()
{
    for (const auto &path : filesToRemove)
        unlink(path.c_str());
}

void fail(const std::string &message)
{
    std::fprintf(stderr, "vxt-board: %s\n", message.c_str());
    removeBoardFiles();
    std::exit(1);
}
