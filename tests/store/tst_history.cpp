#include "store/history.h"
#include "store/historyentry.h"

#include <QDate>
#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

class tst_History : public QObject {
    Q_OBJECT

private slots:
    void entryLine_data();
    void entryLine();
    void entryRead_data();
    void entryRead();
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

void tst_History::entryLine_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<float>("weight");
    QTest::addColumn<float>("bmi");
    QTest::addColumn<float>("ratio");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("line");

    const QDate may11(2026, 5, 11);
    const QLocale jp(QLocale::Japanese, QLocale::Japan);
    QTest::newRow("worked example")
        << may11 << 68.5f << 24.1263f << 0.096f << jp << u"05/11  68.5Kg  24.1  9.6%"_s;
    QTest::newRow("whole weight gets a decimal") << QDate(2026, 12, 1) << 60.0f << 21.132f << -0.04f
                                                 << jp << u"12/01  60.0Kg  21.1  -4.0%"_s;
    QTest::newRow("BMI beyond the meter is recorded as is")
        << may11 << 89.6f << 35.0f << 0.59f << jp << u"05/11  89.6Kg  35.0  59.0%"_s;
    QTest::newRow("C locale falls back to /")
        << may11 << 68.5f << 24.1263f << 0.096f << QLocale::c() << u"05/11  68.5Kg  24.1  9.6%"_s;
    // ASCII digits everywhere; the decimal separator and the date separator are the locale's.
    // Arabic short dates put U+200F beside their "/": it is no part of the line.
    QTest::newRow("de_DE") << may11 << 68.5f << 24.1263f << -0.04f << QLocale(u"de_DE"_s)
                           << u"05.11  68,5Kg  24,1  -4,0%"_s;
    QTest::newRow("fa_IR") << may11 << 68.5f << 24.1263f << -0.04f << QLocale(u"fa_IR"_s)
                           << u"05/11  68\u066B5Kg  24\u066B1  -4\u066B0%"_s;
    QTest::newRow("ar_EG") << may11 << 68.5f << 24.1263f << -0.04f << QLocale(u"ar_EG"_s)
                           << u"05/11  68\u066B5Kg  24\u066B1  -4\u066B0%"_s;
}

void tst_History::entryLine()
{
    QFETCH(QDate, date);
    QFETCH(float, weight);
    QFETCH(float, bmi);
    QFETCH(float, ratio);
    QFETCH(QLocale, locale);
    QFETCH(QString, line);
    QCOMPARE(HistoryEntry::recorded(date, weight, bmi, ratio).line(locale), line);
}

