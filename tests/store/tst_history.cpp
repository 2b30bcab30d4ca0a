#include "store/history.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

class tst_History : public QObject {
    Q_OBJECT

private slots:
    void appendAfter_data();
    void appendAfter();
    void linesKeepTheirBytes_data();
    void linesKeepTheirBytes();
};

namespace {

// Lines "l0", "l1", ... with the given line end, an empty line after every fifth: enough lines
// that some lie far from any kept line start.
QByteArray numberedLines(int count, const QByteArray& lineEnd, QStringList* lines)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        bytes += "l" + QByteArray::number(i) + lineEnd;
        if (i % 5 == 4)
            bytes += lineEnd;
        lines->append(u"l%1"_s.arg(i));
    }
    return bytes;
}

} // namespace

void tst_History::appendAfter_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("after");

    const QString added = u"05/11  68.5Kg  24.1  9.6%"_s;
    QTest::newRow("empty") << QByteArray() << QStringList{added};
    QTest::newRow("CR LF lines") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s, added};
    QTest::newRow("last line without line end")
        << QByteArray("a\r\nb") << QStringList{u"a"_s, u"b"_s, added};
    QTest::newRow("last line ending in a lone CR")
        << QByteArray("a\r\nb\r") << QStringList{u"a"_s, u"b"_s, added};
    QTest::newRow("LF only") << QByteArray("a\nb\n") << QStringList{u"a"_s, u"b"_s, added};
    QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF") << QStringList{added};
}

void tst_History::appendAfter()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, after);
    History h{content};
    h.append(after.last());
    QCOMPARE(h.toStringList(), after);
    QCOMPARE(h.size(), after.size());
    QCOMPARE(h.last(), after.last());
}

void tst_History::linesKeepTheirBytes_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("lines");
    // A line with no characters is no entry, so that a file of line ends alone is no list of
    // millions of blank rows.
    QTest::newRow("empty lines are no entries")
        << QByteArray("\r\na\r\n\r\n\nb\r\n\r\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("50 MB of line feeds") << QByteArray(50'000'000, '\n') << QStringList();
    QTest::newRow("blank lines are entries")
        << QByteArray("a\r\n \r\n\t\r\n") << QStringList{u"a"_s, u" "_s, u"\t"_s};
    QStringList lf;
    const QByteArray lfBytes = numberedLines(100, "\n", &lf);
    QTest::newRow("100 LF lines") << lfBytes << lf;
    QStringList crlf;
    const QByteArray crlfBytes = numberedLines(70, "\r\n", &crlf);
    QTest::newRow("70 CR LF lines without the last line end") << crlfBytes.chopped(2) << crlf;
    QTest::newRow("CR inside a line is a character")
        << QByteArray("a\rb\r\n") << QStringList{u"a\rb"_s};
    QTest::newRow("commas and quotes are characters")
        << QByteArray("05/11  68,5Kg  \"24,1\"  9,6%\r\n")
        << QStringList{u"05/11  68,5Kg  \"24,1\"  9,6%"_s};
    QTest::newRow("UTF-8 text") << QByteArray("体重\r\n") << QStringList{u"体重"_s};
    QTest::newRow("a lone CR line end at the very end")
        << QByteArray("a\r\nb\r") << QStringList{u"a"_s, u"b"_s};
}

void tst_History::linesKeepTheirBytes()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lines);
    const History history(content);
    QCOMPARE(history.toStringList(), lines);
    QCOMPARE(history.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QCOMPARE(history.at(i), lines[i]);
        const History::Span span = history.span(i);
        QVERIFY(content.sliced(span.begin, span.end - span.begin).startsWith(lines[i].toUtf8()));
    }
}

QTEST_GUILESS_MAIN(tst_History)
#include "tst_history.moc"
