#include "boardprotocol.h"

namespace {

int hexValue(std::uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

Bytes uploadWire(int board, const Bytes &data)
{
    static const char digits[] = "0123456789ABCDEF";
    Bytes wire;
    wire.reserve(2 * data.size() + 2);
    if (board == 8088) {
        for (std::uint8_t b : data) {
            wire.push_back(digits[b >> 4]);
            wire.push_back(digits[b & 15]);
        }
        wire.push_back(0x1A);
    } else {
        // 65536 does not fit in 16 bits; its low 16 bits, 0x0000, stand for it.
        wire.push_back((data.size() >> 8) & 0xFF);
        wire.push_back(data.size() & 0xFF);
        wire.insert(wire.end(), data.begin(), data.end());
    }
    return wire;
}

bool fitsOneUpload(int board, std::size_t size)
{
    return board != 8052 || (size >= 1 && size <= 65536);
}

bool DownloadReceiver::take(std::uint8_t c)
{
    started = true;   // (again: 0x1A may have ended a download in the same read)
    if (board == 8052) {
        data.push_back(c);   // raw: the end is found by the clock
    } else if (c == 0x1A) {
        return true;
    } else if (int value = hexValue(c); value < 0) {
        ++strayBytes;
    } else if (!highDigitPending) {
        highDigit = value;
        highDigitPending = true;
    } else {
        data.push_back(highDigit << 4 | value);
        highDigitPending = false;
    }
    return false;
}

Download DownloadReceiver::finish(bool endCharacterCame)
{
    Download download;
    download.whole = endCharacterCame || board == 8052;
    if (!download.whole)
        download.notes += ", INTERRUPTED: no end character";
    if (highDigitPending)
        download.notes += ", a lone digit was left out";
    if (strayBytes)
        download.notes += ", " + std::to_string(strayBytes) + " stray byte(s) ignored";
    download.data.swap(data);
    started = false;
    highDigitPending = false;
    strayBytes = 0;
    return download;
}
