// Importing weights kept elsewhere, on real files: each format and date form read as written; the
// merge keeps every old line's date and refuses what the history cannot hold; the write keeps a
// backup that the undo puts back with the lines recorded since; hostile files change nothing.

#include "store/historyimport.h"

#include "measure/arithmetic.h"
#include "store/csvexport.h"
#include "store/historyedit.h"
#include "store/historyentry.h"
#include "testfiles.h"

#include <QLocale>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

const QLocale kJapan(QLocale::Japanese, QLocale::Japan);
constexpr float kHeight = 1.70f;
const QDate kToday{2024, 6, 1};

QString lineFor(int y, int m, int d, float weight)
{
    return HistoryEntry::recorded(QDate(y, m, d), weight, bodyMassIndex(weight, kHeight),
                                  obesityRatio(weight, kHeight))
        .line(kJapan);
}

QByteArray bytesOf(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

QString refusal(const RefusedRow& r)
{
    const QString reasons[] = {u"NoDate"_s, u"Future"_s, u"Range"_s, u"NotARecord"_s,
                               u"CannotHold"_s};
    return u"%1:%2"_s.arg(r.row).arg(reasons[int(r.reason)]);
}

// "format encoding delimiter order|date weight|...|row:reason|..."
QString summary(const ImportFile& f)
{
    const QString formats[] = {u"morvane"_s, u"openscale"_s, u"pondus"_s, u"text"_s};
    const QString encodings[] = {u"utf8"_s, u"bom"_s, u"sjis"_s};
    const QString orders[] = {u"-"_s, u"mdy"_s, u"dmy"_s};
    QStringList parts{u"%1 %2 %3 %4%5"_s.arg(formats[int(f.format)], encodings[int(f.encoding)],
                                             f.delimiter.isNull()   ? u"xml"_s
                                             : f.delimiter == u'\t' ? u"tab"_s
                                                                    : QString(f.delimiter),
                                             orders[int(f.dayMonthOrder)],
                                             f.needsDayMonthOrder ? u"?"_s : QString())};
    for (const ImportRow& r : f.rows) {
        const QDate date = r.date(f.dayMonthOrder);
        parts << (date.isValid() ? date.toString(Qt::ISODate)
                                 : u"%1/%2?"_s.arg(r.first).arg(r.second)) +
                     u' ' + QString::number(r.weight, 'f', 2);
    }
    for (const RefusedRow& r : f.refused)
        parts << refusal(r);
    return parts.join(u'|');
}

QByteArray shiftJis(const QString& text)
{
    QStringEncoder encoder("Shift_JIS");
    return encoder.encode(text);
}

struct Folder {
    QTemporaryDir dir;
    QDir folder{dir.path()};
    DataFiles files{folder};
    QString path(const QString& name) const { return folder.filePath(name); }
};

ImportFile readOrFail(const QString& path)
{
    ImportRead read = readImportFile(path);
    if (!read.file)
        qFatal("%s", qPrintable(read.error ? read.error->reason : u"cancelled"_s));
    return *read.file;
}

// Each line with the date readTrend gives it, in file order; lines it skips have none.
QStringList datedLines(const History& history, const QDate& today)
{
    const Trend trend = readTrend(history, today);
    QStringList lines;
    qsizetype k = 0;
    history.forEachLine([&](QByteArrayView bytes) {
        const auto entry = HistoryEntry::read(bytes);
        const bool dated = entry && k < trend.entries.size() &&
                           trend.entries[k].date.month() == entry->month &&
                           trend.entries[k].date.day() == entry->day;
        lines << QString::fromUtf8(bytes) + u" @"_s +
                     (dated ? trend.entries[k++].date.toString(Qt::ISODate) : u"-"_s);
    });
    return lines;
}

} // namespace

Q_DECLARE_METATYPE(ImportFormat)

