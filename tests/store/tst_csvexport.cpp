// The history as CSV: the exact bytes of the file, quoting, and writing it to real files, where
// a failure leaves no partial or temporary file behind and an older file as it was.

#include "store/csvexport.h"

#include "testfiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

const QDate kToday{2027, 1, 5};

// Across a new year, in two locales' forms, with an unreadable line and a negative percentage.
const QStringList kHistory{
    u"12/30  68.5Kg  24.1  9.6%"_s,
    u"garbage"_s,
    u"12.31  68,0Kg  23,9  8,8%"_s,
    u"01/02  0.0Kg  0.0  -100.0%"_s,
};

History historyOf(const QStringList& lines)
{
    History history;
    for (const QString& line : lines)
        history.append(line);
    return history;
}

// The source file is UTF-8, so the Japanese header below is spelled in UTF-8 bytes.
const QByteArray kBom = "\xEF\xBB\xBF";
const QByteArray kHeader = "日付,体重(kg),BMI,肥満度(%),傾向(kg)\r\n";

} // namespace

class tst_CsvExport : public QObject {
    Q_OBJECT

private slots:
    void record_data();
    void record();
    void bytes_data();
    void bytes();
    void writesTheFile_data();
    void writesTheFile();
    void failingPath_data();
    void failingPath();
    void refusesDataFiles_data();
    void refusesDataFiles();
};

void tst_CsvExport::record_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("plain fields") << QStringList{u"2026-05-11"_s, u"68.5"_s}
                                  << QByteArray("2026-05-11,68.5\r\n");
    QTest::newRow("Japanese in UTF-8") << QStringList{u"日付"_s} << QByteArray("日付\r\n");
    QTest::newRow("empty field") << QStringList{u"a"_s, QString(), u"b"_s}
                                 << QByteArray("a,,b\r\n");
    QTest::newRow("comma quoted") << QStringList{u"68,5"_s, u"x"_s} << QByteArray("\"68,5\",x\r\n");
    QTest::newRow("double quote doubled")
        << QStringList{u"say \"hi\""_s} << QByteArray("\"say \"\"hi\"\"\"\r\n");
    QTest::newRow("line feed quoted") << QStringList{u"a\nb"_s} << QByteArray("\"a\nb\"\r\n");
    QTest::newRow("carriage return quoted") << QStringList{u"a\rb"_s} << QByteArray("\"a\rb\"\r\n");
    QTest::newRow("blanks are not quoted") << QStringList{u" a b "_s} << QByteArray(" a b \r\n");
}

void tst_CsvExport::record()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, bytes);
    QCOMPARE(csvRecord(fields), bytes);
}

void tst_CsvExport::bytes_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QByteArray>("bytes");

    // The trend on an entry's day; none for a weight the trend leaves out (0 kg).
    QTest::newRow("history across a new year") << kHistory
                                               << kBom + kHeader +
                                                      "2026-12-30,68.5,24.1,9.6,68.5\r\n"
                                                      "2026-12-31,68.0,23.9,8.8,68.5\r\n"
                                                      "2027-01-02,0.0,0.0,-100.0,\r\n";
    // 12/29 and 12/30 weigh 69.0 and 68.0 on the line between: 70, 69.9, 69.71, 69.439.
    QTest::newRow("the trend over days without a weighing")
        << QStringList{u"12/28  70.0Kg  24.7  12.0%"_s, u"12/31  67.0Kg  23.6  7.2%"_s}
        << kBom + kHeader + "2026-12-28,70.0,24.7,12.0,70.0\r\n2026-12-31,67.0,23.6,7.2,69.4\r\n";
    QTest::newRow("empty history: the header alone") << QStringList{} << kBom + kHeader;
    QTest::newRow("nothing readable: the header alone")
        << QStringList{u"x"_s, u"02/30  68.5Kg  24.1  9.6%"_s} << kBom + kHeader;
}

void tst_CsvExport::bytes()
{
    QFETCH(QStringList, history);
    QFETCH(QByteArray, bytes);
    QCOMPARE(historyCsv(historyOf(history), kToday), bytes);
}

void tst_CsvExport::writesTheFile_data()
{
    QTest::addColumn<bool>("older");
    QTest::newRow("new file") << false;
    QTest::newRow("replaces an older file") << true;
}

void tst_CsvExport::writesTheFile()
{
    QFETCH(bool, older);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"体重.csv"_s);
    if (older)
        QVERIFY(writeBytes(path, QByteArray(4096, 'x')));

    const std::optional<FileError> error =
        exportHistoryCsv(historyOf(kHistory), kToday, path, DataFiles(QDir(dir.path())));
    QVERIFY2(!error, qPrintable(error ? error->reason : QString()));
    QCOMPARE(readBytes(path), historyCsv(historyOf(kHistory), kToday));
    // Only the file itself: no temporary file is left beside it.
    QCOMPARE(snapshot(QDir(dir.path())).keys(), QStringList{u"体重.csv"_s});
}

