#include "transfertexts.h"

#include "comportmap.h"
#include "download.h"
#include "systemerror.h"
#include "telnetcodec.h"

#include <QRegularExpression>
#include <QStringList>


namespace TransferTexts {

QString programTitle()
{
    return QStringLiteral("Kestrion's Data Transfer System");
}

QString sending(Language language)
{
    return pick(language, QStringLiteral("　Transferring..."), QStringLiteral("　傳送中..."));
}

QString receiving(Language language)
{
    return pick(language, QStringLiteral("　Receiving..."), QStringLiteral("　接收中..."));
}

QString percent(int value)
{
    return QStringLiteral("%1%").arg(value, 2, 10, QLatin1Char('0'));
}

QString printable(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (c.category() != QChar::Other_Control && u != 0x2028 && u != 0x2029) {
            shown += c;
            continue;
        }
        const int digits = u < 0x100 ? 2 : 4;
        shown += (u < 0x100 ? QStringLiteral("\\x") : QStringLiteral("\\u"))
            + QString::number(u, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
    }
    return shown;
}

QString countWithHex(qint64 count)
{
    return QStringLiteral("%1(%2H)").arg(count).arg(QString::number(count, 16).toUpper());
}

Ending ending(Language language, const TransferOutcome &outcome)
{
    if (outcome.kind == TransferOutcome::Failed)
        return {Ending::Warning, fault(language, outcome)};
    if (outcome.direction == Direction::Download) {
        if (outcome.kind == TransferOutcome::Completed)
            return {Ending::Information, downloadFinished(language, outcome.count)};
        return {};
    }
    if (outcome.kept >= 0)
        return {Ending::Information, uploadFinished(language, outcome)};
    return {};
}

Message downloadFinished(Language language, qint64 count)
{
    return {pick(language, QStringLiteral("Download is finished!"), QStringLiteral("傳送完畢！")),
            pick(language, QStringLiteral("%1 has been transferred!"), QStringLiteral("已傳送 %1 個位元組！"))
                .arg(countWithHex(count))};
}

Message uploadFinished(Language language, const TransferOutcome &outcome)
{
    Message message{pick(language, QStringLiteral("Upload is finished!"), QStringLiteral("接收完畢！")),
                    pick(language, QStringLiteral("%1 has been received!"), QStringLiteral("已接收到 %1 個位元組！"))
                        .arg(countWithHex(outcome.count))};
    if (const QString remarks = uploadRemarks(language, outcome); !remarks.isEmpty())
        message.text += QLatin1Char('\n') + remarks;
    return message;
}

QString uploadRemarks(Language language, const TransferOutcome &outcome)
{
    QStringList remarks;
    if (outcome.announced > 0 && outcome.announced != outcome.count)
        remarks << pick(language, QStringLiteral("The board announced %1 bytes."),
                        QStringLiteral("實驗板宣告的長度是 %1 個位元組。"))
                       .arg(countWithHex(outcome.announced));
    if (outcome.unexpectedCharacters > 0)
        remarks << pick(language, QStringLiteral("%1 characters that are not hexadecimal digits were left out."),
                        QStringLiteral("有 %1 個字元不是十六進位數字，已略過。"))
                       .arg(outcome.unexpectedCharacters);
    if (outcome.loneDigit)
        remarks << pick(language, QStringLiteral("The last digit had no pair and was left out."),
                        QStringLiteral("最後一個數字沒有配對，已略過。"));
    if (outcome.unexpectedCharacters > 0 || outcome.loneDigit)
        remarks << pick(language, QStringLiteral("The board setting may be wrong."),
                        QStringLiteral("實驗板的設定可能不對。"));
    return remarks.join(pick(language, QStringLiteral(" "), QString()));
}

Message fileTooLarge(Language language)
{
    const QString limit = QString::number(RawDownload::MaximumSize);
    return {pick(language, QStringLiteral("File's too big!"), QStringLiteral("檔案太大！")),
            pick(language, QStringLiteral("Keep file size less than %1 bytes!"),
                 QStringLiteral("檔案大小不能超過 %1 Bytes！"))
                .arg(limit)};
}

namespace {

QString faultSentence(Language language, const TransferOutcome &outcome)
{
    switch (outcome.fault) {
    case TransferFault::None:
    case TransferFault::SourceTooLarge:
        break;
    case TransferFault::SourceUnreadable:
        return pick(language, QStringLiteral("The source file cannot be read. The download has stopped."),
                    QStringLiteral("無法讀取來源檔案，傳送已停止。"));
    case TransferFault::SourceEmpty:
        return pick(language, QStringLiteral("The source file is empty: there is nothing to send."),
                    QStringLiteral("來源檔案是空的，沒有資料可傳送。"));
    case TransferFault::TargetNotAFile:
        return pick(
            language,
            QStringLiteral("The target is not an ordinary file (a folder, a device or a pipe) and cannot be written."),
            QStringLiteral("目的路徑不是一般檔案（資料夾、裝置或管道），無法寫入。"));
    case TransferFault::TargetUnwritable:
        if (outcome.kept < 0)
            return pick(language, QStringLiteral("The target file cannot be created. The upload has stopped."),
                        QStringLiteral("無法建立目的檔案，接收已停止。"));
        return pick(language, QStringLiteral("The target file cannot be written. The upload has stopped."),
                    QStringLiteral("無法寫入目的檔案，接收已停止。"));
    case TransferFault::TargetReadOnly:
        return pick(language,
                    QStringLiteral("The target file is read-only and was left as it is. The upload has stopped."),
                    QStringLiteral("目的檔案為唯讀，已保持原狀。接收已停止。"));
    case TransferFault::PortClosed:
        return pick(language, QStringLiteral("The serial port is not open. The transfer has stopped."),
                    QStringLiteral("通訊埠沒有開啟，傳輸已停止。"));
    case TransferFault::PortClosedUnderTransfer:
        return pick(language,
                    QStringLiteral("The serial port was closed for the Setting command, so the transfer has stopped."),
                    QStringLiteral("通訊埠因「設定」而關閉，傳輸已停止。"));
    case TransferFault::PortFailed:
        return pick(language, QStringLiteral("The serial port stopped working. The transfer has stopped."),
                    QStringLiteral("通訊埠停止運作，傳輸已停止。"));
    }
    return {};
}

// A name that is, or shows, a network address.
bool isNetworkName(const QString &portName)
{
    return portName.contains(QLatin1String("://"));
}

// A board on the network that could not be reached.
bool isNetworkRefusal(PortError::Kind kind)
{
    switch (kind) {
    case PortError::BadAddress:
    case PortError::HostUnknown:
    case PortError::Refused:
    case PortError::TimedOut:
    case PortError::ConnectionLost:
    case PortError::NoComPortOption:
    case PortError::LineSettingsRefused:
    case PortError::OverlongSubnegotiation:
    case PortError::TelnetServer:
        return true;
    default:
        return false;
    }
}

// The port as the user named it, with the device or the address behind it where that is
// something else: "COM5 (rfc2217://labpi:3005)".
QString portLabel(Language language, const QString &port, const QString &behind)
{
    if (behind.isEmpty() || behind == port)
        return printable(port);
    return pick(language, QStringLiteral("%1 (%2)"), QStringLiteral("%1（%2）"))
        .arg(printable(port), printable(behind));
}

// "FILE, line N: " where a fault is written in a file's line; empty where it is not.
QString inFile(Language language, const PortError &error)
{
    if (error.file.isEmpty() || error.line <= 0)
        return {};
    return pick(language, QStringLiteral("%1, line %2: "), QStringLiteral("%1 第 %2 行："))
        .arg(printable(error.file), QString::number(error.line));
}

QString deviceGone(Language language, const QString &name)
{
    const QString portName = printable(name);
    if (isNetworkName(portName))
        return pick(language,
                    QStringLiteral("The connection to %1 was lost (the server stopped, the network failed, or the "
                                   "server closed it)."),
                    QStringLiteral("與 %1 的連線中斷了（伺服器已停止、網路故障，或伺服器關閉了連線）。"))
            .arg(portName);
    return pick(language,
                QStringLiteral("The device of %1 went away (adapter unplugged, board switched off, or the other end "
                               "closed)."),
                QStringLiteral("%1 的裝置已不在（轉接器被拔除、實驗板關機或連線另一端已關閉）。"))
        .arg(portName);
}

// Why a line stopped working, `label` naming it: that the device went away or the
// connection dropped, whatever the system said then; or the reason the line knew.
QString stoppedBecause(Language language, const QString &label, const PortError &reason)
{
    switch (reason.kind) {
    case PortError::TelnetServer:
    case PortError::OverlongSubnegotiation:
    case PortError::LineSettingsRefused:
        return portError(language, reason);
    case PortError::ConnectionLost:
        if (!reason.serverSaid.isEmpty())
            return portError(language, reason);
        break;
    case PortError::Other:
        if (!reason.system.isEmpty())
            return pick(language, QStringLiteral("The device of %1 reported an error: %2"),
                        QStringLiteral("%1 的裝置回報錯誤：%2"))
                .arg(label, systemReason(language, reason.system));
        break;
    default:
        break;
    }
    return deviceGone(language, label);
}

} // namespace

Message fault(Language language, const TransferOutcome &outcome)
{
    if (outcome.fault == TransferFault::SourceTooLarge)
        return fileTooLarge(language);
    QString text = faultSentence(language, outcome);
    if (outcome.fault == TransferFault::PortFailed && !outcome.port.isEmpty())
        text += QLatin1Char('\n')
            + stoppedBecause(language, portLabel(language, outcome.port, outcome.device), outcome.portError);
    else if (outcome.fault != TransferFault::PortFailed && !outcome.system.text.isEmpty())
        text += QLatin1Char('\n') + systemReason(language, outcome.system);
    if (outcome.fault == TransferFault::PortClosed && isNetworkRefusal(outcome.portError.kind))
        text = portError(language, outcome.portError);   // there is no serial port to speak of
    else if (outcome.fault == TransferFault::PortClosed && outcome.portError.kind != PortError::None)
        text += QLatin1Char('\n') + portError(language, outcome.portError);
    if (outcome.direction == Direction::Download && outcome.count > 0) {
        const QString count = countWithHex(outcome.count);
        text += QLatin1Char('\n');
        if (outcome.countIsUpperBound)
            text += pick(language, QStringLiteral("Up to %1 bytes had been sent."),
                         QStringLiteral("最多已傳送 %1 個位元組。"))
                        .arg(count);
        else
            text += pick(language, QStringLiteral("%1 bytes had been sent."), QStringLiteral("已傳送 %1 個位元組。"))
                        .arg(count);
    }
    if (outcome.direction == Direction::Upload && outcome.kept >= 0) {
        text += QLatin1Char('\n');
        text += pick(language, QStringLiteral("The file keeps the %1 bytes received."),
                     QStringLiteral("檔案中保留已收到的 %1 個位元組。"))
                    .arg(countWithHex(outcome.kept));
    }
    return {programTitle(), text};
}

QString portError(Language language, const PortError &error)
{
    const QString port = portLabel(language, error.port, error.device);
    switch (error.kind) {
    case PortError::None:
        break;
    case PortError::Missing:
        return pick(language, QStringLiteral("%1 does not exist: check the cable and the USB adapter."),
                    QStringLiteral("%1 不存在：請檢查連接線與 USB 轉接器。"))
            .arg(port);
    case PortError::InUse:
        return pick(language, QStringLiteral("%1 is in use by another program: close that program first."),
                    QStringLiteral("%1 正被其他程式使用：請先關閉那個程式。"))
            .arg(port);
    case PortError::NoPermission:
        if (!ComPortMap::portsNeedDialoutGroup())
            return pick(language, QStringLiteral("You may not use %1."), QStringLiteral("沒有使用 %1 的權限。"))
                .arg(port);
        return pick(language, QStringLiteral("You may not use %1: join the dialout group and log in again."),
                    QStringLiteral("沒有使用 %1 的權限：請加入 dialout 群組後重新登入。"))
            .arg(port);
    case PortError::Other:
        return pick(language, QStringLiteral("%1 cannot be opened: %2").arg(port, systemReason(language, error.system)),
                    QStringLiteral("無法開啟 %1：%2").arg(port, systemReason(language, error.system)));
    case PortError::BadAddress: {
        const QString problem = addressProblem(language, error.addressProblem, error.addressOption);
        return inFile(language, error)
            + pick(language, QStringLiteral("%1 is not a usable network address: %2"),
                   QStringLiteral("%1 不是可用的網路位址：%2"))
                  .arg(port, problem);
    }
    case PortError::HostUnknown:
        return pick(language, QStringLiteral("The host of %1 is not known: check its name and the network."),
                    QStringLiteral("找不到 %1 的主機：請檢查主機名稱與網路。"))
            .arg(port);
    case PortError::Refused:
        return pick(
                   language,
                   QStringLiteral(
                       "%1 refused the connection: check that the serial device server runs and listens on that port."),
                   QStringLiteral("%1 拒絕連線：請確認序列裝置伺服器正在執行，且連接埠號碼正確。"))
            .arg(port);
    case PortError::TimedOut:
        return pick(language,
                    QStringLiteral("%1 did not answer in time: check the address, the network and that the server is on."),
                    QStringLiteral("%1 沒有及時回應：請檢查位址、網路，以及伺服器是否開機。"))
            .arg(port);
    case PortError::ConnectionLost:
        if (!error.serverSaid.isEmpty())   // the server's own words
            return pick(language, QStringLiteral("%1 closed the connection, saying: \"%2\""),
                        QStringLiteral("%1 關閉了連線，伺服器說：「%2」"))
                .arg(port, printable(error.serverSaid));
        return pick(language,
                    QStringLiteral("%1 closed the connection: another user may hold that port, or the server stopped."),
                    QStringLiteral("%1 關閉了連線：可能有其他使用者正在使用這個埠，或伺服器已停止。"))
            .arg(port);
    case PortError::NoComPortOption:
        return pick(language,
                    QStringLiteral("%1 does not offer RFC 2217 serial-port control: use a socket:// address, or give "
                                   "the server's port telnet(rfc2217)."),
                    QStringLiteral("%1 不支援 RFC 2217 序列埠控制：請改用 socket:// 位址，或在伺服器上設定 telnet(rfc2217)。"))
            .arg(port);
    case PortError::TelnetServer: {
        // The address as it should be written.
        QString address = isNetworkName(error.device) ? error.device : error.port;
        address.replace(QRegularExpression(QStringLiteral("^socket://"), QRegularExpression::CaseInsensitiveOption),
                        QStringLiteral("rfc2217://"));
        return pick(language,
                    QStringLiteral("%1 is a server port that speaks telnet (RFC 2217), which raw TCP would corrupt: use %2 "
                                   "instead."),
                    QStringLiteral("%1 的伺服器埠使用 telnet（RFC 2217），以原始 TCP 傳送會破壞資料：請改用 %2。"))
            .arg(port, printable(address));
    }
    case PortError::FolderMissing:
        return pick(language, QStringLiteral("The folder %1 named by KESTRION_COM_DIR does not exist."),
                    QStringLiteral("KESTRION_COM_DIR 指定的資料夾 %1 不存在。"))
            .arg(printable(error.file));
    case PortError::FolderUnreadable:
        return pick(language, QStringLiteral("The folder %1 named by KESTRION_COM_DIR cannot be read."),
                    QStringLiteral("無法讀取 KESTRION_COM_DIR 指定的資料夾 %1。"))
            .arg(printable(error.file));
    case PortError::AddressFileUnreadable:
        return pick(language, QStringLiteral("The address file of %1, %2, cannot be read."),
                    QStringLiteral("無法讀取 %1 的位址檔 %2。"))
            .arg(port, printable(error.file));
    case PortError::PortsFileUnreadable:
        return pick(language, QStringLiteral("The ports file %1 cannot be read."),
                    QStringLiteral("無法讀取通訊埠設定檔 %1。"))
            .arg(printable(error.file));
    case PortError::EntryIgnored:
        return inFile(language, error)
            + pick(language, QStringLiteral("\"%1\" is ignored: the entries are COMn=ADDRESS, below [ports]."),
                   QStringLiteral("「%1」已略過：設定須寫成 [ports] 下的 COMn=位址。"))
                  .arg(port);
    case PortError::NumberIgnored:
        return inFile(language, error)
            + pick(language, QStringLiteral("%1 is ignored: the numbers go from COM1 to COM15."),
                   QStringLiteral("%1 已略過：編號只能是 COM1 到 COM15。"))
                  .arg(port);
    case PortError::NumberRepeated:
        return inFile(language, error)
            + pick(language, QStringLiteral("%1 is ignored: an earlier line gives it already."),
                   QStringLiteral("%1 已略過：前面已有一行設定它。"))
                  .arg(port);
    case PortError::LineSettingsRefused:
        return pick(language, QStringLiteral("%1 did not set its serial port to %2: it answered %3."),
                    QStringLiteral("%1 沒有將序列埠設為 %2：伺服器回答 %3。"))
            .arg(port, ComPortSettings::asked(), error.system.text);
    case PortError::OverlongSubnegotiation:
        return pick(language,
                    QStringLiteral("%1 sent a telnet subnegotiation longer than %2 bytes: it is no serial device "
                                   "server this program can use."),
                    QStringLiteral("%1 送出超過 %2 個位元組的 telnet 子協商：這不是本程式能使用的序列裝置伺服器。"))
            .arg(port, error.system.text);
    }
    return {};
}

QString addressProblem(Language language, AddressProblem problem, const QString &option)
{
    switch (problem) {
    case AddressProblem::None:
        break;
    case AddressProblem::UnknownScheme:
        return pick(language, QStringLiteral("an address begins with socket:// (raw TCP) or rfc2217:// (RFC 2217)."),
                    QStringLiteral("位址須以 socket://（TCP）或 rfc2217://（RFC 2217）開頭。"));
    case AddressProblem::NoHost:
        return pick(language, QStringLiteral("the host is missing, as in socket://labpi:3001."),
                    QStringLiteral("缺少主機，例如 socket://labpi:3001。"));
    case AddressProblem::BadHostName:
        return pick(language, QStringLiteral("a host name holds only letters, digits, hyphens and dots."),
                    QStringLiteral("主機名稱只能包含英文字母、數字、連字號與句點。"));
    case AddressProblem::BadIpv4:
        return pick(language, QStringLiteral("an IPv4 address is four numbers from 0 to 255, as in 192.168.1.20."),
                    QStringLiteral("IPv4 位址須為四個 0 到 255 的數字，例如 192.168.1.20。"));
    case AddressProblem::BadIpv6:
        return pick(language, QStringLiteral("what stands in brackets is not an IPv6 address."),
                    QStringLiteral("方括號內不是 IPv6 位址。"));
    case AddressProblem::Ipv6WithoutBrackets:
        return pick(language, QStringLiteral("an IPv6 address goes in brackets, as in rfc2217://[fd00::7]:3002."),
                    QStringLiteral("IPv6 位址須放在方括號內，例如 rfc2217://[fd00::7]:3002。"));
    case AddressProblem::NoPort:
        return pick(language, QStringLiteral("the port number is missing after the host, as in labpi:3001."),
                    QStringLiteral("主機後面缺少連接埠號碼，例如 labpi:3001。"));
    case AddressProblem::BadPort:
        return pick(language, QStringLiteral("the port number must be a number from 1 to 65535."),
                    QStringLiteral("連接埠號碼須為 1 到 65535 的數字。"));
    case AddressProblem::HostTooLong:
        return pick(language, QStringLiteral("the host name is too long: at most 253 characters, and 63 between dots."),
                    QStringLiteral("主機名稱太長：最多 253 個字元，句點之間最多 63 個字元。"));
    case AddressProblem::UnknownOption:
        return pick(language,
                    QStringLiteral("the option \"%1\" is not known: the options are timeout=SECONDS, ign_set_control "
                                   "and logging=."),
                    QStringLiteral("不認得選項「%1」：可用的選項是 timeout=秒數、ign_set_control 與 logging=。"))
            .arg(printable(option));
    case AddressProblem::BadTimeout:
        return pick(language,
                    QStringLiteral("\"%1\" is wrong: timeout= takes the seconds opening may take, a number above 0 "
                                   "and at most 3600, as in timeout=10."),
                    QStringLiteral("「%1」不對：timeout= 需要大於 0、最多 3600 的秒數，例如 timeout=10。"))
            .arg(printable(option));
    }
    return {};
}

Message portLost(Language language, const QString &portName, const QString &address, const PortError &reason)
{
    const bool network = isNetworkName(portName) || !address.isEmpty();
    const QString label = portLabel(language, portName, address);
    const QString check = network ? pick(language, QStringLiteral("Check the network and the server"),
                                         QStringLiteral("請檢查網路與伺服器"))
                                  : pick(language, QStringLiteral("Check the cable and the adapter"),
                                         QStringLiteral("請檢查連接線與轉接器"));
    const QString text = pick(language,
                              QStringLiteral("The serial port stopped working. %1\n%2, then choose Setting to open a "
                                             "port again."),
                              QStringLiteral("通訊埠停止運作。%1\n%2，再從「設定」重新選擇通訊埠。"))
                             .arg(stoppedBecause(language, label, reason), check);
    return {programTitle(), text};
}

QString systemReason(Language language, const SystemError &error)
{
    switch (systemReasonOf(error.code)) {
    case SystemReason::Unknown:
        break;
    case SystemReason::NoSuchFile:
        return pick(language, QStringLiteral("The file or a folder on its path does not exist."),
                    QStringLiteral("檔案或路徑中的資料夾不存在。"));
    case SystemReason::NoAccess:
        return pick(language, QStringLiteral("You have no permission for it."), QStringLiteral("沒有存取權限。"));
    case SystemReason::NotPermitted:
        return pick(language, QStringLiteral("The system does not permit it."), QStringLiteral("系統不允許這個動作。"));
    case SystemReason::DiskFull:
        return pick(language, QStringLiteral("The disk is full."), QStringLiteral("磁碟已滿。"));
    case SystemReason::QuotaUsedUp:
        return pick(language, QStringLiteral("Your disk quota is used up."), QStringLiteral("磁碟配額已用完。"));
    case SystemReason::ReadOnlyDisk:
        return pick(language, QStringLiteral("The disk is read-only."), QStringLiteral("磁碟是唯讀的。"));
    case SystemReason::NameTooLong:
        return pick(language, QStringLiteral("The name is too long."), QStringLiteral("名稱太長。"));
    case SystemReason::IsAFolder:
        return pick(language, QStringLiteral("It is a folder."), QStringLiteral("這是資料夾。"));
    case SystemReason::NotAFolder:
        return pick(language, QStringLiteral("A part of the path is not a folder."),
                    QStringLiteral("路徑中有一部分不是資料夾。"));
    case SystemReason::InputOutput:
        return pick(language, QStringLiteral("The device reported an input/output error."),
                    QStringLiteral("裝置發生輸入/輸出錯誤。"));
    case SystemReason::NoDevice:
        return pick(language, QStringLiteral("The device is not there."), QStringLiteral("裝置不存在。"));
    case SystemReason::Busy:
        return pick(language, QStringLiteral("It is in use."), QStringLiteral("正在使用中。"));
    }
    return error.text;
}

QString fileFilter(Language language)
{
    return pick(language, QStringLiteral("All Files (*.*)"), QStringLiteral("所有的檔案 (*.*)"));
}

} // namespace TransferTexts