class tst_HistoryImport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readsFiles_data();
    void readsFiles();
    void hostileFiles_data();
    void hostileFiles();
    void merges_data();
    void merges();
    void refusedImports_data();
    void refusedImports();
    void roundTripOfTheExport();
    void writerDuringTheImport_data();
    void writerDuringTheImport();
};

void tst_HistoryImport::initTestCase()
{
    // A zone without daylight saving and without the zone database: dates with an offset are
    // converted to it.
    qputenv("TZ", "JST-9");
    tzset();
}

void tst_HistoryImport::readsFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QList<int>>("chosen"); // the date and the weight column, when chosen

    const QList<int> none;

    QTest::newRow("our own export")
        << QByteArray("\xEF\xBB\xBF日付,体重(kg),BMI,肥満度(%)\r\n2023-12-30,68.5,23.7,7.8\r\n")
        << u"morvane bom , -|2023-12-30 68.50"_s << none;
    // Field names in alphabetical order, all quoted, as openScale's CsvHelper writes them.
    QTest::newRow("openScale, named columns")
        << QByteArray("\"bone\",\"comment\",\"dateTime\",\"fat\",\"weight\"\n"
                      "1.0,\"some, text\",\"01.03.2018 12:45\",2.0,80.3\n")
        << u"openscale utf8 , -|2018-03-01 80.30"_s << none;
    QTest::newRow("openScale 3: DATE and TIME columns")
        << QByteArray("DATE,TIME,BMI,BODY_FAT,WEIGHT\n2024-01-05,08:30:00,24.1,20.5,68.5\n")
        << u"openscale utf8 , -|2024-01-05 68.50"_s << none;
    QTest::newRow("openScale before 1.2, no header")
        << QByteArray("01.03.2018 12:45,80.0,2.0,7.0,some text\n")
        << u"text utf8 , -|2018-03-01 80.00"_s << none;
    // Datasets in id order, not date order; the plan is no measurement; an older file's id
    // attribute; row numbers are the lines of the datasets.
    QTest::newRow("Pondus")
        << QByteArray("<?xml version='1.0' encoding='UTF-8'?>\n<person format=\"0.7\">"
                      "<height>170.0</height><weight><measurements>\n"
                      "<dataset><id>1</id><date>2024-01-06</date><weight>68.1</weight></dataset>\n"
                      "<dataset id=\"2\"><date>2024-01-05</date><weight>68.5</weight></dataset>\n"
                      "<dataset><id>3</id><date>2024-01-07</date></dataset>\n"
                      "</measurements><plan><dataset><id>1</id><date>2024-02-01</date>"
                      "<weight>60.0</weight></dataset></plan></weight></person>\n")
        << u"pondus utf8 xml -|2024-01-06 68.10|2024-01-05 68.50|5:NotARecord"_s << none;
    QTest::newRow("date forms, a time after the date never moves it")
        << QByteArray("date,weight\n2024/01/05,60\n2024-1-6,61\n2024.01.07 23:59,62\n"
                      "2024年1月8日,63\n09.01.2024,64\n2024-01-10T23:30:00,65\n"
                      "２０２４年１月１１日,66\n2024/2/29,67\n2023/2/29,68\n24/01/05,69\n")
        << u"text utf8 , -|2024-01-05 60.00|2024-01-06 61.00|2024-01-07 62.00|"
           "2024-01-08 63.00|2024-01-09 64.00|2024-01-10 65.00|2024-01-11 66.00|"
           "2024-02-29 67.00|10:NoDate|11:NoDate"_s
        << none;
    QTest::newRow("a zone gives the local date (UTC+9 here)")
        << QByteArray("timestamp,kg\n2024-01-05T20:00:00-05:00,60\n2024-01-05T15:30:00Z,61\n"
                      "2024-01-05T23:30:00+09:00,62\n2024-01-05 10:00:00 +0100,63\n")
        << u"text utf8 , -|2024-01-06 60.00|2024-01-06 61.00|2024-01-05 62.00|"
           "2024-01-05 63.00"_s
        << none;
    QTest::newRow("a first number over 12: day first")
        << QByteArray("日付,体重\n03/04/2024,60\n13/04/2024,61\n")
        << u"text utf8 , dmy|2024-04-03 60.00|2024-04-13 61.00"_s << none;
    QTest::newRow("a second number over 12: month first")
        << QByteArray("日付,体重\n03/04/2024,60\n04/13/2024,61\n")
        << u"text utf8 , mdy|2024-03-04 60.00|2024-04-13 61.00"_s << none;
    QTest::newRow("no number over 12: the user is asked")
        << QByteArray("日付,体重\n03/04/2024,60\n05/05/2024,61\n")
        << u"text utf8 , -?|3/4? 60.00|2024-05-05 61.00"_s << none;
    QTest::newRow("semicolons and decimal commas")
        << QByteArray("Datum;Gewicht;Weight (kg)\n05.01.2024;x;68,5\n06.01.2024;y;70\n")
        << u"text utf8 ; -|2024-01-05 68.50|2024-01-06 70.00"_s << none;
    QTest::newRow("a quoted decimal comma; an unquoted one is no record")
        << QByteArray("date,weight\n2024-01-05,\"68,5\"\n2024-01-06,68,5\n")
        << u"text utf8 , -|2024-01-05 68.50|3:NotARecord"_s << none;
    QTest::newRow("tabs, pounds by the header and by the field")
        << QByteArray("Date\tWeight (lb)\n2024-01-05\t154.3\n2024-01-06\t70 kg\n"
                      "2024-01-07\t\"151 lbs\"\n")
        << u"text utf8 tab -|2024-01-05 69.99|2024-01-06 70.00|2024-01-07 68.49"_s << none;
    QTest::newRow("headerless: the first dates, the next weights")
        << QByteArray("1,note,2024-01-05,x,68.5\r\n2,note,2024-01-06,y,68.0\r\n")
        << u"text utf8 , -|2024-01-05 68.50|2024-01-06 68.00"_s << none;
    QTest::newRow("Shift-JIS, full-width header, refused rows")
        << shiftJis(u"測定日,体重（ｋｇ）\r\n2024/01/05,68.5\r\n\r\n,60\r\n2024/01/07,1200\r\n"
                    "2024/01/08\r\n2024/01/09,重い\r\n"_s)
        << u"text sjis , -|2024-01-05 68.50|4:NoDate|5:Range|6:NotARecord|7:NotARecord"_s << none;
    QTest::newRow("columns chosen by the user, pounds by the chosen one's header")
        << QByteArray("day,memo,when,kg,lb\n2024-01-05,x,2024-02-01,70,71\n")
        << u"text utf8 , -|2024-02-01 32.21"_s << QList<int>{2, 4};
}

