#include "windowtexts.h"

namespace WindowTexts {

QString sendFrame(Language language, const QString &boardName)
{
    const bool chinese = language == Language::Chinese;
    return (chinese ? QStringLiteral("PC 傳送到 %1") : QStringLiteral("PC to %1")).arg(boardName);
}

QString receiveFrame(Language language, const QString &boardName)
{
    const bool chinese = language == Language::Chinese;
    return (chinese ? QStringLiteral("%1 傳送到 PC") : QStringLiteral("%1 to PC")).arg(boardName);
}

QString sourceLabel(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("來源檔案(&S)") : QStringLiteral("&Source File");
}

QString targetLabel(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("目的檔案(&F)") : QStringLiteral("Save &File");
}

QString sourceFieldTip(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("要下載的檔案來源路徑")
                               : QStringLiteral("File's path that will be downloaded from");
}

QString targetFieldTip(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("要上傳的檔案目的路徑")
                               : QStringLiteral("File's path that will be written to");
}

QString browseTip(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("瀏覽") : QStringLiteral("Browse");
}

TransferTexts::ButtonTexts downloadIdle(Language language)
{
    const bool chinese = language == Language::Chinese;
    if (chinese)
        return {QStringLiteral("開始下載 (&D)"), QStringLiteral("開始下載檔案")};
    return {QStringLiteral("&Download"), QStringLiteral("Start to receive the data")};
}

TransferTexts::ButtonTexts uploadIdle(Language language)
{
    const bool chinese = language == Language::Chinese;
    if (chinese)
        return {QStringLiteral("準備上傳 (&U)"), QStringLiteral("準備上傳檔案")};
    return {QStringLiteral("&Upload"), QStringLiteral("Start to transfer the data")};
}

QString viewMenu(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("預覽(&V)") : QStringLiteral("&View");
}

QString examplesItem(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("範例(&E)...") : QStringLiteral("&Examples...");
}

QString settingCommand(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("設定(&S)") : QStringLiteral("&Setting");
}

QString helpMenu(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("說明(&H)") : QStringLiteral("&Help");
}

QString contentItem(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("內容(&C)...") : QStringLiteral("&Content...");
}

QString aboutItem(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("關於(&A)...") : QStringLiteral("&About...");
}

QString cannotOpen(Language language, const QString &path, bool missing)
{
    const bool chinese = language == Language::Chinese;
    if (missing)
        return (chinese ? QStringLiteral("找不到 %1。\n請重新安裝 Kestrion，或洽詢實驗室管理人員。")
                        : QStringLiteral("%1 cannot be found.\nInstall Kestrion again, or ask your lab staff."))
            .arg(path);
    return (chinese ? QStringLiteral("沒有可以開啟 %1 的程式。\n需要網頁瀏覽器或檔案管理員，請洽詢實驗室管理人員。")
                    : QStringLiteral("No program could open %1.\nA web browser or a file manager is needed: ask your lab staff."))
        .arg(path);
}

} // namespace WindowTexts
