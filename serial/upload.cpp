#include "upload.h"

#include "regularfile.h"

#include <QFileInfo>

namespace {

// A file is marked read-only by its owner's write permission, whoever the user is.
bool markedReadOnly(const QFileInfo &info)
{
    return !(info.permissions() & QFile::WriteOwner);
}

} // namespace

TransferFault Upload::checkTarget(const QString &path, SystemError *detail)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return TransferFault::TargetNotAFile;
    if (info.exists() && markedReadOnly(info))
        return TransferFault::TargetReadOnly;
    // The file is made in its folder later (an older file of the name is deleted first):
    // the folder must exist and let this user add to it.
    const QString folder = path.isEmpty() ? QString() : info.absolutePath();
    if (const SystemError why = folderRefusal(folder); !why.isEmpty()) {
        *detail = why;
        return TransferFault::TargetUnwritable;
    }
    return TransferFault::None;
}

void Upload::begin(const QString &path)
{
    m_file.close();
    m_path = path;
    m_receiving = false;
    m_written = 0;
    m_faultDetail = {};
}

TransferFault Upload::openTarget()
{
    const QFileInfo info(m_path);
    // A file left in place because it is marked read-only stays untouched, also for a
    // user (root) whom the system would let write it.
    if (info.exists() && markedReadOnly(info))
        return TransferFault::TargetReadOnly;
    switch (openRegularFile(m_file, m_path, QIODevice::WriteOnly | QIODevice::Unbuffered, &m_faultDetail)) {
    case OpenResult::Opened:
        break;
    case OpenResult::NotARegularFile:
        return TransferFault::TargetNotAFile;
    case OpenResult::Failed:
        return TransferFault::TargetUnwritable;
    }
    m_receiving = true;
    return TransferFault::None;
}

TransferStep Upload::receive(QByteArrayView input)
{
    const Decoded decoded = decode(input);
    if (decoded.dataPhase && !m_receiving) {
        if (const TransferFault fault = openTarget(); fault != TransferFault::None)
            return failed(fault);
    }
    qint64 done = 0;
    const qint64 size = decoded.bytes.size();
    while (done < size) {
        // Unbuffered: every byte counted here has been handed to the system. A short
        // write is followed by another, which then reports why.
        const qint64 n = m_file.write(decoded.bytes.constData() + done, size - done);
        if (n <= 0)
            return failed(TransferFault::TargetUnwritable, lastFileError(m_file));
        done += n;
        m_written += n;
    }
    if (decoded.ended)
        return end();
    return {};
}

TransferStep Upload::end()
{
    TransferStep result;
    result.kind = TransferStep::Completed;
    if (!m_receiving)
        return result;
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        return failed(TransferFault::TargetUnwritable, lastFileError(m_file));
    return result;
}

TransferStep Upload::failed(TransferFault fault, const SystemError &detail)
{
    if (!detail.isEmpty())
        m_faultDetail = detail;
    m_file.close();
    TransferStep result;
    result.kind = TransferStep::Failed;
    result.fault = fault;
    return result;
}

// --- VXT-8088 ------------------------------------------------------------------------

Upload::Decoded HexUpload::decode(QByteArrayView input)
{
    const HexDecoder::Result result = m_decoder.feed(input);
    return {result.bytes, !input.isEmpty(), result.ended};
}

TransferProgress HexUpload::progress() const
{
    TransferProgress progress;
    progress.direction = Direction::Upload;
    progress.bytes = reportedCount();
    return progress;
}

// --- VXT-8052 ------------------------------------------------------------------------

Upload::Decoded RawUpload::decode(QByteArrayView input)
{
    const LengthFramedDecoder::Result result = m_decoder.feed(input);
    return {result.data, m_decoder.announced() > 0, false};
}

TransferProgress RawUpload::progress() const
{
    TransferProgress progress;
    progress.direction = Direction::Upload;
    progress.bytes = written();
    progress.total = m_decoder.announced();
    progress.percent = roundedPercent(written(), progress.total);
    return progress;
}
