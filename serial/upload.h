#pragma once

#include "codecs.h"
#include "systemerror.h"
#include "transfer.h"

#include <QByteArrayView>
#include <QFile>
#include <QString>

// One upload: what the board sends, decoded and stored in a file. The target is created
// only when the data phase begins (the 8088's first character, the 8052's length), is
// written unbuffered so that what the count says is what the file holds, and is closed
// when the upload ends. Each batch of input reaches the file with one system call.
class Upload {
public:
    virtual ~Upload() = default;

    // Whether the board's data could be stored at `path`, asked before the board sends
    // anything and without creating anything. A path that names something other than a
    // regular file (a folder, a device, a pipe) is never deleted, opened or written to; a
    // file marked read-only is kept; the folder must be there and take a new file. On
    // TargetUnwritable, `detail` holds what the system said.
    static TransferFault checkTarget(const QString &path, SystemError *detail);

    // Remembers the target; nothing is created yet.
    void begin(const QString &path);

    // Decodes what came and stores it. Continue, Completed when the board closed its
    // stream, or Failed when the file could not be made or written.
    TransferStep receive(QByteArrayView input);

    // The upload ends here (the user, or a quiet line): the file is closed. Completed, or
    // Failed when the file could not be closed.
    TransferStep end();

    // Stops at once, keeping what reached the file (the port failed or went away).
    void abandon() { m_file.close(); }

    // The count the finishing message reports.
    virtual qint64 reportedCount() const = 0;
    virtual TransferProgress progress() const = 0;
    // The length the board announced; -1 where the board announces none.
    virtual qint64 announced() const { return -1; }
    // Signs that the board's stream was not what this board sends.
    virtual qint64 unexpectedCharacters() const { return 0; }
    virtual bool endedMidByte() const { return false; }

    // True once the target has been made, i.e. the data phase has begun.
    bool isReceiving() const { return m_receiving; }
    // Bytes that reached the file.
    qint64 written() const { return m_written; }
    // What the system said about the last fault, for the user.
    SystemError faultDetail() const { return m_faultDetail; }

protected:
    struct Decoded {
        QByteArray bytes;          // for the file
        bool dataPhase = false;    // the target must exist from now on
        bool ended = false;        // the board closed its stream
    };
    virtual Decoded decode(QByteArrayView input) = 0;

private:
    TransferFault openTarget();
    TransferStep failed(TransferFault fault, const SystemError &detail = {});
    // The platform's part (upload_unix.cpp, upload_win.cpp): whether `folder` exists and
    // lets this user add a file to it; what the system says where it does not.
    static SystemError folderRefusal(const QString &folder);

    QFile m_file;
    QString m_path;
    bool m_receiving = false;
    qint64 m_written = 0;
    SystemError m_faultDetail;
};

// VXT-8088: two hexadecimal digits a byte, the stream closed by Ctrl-Z. The file is made
// when the first character comes.
class HexUpload final : public Upload {
public:
    qint64 reportedCount() const override { return m_decoder.reportedCount(); }
    TransferProgress progress() const override;
    qint64 unexpectedCharacters() const override { return m_decoder.unexpectedCharacters(); }
    bool endedMidByte() const override { return m_decoder.hasLoneDigit(); }

protected:
    Decoded decode(QByteArrayView input) override;

private:
    HexDecoder m_decoder;
};

// VXT-8052: a two-byte length, then the data, every byte of it stored; the session ends
// the upload when the line goes quiet. The file is made once the length is known.
class RawUpload final : public Upload {
public:
    qint64 reportedCount() const override { return written(); }
    TransferProgress progress() const override;
    qint64 announced() const override { return m_decoder.announced() > 0 ? m_decoder.announced() : -1; }

protected:
    Decoded decode(QByteArrayView input) override;

private:
    LengthFramedDecoder m_decoder;
};
