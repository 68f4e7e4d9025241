#pragma once

// The two boards' sides of the line as bytes alone: what a board makes of the bytes of a
// download, and what it puts on the line for an upload. No I/O and no clock here: the
// caller reads the line, and tells a download that the line went quiet.
//
//   PC -> board (a "download"):
//     VXT-8088: every byte as two hexadecimal digits, then one byte 0x1A (Ctrl-Z).
//     VXT-8052: the raw bytes; nothing marks the end, so the board waits for the line
//               to go quiet.
//   board -> PC (an "upload"):
//     VXT-8088: every byte as two upper-case hexadecimal digits, then 0x1A.
//     VXT-8052: the length as two bytes, high byte first (65536 is sent as 0x0000),
//               then the raw bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// What the board puts on the line to upload `data`.
Bytes uploadWire(int board, const Bytes &data);

// Whether `size` bytes of data make one upload: a VXT-8052's length header counts 1 to
// 65536; a VXT-8088 takes any size.
bool fitsOneUpload(int board, std::size_t size);

// A download as the board took it in.
struct Download {
    Bytes data;
    bool whole = true;   // false: an 8088 stream that stopped before its end character
    std::string notes;   // what went amiss, for the summary line: ", ..." each, or empty
};

// Takes in downloads one byte at a time.
class DownloadReceiver {
public:
    explicit DownloadReceiver(int board) : board(board) {}

    // Takes the next byte off the line. True when it ends the download (the 8088's 0x1A):
    // then finish(true) hands it over.
    bool take(std::uint8_t byte);
    // Whether a download has begun that was not handed over yet.
    bool receiving() const { return started; }
    // Hands the download over and is ready for the next. `endCharacterCame` is false when
    // the line went quiet or the board is shutting down: an 8052 download ends that way,
    // an 8088 stream is then interrupted.
    Download finish(bool endCharacterCame);

private:
    int board;
    bool started = false;
    Bytes data;
    bool highDigitPending = false;   // 8088: one digit of a pair is waiting
    std::uint8_t highDigit = 0;
    std::size_t strayBytes = 0;      // 8088: bytes that are neither digits nor 0x1A
};