void tst_History::entryRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<double>("weight");
    QTest::addColumn<double>("bmi");
    QTest::addColumn<double>("percent");

    QTest::newRow("Japanese locale")
        << u"05/11  68.5Kg  24.1  9.6%"_s << true << 5 << 11 << 68.5 << 24.1 << 9.6;
    QTest::newRow("German locale: dot date, decimal comma")
        << u"05.11  68,5Kg  24,1  9,6%"_s << true << 5 << 11 << 68.5 << 24.1 << 9.6;
    QTest::newRow("dash date") << u"12-31  70.0Kg  24.7  12.0%"_s << true << 12 << 31 << 70.0
                               << 24.7 << 12.0;
    QTest::newRow("negative percentage")
        << u"01/02  0.0Kg  0.0  -100.0%"_s << true << 1 << 2 << 0.0 << 0.0 << -100.0;
    QTest::newRow("locale minus sign U+2212")
        << u"01/02  50,0Kg  17,6  \u221220,0%"_s << true << 1 << 2 << 50.0 << 17.6 << -20.0;
    QTest::newRow("BMI beyond the meter")
        << u"07/04  99.4Kg  35.0  59.0%"_s << true << 7 << 4 << 99.4 << 35.0 << 59.0;
    QTest::newRow("weight of four digits")
        << u"07/04  1000.0Kg  352.2  1500.0%"_s << true << 7 << 4 << 1000.0 << 352.2 << 1500.0;
    QTest::newRow("blanks around and tabs between")
        << u" 05/11\t68.5Kg\t24.1\t9.6% "_s << true << 5 << 11 << 68.5 << 24.1 << 9.6;
    QTest::newRow("Persian separator") << u"05/11  68\u066B5Kg  24\u066B1  \u22129\u066B6%"_s
                                       << true << 5 << 11 << 68.5 << 24.1 << -9.6;
    // As the program once wrote them in Persian and Arabic locales: their own digits, and
    // direction marks in the date and before the minus.
    QTest::newRow("Persian digits of older lines")
        << u"۰۵/۱۱  ۶۸٫۵Kg  ۲۴٫۱  \u200E−۹٫۶%"_s << true << 5 << 11 << 68.5 << 24.1 << -9.6;
    QTest::newRow("Arabic digits and U+200F in the date of older lines")
        << u"٠٥\u200F/١١  ٦٨٫٥Kg  ٢٤٫١  \u061C-٩٫٦%"_s << true << 5 << 11 << 68.5 << 24.1 << -9.6;
    QTest::newRow("02/29 exists in leap years")
        << u"02/29  68.5Kg  24.1  9.6%"_s << true << 2 << 29 << 68.5 << 24.1 << 9.6;

    auto invalid = [](const char* name, const QString& text) {
        QTest::newRow(name) << text << false << 0 << 0 << 0.0 << 0.0 << 0.0;
    };
    invalid("empty", QString());
    invalid("garbage", u"hello"_s);
    invalid("02/30 exists in no year", u"02/30  68.5Kg  24.1  9.6%"_s);
    invalid("month 13", u"13/01  68.5Kg  24.1  9.6%"_s);
    invalid("day 00", u"05/00  68.5Kg  24.1  9.6%"_s);
    invalid("colon is no date separator", u"05:11  68.5Kg  24.1  9.6%"_s);
    invalid("no Kg", u"05/11  68.5  24.1  9.6%"_s);
    invalid("no percentage", u"05/11  68.5Kg  24.1"_s);
    invalid("no percent sign", u"05/11  68.5Kg  24.1  9.6"_s);
    invalid("text after the line", u"05/11  68.5Kg  24.1  9.6% x"_s);
    invalid("fields run together", u"05/1168.5Kg  24.1  9.6%"_s);
    invalid("two decimal points", u"05/11  68.5.5Kg  24.1  9.6%"_s);
    invalid("other letters outside ASCII", u"05/11  68.5Kg  24.1  9.6%é"_s);
    invalid("a long line", u"05/11  68.5Kg  24.1  9.6%"_s + QString(300, u' '));
}

void tst_History::entryRead()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);

    const std::optional<HistoryEntry> fields = HistoryEntry::read(text.toUtf8());
    QCOMPARE(fields.has_value(), valid);
    if (!fields)
        return;
    QTEST(fields->month, "month");
    QTEST(fields->day, "day");
    QTEST(fields->weight, "weight");
    QTEST(fields->bmi, "bmi");
    QTEST(fields->obesityPercent, "percent");
}

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
    QTest::newRow("blank lines are entries, leading blanks are kept")
        << QByteArray("a\r\n \r\n\t\r\n  b\r\n") << QStringList{u"a"_s, u" "_s, u"\t"_s, u"  b"_s};
    QStringList lf;
    const QByteArray lfBytes = numberedLines(100, "\n", &lf);
    QTest::newRow("100 LF lines") << lfBytes << lf;
    QStringList crlf;
    const QByteArray crlfBytes = numberedLines(70, "\r\n", &crlf);
    QTest::newRow("70 CR LF lines without the last line end") << crlfBytes.chopped(2) << crlf;
    QTest::newRow("CR inside a line is a character")
        << QByteArray("a\rb\r\n") << QStringList{u"a\rb"_s};
    QTest::newRow("commas and quotes, also unmatched, are characters")
        << QByteArray("05/11  68,5Kg  \"24,1\"  9,6%\r\n\"open\r\n")
        << QStringList{u"05/11  68,5Kg  \"24,1\"  9,6%"_s, u"\"open"_s};
    QTest::newRow("a byte-order mark is skipped") << QByteArray("\xEF\xBB\xBF"
                                                                "a\r\n")
                                                  << QStringList{u"a"_s};
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
