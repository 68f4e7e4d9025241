#include "messageboxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>

QMessageBox *openMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box && box->isVisible())
            return box;
    }
    return nullptr;
}

void closeMessageBoxes()
{
    while (QMessageBox *box = openMessageBox()) {
        box->done(QMessageBox::Ok);
        QTest::qWait(1);
    }
}
