#include "help/chmarchive.h"
#include "help/chmpath.h"
#include "measure/bands.h"

#include <QRegularExpression>
#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;
using namespace morvane;

// The help files the build compiles from help/content (Japanese) and help/content_en, as the
// program will open them. Every test runs on both.
class tst_HelpContent : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data();
    void initTestCase();
    void titleAndDefaultTopic();
    void contentsEntriesResolve();
    void pages_data();
    void pages();
    void judgementsAsTheProgramShowsThem();
    void samePagesAnchorsAndLinksAsTheJapanese();

private:
    void collect(const std::vector<chm::ContentsEntry>& entries, QStringList* locals);
    ChmArchive m_japanese;
    ChmArchive m_translated;
    static bool english()
    {
        QFETCH_GLOBAL(bool, translated);
        return translated;
    }
    ChmArchive& archive() { return english() ? m_translated : m_japanese; }
};

void tst_HelpContent::initTestCase_data()
{
    QTest::addColumn<bool>("translated");
    QTest::addColumn<QString>("title");
    QTest::addColumn<quint32>("languageId");
    QTest::newRow("ja") << false << u"Morvane ヘルプ"_s << 0x0411u;
    QTest::newRow("en") << true << u"Morvane Help"_s << 0x0409u;
}

void tst_HelpContent::initTestCase()
{
    QVERIFY(m_japanese.open(QString::fromUtf8(MORVANE_HELP_FILE)));
    QVERIFY(m_translated.open(QString::fromUtf8(MORVANE_HELP_FILE_EN)));
}

void tst_HelpContent::titleAndDefaultTopic()
{
    QFETCH_GLOBAL(QString, title);
    QFETCH_GLOBAL(quint32, languageId);
    QCOMPARE(archive().title(), title);
    QCOMPARE(archive().languageId(), languageId);
    QCOMPARE(archive().defaultTopic(), u"/index.html"_s);
}

void tst_HelpContent::collect(const std::vector<chm::ContentsEntry>& entries, QStringList* locals)
{
    for (const chm::ContentsEntry& entry : entries) {
        if (!entry.local.isEmpty())
            locals->append(entry.local);
        collect(entry.children, locals);
    }
}

void tst_HelpContent::contentsEntriesResolve()
{
    QStringList locals;
    collect(archive().contents(), &locals);
    QVERIFY(locals.size() >= 7);
    for (const QString& local : locals) {
        const QString path = chm::resolveObjectPath(local);
        QVERIFY2(archive().contains(path), qPrintable(local));
        const qsizetype hash = local.indexOf(u'#');
        if (hash >= 0) {
            const QString page = archive().decodeText(*archive().object(path));
            QVERIFY2(page.contains(u"name=\"%1\""_s.arg(local.mid(hash + 1))), qPrintable(local));
        }
    }
}

void tst_HelpContent::pages_data()
{
    QTest::addColumn<QString>("page");
    for (const QString& path : m_japanese.objectPaths()) {
        if (path.endsWith(u".html"_s))
            QTest::newRow(qPrintable(path)) << path;
    }
}

// Every page is valid UTF-8 as it declares, uses the style sheet, and every link inside the
// file leads to an object (and anchor) that exists.
void tst_HelpContent::pages()
{
    QFETCH(QString, page);
    const auto bytes = archive().object(page);
    QVERIFY(bytes);
    const QString text = archive().decodeText(*bytes);
    QVERIFY(bytes->contains("<meta charset=\"utf-8\">"));
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QVERIFY(text.contains(u"href=\"help.css\""_s));
    QVERIFY(archive().contains(u"/help.css"_s));

    static const QRegularExpression link(u"(?:href|src)=\"([^\"]*)\""_s);
    auto it = link.globalMatch(text);
    int checked = 0;
    while (it.hasNext()) {
        const QString target = it.next().captured(1);
        if (target.startsWith(u"http"_s) || target.startsWith(u"mailto:"_s))
            continue;
        const QString path = target.startsWith(u'#') ? page : chm::resolveObjectPath(target, page);
        QVERIFY2(archive().contains(path), qPrintable(target));
        const qsizetype hash = target.indexOf(u'#');
        if (hash >= 0) {
            const QString linked = archive().decodeText(*archive().object(path));
            QVERIFY2(linked.contains(u"name=\"%1\""_s.arg(target.mid(hash + 1))),
                     qPrintable(target));
        }
        ++checked;
    }
    QVERIFY(checked > 0);
}

// The words as the program shows them in the file's language: until the translation has them,
// the English page cannot be checked.
void tst_HelpContent::judgementsAsTheProgramShowsThem()
{
    QTranslator translation;
    if (english() && !translation.load(u"morvane_en"_s, QString::fromUtf8(MORVANE_TRANSLATIONS)))
        QSKIP("The program is built without translations");
    const QString meter = archive().decodeText(*archive().object(u"/meter.html"_s));
    for (const Band& band : bands()) {
        const QString word =
            english() ? translation.translate("morvane::Band", band.caption.toUtf8().constData())
                      : band.caption;
        if (word.isEmpty())
            QSKIP("The translation does not have the judgements yet");
        QVERIFY2(meter.contains(u'>' + word + u'<'), qPrintable(word));
    }
}

// A translation keeps the file names, anchors, links and pictures, so that every link and
// contents entry leads where the Japanese one does.
void tst_HelpContent::samePagesAnchorsAndLinksAsTheJapanese()
{
    const auto targets = [](const QString& page) {
        static const QRegularExpression target(u"(?:href|src|name)=\"[^\"]*\""_s);
        QStringList found;
        for (auto it = target.globalMatch(page); it.hasNext();)
            found.append(it.next().captured());
        found.sort();
        return found;
    };
    QCOMPARE(archive().objectPaths(), m_japanese.objectPaths());
    for (const QString& path : m_japanese.objectPaths()) {
        if (!path.endsWith(u".html"_s))
            continue;
        const QString page = archive().decodeText(*archive().object(path));
        const QString japanese = m_japanese.decodeText(*m_japanese.object(path));
        QVERIFY2(targets(page) == targets(japanese), qPrintable(path));
    }
}

QTEST_GUILESS_MAIN(tst_HelpContent)
#include "tst_helpcontent.moc"
