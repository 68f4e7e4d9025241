#include "settingstexts.h"

#include "comportmap.h"

#include <QStringList>

namespace SettingsTexts {

QString caption(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("設定") : QStringLiteral("Setting");
}

QString languageFrame(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("語言選擇") : QStringLiteral("Language");
}

QString portLabel(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("通訊埠選擇：") : QStringLiteral("Serial Port Selection:");
}

QString okButton(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("確定(&O)") : QStringLiteral("&OK");
}

QString exitButton(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("離開(&E)") : QStringLiteral("&Exit");
}

QString noPortFound(Language language, const QList<PortError> &unavailable)
{
    const bool chinese = language == Language::Chinese;
    if (!unavailable.isEmpty()) {
        QStringList lines{chinese ? QStringLiteral("沒有可以開啟的通訊埠。\n")
                                  : QStringLiteral("No serial port can be opened.\n")};
        for (const PortError &why : unavailable)
            lines << TransferTexts::portError(language, why);
        return lines.join(QLatin1Char('\n'));
    }
    QString text = chinese ? QStringLiteral("找不到任何通訊埠。\n\n請檢查連接線是否接好、USB 轉 RS-232 轉接器是否插上")
                           : QStringLiteral("No serial port was found.\n\nCheck that the cable is connected and that "
                                            "the USB serial adapter is plugged in");
    if (ComPortMap::portsNeedDialoutGroup())
        text += chinese ? QStringLiteral("，以及您的帳號是否屬於 dialout 群組（加入後須重新登入）")
                        : QStringLiteral(", and that your user is a member of the group dialout (log in again after "
                                         "joining it)");
    return text + (chinese ? QStringLiteral("。") : QStringLiteral("."));
}

QString noPortSelected(Language language)
{
    const bool chinese = language == Language::Chinese;
    return chinese ? QStringLiteral("沒有選擇通訊埠。") : QStringLiteral("No serial port is selected.");
}

} // namespace SettingsTexts
