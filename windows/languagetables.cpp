#include "languagetables.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstring>

namespace {

const std::array<LanguageRow, 18> Table{{
    {"fmeTransFile", LanguageRow::Caption, "PC to %1", "PC 傳送到 %1"},
    {"fmeReceiveFile", LanguageRow::Caption, "%1 to PC", "%1 傳送到 PC"},
    {"lblSourceFile", LanguageRow::Caption, "&Source File", "來源檔案(&S)"},
    {"lblSaveFile", LanguageRow::Caption, "Save &File", "目的檔案(&F)"},
    {"txtSourceFile", LanguageRow::ToolTip, "File's path that will be downloaded from", "要下載的檔案來源路徑"},
    {"txtTargetFile", LanguageRow::ToolTip, "File's path that will be written to", "要上傳的檔案目的路徑"},
    {"cmdSelectSourcePath", LanguageRow::ToolTip, "Browse", "瀏覽"},
    {"cmdSelectTargetPath", LanguageRow::ToolTip, "Browse", "瀏覽"},
    {"cmdDownloadFile", LanguageRow::Caption, "&Download", "開始下載 (&D)"},
    {"cmdDownloadFile", LanguageRow::ToolTip, "Start to receive the data", "開始下載檔案"},
    {"cmdReadyUpload", LanguageRow::Caption, "&Upload", "準備上傳 (&U)"},
    {"cmdReadyUpload", LanguageRow::ToolTip, "Start to transfer the data", "準備上傳檔案"},
    {"menView", LanguageRow::Caption, "&View", "預覽(&V)"},
    {"menExamples", LanguageRow::Caption, "&Examples...", "範例(&E)..."},
    {"menSetting", LanguageRow::Caption, "&Setting", "設定(&S)"},
    {"menHelp", LanguageRow::Caption, "&Help", "說明(&H)"},
    {"menContent", LanguageRow::Caption, "&Content...", "內容(&C)..."},
    {"menAbout", LanguageRow::Caption, "&About...", "關於(&A)..."},
}};

QString rowText(const LanguageRow &row, Language language, const QString &boardName)
{
    QString text = QString::fromUtf8(language == Language::Chinese ? row.chinese : row.english);
    if (text.contains(QLatin1String("%1")))
        text = text.arg(boardName);
    return text;
}

void setCaption(QObject *control, const QString &text)
{
    if (auto *frame = qobject_cast<QGroupBox *>(control))
        frame->setTitle(text);
    else if (auto *menu = qobject_cast<QMenu *>(control))
        menu->setTitle(text);
    else if (auto *action = qobject_cast<QAction *>(control))
        action->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
}

void setToolTip(QObject *control, const QString &text)
{
    if (auto *widget = qobject_cast<QWidget *>(control))
        widget->setToolTip(text);
    else if (auto *action = qobject_cast<QAction *>(control))
        action->setToolTip(text);
}

} // namespace

void fitLabelToText(QLabel *label, int designedLeft, int designedWidth)
{
    const int right = designedLeft + designedWidth;
    const int needed = label->fontMetrics().horizontalAdvance(label->text().remove(QLatin1Char('&'))) + 1;
    const int width = std::max(designedWidth, std::min(needed, right));
    label->setGeometry(right - width, label->y(), width, label->height());
}

QString cannotOpenText(Language language, const QString &path, bool missing)
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

std::span<const LanguageRow> windowLanguageTable()
{
    return Table;
}

QString windowText(const char *control, LanguageRow::Property property, Language language, const QString &boardName)
{
    for (const LanguageRow &row : Table) {
        if (row.property == property && std::strcmp(row.control, control) == 0)
            return rowText(row, language, boardName);
    }
    return {};
}

void applyWindowLanguage(QWidget *window, Language language, const QString &boardName)
{
    for (const LanguageRow &row : Table) {
        QObject *control = window->findChild<QObject *>(QLatin1String(row.control));
        if (!control)
            continue;
        const QString text = rowText(row, language, boardName);
        if (row.property == LanguageRow::Caption)
            setCaption(control, text);
        else
            setToolTip(control, text);
    }
}
