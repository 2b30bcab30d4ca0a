// Which language the program speaks for the languages a desktop lists, and what that installs.

#include "session/language.h"

#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

class tst_Language : public QObject {
    Q_OBJECT

private slots:
    void choice_data();
    void choice();
    void qtOwnTexts();
};

// The lists as QLocale::uiLanguages() gives them for the environment in the row's name.
void tst_Language::choice_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<Language>("expected");
    QTest::addColumn<QString>("system"); // the locale's name, and the one dates are shown in
    QTest::addColumn<QString>("shown");

    QTest::newRow("LANG=ja_JP.UTF-8")
        << QStringList{u"ja-JP"_s, u"ja"_s} << Language::Japanese << u"ja_JP"_s << u"ja_JP"_s;
    QTest::newRow("LANG=C, C.UTF-8 or POSIX")
        << QStringList{u"C"_s} << Language::Japanese << u"C"_s << u"ja_JP"_s;
    QTest::newRow("LANG=fr_FR.UTF-8")
        << QStringList{u"fr-FR"_s, u"fr"_s} << Language::Japanese << u"fr_FR"_s << u"fr_FR"_s;
    QTest::newRow("LANG=en_GB.UTF-8") << QStringList{u"en-GB"_s, u"en-Latn-GB"_s}
                                      << Language::English << u"en_GB"_s << u"en_GB"_s;
    QTest::newRow("LANGUAGE=en:ja")
        << QStringList{u"en"_s, u"en-US"_s, u"ja"_s} << Language::English << u"C"_s << u"C"_s;
    QTest::newRow("LANGUAGE=ja:en") << QStringList{u"ja"_s, u"ja-JP"_s, u"en"_s}
                                    << Language::Japanese << u"en_US"_s << u"en_US"_s;
    QTest::newRow("LANGUAGE=fr:en")
        << QStringList{u"fr"_s, u"en_US"_s} << Language::English << u"en_US"_s << u"en_US"_s;
    QTest::newRow("a code that only starts like English")
        << QStringList{u"eng-x"_s, u"ja"_s} << Language::Japanese << u"ja_JP"_s << u"ja_JP"_s;
}

void tst_Language::choice()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(Language, expected);
    QFETCH(QString, system);
    QFETCH(QString, shown);
    QCOMPARE(chooseLanguage(uiLanguages), expected);
    QCOMPARE(programLocale(QLocale(system), expected).name(), shown);
}

// Qt's standard buttons speak the chosen language while the translations are installed.
void tst_Language::qtOwnTexts()
{
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    {
        const Translations japanese(Language::Japanese);
        QCOMPARE(cancel(), u"キャンセル"_s);
    }
    const Translations english(Language::English);
    QCOMPARE(cancel(), u"Cancel"_s);
}

QTEST_GUILESS_MAIN(tst_Language)
#include "tst_language.moc"
