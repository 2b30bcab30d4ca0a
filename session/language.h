#pragma once

// The language the program speaks. Japanese is the language its texts and help are written in
// and the default; English is chosen where the desktop asks for English before Japanese. The
// stored files are the same bytes in every language.

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>

namespace morvane {

enum class Language { Japanese, English };

// The language for a list of user-interface languages in order of preference, as
// QLocale::uiLanguages() gives them from LANGUAGE, LC_ALL, LC_MESSAGES and LANG ("en-GB",
// "ja-Jpan-JP", "C"): English when an English entry comes before every Japanese one, Japanese
// otherwise, which includes an empty list and the C and POSIX locales.
Language chooseLanguage(const QStringList& uiLanguages);
// chooseLanguage() for this desktop.
Language programLanguage();

// The locale numbers and dates are shown in: the system's, but where that is the C or POSIX
// locale, which has no language of its own, and the texts are Japanese, Japan's, so that no date
// reads "7 Dec 2026" inside a Japanese sentence. The stored files are the same either way: both
// write "/" between month and day and "." as decimal point.
QLocale programLocale(const QLocale& system, Language language);

// What names the program's translation and help files in the language ("en": morvane_en.qm,
// QuilloHelp_en.chm); empty for Japanese, which needs neither.
QString translationSuffix(Language language);

// The translations of the program's own texts (built in under :/i18n) and of Qt's own dialog
// texts for one language, installed in the application while this object lives. Needs a
// QCoreApplication; a translation that is missing leaves those texts in their own language.
class Translations {
    Q_DISABLE_COPY_MOVE(Translations)

public:
    explicit Translations(Language language);

private:
    QTranslator m_program;
    QTranslator m_qt;
};

} // namespace morvane
