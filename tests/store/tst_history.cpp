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
    QTest::newRow("empty lines in the middle stay")
        << QByteArray("a\r\n\r\nb\r\n") << QStringList{u"a"_s, QString(), u"b"_s};
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
    QCOMPARE(History(content).toStringList(), lines);
}

QTEST_GUILESS_MAIN(tst_History)
#include "tst_history.moc"
