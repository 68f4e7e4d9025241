#pragma once

#include "transfer.h"

#include <QFile>
#include <QString>

class CommPort;

// One download: a file read byte by byte and handed to the port in the board's wire
// format. step() performs exactly one turn of the sending loop and never waits. The file
// is closed when a step ends the download.
class Download {
public:
    virtual ~Download() = default;

    // Measures and opens the source. On a fault nothing is open and nothing was sent.
    TransferFault begin(const QString &path);

    // One turn of the loop: one character on the line. `stillDownloading` is false once
    // the user has interrupted; the step that sees it is the last.
    virtual TransferStep step(CommPort &port, bool stillDownloading) = 0;

    // Stops without another byte, e.g. when the port failed.
    void abandon() { m_file.close(); }

    qint64 length() const { return m_length; }
    // File bytes read so far, the one on the line now included.
    qint64 bytesRead() const { return m_position; }
    // What the system said when the source could not be read.
    QString faultDetail() const { return m_faultDetail; }

protected:
    // Largest file the board takes; 0 for no limit.
    virtual qint64 sizeLimit() const { return 0; }

    // Reads the byte at the current position and advances; false when it cannot.
    bool readNext(unsigned char *byte);
    TransferStep finish(TransferStep::Kind kind, TransferFault fault = TransferFault::None);

private:
    QFile m_file;
    qint64 m_length = 0;
    qint64 m_position = 0;
    QString m_faultDetail;
};

// VXT-8088: every byte as two hexadecimal digits, one write a character, the stream
// closed by Ctrl-Z.
class HexDownload final : public Download {
public:
    TransferStep step(CommPort &port, bool stillDownloading) override;

private:
    unsigned char m_byte = 0;
    bool m_highDigitNext = true;
};

// VXT-8052: the bytes themselves, one write a byte, nothing after the last; at most
// MaximumSize bytes.
class RawDownload final : public Download {
public:
    static constexpr qint64 MaximumSize = 32000;
    TransferStep step(CommPort &port, bool stillDownloading) override;

protected:
    qint64 sizeLimit() const override { return MaximumSize; }
};
