#include "windowtexts.h"

#include "transfertexts.h"

#include <QStringList>

namespace WindowTexts {

QString sendFrame(Language language, const QString &boardName)
{
    return pick(language, QStringLiteral("PC to %1"), QStringLiteral("PC 傳送到 %1")).arg(boardName);
}

QString receiveFrame(Language language, const QString &boardName)
{
    return pick(language, QStringLiteral("%1 to PC"), QStringLiteral("%1 傳送到 PC")).arg(boardName);
}

QString sourceLabel(Language language)
{
    return pick(language, QStringLiteral("&Source File"), QStringLiteral("來源檔案(&S)"));
}

QString targetLabel(Language language)
{
    return pick(language, QStringLiteral("Save &File"), QStringLiteral("目的檔案(&F)"));
}

QString sourceFieldTip(Language language)
{
    return pick(language, QStringLiteral("File's path that will be downloaded from"),
                QStringLiteral("要下載的檔案來源路徑"));
}

QString targetFieldTip(Language language)
{
    return pick(language, QStringLiteral("File's path that will be written to"),
                QStringLiteral("要上傳的檔案目的路徑"));
}

QString browseTip(Language language)
{
    return pick(language, QStringLiteral("Browse"), QStringLiteral("瀏覽"));
}

ButtonTexts downloadIdle(Language language)
{
    return {pick(language, QStringLiteral("&Download"), QStringLiteral("開始下載 (&D)")),
            pick(language, QStringLiteral("Start to receive the data"), QStringLiteral("開始下載檔案"))};
}

ButtonTexts uploadIdle(Language language)
{
    return {pick(language, QStringLiteral("&Upload"), QStringLiteral("準備上傳 (&U)")),
            pick(language, QStringLiteral("Start to transfer the data"), QStringLiteral("準備上傳檔案"))};
}

ButtonTexts downloadRunning(Language language, Board board)
{
    const QString chineseTip =
        board == Board::Vxt8052 ? QStringLiteral("中斷傳送檔案") : QStringLiteral("中斷下載檔案");
    return {pick(language, QStringLiteral("&Interrupt"), QStringLiteral("中斷 (&I)")),
            pick(language, QStringLiteral("Interrupt the receiving data"), chineseTip)};
}

ButtonTexts uploadRunning(Language language)
{
    return {pick(language, QStringLiteral("&Interrupt"), QStringLiteral("中斷 (&I)")),
            pick(language, QStringLiteral("Interrupt the transferring data"), QStringLiteral("中斷上傳檔案"))};
}

QString viewMenu(Language language)
{
    return pick(language, QStringLiteral("&View"), QStringLiteral("預覽(&V)"));
}

QString examplesItem(Language language)
{
    return pick(language, QStringLiteral("&Examples..."), QStringLiteral("範例(&E)..."));
}

QString settingCommand(Language language)
{
    return pick(language, QStringLiteral("&Setting"), QStringLiteral("設定(&S)"));
}

QString helpMenu(Language language)
{
    return pick(language, QStringLiteral("&Help"), QStringLiteral("說明(&H)"));
}

QString contentItem(Language language)
{
    return pick(language, QStringLiteral("&Content..."), QStringLiteral("內容(&C)..."));
}

QString aboutItem(Language language)
{
    return pick(language, QStringLiteral("&About..."), QStringLiteral("關於(&A)..."));
}

QString cannotOpen(Language language, const QString &path, bool missing)
{
    if (missing)
        return pick(language, QStringLiteral("%1 cannot be found.\nInstall Kestrion again, or ask your lab staff."),
                    QStringLiteral("找不到 %1。\n請重新安裝 Kestrion，或洽詢實驗室管理人員。"))
            .arg(path);
    return pick(language,
                QStringLiteral("No program could open %1.\nA web browser or a file manager is needed: ask your lab "
                               "staff."),
                QStringLiteral("沒有可以開啟 %1 的程式。\n需要網頁瀏覽器或檔案管理員，請洽詢實驗室管理人員。"))
        .arg(path);
}

QString portStatus(Language language, const StationState &state)
{
    if (state.port.isNone())
        return {};
    QString address = state.address;
    if (address.isEmpty() && state.line == StationState::Failed && state.error.device.contains(QLatin1String("://")))
        address = state.error.device;
    QStringList parts{TransferTexts::printable(state.port.name)};
    if (!address.isEmpty() && address != state.port.name)
        parts << TransferTexts::printable(address);
    switch (state.line) {
    case StationState::Closed:
        parts << pick(language, QStringLiteral("closed"), QStringLiteral("已關閉"));
        break;
    case StationState::Opening:
        parts << pick(language, QStringLiteral("connecting..."), QStringLiteral("連線中..."));
        break;
    case StationState::Open:
        parts << pick(language, QStringLiteral("open"), QStringLiteral("已開啟"));
        break;
    case StationState::Failed:
        parts << pick(language, QStringLiteral("could not be opened"), QStringLiteral("無法開啟"));
        break;
    case StationState::Lost:
        parts << pick(language, QStringLiteral("stopped working"), QStringLiteral("停止運作"));
        break;
    }
    return parts.join(QStringLiteral(" — "));
}

} // namespace WindowTexts
