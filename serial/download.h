#pragma once

#include "systemerror.h"
#include "transfer.h"

#include <QFile>
#include <QString>

class Line;

// One download: a file read byte by byte and handed to the line in the board's wire
// format. step() performs exactly one turn of the sending loop and never waits. The file
// is closed when a step ends the download, or when it is abandoned.
class Download {
public:
    virtual ~Download() = default;

    // Measures and opens the source. On a fault nothing is open and nothing was sent.
    TransferFault begin(const QString &path);

    // One turn of the loop: one character handed to the line.
    virtual TransferStep step(Line &line) = 0;

    // Stops without another byte (the user interrupted, the line closed or failed).
    void abandon() { m_file.close(); }

    qint64 length() const { return m_length; }
    // File bytes read so far, the one on the line now included.
    qint64 bytesRead() const { return m_position; }
    // Characters handed to the line so far.
    qint64 handedOver() const { return m_handedOver; }
    // The file bytes that `lineBytes` characters at the start of the stream carry.
    virtual qint64 fileBytesIn(qint64 lineBytes) const = 0;
    // What the system said when the source could not be read.
    SystemError faultDetail() const { return m_faultDetail; }

protected:
    // Largest file the board takes; 0 for no limit.
    virtual qint64 sizeLimit() const { return 0; }

    // Reads the byte at the current position and advances; false when it cannot.
    bool readNext(unsigned char *byte);
    void send(Line &line, char character);
    TransferStep finish(TransferStep::Kind kind, TransferFault fault = TransferFault::None);

private:
    QFile m_file;
    qint64 m_length = 0;
    qint64 m_position = 0;
    qint64 m_handedOver = 0;
    SystemError m_faultDetail;
};

// VXT-8088: every byte as two hexadecimal digits, one write a character, the stream
// closed by Ctrl-Z. A byte counts as sent once both its digits are: a lone high digit
// gives the board no byte.
class HexDownload final : public Download {
public:
    TransferStep step(Line &line) override;
    qint64 fileBytesIn(qint64 lineBytes) const override { return lineBytes / 2; }

private:
    unsigned char m_byte = 0;
    bool m_highDigitNext = true;
};

// VXT-8052: the bytes themselves, one write a byte, nothing after the last; at most
// MaximumSize bytes.
class RawDownload final : public Download {
public:
    static constexpr qint64 MaximumSize = 32000;
    TransferStep step(Line &line) override;
    qint64 fileBytesIn(qint64 lineBytes) const override { return lineBytes; }

protected:
    qint64 sizeLimit() const override { return MaximumSize; }
};
