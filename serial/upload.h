#pragma once

#include "transfer.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>

class CommPort;

// One upload: what the board sends, stored in a file. A subclass reads the board's wire
// format; step() performs exactly one turn of the receiving loop and never waits. The
// target is created only when the first data arrive, is written unbuffered so that what
// the count says is what the file holds, and is closed when a step ends the upload.
// Bytes a step keeps are written together when the pump has taken every waiting byte
// (commit()), one system call for a whole read rather than one a byte.
class Upload {
public:
    virtual ~Upload() = default;

    // A path that names something other than a regular file (a folder, a device, a pipe)
    // is never deleted, opened or written to.
    static TransferFault checkTarget(const QString &path);

    // Remembers the target; nothing is created yet.
    void begin(const QString &path);

    // Whether a step now has anything to do. Between data the upload waits for the
    // port's notification; a cleared flag always gets its last step.
    virtual bool hasWork(const CommPort &port) const = 0;

    // One turn of the loop. `stillUploading` is the window's flag as it stands now.
    virtual TransferStep step(CommPort &port, bool stillUploading) = 0;

    // Writes what the steps have kept since the last commit. Continue, or Failed when it
    // did not all reach the file.
    TransferStep commit();

    // Stops at once, keeping what came (the port failed or went away).
    void abandon();

    // The count the finishing message reports.
    virtual qint64 reportedCount() const = 0;

    // True once the target has been opened, i.e. the data phase has begun.
    bool isReceiving() const { return m_receiving; }
    // Bytes that reached the file.
    qint64 written() const { return m_written; }
    // What the system said about the last fault, for the user.
    QString faultDetail() const { return m_faultDetail; }

protected:
    // Creates the target, empty. False on a fault (see failed()).
    bool openTarget();
    // Appends to the target; false when not all of it reached the file.
    bool append(const QByteArray &bytes);
    // Keeps a byte for the next commit().
    void keep(char byte) { m_kept.append(byte); }
    // The upload ends: the file closed, Completed when it had been opened, else
    // Interrupted. A close that fails turns into a fault.
    TransferStep end();
    TransferStep failed();

private:
    QFile m_file;
    QByteArray m_kept;
    QString m_path;
    bool m_receiving = false;
    qint64 m_written = 0;
    TransferFault m_fault = TransferFault::None;
    QString m_faultDetail;
};

// VXT-8088: two hexadecimal digits (either case) a byte, the stream closed by Ctrl-Z
// (26). One character is taken per step; each completed pair is kept for the file. A
// character that is neither a digit nor Ctrl-Z (a CR or LF from the board) is ignored
// and not counted.
class HexUpload final : public Upload {
public:
    bool hasWork(const CommPort &port) const override;
    TransferStep step(CommPort &port, bool stillUploading) override;
    // Characters received, Ctrl-Z included, divided by two.
    qint64 reportedCount() const override { return m_characters / 2; }

private:
    qint64 m_characters = 0;
    unsigned char m_byte = 0;
};

// VXT-8052: after a two-byte length, which the window takes from the line, every read is
// appended as it comes. `announcedLength` gives that length, 0 while it is unknown; it
// only feeds the percentage. The window ends the upload when the line goes quiet.
class RawUpload final : public Upload {
public:
    explicit RawUpload(std::function<qint64()> announcedLength);
    bool hasWork(const CommPort &port) const override;
    TransferStep step(CommPort &port, bool stillUploading) override;
    qint64 reportedCount() const override { return written(); }

private:
    std::function<qint64()> m_announcedLength;
};
