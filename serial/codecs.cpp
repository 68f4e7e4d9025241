#include "codecs.h"

#include <algorithm>

namespace {
constexpr char HexDigits[] = "0123456789ABCDEF";
// A percentage beyond this is shown as this: an announced length far below what came.
constexpr qint64 LargestPercent = 99999;
} // namespace

namespace HexEncoder {

char highDigit(unsigned char byte)
{
    return HexDigits[byte >> 4];
}

char lowDigit(unsigned char byte)
{
    return HexDigits[byte & 15];
}

QByteArray encode(QByteArrayView bytes)
{
    QByteArray text;
    text.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        text.append(highDigit(static_cast<unsigned char>(byte)));
        text.append(lowDigit(static_cast<unsigned char>(byte)));
    }
    return text;
}

} // namespace HexEncoder

int HexDecoder::digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

HexDecoder::Result HexDecoder::feed(QByteArrayView input)
{
    Result result;
    if (m_ended)
        return result;
    for (const char c : input) {
        ++result.consumed;
        if (c == HexEndOfStream) {
            ++m_characters;
            m_ended = true;
            result.ended = true;
            break;
        }
        const int value = digitValue(c);
        if (value < 0) {
            if (c != '\r' && c != '\n' && c != ' ' && c != '\t')
                ++m_unexpected;
            continue;
        }
        if (++m_characters % 2 == 1)
            m_high = static_cast<unsigned char>(value << 4);
        else
            result.bytes.append(static_cast<char>(m_high | value));
    }
    return result;
}

LengthFramedDecoder::Result LengthFramedDecoder::feed(QByteArrayView input)
{
    Result result;
    if (m_announced == 0) {
        const qsizetype take = std::min<qsizetype>(2 - m_header.size(), input.size());
        m_header.append(input.first(take));
        input = input.sliced(take);
        if (m_header.size() < 2)
            return result;
        m_announced = static_cast<unsigned char>(m_header.at(0)) * 256 + static_cast<unsigned char>(m_header.at(1));
        if (m_announced == 0)
            m_announced = ZeroLengthMeans;
        result.headerRead = true;
    }
    result.data = input.toByteArray();
    m_data += result.data.size();
    return result;
}

int roundedPercent(qint64 done, qint64 total)
{
    if (total <= 0 || done <= 0)
        return 0;
    // done * 200 cannot overflow for any file this side of 2^55 bytes.
    const qint64 percent = (std::min(done, total * LargestPercent) * 200 + total) / (total * 2);
    return int(std::min(percent, LargestPercent));
}
