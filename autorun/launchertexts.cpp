#include "launchertexts.h"

namespace autorun {

Language languageOf(const QLocale &locale)
{
    if (locale.language() != QLocale::Chinese)
        return Language::English;
    if (locale.script() == QLocale::TraditionalHanScript)
        return Language::Chinese;
    switch (locale.territory()) {
    case QLocale::Taiwan:
    case QLocale::HongKong:
    case QLocale::Macao:
        return Language::Chinese;
    default:
        return Language::English;
    }
}

namespace LauncherTexts {

QString programTitle()
{
    return QStringLiteral("Kestrion Autorun");
}

QString windowCaption()
{
    return QStringLiteral("Kestrion's Data Transfer System V1.0g");
}

QString softwareTab()
{
    return QStringLiteral("Software");
}

QString contactTab()
{
    return QStringLiteral("Contact");
}

QString webSiteLink()
{
    return QStringLiteral("Visit Valtrona Computer Electronics Inc.");
}

QString installExplanation()
{
    return QStringLiteral("Install VXT-8088 Kestrion V3.5 and VXT-8052 Kestrion V5.0");
}

QString pictureError(Language language, const QString &file, PictureProblem problem, const QString &detail)
{
    const bool missing = problem == PictureProblem::Missing;
    if (language == Language::Chinese)
        return (missing ? QStringLiteral("無法載入圖片「%1」：找不到這個檔案。")
                        : QStringLiteral("無法載入圖片「%1」：這不是可以讀取的圖片。"))
            .arg(file);
    if (missing)
        return QStringLiteral("Cannot load the picture \"%1\": File not found.").arg(file);
    return QStringLiteral("Cannot load the picture \"%1\": Invalid picture (%2).").arg(file, detail);
}

} // namespace LauncherTexts

} // namespace autorun
