// The launcher's texts, all in one place. The window's captions are the disc's design and
// read the same in every language; the report of a picture that cannot be loaded follows
// the user's language. (Kestrion has texts of its own; the launcher shares none of them.)
#pragma once

#include <QLocale>
#include <QString>

namespace autorun {

enum class Language { English, Chinese };

// Traditional Chinese where the locale is (Taiwan, Hong Kong, Macao, or the Traditional
// script), English for every other.
Language languageOf(const QLocale &locale);

// Why a page picture could not be loaded.
enum class PictureProblem { Missing, Unreadable };

namespace LauncherTexts {

// "Kestrion Autorun": the application name, and the title of the picture error's box.
QString programTitle();
// The window's caption, which lblKestrion shows too.
QString windowCaption();
QString softwareTab();
QString contactTab();
QString webSiteLink();
// lblExplain while the pointer is over lblKestrion.
QString installExplanation();

// "Cannot load the picture "Software.jpg": File not found." and its Chinese form. `detail`
// is what the picture reader said, in English: only the English text carries it.
QString pictureError(Language language, const QString &file, PictureProblem problem, const QString &detail);

} // namespace LauncherTexts

} // namespace autorun
