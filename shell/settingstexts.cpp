#include "settingstexts.h"

#include "comportmap.h"

#include <QStringList>

namespace SettingsTexts {

QString caption(Language language)
{
    return pick(language, QStringLiteral("Setting"), QStringLiteral("設定"));
}

QString languageFrame(Language language)
{
    return pick(language, QStringLiteral("Language"), QStringLiteral("語言選擇"));
}

QString portLabel(Language language)
{
    return pick(language, QStringLiteral("Serial Port Selection:"), QStringLiteral("通訊埠選擇："));
}

QString okButton(Language language)
{
    return pick(language, QStringLiteral("&OK"), QStringLiteral("確定(&O)"));
}

QString exitButton(Language language)
{
    return pick(language, QStringLiteral("&Exit"), QStringLiteral("離開(&E)"));
}

QString noPortFound(Language language, const QList<PortError> &unavailable)
{
    if (!unavailable.isEmpty()) {
        QStringList lines{pick(language, QStringLiteral("No serial port can be opened.\n"),
                               QStringLiteral("沒有可以開啟的通訊埠。\n"))};
        for (const PortError &why : unavailable)
            lines << TransferTexts::portError(language, why);
        return lines.join(QLatin1Char('\n'));
    }
    QString text = pick(language,
                        QStringLiteral("No serial port was found.\n\nCheck that the cable is connected and that "
                                       "the USB serial adapter is plugged in"),
                        QStringLiteral("找不到任何通訊埠。\n\n請檢查連接線是否接好、USB 轉 RS-232 轉接器是否插上"));
    if (ComPortMap::portsNeedDialoutGroup())
        text += pick(language,
                     QStringLiteral(", and that your user is a member of the group dialout (log in again after "
                                    "joining it)"),
                     QStringLiteral("，以及您的帳號是否屬於 dialout 群組（加入後須重新登入）"));
    return text + pick(language, QStringLiteral("."), QStringLiteral("。"));
}

QString noPortSelected(Language language)
{
    return pick(language, QStringLiteral("No serial port is selected."), QStringLiteral("沒有選擇通訊埠。"));
}

} // namespace SettingsTexts