void tst_HistoryImport::readsFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, read);
    QFETCH(QList<int>, chosen);

    Folder f;
    const QString path = f.path(u"import.csv"_s);
    QVERIFY(writeBytes(path, content));
    const ImportRead file = readImportFile(
        path, chosen.isEmpty() ? ImportOptions() : ImportOptions{chosen[0], chosen[1]});
    QVERIFY(file.file);
    QCOMPARE(summary(*file.file), read);
}

void tst_HistoryImport::hostileFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("a folder") << u"folder"_s << QByteArray();
    QTest::newRow("a FIFO") << u"fifo"_s << QByteArray();
    QTest::newRow("a device") << u"device"_s << QByteArray();
    QTest::newRow("over 64 MB") << u"sparse"_s << QByteArray();
    QTest::newRow("over a million rows")
        << u"file"_s << QByteArray("2024-01-05,68.5\n").repeated(1'000'001);
    QTest::newRow("NUL bytes") << u"file"_s << QByteArray("date,weight\n2024-01-05,6\0\0", 26);
    QTest::newRow("neither UTF-8 nor Shift-JIS")
        << u"file"_s << QByteArray("date,weight\n\x81\x20\xff\xfe\n");
    QTest::newRow("no date column") << u"file"_s << QByteArray("a,b\n1,2\n");
    QTest::newRow("no weight column") << u"file"_s << QByteArray("日付,メモ\n2024-01-05,x\n");
    QTest::newRow("empty") << u"file"_s << QByteArray("\xEF\xBB\xBF\r\n");
    QTest::newRow("an XML file that is not Pondus's") << u"file"_s << QByteArray("<html></html>");
    QTest::newRow("broken XML") << u"file"_s << QByteArray("<person><weight></person>");
    QTest::newRow("cancelled") << u"cancel"_s << QByteArray("2024-01-05,68.5\n").repeated(10'000);
}

