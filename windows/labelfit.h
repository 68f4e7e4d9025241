#pragma once

class QLabel;

// Gives a label its designed box, widened to the left when its text does not fit, so that
// the right edge stays beside the field it names and no caption is cut off in either
// language or with a wider system font.
void fitLabelToText(QLabel *label, int designedLeft, int designedWidth);
