// Which language the program speaks for the languages a desktop lists, and what that installs.

#include "ui/language.h"

#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

class tst_Language : public QObject {
    Q_OBJECT

private slots:
    void choice_data();
    void choice();
    void qtOwnTexts_data();
    void qtOwnTexts();
};

// The lists as QLocale::uiLanguages() gives them for the environment in the row's name.
void tst_Language::choice_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<Language>("expected");

    QTest::newRow("LANG=ja_JP.UTF-8")
        << QStringList{u"ja-JP"_s, u"ja-Jpan-JP"_s, u"ja"_s} << Language::Japanese;
    QTest::newRow("LANG=C, C.UTF-8 or POSIX") << QStringList{u"C"_s} << Language::Japanese;
    QTest::newRow("nothing") << QStringList{} << Language::Japanese;
    QTest::newRow("LANG=en_GB.UTF-8")
        << QStringList{u"en-GB"_s, u"en-Latn-GB"_s} << Language::English;
    QTest::newRow("LANG=en_US.UTF-8")
        << QStringList{u"en-US"_s, u"en-Latn-US"_s, u"en"_s} << Language::English;
    QTest::newRow("LANGUAGE=en:ja")
        << QStringList{u"en"_s, u"en-Latn-US"_s, u"ja"_s, u"ja-JP"_s} << Language::English;
    QTest::newRow("LANGUAGE=ja:en")
        << QStringList{u"ja"_s, u"ja-Jpan-JP"_s, u"en"_s, u"en-US"_s} << Language::Japanese;
    QTest::newRow("LANG=fr_FR.UTF-8") << QStringList{u"fr-FR"_s, u"fr"_s} << Language::Japanese;
    QTest::newRow("LANGUAGE=fr:en")
        << QStringList{u"fr"_s, u"fr-FR"_s, u"en"_s, u"en-US"_s} << Language::English;
    QTest::newRow("LANGUAGE=de:ja:en")
        << QStringList{u"de"_s, u"ja"_s, u"en"_s} << Language::Japanese;
    QTest::newRow("underscores and capitals") << QStringList{u"EN_au"_s} << Language::English;
    QTest::newRow("a language that only starts like English")
        << QStringList{u"eng-x"_s, u"ja"_s} << Language::Japanese;
}

void tst_Language::choice()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(Language, expected);
    QCOMPARE(chooseLanguage(uiLanguages), expected);
}

void tst_Language::qtOwnTexts_data()
{
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("Japanese") << Language::Japanese << u"キャンセル"_s;
    QTest::newRow("English") << Language::English << u"Cancel"_s;
}

// Qt's standard buttons speak the chosen language, and stop when the translations go.
void tst_Language::qtOwnTexts()
{
    QFETCH(Language, language);
    QFETCH(QString, cancel);
    {
        const Translations translations(language);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
    }
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Cancel"_s);
}

QTEST_GUILESS_MAIN(tst_Language)
#include "tst_language.moc"