void tst_CsvExport::failingPath_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<int>("sizeLimit"); // 0: none

    QTest::newRow("a folder of that name") << u"履歴.csv"_s << 0;
    QTest::newRow("a missing folder on the way") << u"missing/履歴.csv"_s << 0;
    QTest::newRow("a FIFO, never replaced by a file") << u"fifo.csv"_s << 0;
    // Room for a part of the file only: the write fails after some bytes.
    QTest::newRow("an older file, the write cut short") << u"older.csv"_s << 20;
}

void tst_CsvExport::failingPath()
{
    QFETCH(QString, relativePath);
    QFETCH(int, sizeLimit);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"履歴.csv"_s));
    QVERIFY(writeBytes(dir.filePath(u"履歴.csv/inside.txt"_s), "kept"));
    QCOMPARE(mkfifo(QFile::encodeName(dir.filePath(u"fifo.csv"_s)).constData(), 0600), 0);
    QVERIFY(writeBytes(dir.filePath(u"older.csv"_s), "older"));
    const auto before = snapshot(QDir(dir.path()));

    std::optional<FileError> error;
    {
        std::optional<FileSizeLimit> limit;
        if (sizeLimit > 0) {
            limit.emplace(static_cast<rlim_t>(sizeLimit));
            QVERIFY(limit->isActive());
        }
        error = exportHistoryCsv(historyOf(kHistory), kToday, dir.filePath(relativePath),
                                 DataFiles(QDir(dir.path())));
    }
    QVERIFY(error);
    QCOMPARE(error->path, dir.filePath(relativePath));
    QVERIFY(!error->reason.isEmpty());
    QCOMPARE(snapshot(QDir(dir.path())), before);
}

void tst_CsvExport::refusesDataFiles_data()
{
    QTest::addColumn<QString>("chosen"); // relative to the scratch folder
    QTest::addColumn<bool>("refused");

    // The data folder is "data"; "link" is a link to it, "data/h.lnk" a link to its history.
    QTest::newRow("the history") << u"data/履歴.txt"_s << true;
    QTest::newRow("the height") << u"data/身長.txt"_s << true;
    QTest::newRow("the weight, not there yet") << u"data/体重.txt"_s << true;
    QTest::newRow("the backup, not there yet") << u"data/履歴.txt.bak"_s << true;
    QTest::newRow("the goal, not there yet") << u"data/目標.txt"_s << true;
    QTest::newRow("the import's marker, not there yet") << u"data/履歴.txt.bak.import"_s << true;
    QTest::newRow("the history by a detour") << u"data/../data/./履歴.txt"_s << true;
    QTest::newRow("the history through a linked folder") << u"link/履歴.txt"_s << true;
    QTest::newRow("a link to the history") << u"data/h.lnk"_s << true;
    QTest::newRow("a history in another folder") << kHistoryFileName << false;
    QTest::newRow("another name in the data folder") << u"data/履歴.csv"_s << false;
}

void tst_CsvExport::refusesDataFiles()
{
    QFETCH(QString, chosen);
    QFETCH(bool, refused);

    QTemporaryDir dir;
    QDir root(dir.path());
    QVERIFY(root.mkdir(u"data"_s));
    const QDir data(root.filePath(u"data"_s));
    QVERIFY(writeBytes(data.filePath(kHistoryFileName), "05/11  68.5Kg  24.1  9.6%\r\n"));
    QVERIFY(writeBytes(data.filePath(kHeightFileName), "1.685\r\n"));
    QVERIFY(QFile::link(data.filePath(kHistoryFileName), data.filePath(u"h.lnk"_s)));
    QVERIFY(QFile::link(data.path(), root.filePath(u"link"_s)));
    const auto before = snapshot(data);

    const QString path = root.filePath(chosen);
    const std::optional<FileError> error =
        exportHistoryCsv(historyOf(kHistory), kToday, path, DataFiles(data));
    QCOMPARE(bool(error), refused);
    if (!refused)
        return;
    QVERIFY(error->path.endsWith(QFileInfo(chosen).fileName()));
    QVERIFY(QFileInfo(error->path).isAbsolute());
    QVERIFY(!error->reason.isEmpty());
    QCOMPARE(snapshot(data), before);
}

QTEST_GUILESS_MAIN(tst_CsvExport)
#include "tst_csvexport.moc"
