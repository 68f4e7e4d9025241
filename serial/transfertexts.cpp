#include "transfertexts.h"

namespace TransferTexts {

QString programTitle()
{
    return QStringLiteral("Kestrion's Data Transfer System");
}

ButtonTexts downloadRunning(int chinese, const QString &chineseToolTip)
{
    if (chinese)
        return {QStringLiteral("中斷 (&I)"), chineseToolTip};
    return {QStringLiteral("&Interrupt"), QStringLiteral("Interrupt the receiving data")};
}

ButtonTexts uploadRunning(int chinese)
{
    if (chinese)
        return {QStringLiteral("中斷 (&I)"), QStringLiteral("中斷上傳檔案")};
    return {QStringLiteral("&Interrupt"), QStringLiteral("Interrupt the transferring data")};
}

QString sending(int chinese)
{
    return chinese ? QStringLiteral("　傳送中...") : QStringLiteral("　Transferring...");
}

QString receiving(int chinese)
{
    return chinese ? QStringLiteral("　接收中...") : QStringLiteral("　Receiving...");
}

QString percent(int value)
{
    return QStringLiteral("%1%").arg(value, 2, 10, QLatin1Char('0'));
}

QString countWithHex(qint64 count)
{
    return QStringLiteral("%1(%2H)").arg(count).arg(QString::number(count, 16).toUpper());
}

Message downloadFinished(int chinese, qint64 count)
{
    if (chinese)
        return {QStringLiteral("傳送完畢！"), QStringLiteral("已傳送 %1 個位元組！").arg(countWithHex(count))};
    return {QStringLiteral("Download is finished!"), QStringLiteral("%1 has been transferred!").arg(countWithHex(count))};
}

Message uploadFinished(int chinese, qint64 count)
{
    if (chinese)
        return {QStringLiteral("接收完畢！"), QStringLiteral("已接收到 %1 個位元組！").arg(countWithHex(count))};
    return {QStringLiteral("Upload is finished!"), QStringLiteral("%1 has been received!").arg(countWithHex(count))};
}

Message fileTooLarge(int chinese)
{
    if (chinese)
        return {QStringLiteral("檔案太大！"), QStringLiteral("檔案大小不能超過 32000 Bytes！")};
    return {QStringLiteral("File's too big!"), QStringLiteral("Keep file size less than 32000 bytes!")};
}

Message fault(int chinese, TransferFault fault, const QString &detail, qint64 kept)
{
    QString text;
    switch (fault) {
    case TransferFault::None:
        break;
    case TransferFault::SourceUnreadable:
        text = chinese ? QStringLiteral("無法讀取來源檔案，傳送已停止。")
                       : QStringLiteral("The source file cannot be read. The download has stopped.");
        break;
    case TransferFault::SourceEmpty:
        text = chinese ? QStringLiteral("來源檔案是空的，沒有資料可傳送。")
                       : QStringLiteral("The source file is empty: there is nothing to send.");
        break;
    case TransferFault::SourceTooLarge:
        return fileTooLarge(chinese);
    case TransferFault::TargetNotAFile:
        text = chinese ? QStringLiteral("目的路徑不是一般檔案（資料夾、裝置或管道），無法寫入。")
                       : QStringLiteral("The target is not an ordinary file (a folder, a device or a pipe) and cannot be written.");
        break;
    case TransferFault::TargetUnwritable:
        text = chinese ? QStringLiteral("無法寫入目的檔案，接收已停止。檔案中保留已收到的資料。")
                       : QStringLiteral("The target file cannot be written. The upload has stopped; the file keeps what was written before.");
        break;
    case TransferFault::TargetReadOnly:
        text = chinese ? QStringLiteral("目的檔案為唯讀，已保持原狀。接收已停止。")
                       : QStringLiteral("The target file is read-only and was left as it is. The upload has stopped.");
        break;
    case TransferFault::PortClosed:
        text = chinese ? QStringLiteral("通訊埠沒有開啟，傳輸已停止。")
                       : QStringLiteral("The serial port is not open. The transfer has stopped.");
        break;
    case TransferFault::PortFailed:
        text = chinese ? QStringLiteral("通訊埠停止運作，傳輸已停止。")
                       : QStringLiteral("The serial port stopped working. The transfer has stopped.");
        break;
    }
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    if (kept >= 0) {
        text += QLatin1Char('\n');
        text += chinese ? QStringLiteral("檔案中保留已收到的 %1 個位元組。").arg(countWithHex(kept))
                        : QStringLiteral("The file keeps the %1 bytes received.").arg(countWithHex(kept));
    }
    return {programTitle(), text};
}

QString fileFilter(int chinese)
{
    return chinese ? QStringLiteral("所有的檔案 (*.*)") : QStringLiteral("All Files (*.*)");
}

} // namespace TransferTexts