void tst_HistoryImport::hostileFiles()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);

    Folder f;
    QString path = f.path(u"import.csv"_s);
    if (kind == u"folder")
        QVERIFY(f.folder.mkdir(u"import.csv"_s));
    else if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == u"device")
        path = u"/dev/zero"_s;
    else if (kind == u"sparse")
        QVERIFY(writeBytes(path, {}) && QFile::resize(path, kMaxImportBytes + 1));
    else
        QVERIFY(writeBytes(path, content));

    qint64 calls = 0;
    const ImportRead read = readImportFile(path, {}, [&](qint64 done, qint64 total) {
        ++calls;
        return kind != u"cancel" || done == 0 || done == total;
    });
    QVERIFY(!read.file);
    QCOMPARE(read.cancelled, kind == u"cancel");
    QCOMPARE(bool(read.error), kind != u"cancel");
    QVERIFY(kind != u"cancel" || calls > 1);
    if (read.error) {
        QCOMPARE(read.error->path, fullPath(path));
        QVERIFY(!read.error->reason.isEmpty());
    }
}

namespace {

enum class After { Nothing, Undo, AppendAndUndo, DeleteAndUndo, ClearAndUndo };

} // namespace

Q_DECLARE_METATYPE(After)

void tst_HistoryImport::merges_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QByteArray>("file");   // date,weight records
    QTest::addColumn<QStringList>("trend"); // readTrend after the import; empty: not compared
    QTest::addColumn<QString>("counts");
    QTest::addColumn<After>("after");

    const QStringList empty;
    QTest::newRow("into an empty history, in date order, then undone")
        << empty << QByteArray("2024-05-03,60\n2024-05-01,61\n2024-05-02,62\n")
        << QStringList{u"2024-05-01 61.0"_s, u"2024-05-02 62.0"_s, u"2024-05-03 60.0"_s}
        << u"3 new, 0 known, refused "_s << After::Undo;
    QTest::newRow("a duplicate is skipped, same-day entries keep the file's order")
        << QStringList{lineFor(2024, 5, 1, 68.5f)}
        << QByteArray("2024-05-01,68.54\n2024-05-01,68.6\n2024-05-01,68.4\n")
        << QStringList{u"2024-05-01 68.5"_s, u"2024-05-01 68.6"_s, u"2024-05-01 68.4"_s}
        << u"2 new, 1 known, refused "_s << After::AppendAndUndo;
    QTest::newRow("between old lines, an unreadable line keeping its place")
        << QStringList{lineFor(2023, 12, 30, 70.0f), u"garbage"_s, lineFor(2024, 1, 2, 69.0f)}
        << QByteArray("2023-12-31,69.5\n2024-06-02,60\n")
        << QStringList{u"2023-12-30 70.0"_s, u"2023-12-31 69.5"_s, u"2024-01-02 69.0"_s}
        << u"1 new, 0 known, refused 2:Future"_s << After::DeleteAndUndo;
    // Over a year from the next entry, the walk would give another year.
    QTest::newRow("dates the history cannot hold")
        << QStringList{lineFor(2024, 3, 1, 70.0f)}
        << QByteArray("2023-05-01,71\n2021-01-05,72\n2023-02-28,73\n2022-01-10,74\n")
        << QStringList{u"2023-02-28 73.0"_s, u"2023-05-01 71.0"_s, u"2024-03-01 70.0"_s}
        << u"2 new, 0 known, refused 2:CannotHold|4:CannotHold"_s << After::ClearAndUndo;
    QTest::newRow("the newest line's year comes from today")
        << empty << QByteArray("2023-03-01,71\n2024-05-01,72\n2022-12-01,73\n")
        << QStringList{u"2024-05-01 72.0"_s}
        << u"1 new, 0 known, refused 1:CannotHold|3:CannotHold"_s << After::Nothing;
    QTest::newRow("nothing to import")
        << QStringList{lineFor(2024, 5, 1, 68.5f)} << QByteArray("2024-05-01,68.5\n") << empty
        << u"0 new, 1 known, refused "_s << After::Nothing;
    // 02/29 of a common year is no date, before and after; the year walk still counts it.
    QTest::newRow("an old 02/29 of a common year stays no date; one of a leap year is new")
        << QStringList{lineFor(2023, 2, 28, 70.0f), u"02/29  70.0Kg  24.2  10.0%"_s,
                       lineFor(2023, 3, 1, 70.0f), lineFor(2023, 12, 31, 70.0f),
                       lineFor(2024, 1, 5, 70.0f)}
        << QByteArray("2023-03-02,69.9\n2024-02-29,69.8\n") << empty
        << u"2 new, 0 known, refused "_s << After::Undo;
    QStringList year; // a year of daily lines up to yesterday, one day missing
    for (QDate d = kToday.addDays(-365); d < kToday; d = d.addDays(1)) {
        if (d != QDate(2024, 1, 1))
            year << lineFor(d.year(), d.month(), d.day(), 70.0f + d.day() / 10.0f);
    }
    QTest::newRow("into a long history")
        << year << QByteArray("2024-01-01,80\n2024-03-01,70.1\n2022-05-01,75\n") << empty
        << u"1 new, 1 known, refused 3:CannotHold"_s << After::AppendAndUndo;
}

