#include "download.h"

#include "codecs.h"
#include "line.h"
#include "regularfile.h"

TransferFault Download::begin(const QString &path)
{
    m_file.close();
    m_position = 0;
    m_handedOver = 0;
    m_faultDetail = {};
    if (openRegularFile(m_file, path, QIODevice::ReadOnly, &m_faultDetail) != OpenResult::Opened)
        return finish(TransferStep::Failed, TransferFault::SourceUnreadable).fault;
    m_length = m_file.size();
    if (m_length == 0)
        return finish(TransferStep::Failed, TransferFault::SourceEmpty).fault;
    if (sizeLimit() > 0 && m_length > sizeLimit())
        return finish(TransferStep::Failed, TransferFault::SourceTooLarge).fault;
    return TransferFault::None;
}

bool Download::readNext(unsigned char *byte)
{
    char c;
    if (!m_file.getChar(&c)) {
        m_faultDetail = lastFileError(m_file);
        return false;   // the file shrank or went away since it was measured
    }
    *byte = static_cast<unsigned char>(c);
    ++m_position;
    return true;
}

void Download::send(Line &line, char character)
{
    line.output(character);
    ++m_handedOver;
}

TransferStep Download::finish(TransferStep::Kind kind, TransferFault fault)
{
    m_file.close();
    TransferStep result;
    result.kind = kind;
    result.fault = fault;
    return result;
}

TransferStep HexDownload::step(Line &line)
{
    bool progressed = false;
    char digit;
    if (m_highDigitNext) {
        if (!readNext(&m_byte))
            return finish(TransferStep::Failed, TransferFault::SourceUnreadable);
        progressed = true;
        digit = HexEncoder::highDigit(m_byte);
    } else {
        digit = HexEncoder::lowDigit(m_byte);
    }
    m_highDigitNext = !m_highDigitNext;
    send(line, digit);

    TransferStep result;
    if (bytesRead() >= length() && m_highDigitNext) {
        // The low digit of the last byte has gone: close the stream.
        send(line, HexEndOfStream);
        result = finish(TransferStep::Completed);
    }
    result.progressed = progressed;
    return result;
}

TransferStep RawDownload::step(Line &line)
{
    unsigned char byte = 0;
    if (!readNext(&byte))
        return finish(TransferStep::Failed, TransferFault::SourceUnreadable);
    send(line, static_cast<char>(byte));

    TransferStep result;
    if (bytesRead() >= length())
        result = finish(TransferStep::Completed);
    result.progressed = true;
    return result;
}
