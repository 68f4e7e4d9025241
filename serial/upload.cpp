#include "upload.h"

#include "commport.h"

#include <QFileInfo>
#include <utility>

namespace {

constexpr char EndOfFile = 26;   // Ctrl-Z closes the 8088's hexadecimal stream

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

TransferFault Upload::checkTarget(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return TransferFault::TargetNotAFile;
    return TransferFault::None;
}

void Upload::begin(const QString &path)
{
    m_file.close();
    m_kept.clear();
    m_path = path;
    m_receiving = false;
    m_written = 0;
    m_fault = TransferFault::None;
    m_faultDetail.clear();
}

bool Upload::openTarget()
{
    // Checked again: the path may have changed since the upload started, and opening a
    // pipe for writing would wait for a reader.
    if (checkTarget(m_path) != TransferFault::None) {
        m_fault = TransferFault::TargetNotAFile;
        return false;
    }
    const QFileInfo info(m_path);
    // A file left in place because it is marked read-only stays untouched, also for a
    // user (root) whom the system would let write it.
    if (info.exists() && !(info.permissions() & QFile::WriteOwner)) {
        m_fault = TransferFault::TargetReadOnly;
        return false;
    }
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_fault = TransferFault::TargetUnwritable;
        m_faultDetail = m_file.errorString();
        return false;
    }
    m_receiving = true;
    return true;
}

bool Upload::append(const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        // Unbuffered: every byte counted below has been handed to the system. A short
        // write is followed by another, which then reports why.
        const qint64 n = m_file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            m_fault = TransferFault::TargetUnwritable;
            m_faultDetail = m_file.errorString();
            return false;
        }
        done += n;
        m_written += n;
    }
    return true;
}

TransferStep Upload::commit()
{
    if (m_kept.isEmpty())
        return {};
    const QByteArray bytes = std::exchange(m_kept, {});
    if (!append(bytes))
        return failed();
    return {};
}

void Upload::abandon()
{
    if (m_receiving && !m_kept.isEmpty())
        append(std::exchange(m_kept, {}));
    m_file.close();
}

TransferStep Upload::end()
{
    TransferStep result;
    if (!m_receiving) {
        result.kind = TransferStep::Interrupted;
        return result;
    }
    if (commit().kind == TransferStep::Failed)
        return failed();
    m_file.close();
    if (m_file.error() != QFileDevice::NoError) {
        m_fault = TransferFault::TargetUnwritable;
        m_faultDetail = m_file.errorString();
        return failed();
    }
    result.kind = TransferStep::Completed;
    return result;
}

TransferStep Upload::failed()
{
    m_file.close();
    TransferStep result;
    result.kind = TransferStep::Failed;
    result.fault = m_fault;
    return result;
}

// --- VXT-8088 ------------------------------------------------------------------------

bool HexUpload::hasWork(const CommPort &port) const
{
    return port.inBufferCount() > 0;
}

TransferStep HexUpload::step(CommPort &port, bool stillUploading)
{
    if (!stillUploading)
        return end();
    if (port.inBufferCount() <= 0)
        return {};
    // The first character has come: the file is made now.
    if (!isReceiving() && !openTarget())
        return failed();

    const int inputLen = port.inputLen();
    port.setInputLen(1);
    const QByteArray input = port.input();
    port.setInputLen(inputLen);
    if (input.isEmpty())
        return {};
    const char c = input.at(0);
    const int value = hexValue(c);
    if (c != EndOfFile && value < 0)
        return {};   // not part of the data: ignored, not counted

    ++m_characters;
    TransferStep result;
    if (c == EndOfFile) {
        result.endCharacter = true;
    } else if (m_characters % 2 == 1) {
        m_byte = static_cast<unsigned char>(value << 4);
    } else {
        m_byte = static_cast<unsigned char>(m_byte + value);
        keep(static_cast<char>(m_byte));
    }
    result.count = reportedCount();
    return result;
}

// --- VXT-8052 ------------------------------------------------------------------------

RawUpload::RawUpload(std::function<qint64()> announcedLength)
    : m_announcedLength(std::move(announcedLength))
{
}

bool RawUpload::hasWork(const CommPort &port) const
{
    if (!isReceiving())
        return m_announcedLength() > 0;
    return port.inBufferCount() > 0;
}

TransferStep RawUpload::step(CommPort &port, bool stillUploading)
{
    if (!stillUploading)
        return end();
    const qint64 announced = m_announcedLength();
    // Nothing is read before the length is known: the first two bytes are the window's.
    if (announced <= 0)
        return {};
    if (!isReceiving() && !openTarget())
        return failed();
    if (port.inBufferCount() <= 0)
        return {};

    if (!append(port.input()))
        return failed();
    TransferStep result;
    result.percent = roundedPercent(written(), announced);
    return result;
}
