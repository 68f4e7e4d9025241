#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// The boards' wire formats as plain values: bytes in, bytes out, nothing read from a port
// or written to a file here.

// Ctrl-Z closes the 8088's hexadecimal stream in both directions.
constexpr char HexEndOfStream = 26;

// VXT-8088, PC to board: every byte as two upper-case hexadecimal digits, high digit
// first; the sender writes them one at a time and closes the stream with Ctrl-Z.
namespace HexEncoder {

char highDigit(unsigned char byte);
char lowDigit(unsigned char byte);
// The whole text for `bytes`, without the end character.
QByteArray encode(QByteArrayView bytes);

} // namespace HexEncoder

// VXT-8088, board to PC: each pair of hexadecimal digits (either case) makes a byte, Ctrl-Z
// ends the stream. Any other character is passed over and not counted: CR, LF, space and
// tab are a board's line breaks, anything else is noted as unexpected.
class HexDecoder {
public:
    struct Result {
        QByteArray bytes;        // the bytes completed by this input
        qsizetype consumed = 0;  // input taken; what follows the end character is left
        bool ended = false;      // the end character came
    };

    Result feed(QByteArrayView input);

    // What the finishing message reports: the characters divided by two.
    qint64 reportedCount() const { return m_characters / 2; }
    // Characters that were neither digits, the end character nor white space.
    qint64 unexpectedCharacters() const { return m_unexpected; }
    // The last digit so far has no pair.
    bool hasLoneDigit() const { return (m_characters - (m_ended ? 1 : 0)) % 2 == 1; }
    bool ended() const { return m_ended; }

    // The value of a hexadecimal digit, -1 for any other character.
    static int digitValue(char c);

private:
    qint64 m_characters = 0;
    qint64 m_unexpected = 0;
    unsigned char m_high = 0;
    bool m_ended = false;
};

// VXT-8052, board to PC: a two-byte length, most significant byte first (0 stands for
// 65536), then the data. The length only feeds the percentage: every byte after it is
// data, fewer or more than announced; the receiver ends the upload on a quiet line.
class LengthFramedDecoder {
public:
    static constexpr qint64 ZeroLengthMeans = 65536;

    struct Result {
        QByteArray data;          // data bytes in this input
        bool headerRead = false;  // the length became known with this input
    };

    Result feed(QByteArrayView input);

    // The announced length; 0 while the header is incomplete.
    qint64 announced() const { return m_announced; }
    qint64 dataBytes() const { return m_data; }

private:
    QByteArray m_header;
    qint64 m_announced = 0;
    qint64 m_data = 0;
};

// Percentage of `done` out of `total`, rounded to a whole number, halves up; computed in
// 64 bits and held to what a title can show.
int roundedPercent(qint64 done, qint64 total);
