#pragma once

#include <QString>

// The languages of the program's texts.
enum class Language { English, Chinese };

// A text in the language asked for: every text the user reads is written once in each.
inline QString pick(Language language, const QString &english, const QString &chinese)
{
    return language == Language::Chinese ? chinese : english;
}
