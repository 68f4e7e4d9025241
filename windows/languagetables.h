#pragma once

#include "transfertexts.h"

#include <QString>
#include <span>

class QWidget;

// The texts of a transfer window in English and Traditional Chinese, in the order in
// which SetLanguage writes them. "%1" stands for the board's name (VXT-8088, VXT-8052).
struct LanguageRow {
    enum Property { Caption, ToolTip };
    const char *control;
    Property property;
    const char *english;
    const char *chinese;
};

std::span<const LanguageRow> windowLanguageTable();

// The text of one row for a control, in the given language.
QString windowText(const char *control, LanguageRow::Property property, Language language,
                   const QString &boardName = {});

// The message of Help > Content or View > Examples when the document at `path` is missing
// or no program could open it.
QString cannotOpenText(Language language, const QString &path, bool missing);

// Gives a label its designed box, widened to the left when its text does not fit, so that
// the right edge stays beside the field it names and no caption is cut off in either
// language or with a wider system font.
void fitLabelToText(class QLabel *label, int designedLeft, int designedWidth);

// Writes every row into the controls found by object name below `window`.
void applyWindowLanguage(QWidget *window, Language language, const QString &boardName);