void tst_HistoryImport::merges()
{
    QFETCH(QStringList, history);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, trend);
    QFETCH(QString, counts);
    QFETCH(After, after);

    Folder f;
    const QByteArray old = bytesOf(history);
    QVERIFY(writeBytes(f.path(kHistoryFileName), old));
    QCOMPARE(::chmod(QFile::encodeName(f.path(kHistoryFileName)).constData(), 0640), 0);
    QVERIFY(writeBytes(f.path(kWeightFileName), "70\r\n"));
    QVERIFY(writeBytes(f.path(u"in.csv"_s), file));
    const ImportFile in = readOrFail(f.path(u"in.csv"_s));

    const ImportPreview preview = previewImport(History(old), in, {}, kToday, kHeight, kJapan);
    const HistoryImport import =
        importIntoHistory(f.files, in, {DayMonthOrder::Undecided, true}, kToday, kHeight, kJapan);
    QStringList refused;
    for (const RefusedRow& r : import.preview.refused)
        refused << refusal(r);
    QCOMPARE(u"%1 new, %2 known, refused %3"_s.arg(import.preview.newEntries)
                 .arg(import.preview.alreadyInHistory)
                 .arg(refused.join(u'|')),
             counts);
    QCOMPARE(preview.refused, import.preview.refused);
    QCOMPARE(preview.firstLines, import.preview.firstLines);
    if (preview.nothingToImport()) {
        QCOMPARE(import.status, HistoryImport::Status::NothingToImport);
        QCOMPARE(readBytes(f.path(kHistoryFileName)), old);
        QVERIFY(!hasBackup(f.files));
        return;
    }
    QCOMPARE(import.status, HistoryImport::Status::Imported);

    // Every old line keeps its bytes, its place among the others and its date.
    const History merged = f.files.readHistory().lines;
    QCOMPARE(merged, import.lines);
    const QStringList before = datedLines(History(old), kToday);
    const QStringList now = datedLines(merged, kToday);
    // ... and every new line the file's date.
    QStringList fileDates;
    for (const ImportRow& r : in.rows)
        fileDates << r.date(in.dayMonthOrder).toString(Qt::ISODate);
    qsizetype k = 0;
    for (const QString& line : now) {
        if (k < before.size() && line == before[k])
            ++k;
        else
            QVERIFY2(fileDates.contains(line.section(u'@', 1)), qPrintable(line));
    }
    QCOMPARE(k, before.size());
    QCOMPARE(now.size(), before.size() + import.preview.newEntries);
    if (!trend.isEmpty()) {
        QStringList dated;
        for (const TrendEntry& e : readTrend(merged, kToday).entries)
            dated << e.date.toString(Qt::ISODate) + u' ' + QString::number(e.weight, 'f', 1);
        QCOMPARE(dated, trend);
    }
    QCOMPARE(readBytes(f.path(kHistoryBackupFileName)), old);
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(f.path(kHistoryBackupFileName)).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 07777), 0640);
    QCOMPARE(readBytes(f.path(kWeightFileName)),
             import.preview.newestIsImported
                 ? numberRecordText(import.preview.newestWeight).toUtf8() + "\r\n"
                 : QByteArray("70\r\n"));

    const QString since = lineFor(2024, 6, 1, 66.6f);
    QByteArray expected = old;
    if (after == After::AppendAndUndo) {
        QVERIFY(!f.files.appendHistory(since));
        expected += since.toUtf8() + "\r\n";
    } else if (after == After::DeleteAndUndo) {
        QCOMPARE(removeHistoryLine(f.files, 0, merged.at(0)).status, HistoryEdit::Status::Done);
    } else if (after == After::ClearAndUndo) {
        QVERIFY(!clearHistory(f.files));
        expected = merged.bytes();
    } else if (after == After::Nothing) {
        return;
    }
    const auto unchanged = snapshot(f.folder);
    const HistoryRestore undo = restoreHistory(f.files);
    if (after == After::DeleteAndUndo) {
        QCOMPARE(undo.status, HistoryRestore::Status::Failed);
        QVERIFY(undo.error && undo.error->path == fullPath(f.path(kHistoryFileName)));
        QCOMPARE(snapshot(f.folder), unchanged);
        return;
    }
    QCOMPARE(undo.status, HistoryRestore::Status::Restored);
    QCOMPARE(undo.undone, after == After::ClearAndUndo ? HistoryRestore::Undone::Clear
                                                       : HistoryRestore::Undone::Import);
    QCOMPARE(readBytes(f.path(kHistoryFileName)), expected);
    QCOMPARE(readBytes(f.path(kWeightFileName)),
             after == After::ClearAndUndo && import.preview.newestIsImported
                 ? numberRecordText(import.preview.newestWeight).toUtf8() + "\r\n"
                 : QByteArray("70\r\n"));
    QVERIFY(!hasBackup(f.files));
    QVERIFY(!QFile::exists(f.path(kHistoryImportMarkerFileName)));
}

