#include "download.h"

#include "commport.h"

namespace {
constexpr char EndOfFile = 26;   // Ctrl-Z closes the 8088's hexadecimal stream
constexpr char HexDigits[] = "0123456789ABCDEF";
} // namespace

TransferFault Download::begin(const QString &path)
{
    m_file.close();
    m_file.setFileName(path);
    m_position = 0;
    if (!m_file.open(QIODevice::ReadOnly) || m_file.isSequential())
        return finish(TransferStep::Failed, TransferFault::SourceUnreadable).fault;
    m_length = m_file.size();
    if (m_length == 0)
        return finish(TransferStep::Failed, TransferFault::SourceEmpty).fault;
    if (sizeLimit() > 0 && m_length > sizeLimit())
        return finish(TransferStep::Failed, TransferFault::SourceTooLarge).fault;
    return TransferFault::None;
}

bool Download::readNext(char *byte)
{
    if (!m_file.getChar(byte))
        return false;   // the file shrank or went away since it was measured
    ++m_position;
    return true;
}

TransferStep Download::finish(TransferStep::Kind kind, TransferFault fault)
{
    m_file.close();
    TransferStep result;
    result.kind = kind;
    result.fault = fault;
    return result;
}

TransferStep HexDownload::step(CommPort &port, bool stillDownloading)
{
    int percent = -1;
    int digit;
    if (m_highDigitNext) {
        if (!readNext(&m_byte))
            return finish(TransferStep::Failed, TransferFault::SourceUnreadable);
        percent = roundedPercent(bytesRead(), length());
        digit = (static_cast<unsigned char>(m_byte) >> 4) & 15;
    } else {
        digit = static_cast<unsigned char>(m_byte) & 15;
    }
    m_highDigitNext = !m_highDigitNext;
    port.output(HexDigits[digit]);

    TransferStep result;
    if (bytesRead() >= length() && m_highDigitNext) {
        // The low digit of the last byte has gone: close the stream.
        port.output(EndOfFile);
        result = finish(TransferStep::Completed);
    } else if (!stillDownloading) {
        // An interrupted download has no end character.
        result = finish(TransferStep::Interrupted);
    }
    result.percent = percent;
    return result;
}

TransferStep RawDownload::step(CommPort &port, bool stillDownloading)
{
    char byte;
    if (!readNext(&byte))
        return finish(TransferStep::Failed, TransferFault::SourceUnreadable);
    const int percent = roundedPercent(bytesRead(), length());
    port.output(byte);

    TransferStep result;
    if (bytesRead() >= length())
        result = finish(TransferStep::Completed);
    else if (!stillDownloading)
        result = finish(TransferStep::Interrupted);
    result.percent = percent;
    return result;
}
