#include "messageboxes.h"

#include <QApplication>
#include <QMessageBox>

QList<QMessageBox *> messageBoxes()
{
    QList<QMessageBox *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            boxes.append(box);
    }
    return boxes;
}

QMessageBox *openMessageBox()
{
    const QList<QMessageBox *> boxes = messageBoxes();
    return boxes.isEmpty() ? nullptr : boxes.first();
}

void closeMessageBoxes()
{
    for (QMessageBox *box : messageBoxes())
        box->done(QMessageBox::Ok);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