void tst_HistoryImport::refusedImports_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("named"); // the file the message names
    QTest::newRow("the backup's name is a folder") << u"folder"_s << kHistoryBackupFileName;
    QTest::newRow("no height") << u"height"_s << kHeightFileName;
    QTest::newRow("the order of month and day not chosen") << u"order"_s << u"in.csv"_s;
}

void tst_HistoryImport::refusedImports()
{
    QFETCH(QString, problem);
    QFETCH(QString, named);
    Folder f;
    QVERIFY(writeBytes(f.path(kHistoryFileName), bytesOf({lineFor(2024, 5, 1, 70.0f)})));
    QVERIFY(writeBytes(f.path(u"in.csv"_s), "05/03/2024,69\n"));
    if (problem == u"folder")
        QVERIFY(f.folder.mkdir(kHistoryBackupFileName));
    const ImportFile in = readOrFail(f.path(u"in.csv"_s));
    const auto before = snapshot(f.folder);

    const ImportChoices choices{problem == u"order" ? DayMonthOrder::Undecided
                                                    : DayMonthOrder::MonthFirst};
    const HistoryImport import = importIntoHistory(f.files, in, choices, kToday,
                                                   problem == u"height" ? 0.0f : kHeight, kJapan);
    QCOMPARE(import.status, HistoryImport::Status::Failed);
    QVERIFY(import.error);
    QCOMPARE(import.error->path, fullPath(f.path(named)));
    QCOMPARE(snapshot(f.folder), before);
}

