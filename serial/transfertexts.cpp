#include "transfertexts.h"

#include "comportmap.h"
#include "download.h"
#include "systemerror.h"

#include <QRegularExpression>
#include <QStringList>


namespace TransferTexts {

QString programTitle()
{
    return QStringLiteral("Kestrion's Data Transfer System");
}

ButtonTexts downloadRunning(Language language, const QString &chineseToolTip)
{
    const bool chinese = language == Language::Chinese;
    if (chinese)
        return {QStringLiteral("中斷 (&I)"), chineseToolTip};
    return {QStringLiteral("&Interrupt"), QStringLiteral("Interrupt the receiving data")};
}

ButtonTexts uploadRunning(Language language)
{
    const bool chinese = language == Language::Chinese;
    if (chinese)
        return {QStringLiteral("中斷 (&I)"), QStringLiteral("中斷上傳檔案")};
    return {QStringLiteral("&Interrupt"), QStringLiteral("Interrupt the transferring data")};
}

QString sending(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("　傳送中...") : QStringLiteral("　Transferring...");
}

QString receiving(Language language)
{
    const bool chinese = language == Language::Chinese;
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

Message downloadFinished(Language language, qint64 count)
{
    const bool chinese = language == Language::Chinese;
    if (chinese)
        return {QStringLiteral("傳送完畢！"), QStringLiteral("已傳送 %1 個位元組！").arg(countWithHex(count))};
    return {QStringLiteral("Download is finished!"), QStringLiteral("%1 has been transferred!").arg(countWithHex(count))};
}

Message uploadFinished(Language language, const TransferOutcome &outcome)
{
    const bool chinese = language == Language::Chinese;
    const QString count = countWithHex(outcome.count);
    Message message = chinese
        ? Message{QStringLiteral("接收完畢！"), QStringLiteral("已接收到 %1 個位元組！").arg(count)}
        : Message{QStringLiteral("Upload is finished!"), QStringLiteral("%1 has been received!").arg(count)};
    if (const QString remarks = uploadRemarks(language, outcome); !remarks.isEmpty())
        message.text += QLatin1Char('\n') + remarks;
    return message;
}

QString uploadRemarks(Language language, const TransferOutcome &outcome)
{
    const bool chinese = language == Language::Chinese;
    QStringList remarks;
    if (outcome.announced > 0 && outcome.announced != outcome.count)
        remarks << (chinese ? QStringLiteral("實驗板宣告的長度是 %1 個位元組。").arg(countWithHex(outcome.announced))
                            : QStringLiteral("The board announced %1 bytes.").arg(countWithHex(outcome.announced)));
    if (outcome.unexpectedCharacters > 0)
        remarks << (chinese ? QStringLiteral("有 %1 個字元不是十六進位數字，已略過。").arg(outcome.unexpectedCharacters)
                            : QStringLiteral("%1 characters that are not hexadecimal digits were left out.")
                                  .arg(outcome.unexpectedCharacters));
    if (outcome.loneDigit)
        remarks << (chinese ? QStringLiteral("最後一個數字沒有配對，已略過。")
                            : QStringLiteral("The last digit had no pair and was left out."));
    if (outcome.unexpectedCharacters > 0 || outcome.loneDigit)
        remarks << (chinese ? QStringLiteral("實驗板的設定可能不對。") : QStringLiteral("The board setting may be wrong."));
    return remarks.join(chinese ? QString() : QStringLiteral(" "));
}

Message fileTooLarge(Language language)
{
    const bool chinese = language == Language::Chinese;
    const QString limit = QString::number(RawDownload::MaximumSize);
    if (chinese)
        return {QStringLiteral("檔案太大！"), QStringLiteral("檔案大小不能超過 %1 Bytes！").arg(limit)};
    return {QStringLiteral("File's too big!"), QStringLiteral("Keep file size less than %1 bytes!").arg(limit)};
}

namespace {

QString faultSentence(Language language, const TransferOutcome &outcome)
{
    const bool chinese = language == Language::Chinese;
    switch (outcome.fault) {
    case TransferFault::None:
    case TransferFault::SourceTooLarge:
        break;
    case TransferFault::SourceUnreadable:
        return chinese ? QStringLiteral("無法讀取來源檔案，傳送已停止。")
                       : QStringLiteral("The source file cannot be read. The download has stopped.");
    case TransferFault::SourceEmpty:
        return chinese ? QStringLiteral("來源檔案是空的，沒有資料可傳送。")
                       : QStringLiteral("The source file is empty: there is nothing to send.");
    case TransferFault::TargetNotAFile:
        return chinese ? QStringLiteral("目的路徑不是一般檔案（資料夾、裝置或管道），無法寫入。")
                       : QStringLiteral("The target is not an ordinary file (a folder, a device or a pipe) and cannot be written.");
    case TransferFault::TargetUnwritable:
        if (outcome.kept < 0)
            return chinese ? QStringLiteral("無法建立目的檔案，接收已停止。")
                           : QStringLiteral("The target file cannot be created. The upload has stopped.");
        return chinese ? QStringLiteral("無法寫入目的檔案，接收已停止。")
                       : QStringLiteral("The target file cannot be written. The upload has stopped.");
    case TransferFault::TargetReadOnly:
        return chinese ? QStringLiteral("目的檔案為唯讀，已保持原狀。接收已停止。")
                       : QStringLiteral("The target file is read-only and was left as it is. The upload has stopped.");
    case TransferFault::PortClosed:
        return chinese ? QStringLiteral("通訊埠沒有開啟，傳輸已停止。")
                       : QStringLiteral("The serial port is not open. The transfer has stopped.");
    case TransferFault::PortClosedUnderTransfer:
        return chinese ? QStringLiteral("通訊埠因「設定」而關閉，傳輸已停止。")
                       : QStringLiteral("The serial port was closed for the Setting command, so the transfer has stopped.");
    case TransferFault::PortFailed:
        return chinese ? QStringLiteral("通訊埠停止運作，傳輸已停止。")
                       : QStringLiteral("The serial port stopped working. The transfer has stopped.");
    }
    return {};
}

// A name that is, or shows, a network address.
bool isNetworkName(const QString &portName)
{
    return portName.contains(QLatin1String("://"));
}

// The port as the user named it, with the device or the address behind it where that is
// something else: "COM5 (rfc2217://labpi:3005)".
QString portLabel(Language language, const QString &port, const QString &behind)
{
    if (behind.isEmpty() || behind == port)
        return port;
    return (language == Language::Chinese ? QStringLiteral("%1（%2）") : QStringLiteral("%1 (%2)")).arg(port, behind);
}

QString deviceGone(Language language, const QString &portName)
{
    const bool chinese = language == Language::Chinese;
    if (isNetworkName(portName))
        return chinese ? QStringLiteral("與 %1 的連線中斷了（伺服器已停止、網路故障，或伺服器關閉了連線）。").arg(portName)
                       : QStringLiteral("The connection to %1 was lost (the server stopped, the network failed, or the server closed it).")
                             .arg(portName);
    return chinese ? QStringLiteral("%1 的裝置已不在（轉接器被拔除、實驗板關機或連線另一端已關閉）。").arg(portName)
                   : QStringLiteral("The device of %1 went away (adapter unplugged, board switched off, or the other end closed).")
                         .arg(portName);
}

} // namespace

Message fault(Language language, const TransferOutcome &outcome)
{
    const bool chinese = language == Language::Chinese;
    if (outcome.fault == TransferFault::SourceTooLarge)
        return fileTooLarge(language);
    QString text = faultSentence(language, outcome);
    if (!outcome.detail.isEmpty()) {
        text += QLatin1Char('\n');
        if (outcome.fault != TransferFault::PortFailed)
            text += systemReason(language, outcome.systemError, outcome.detail);
        else if (outcome.portError.kind != PortError::None)   // a connection, and its address
            text += deviceGone(language, portLabel(language, outcome.portError.port, outcome.portError.device));
        else
            text += deviceGone(language, outcome.detail);
    }
    if (outcome.fault == TransferFault::PortClosed && outcome.portError.kind >= PortError::BadAddress)
        text = portError(language, outcome.portError);   // a board on the network: no serial port to speak of
    else if (outcome.fault == TransferFault::PortClosed && outcome.portError.kind != PortError::None)
        text += QLatin1Char('\n') + portError(language, outcome.portError);
    if (outcome.direction == Direction::Download && outcome.count > 0) {
        const QString count = countWithHex(outcome.count);
        text += QLatin1Char('\n');
        if (outcome.countIsUpperBound)
            text += chinese ? QStringLiteral("最多已傳送 %1 個位元組。").arg(count)
                            : QStringLiteral("Up to %1 bytes had been sent.").arg(count);
        else
            text += chinese ? QStringLiteral("已傳送 %1 個位元組。").arg(count)
                            : QStringLiteral("%1 bytes had been sent.").arg(count);
    }
    if (outcome.direction == Direction::Upload && outcome.kept >= 0) {
        text += QLatin1Char('\n');
        text += chinese ? QStringLiteral("檔案中保留已收到的 %1 個位元組。").arg(countWithHex(outcome.kept))
                        : QStringLiteral("The file keeps the %1 bytes received.").arg(countWithHex(outcome.kept));
    }
    return {programTitle(), text};
}

QString portError(Language language, const PortError &error)
{
    const bool chinese = language == Language::Chinese;
    const QString port = portLabel(language, error.port, error.device);
    switch (error.kind) {
    case PortError::None:
        break;
    case PortError::Missing:
        return chinese ? QStringLiteral("%1 不存在：請檢查連接線與 USB 轉接器。").arg(port)
                       : QStringLiteral("%1 does not exist: check the cable and the USB adapter.").arg(port);
    case PortError::InUse:
        return chinese ? QStringLiteral("%1 正被其他程式使用：請先關閉那個程式。").arg(port)
                       : QStringLiteral("%1 is in use by another program: close that program first.").arg(port);
    case PortError::NoPermission:
        if (!ComPortMap::portsNeedDialoutGroup())
            return chinese ? QStringLiteral("沒有使用 %1 的權限。").arg(port) : QStringLiteral("You may not use %1.").arg(port);
        return chinese ? QStringLiteral("沒有使用 %1 的權限：請加入 dialout 群組後重新登入。").arg(port)
                       : QStringLiteral("You may not use %1: join the dialout group and log in again.").arg(port);
    case PortError::Other:
        return chinese ? QStringLiteral("無法開啟 %1：%2").arg(port, systemReason(language, error.systemError, error.system))
                       : QStringLiteral("%1 cannot be opened: %2").arg(port, systemReason(language, error.systemError, error.system));
    case PortError::BadAddress:
        return chinese ? QStringLiteral("%1 不是可用的網路位址：%2").arg(port, addressProblem(language, error.address))
                       : QStringLiteral("%1 is not a usable network address: %2").arg(port, addressProblem(language, error.address));
    case PortError::HostUnknown:
        return chinese ? QStringLiteral("找不到 %1 的主機：請檢查主機名稱與網路。").arg(port)
                       : QStringLiteral("The host of %1 is not known: check its name and the network.").arg(port);
    case PortError::Refused:
        return chinese ? QStringLiteral("%1 拒絕連線：請確認序列裝置伺服器正在執行，且連接埠號碼正確。").arg(port)
                       : QStringLiteral("%1 refused the connection: check that the serial device server runs and listens on that port.")
                             .arg(port);
    case PortError::TimedOut:
        return chinese ? QStringLiteral("%1 沒有及時回應：請檢查位址、網路，以及伺服器是否開機。").arg(port)
                       : QStringLiteral("%1 did not answer in time: check the address, the network and that the server is on.").arg(port);
    case PortError::ConnectionLost:
        if (!error.system.isEmpty())   // the server's own words
            return chinese ? QStringLiteral("%1 關閉了連線，伺服器說：「%2」").arg(port, error.system)
                           : QStringLiteral("%1 closed the connection, saying: \"%2\"").arg(port, error.system);
        return chinese ? QStringLiteral("%1 關閉了連線：可能有其他使用者正在使用這個埠，或伺服器已停止。").arg(port)
                       : QStringLiteral("%1 closed the connection: another user may hold that port, or the server stopped.").arg(port);
    case PortError::NoComPortOption:
        return chinese ? QStringLiteral("%1 不支援 RFC 2217 序列埠控制：請改用 socket:// 位址，或在伺服器上設定 telnet(rfc2217)。").arg(port)
                       : QStringLiteral("%1 does not offer RFC 2217 serial-port control: use a socket:// address, or give the "
                                        "server's port telnet(rfc2217).")
                             .arg(port);
    case PortError::TelnetServer: {
        // The address as it should be written.
        QString address = isNetworkName(error.device) ? error.device : error.port;
        address.replace(QRegularExpression(QStringLiteral("^socket://"), QRegularExpression::CaseInsensitiveOption),
                        QStringLiteral("rfc2217://"));
        return chinese ? QStringLiteral("%1 的伺服器埠使用 telnet（RFC 2217），以原始 TCP 傳送會破壞資料：請改用 %2。").arg(port, address)
                       : QStringLiteral("%1 is a server port that speaks telnet (RFC 2217), which raw TCP would corrupt: "
                                        "use %2 instead.")
                             .arg(port, address);
    }
    }
    return {};
}

QString addressProblem(Language language, AddressProblem problem)
{
    const bool chinese = language == Language::Chinese;
    switch (problem) {
    case AddressProblem::None:
        break;
    case AddressProblem::UnknownScheme:
        return chinese ? QStringLiteral("位址須以 socket://（TCP）或 rfc2217://（RFC 2217）開頭。")
                       : QStringLiteral("an address begins with socket:// (raw TCP) or rfc2217:// (RFC 2217).");
    case AddressProblem::NoHost:
        return chinese ? QStringLiteral("缺少主機，例如 socket://labpi:3001。")
                       : QStringLiteral("the host is missing, as in socket://labpi:3001.");
    case AddressProblem::BadHostName:
        return chinese ? QStringLiteral("主機名稱只能包含英文字母、數字、連字號與句點。")
                       : QStringLiteral("a host name holds only letters, digits, hyphens and dots.");
    case AddressProblem::BadIpv4:
        return chinese ? QStringLiteral("IPv4 位址須為四個 0 到 255 的數字，例如 192.168.1.20。")
                       : QStringLiteral("an IPv4 address is four numbers from 0 to 255, as in 192.168.1.20.");
    case AddressProblem::BadIpv6:
        return chinese ? QStringLiteral("方括號內不是 IPv6 位址。")
                       : QStringLiteral("what stands in brackets is not an IPv6 address.");
    case AddressProblem::Ipv6WithoutBrackets:
        return chinese ? QStringLiteral("IPv6 位址須放在方括號內，例如 rfc2217://[fd00::7]:3002。")
                       : QStringLiteral("an IPv6 address goes in brackets, as in rfc2217://[fd00::7]:3002.");
    case AddressProblem::NoPort:
        return chinese ? QStringLiteral("主機後面缺少連接埠號碼，例如 labpi:3001。")
                       : QStringLiteral("the port number is missing after the host, as in labpi:3001.");
    case AddressProblem::BadPort:
        return chinese ? QStringLiteral("連接埠號碼須為 1 到 65535 的數字。")
                       : QStringLiteral("the port number must be a number from 1 to 65535.");
    }
    return {};
}

Message portLost(Language language, const QString &portName, const QString &address)
{
    const bool chinese = language == Language::Chinese;
    const bool network = isNetworkName(portName) || !address.isEmpty();
    const QString label = portLabel(language, portName, address);
    const QString check = chinese ? (network ? QStringLiteral("請檢查網路與伺服器") : QStringLiteral("請檢查連接線與轉接器"))
                                  : (network ? QStringLiteral("Check the network and the server")
                                             : QStringLiteral("Check the cable and the adapter"));
    const QString text = chinese
        ? QStringLiteral("通訊埠停止運作。%1\n%2，再從「設定」重新選擇通訊埠。").arg(deviceGone(language, label), check)
        : QStringLiteral("The serial port stopped working. %1\n%2, then choose Setting to open a port again.")
              .arg(deviceGone(language, label), check);
    return {programTitle(), text};
}

QString systemReason(Language language, int code, const QString &systemText)
{
    const bool chinese = language == Language::Chinese;
    switch (systemReasonOf(code)) {
    case SystemReason::Unknown:
        break;
    case SystemReason::NoSuchFile:
        return chinese ? QStringLiteral("檔案或路徑中的資料夾不存在。") : QStringLiteral("The file or a folder on its path does not exist.");
    case SystemReason::NoAccess:
        return chinese ? QStringLiteral("沒有存取權限。") : QStringLiteral("You have no permission for it.");
    case SystemReason::NotPermitted:
        return chinese ? QStringLiteral("系統不允許這個動作。") : QStringLiteral("The system does not permit it.");
    case SystemReason::DiskFull:
        return chinese ? QStringLiteral("磁碟已滿。") : QStringLiteral("The disk is full.");
    case SystemReason::QuotaUsedUp:
        return chinese ? QStringLiteral("磁碟配額已用完。") : QStringLiteral("Your disk quota is used up.");
    case SystemReason::ReadOnlyDisk:
        return chinese ? QStringLiteral("磁碟是唯讀的。") : QStringLiteral("The disk is read-only.");
    case SystemReason::NameTooLong:
        return chinese ? QStringLiteral("名稱太長。") : QStringLiteral("The name is too long.");
    case SystemReason::IsAFolder:
        return chinese ? QStringLiteral("這是資料夾。") : QStringLiteral("It is a folder.");
    case SystemReason::NotAFolder:
        return chinese ? QStringLiteral("路徑中有一部分不是資料夾。") : QStringLiteral("A part of the path is not a folder.");
    case SystemReason::InputOutput:
        return chinese ? QStringLiteral("裝置發生輸入/輸出錯誤。") : QStringLiteral("The device reported an input/output error.");
    case SystemReason::NoDevice:
        return chinese ? QStringLiteral("裝置不存在。") : QStringLiteral("The device is not there.");
    case SystemReason::Busy:
        return chinese ? QStringLiteral("正在使用中。") : QStringLiteral("It is in use.");
    }
    return systemText;
}

QString fileFilter(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("所有的檔案 (*.*)") : QStringLiteral("All Files (*.*)");
}

} // namespace TransferTexts
