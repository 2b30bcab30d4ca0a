#include "session/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// The ISO 639 code: "ja", "en".
QString languageCode(Language language)
{
    return language == Language::English ? u"en"_s : u"ja"_s;
}

} // namespace

Language chooseLanguage(const QStringList& uiLanguages)
{
    for (const QString& entry : uiLanguages) {
        const QString language = entry.section(u'-', 0, 0).section(u'_', 0, 0);
        if (language.compare(u"en", Qt::CaseInsensitive) == 0)
            return Language::English;
        if (language.compare(u"ja", Qt::CaseInsensitive) == 0)
            return Language::Japanese;
    }
    return Language::Japanese;
}

Language programLanguage()
{
    return chooseLanguage(QLocale::system().uiLanguages());
}

QLocale programLocale(const QLocale& system, Language language)
{
    if (system.language() == QLocale::C && language == Language::Japanese)
        return QLocale(QLocale::Japanese, QLocale::Japan);
    return system;
}

QString translationSuffix(Language language)
{
    return language == Language::Japanese ? QString() : languageCode(language);
}

Translations::Translations(Language language)
{
    const QString suffix = translationSuffix(language);
    if (!suffix.isEmpty() && m_program.load(u"morvane_"_s + suffix, u":/i18n"_s))
        QCoreApplication::installTranslator(&m_program);
    // Qt's English file only settles plural forms, its source texts being English already; the
    // Japanese one gives the standard buttons "OK" and "キャンセル".
    if (m_qt.load(u"qtbase_"_s + languageCode(language),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qt);
}

} // namespace morvane
