#include "inbox.h"

#include "news.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace fs = std::filesystem;

void createInbox(const fs::path &inbox)
{
    std::error_code ec;
    fs::create_directories(inbox, ec);
    if (ec)
        fail(inbox.string() + ": " + ec.message());
}

std::string storeDownload(const fs::path &inbox, const Bytes &bytes, bool whole)
{
    for (int number = 1; number < 100000; ++number) {
        char name[48], otherName[48];
        std::snprintf(name, sizeof name, "download-%03d%s", number,
                      whole ? ".bin" : ".partial.bin");
        std::snprintf(otherName, sizeof otherName, "download-%03d%s", number,
                      whole ? ".partial.bin" : ".bin");
        fs::path path = inbox / name;
        std::error_code ec;
        if (fs::exists(fs::symlink_status(inbox / otherName, ec)))
            continue;   // one number, one download
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST)
            continue;
        bool ok = fd >= 0;
        for (std::size_t done = 0; ok && done < bytes.size();) {
            ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
            ok = n > 0;
            done += ok ? n : 0;
        }
        std::string why = ok ? "" : std::strerror(errno);
        if (fd >= 0 && close(fd) < 0 && ok) {
            ok = false;
            why = std::strerror(errno);
        }
        if (ok)
            return " -> " + path.string();
        if (fd >= 0)
            unlink(path.c_str());   // never leave a half-written file behind
        return ", NOT STORED: " + path.string() + ": " + why;
    }
    return ", NOT STORED: the inbox is full of downloads";
}
