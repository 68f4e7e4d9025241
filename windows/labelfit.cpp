#include "labelfit.h"

#include <QLabel>

#include <algorithm>

void fitLabelToText(QLabel *label, int designedLeft, int designedWidth)
{
    const int right = designedLeft + designedWidth;
    const int needed = label->fontMetrics().horizontalAdvance(label->text().remove(QLatin1Char('&'))) + 1;
    const int width = std::max(designedWidth, std::min(needed, right));
    label->setGeometry(right - width, label->y(), width, label->height());
}
