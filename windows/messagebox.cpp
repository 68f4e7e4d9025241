#include "messagebox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

namespace MessageBoxes {

namespace {
// The title bar's icon and its buttons (close, and on some desktops more), with margins.
constexpr int TitleBarAllowance = 160;
} // namespace

int widthForTitle(const QString &title)
{
    // Window managers commonly draw titles in the bold system font.
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + TitleBarAllowance;
}

QMessageBox *show(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // QMessageBox sizes itself to its text; a spacer across its grid holds it open wide
    // enough for the title.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(widthForTitle(title), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box->open();
    return box;
}

} // namespace MessageBoxes
