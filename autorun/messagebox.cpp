#include "messagebox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

namespace autorun::MessageBoxes {

namespace {

// The title bar's icon and its buttons (close, and on some desktops more), with margins.
constexpr int TitleBarAllowance = 160;

// The width a box needs for its title in the title bar; window managers commonly draw
// titles in the bold system font.
int widthForTitle(const QString &title)
{
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + TitleBarAllowance;
}

} // namespace

void showAndWait(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    // QMessageBox sizes itself to its text; a spacer across its grid holds it open wide
    // enough for the title.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(widthForTitle(title), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
}

} // namespace autorun::MessageBoxes
