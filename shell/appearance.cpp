#include "appearance.h"

#include <QApplication>
#include <QFont>

namespace {
// Small enough for captions laid out in fixed pixel positions.
constexpr int DialogFontPixels = 11;
} // namespace

void applyProgramAppearance(QApplication &app)
{
    // The Chinese captions name Ming faces that are rarely installed outside Windows;
    // fall back on a Ming face that is, so that they never show as boxes.
    const QStringList ming{QStringLiteral("MingLiU"), QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW"),
                           QStringLiteral("AR PL UMing HK"), QStringLiteral("AR PL UMing CN")};
    QFont::insertSubstitutions(QStringLiteral("細明體"), ming);
    QFont::insertSubstitutions(QStringLiteral("新細明體"), ming);
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("Nimbus Roman")});

    QFont dialogFont(QStringLiteral("Nimbus Sans"));
    dialogFont.setPixelSize(DialogFontPixels);
    app.setFont(dialogFont);

    app.setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px; padding: 0 2px; }"));
}
