#include "uploads.h"

#include "news.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

bool readWholeFile(const std::string &path, Bytes &out, std::string &error)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = path + ": not a regular file (or missing)";
        return false;
    }
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::uint8_t buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok)
        error = path + ": read error";
    return ok;
}

} // namespace

void UploadQueue::add(const std::string &path, bool raw)
{
    Bytes data;
    std::string error;
    if (path.empty()) {
        say("upload refused: which file? (send FILE)");
        return;
    }
    if (!readWholeFile(path, data, error)) {
        say("upload refused: %s", error.c_str());
        return;
    }
    if (!raw && !fitsOneUpload(board, data.size())) {
        say("upload refused: %s holds %zu bytes; a VXT-8052 upload holds 1 to 65536",
            path.c_str(), data.size());
        return;
    }
    Upload upload{path, raw ? data : uploadWire(board, data)};
    say("upload: %s, %zu byte(s) of data, %zu on the line%s", path.c_str(), data.size(),
        upload.wire.size(), uploads.empty() ? "" : " (queued)");
    if (uploads.empty())
        nextSendAt = Clock::now();
    uploads.push_back(std::move(upload));
}

ssize_t UploadQueue::pump(int fd, Clock::time_point now)
{
    if (uploads.empty() || (rate > 0 && now < nextSendAt))
        return 0;
    Upload &upload = uploads.front();
    // At a paced rate, send 10 ms worth of line time at a time (or --piece); at full
    // speed, all.
    std::size_t chunk = rate <= 0 ? 65536
                        : piece > 0 ? piece
                                    : std::max<std::size_t>(1, rate / 100);
    chunk = std::min(chunk, upload.wire.size() - upload.sent);
    ssize_t n = chunk ? write(fd, upload.wire.data() + upload.sent, chunk) : 0;
    if (n < 0)
        return n;
    upload.sent += n;
    if (rate > 0) {
        // Advance the clock by the line time of what went; after a stall (the pty was
        // full) start counting afresh rather than catching up in a burst.
        auto lineTime = std::chrono::duration<double>(n / rate);
        nextSendAt = std::max(nextSendAt, now - std::chrono::milliseconds(50)) +
                     std::chrono::duration_cast<Clock::duration>(lineTime);
    }
    if (upload.sent == upload.wire.size()) {
        say("upload done: %s, %zu byte(s) on the line", upload.name.c_str(), upload.sent);
        uploads.pop_front();
        nextSendAt = now;
    }
    return n;
}

void UploadQueue::stop(const char *why)
{
    if (!uploads.empty())
        say("upload stopped: %s after %zu byte(s)%s%s", uploads.front().name.c_str(),
            uploads.front().sent, why ? ": " : "", why ? why : "");
    uploads.clear();
}
