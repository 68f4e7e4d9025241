#pragma once

// The board's uploads: the files it was told to send, in its own format or byte for byte,
// wait in a queue; the one at the front goes on the line at the line's pace (or as fast
// as the line takes it).

#include "boardprotocol.h"

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>

using Clock = std::chrono::steady_clock;

class UploadQueue {
public:
    // `rate`: bytes per second, 0 for as fast as the line takes them; `piece`: the bytes
    // of one write at that rate, 0 for 10 ms of line time.
    UploadQueue(int board, double rate, std::size_t piece)
        : board(board), rate(rate), piece(piece) {}

    // Reads the file at `path` and queues it, in the board's format or (`raw`) as it is.
    // A file that cannot be read, or that one upload cannot hold, is refused with a line
    // of news.
    void add(const std::string &path, bool raw);
    // Puts the next piece of the front upload on `fd` if its time has come. Returns what
    // write() returned (0 when nothing was due), so that a failure leaves errno to the
    // caller.
    ssize_t pump(int fd, Clock::time_point now);
    // Abandons the upload in progress, saying so (and why, if `why` is given), and the
    // queued ones.
    void stop(const char *why = nullptr);
    // A new line: the pace counts from `now`.
    void restartPace(Clock::time_point now) { nextSendAt = now; }

    bool empty() const { return uploads.empty(); }
    bool paced() const { return rate > 0; }
    Clock::time_point nextPieceAt() const { return nextSendAt; }

private:
    // One upload: the exact bytes for the line and how many of them have gone.
    struct Upload {
        std::string name;
        Bytes wire;
        std::size_t sent = 0;
    };

    int board;
    double rate;
    std::size_t piece;
    std::deque<Upload> uploads;
    Clock::time_point nextSendAt;   // pacing: when the next piece may go
};