void tst_HistoryImport::roundTripOfTheExport()
{
    // Export, clear, import: the same lines, across a new year and with an unreadable line left
    // out as the export leaves it out.
    Folder f;
    const QStringList lines{
        lineFor(2023, 12, 30, 68.5f), lineFor(2023, 12, 31, 68.3f), u"garbage"_s,
        lineFor(2024, 1, 1, 68.2f),   lineFor(2024, 1, 1, 69.1f),   lineFor(2024, 5, 31, 58.0f)};
    QVERIFY(writeBytes(f.path(kHistoryFileName), bytesOf(lines)));
    const QString csv = f.path(u"履歴.csv"_s);
    QVERIFY(!exportHistoryCsv(f.files.readHistory().lines, kToday, csv, f.files));
    QVERIFY(!clearHistory(f.files));

    const ImportFile in = readOrFail(csv);
    QCOMPARE(in.format, ImportFormat::MorvaneCsv);
    QCOMPARE(importIntoHistory(f.files, in, {}, kToday, kHeight, kJapan).status,
             HistoryImport::Status::Imported);
    QStringList expected = lines;
    expected.removeAll(u"garbage"_s);
    QCOMPARE(f.files.readHistory().lines.toStringList(), expected);
}

void tst_HistoryImport::writerDuringTheImport_data()
{
    QTest::addColumn<int>("writes"); // how many times another program appends just before rename
    QTest::newRow("once: the import starts over and keeps the line") << 1;
    QTest::newRow("without pause: the import gives up, changing nothing") << 1000;
}

void tst_HistoryImport::writerDuringTheImport()
{
    // A writer that takes no lock appends between the reading and the rename.
    QFETCH(int, writes);
    Folder f;
    const QByteArray old = bytesOf({lineFor(2024, 5, 1, 70.0f)});
    QVERIFY(writeBytes(f.path(kHistoryFileName), old));
    QVERIFY(writeBytes(f.path(u"in.csv"_s), "2024-05-02,69\n"));
    const QByteArray raced = lineFor(2024, 5, 3, 68.0f).toUtf8() + "\r\n";
    int written = 0;
    const HistoryImport import = importIntoHistory(
        f.files, readOrFail(f.path(u"in.csv"_s)), {}, kToday, kHeight, kJapan, [&] {
            if (written++ < writes) {
                QFile file(f.path(kHistoryFileName));
                QVERIFY(file.open(QIODevice::Append) && file.write(raced) == raced.size());
            }
        });
    const QByteArray appended = raced.repeated(std::min(written, writes));
    if (writes > 1) {
        QCOMPARE(import.status, HistoryImport::Status::Failed);
        QVERIFY(import.error);
        QCOMPARE(readBytes(f.path(kHistoryFileName)), old + appended);
        QCOMPARE(snapshot(f.folder).keys(), (QStringList{u"in.csv"_s, kHistoryFileName}));
        return;
    }
    QCOMPARE(import.status, HistoryImport::Status::Imported);
    QCOMPARE(f.files.readHistory().lines.toStringList(),
             (QStringList{lineFor(2024, 5, 1, 70.0f), lineFor(2024, 5, 2, 69.0f),
                          lineFor(2024, 5, 3, 68.0f)}));
    QCOMPARE(readBytes(f.path(kHistoryBackupFileName)), old + raced);
}

QTEST_GUILESS_MAIN(tst_HistoryImport)
#include "tst_historyimport.moc"
