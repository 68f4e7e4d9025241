#include "clitexts.h"

#include "comportmap.h"
#include "transfertexts.h"

namespace CliTexts {

namespace {

// "1 second", "2 seconds"; the Chinese texts say "%1 秒" themselves.
QString secondsText(qint64 count)
{
    return count == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(count);
}

QString duration(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString description(Language language)
{
    if (language == Language::Chinese)
        return QStringLiteral("經由 RS-232 (9600 8N1) 與 VXT-8088、VXT-8052 實驗板傳送檔案，"
                              "直接連接或經過網路上的序列裝置伺服器。\n\n"
                              "指令：\n"
                              "  ports                                    列出現在可以使用的通訊埠\n"
                              "  download --board 板 --port 埠 [--port 埠 ...] 檔案\n"
                              "                                           把檔案同時下載到每一塊實驗板\n"
                              "  upload --board 板 --port 埠 檔案 [--wait 秒]  把實驗板上傳的資料存成檔案\n\n"
                              "結束狀態：0 完成；2 用法錯誤；3 檔案問題；4 通訊埠問題；5 實驗板沒有送出資料；\n"
                              "6 實驗板在資料結束前停止；130 Ctrl-C；143 SIGTERM。\n"
                              "下載到多塊實驗板時：每一塊都收到整個檔案才是 0，否則為各板狀態中最大的一個。");
    return QStringLiteral("Moves files between this PC and a VXT-8088 or VXT-8052 trainer board over RS-232 "
                          "(9600 8N1),\ndirectly or through a serial device server on the network.\n\n"
                          "Commands:\n"
                          "  ports                                    list the ports that can be used now\n"
                          "  download --board B --port P [--port P ...] FILE\n"
                          "                                           send FILE to every board at once\n"
                          "  upload --board B --port P FILE [--wait S]  store what the board sends in FILE\n\n"
                          "Exit status: 0 done; 2 usage; 3 a file problem; 4 a port problem; 5 no data came from\n"
                          "the board; 6 the board stopped before the end of its data; 130 Ctrl-C; 143 SIGTERM.\n"
                          "A download to several boards ends with 0 only when every board got the whole file,\n"
                          "otherwise with the highest status of its boards.");
}

QString boardOption(Language language)
{
    return pick(language, QStringLiteral("The board: 8088 or 8052."), QStringLiteral("實驗板：8088 或 8052。"));
}

QString portOption(Language language)
{
    return pick(language,
                QStringLiteral("The port: COM1 to COM15, a device's absolute path, or a board on the network, "
                               "socket://HOST:PORT or rfc2217://HOST:PORT. A download takes several."),
                QStringLiteral("通訊埠：COM1 到 COM15、裝置的完整路徑，或網路上的實驗板 socket://主機:埠、"
                               "rfc2217://主機:埠。下載可以給多個 --port。"));
}

QString waitOption(Language language)
{
    return pick(language,
                QStringLiteral("Upload: give up when the board has sent nothing for this many seconds, "
                               "before its data or in the middle of them."),
                QStringLiteral("上傳：實驗板連續這麼多秒沒有送出任何東西（開始前或傳送中）就放棄。"));
}

QString langOption(Language language)
{
    return pick(language, QStringLiteral("Language of the texts: en (English) or zh-TW (Traditional Chinese)."),
                QStringLiteral("語言：en（英文）或 zh-TW（繁體中文）。"));
}

QString commandArgument(Language language)
{
    return pick(language, QStringLiteral("ports, download or upload."), QStringLiteral("ports、download 或 upload。"));
}

QString fileArgument(Language language)
{
    return pick(language, QStringLiteral("The file to send, or the file to write."),
                QStringLiteral("要下載的檔案，或上傳要寫入的檔案。"));
}

QString portValueName(Language language)
{
    return pick(language, QStringLiteral("PORT"), QStringLiteral("埠"));
}

QString secondsValueName(Language language)
{
    return pick(language, QStringLiteral("SECONDS"), QStringLiteral("秒"));
}

QString commandName(Language language)
{
    return pick(language, QStringLiteral("command"), QStringLiteral("指令"));
}

QString fileName(Language language)
{
    return pick(language, QStringLiteral("FILE"), QStringLiteral("檔案"));
}

QString usageHint(Language language)
{
    return pick(language, QStringLiteral("See kestrion-cli --help for the usage."),
                QStringLiteral("用法請見 kestrion-cli --help。"));
}

QString missingCommand(Language language)
{
    return pick(language, QStringLiteral("Name a command: ports, download or upload."),
                QStringLiteral("缺少指令：ports、download 或 upload。"));
}

QString unknownCommand(Language language, const QString &command)
{
    return pick(language, QStringLiteral("Unknown command \"%1\"."), QStringLiteral("不明的指令「%1」。"))
        .arg(TransferTexts::printable(command));
}

QString missingOption(Language language, const QString &option)
{
    return pick(language, QStringLiteral("--%1 is missing."), QStringLiteral("缺少 --%1。")).arg(option);
}

QString badBoard(Language language, const QString &value)
{
    return pick(language, QStringLiteral("There is no board \"%1\": use 8088 or 8052."),
                QStringLiteral("實驗板「%1」不存在：請用 8088 或 8052。"))
        .arg(TransferTexts::printable(value));
}

QString badPort(Language language, const QString &value)
{
    return pick(language,
                QStringLiteral("\"%1\" is not a port: use COM1 to COM15, a device path starting with /, or an address "
                               "such as rfc2217://labpi:3001."),
                QStringLiteral("「%1」不是通訊埠：請用 COM1 到 COM15、以 / 開頭的裝置路徑，或 rfc2217://labpi:3001 "
                               "這樣的位址。"))
        .arg(TransferTexts::printable(value));
}

QString onePortForUpload(Language language)
{
    return pick(language, QStringLiteral("upload takes one --port: one board's data go into one file."),
                QStringLiteral("upload 只能用一個 --port：一塊實驗板的資料存成一個檔案。"));
}

QString portNamedTwice(Language language, const QString &value)
{
    return pick(language, QStringLiteral("\"%1\" is a port already named by an earlier --port."),
                QStringLiteral("「%1」與前面的 --port 是同一個通訊埠。"))
        .arg(TransferTexts::printable(value));
}

QString badWait(Language language, const QString &value)
{
    return pick(language, QStringLiteral("--wait takes a whole number of seconds above 0, not \"%1\"."),
                QStringLiteral("--wait 需要正整數秒數，不是「%1」。"))
        .arg(TransferTexts::printable(value));
}

QString waitIsForUpload(Language language)
{
    return pick(language, QStringLiteral("--wait is for upload only."), QStringLiteral("--wait 只用於 upload。"));
}

QString badLanguage(Language language, const QString &value)
{
    return pick(language, QStringLiteral("There are no texts in \"%1\": use en or zh-TW."),
                QStringLiteral("不支援語言「%1」：請用 en 或 zh-TW。"))
        .arg(TransferTexts::printable(value));
}

QString fileCount(Language language, int expected)
{
    if (expected == 0)
        return pick(language, QStringLiteral("ports takes no file."), QStringLiteral("ports 不需要檔案。"));
    return pick(language, QStringLiteral("Name exactly one file."), QStringLiteral("請指定一個檔案。"));
}

QString noPorts(Language language)
{
    if (!ComPortMap::portsNeedDialoutGroup())
        return pick(language, QStringLiteral("No serial port can be opened. Check the cable and the USB adapter."),
                    QStringLiteral("找不到可以開啟的通訊埠。請檢查連接線與 USB 轉接器。"));
    return pick(language,
                QStringLiteral("No serial port can be opened. Check the cable and the USB adapter, and "
                               "that you are in the dialout group."),
                QStringLiteral("找不到可以開啟的通訊埠。請檢查連接線與 USB 轉接器，"
                               "並確認使用者屬於 dialout 群組。"));
}

QString progressLine(Language language, const TransferProgress &progress, qint64 bytesPerSecond)
{
    QString line;
    if (progress.percent >= 0)
        line += TransferTexts::percent(progress.percent) + QStringLiteral("  ");
    line += pick(language, QStringLiteral("%1 bytes"), QStringLiteral("%1 位元組")).arg(progress.bytes);
    if (bytesPerSecond > 0) {
        line += pick(language, QStringLiteral("  %1 B/s"), QStringLiteral("  %1 位元組/秒")).arg(bytesPerSecond);
        if (progress.total > progress.bytes) {
            const qint64 left = (progress.total - progress.bytes + bytesPerSecond - 1) / bytesPerSecond;
            line += pick(language, QStringLiteral("  %1 left"), QStringLiteral("  剩餘 %1")).arg(duration(left));
        }
    }
    return line;
}

QString interrupted(Language language, const TransferOutcome &outcome)
{
    const QString count = TransferTexts::countWithHex(outcome.direction == Direction::Upload ? outcome.kept : outcome.count);
    if (outcome.direction == Direction::Download && outcome.countIsUpperBound)
        return pick(language, QStringLiteral("The download was interrupted after up to %1 bytes."),
                    QStringLiteral("下載已中斷，最多已傳送 %1 個位元組。"))
            .arg(count);
    if (outcome.direction == Direction::Download)
        return pick(language, QStringLiteral("The download was interrupted after %1 bytes."),
                    QStringLiteral("下載已中斷，已傳送 %1 個位元組。"))
            .arg(count);
    if (outcome.kept < 0)
        return pick(language, QStringLiteral("The upload was interrupted before any data came; no file was written."),
                    QStringLiteral("上傳已中斷，尚未收到資料，沒有寫入檔案。"));
    return pick(language, QStringLiteral("The upload was interrupted; the file holds %1 bytes."),
                QStringLiteral("上傳已中斷，檔案中保留 %1 個位元組。"))
        .arg(count);
}

namespace {

// A sentence, then what was odd about the board's stream.
QString withRemarks(Language language, const QString &sentence, const TransferOutcome &outcome)
{
    const QString remarks = TransferTexts::uploadRemarks(language, outcome);
    if (remarks.isEmpty())
        return sentence;
    return sentence + pick(language, QStringLiteral(" "), QString()) + remarks;
}

} // namespace

QString nothingReceived(Language language, const TransferOutcome &outcome, qint64 silentSeconds)
{
    if (outcome.kept < 0) {
        if (silentSeconds > 0)
            return pick(language,
                        QStringLiteral("The board sent nothing within %1; no file was written.")
                            .arg(secondsText(silentSeconds)),
                        QStringLiteral("%1 秒內實驗板沒有傳送任何資料，沒有寫入檔案。").arg(silentSeconds));
        return pick(language,
                    QStringLiteral("The board stopped before it sent the data's length; no file was written."),
                    QStringLiteral("實驗板沒有送出資料長度就停止了，沒有寫入檔案。"));
    }
    // Something came, but no byte of data: the file was made and is empty.
    QString sentence;
    if (silentSeconds > 0)
        sentence =
            pick(language,
                 QStringLiteral("The board sent no byte of data and then nothing for %1; "
                                "the file is empty.")
                     .arg(secondsText(silentSeconds)),
                 QStringLiteral("實驗板沒有送出任何資料位元組，之後 %1 秒沒有動靜；檔案是空的。").arg(silentSeconds));
    else
        sentence = pick(language, QStringLiteral("The board sent no byte of data; the file is empty."),
                        QStringLiteral("實驗板沒有送出任何資料位元組；檔案是空的。"));
    return withRemarks(language, sentence, outcome);
}

QString unfinished(Language language, const TransferOutcome &outcome, qint64 silentSeconds)
{
    const QString kept = TransferTexts::countWithHex(outcome.kept);
    const QString sentence =
        pick(language,
             QStringLiteral("The board sent nothing for %1 before the end of its data; the file holds %2 bytes.")
                 .arg(secondsText(silentSeconds), kept),
             QStringLiteral("實驗板在資料結束前停了 %1 秒，不再等待；檔案中保留 %2 個位元組。")
                 .arg(silentSeconds)
                 .arg(kept));
    return withRemarks(language, sentence, outcome);
}

} // namespace CliTexts
