// Start-up from real files: what the window shows for stored, partial, unusable and unreadable
// data, and that start-up never writes a file, whatever it finds.

#include "session/startup.h"

#include "measure/arithmetic.h"
#include "measure/numbertext.h"
#include "store/fileio.h"
#include "testfiles.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

using OptFloat = std::optional<float>;

const QByteArray kTwoLines = "05/10  69.0Kg  24.3  10.4%\r\n05/11  68.5Kg  24.1  9.6%\r\n";
const NumberFile kNumbers[] = {kHeightFile, kWeightFile, kGoalFile};
const QStringList kTwoEntries{u"05/10  69.0Kg  24.3  10.4%"_s, u"05/11  68.5Kg  24.1  9.6%"_s};

// A null QByteArray leaves the file out.
bool createFiles(const DataFiles& files, const QByteArray& height, const QByteArray& weight,
                 const QByteArray& history)
{
    const std::pair<QString, QByteArray> contents[] = {
        {kHeightFileName, height}, {kWeightFileName, weight}, {kHistoryFileName, history}};
    for (const auto& [name, bytes] : contents) {
        if (!bytes.isNull() && !writeBytes(files.path(name), bytes))
            return false;
    }
    return true;
}

} // namespace

Q_DECLARE_METATYPE(OptFloat)

class tst_Startup : public QObject {
    Q_OBJECT

    const QLocale jp{QLocale::Japanese, QLocale::Japan};

private slots:
    void initTestCase();
    void startup_data();
    void startup();
    void unreadableFile_data();
    void unreadableFile();
    void refusedFile_data();
    void refusedFile();

private:
    QTemporaryDir m_scratch;
};

void tst_Startup::initTestCase()
{
    QLocale::setDefault(jp);
    QVERIFY(m_scratch.isValid());
}

void tst_Startup::startup_data()
{
    QTest::addColumn<QByteArray>("heightFile");
    QTest::addColumn<QByteArray>("weightFile");
    QTest::addColumn<QByteArray>("historyFile");
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("label2");
    QTest::addColumn<QString>("label5");
    QTest::addColumn<QString>("label4");
    QTest::addColumn<int>("position");      // -1: the meter stays where it stands
    QTest::addColumn<QString>("judgement"); // empty: label left blank
    QTest::addColumn<QString>("lblTai");
    QTest::addColumn<QString>("lblHyojun");
    QTest::addColumn<QString>("lblHiman");

    const QByteArray none; // no such file
    const QString empty;

    QTest::newRow("stored state") << QByteArray("1.685\r\n") << QByteArray("68.5\r\n") << kTwoLines
                                  << kTwoEntries << u"1.685"_s << u"68.5"_s << u"24.1"_s << 241
                                  << u"でぶメゾフォルテ"_s << u"68.5"_s << u"62.5"_s << u"9.6"_s;
    QTest::newRow("BMI 15.5 sits at the initial position")
        << QByteArray("2\r\n") << QByteArray("62\r\n") << none << QStringList() << u"2"_s << u"62"_s
        << u"15.5"_s << 155 << u"やせ過ぎ"_s << u"62.0"_s << u"88.0"_s << u"-29.5"_s;
    QTest::newRow("BMI above the meter")
        << QByteArray("1.5\r\n") << QByteArray("100\r\n") << none << QStringList() << u"1.5"_s
        << u"100"_s << u"44.4"_s << 316 << u"でぶフォルテシモ"_s << u"100.0"_s << u"49.5"_s
        << u"102.0"_s;
    QTest::newRow("BMI below the meter")
        << QByteArray("2\r\n") << QByteArray("40\r\n") << none << QStringList() << u"2"_s << u"40"_s
        << u"10.0"_s << 154 << u"やせ過ぎ"_s << u"40.0"_s << u"88.0"_s << u"-54.5"_s;
    QTest::newRow("LF-only files, height without leading zero")
        << QByteArray(".95\n") << QByteArray("20\n") << QByteArray("a\nb\n")
        << QStringList{u"a"_s, u"b"_s} << u"0.95"_s << u"20"_s << u"22.2"_s << 222
        << u"スタンダード"_s << u"20.0"_s << u"19.9"_s << u"0.5"_s;

    QTest::newRow("no files at all") << none << none << none << QStringList() << empty << empty
                                     << empty << -1 << empty << empty << empty << empty;
    QTest::newRow("only a height file")
        << QByteArray("1.685\r\n") << none << none << QStringList() << u"1.685"_s << empty << empty
        << -1 << empty << empty << u"62.5"_s << empty;
    QTest::newRow("empty weight file")
        << QByteArray("1.685\r\n") << QByteArray("") << kTwoLines << kTwoEntries << u"1.685"_s
        << empty << empty << -1 << empty << empty << u"62.5"_s << empty;
    QTest::newRow("letters in the height file")
        << QByteArray("abc\r\n") << QByteArray("68.5\r\n") << none << QStringList() << empty
        << u"68.5"_s << empty << -1 << empty << u"68.5"_s << empty << empty;
    QTest::newRow("height 170 (centimetres)")
        << QByteArray("170\r\n") << QByteArray("68.5\r\n") << none << QStringList() << empty
        << u"68.5"_s << empty << -1 << empty << u"68.5"_s << empty << empty;
    QTest::newRow("weight 0") << QByteArray("1.685\r\n") << QByteArray("0\r\n") << none
                              << QStringList() << u"1.685"_s << empty << empty << -1 << empty
                              << empty << u"62.5"_s << empty;
    QTest::newRow("weight under 1 kg")
        << QByteArray("1.685\r\n") << QByteArray("0.5\r\n") << none << QStringList() << u"1.685"_s
        << empty << empty << -1 << empty << empty << u"62.5"_s << empty;
    QTest::newRow("weight above 1000")
        << QByteArray("1.685\r\n") << QByteArray("1000.5\r\n") << none << QStringList()
        << u"1.685"_s << empty << empty << -1 << empty << empty << u"62.5"_s << empty;
}

void tst_Startup::startup()
{
    QFETCH(QByteArray, heightFile);
    QFETCH(QByteArray, weightFile);
    QFETCH(QByteArray, historyFile);
    QFETCH(QStringList, history);
    QFETCH(QString, label2);
    QFETCH(QString, label5);
    QFETCH(QString, label4);
    QFETCH(int, position);
    QFETCH(QString, judgement);
    QFETCH(QString, lblTai);
    QFETCH(QString, lblHyojun);
    QFETCH(QString, lblHiman);

    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    QVERIFY(createFiles(files, heightFile, weightFile, historyFile));
    const auto before = snapshot(QDir(dir.path()));

    const StartupResult result = loadStartup(files, kNumbers);
    QCOMPARE(snapshot(QDir(dir.path())), before);
    QVERIFY(!result.error);
    QVERIFY(result.startup);
    const Startup& s = *result.startup;

    QCOMPARE(s.history.toStringList(), history);
    const auto text = [&](std::optional<float> v) {
        return v ? generalNumberText(*v, jp) : QString();
    };
    QCOMPARE(text(s.measurement.height), label2);
    QCOMPARE(text(s.measurement.weight), label5);
    QCOMPARE(s.measurement.bmi ? oneDecimalText(*s.measurement.bmi, jp) : QString(), label4);
    QCOMPARE(s.position.value_or(-1), qint16(position));
    QCOMPARE(s.measurement.height.has_value(), !label2.isEmpty());
    QCOMPARE(s.measurement.weight.has_value(), !label5.isEmpty());
    QCOMPARE(s.measurement.bmi.has_value(), !label4.isEmpty());
    QCOMPARE(s.measurement.keepsWeight, true);

    // Start-up ends with one meter reading where it set the meter (or where the meter starts,
    // at 15.5).
    const qint16 at = s.position.value_or(155);
    const MeterReading u = readMeter(at, s.measurement);
    auto shown = [this](auto value) { return value ? oneDecimalText(*value, jp) : QString(); };
    QCOMPARE(u.band ? u.band->caption : QString(), judgement);
    QCOMPARE(shown(u.after.weight), lblTai);
    QCOMPARE(shown(u.standardWeight), lblHyojun);
    QCOMPARE(shown(u.obesityDegree), lblHiman);
    QCOMPARE(u.after.meterBmi, meterValue(at));
    QCOMPARE(u.after.keepsWeight, false);
    // The first reading keeps the weight: the weight and the true (unclamped) BMI stay
    // as loaded, and the labels showing them are not rewritten with meter values.
    QVERIFY(!u.derived);
    QCOMPARE(u.after.weight, s.measurement.weight);
    QCOMPARE(u.after.bmi, s.measurement.bmi);
}

void tst_Startup::unreadableFile_data()
{
    QTest::addColumn<QStringList>("folders"); // data file names that are folders instead
    QTest::addColumn<QString>("reported");

    // Each of the others refused as a folder: refusedFile.
    QTest::newRow("folder named 目標.txt") << QStringList{kGoalFileName} << kGoalFileName;
    // Files are read history first, then height, weight and goal; the first failure is reported.
    QTest::newRow("history before weight")
        << QStringList{kWeightFileName, kHistoryFileName} << kHistoryFileName;
    QTest::newRow("height before weight")
        << QStringList{kWeightFileName, kHeightFileName} << kHeightFileName;
    QTest::newRow("weight before goal")
        << QStringList{kGoalFileName, kWeightFileName} << kWeightFileName;
}

void tst_Startup::unreadableFile()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, reported);

    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    QVERIFY(createFiles(files, "1.685\r\n", "68.5\r\n", kTwoLines));
    for (const QString& name : folders) {
        QFile::remove(files.path(name));
        QVERIFY(QDir(dir.path()).mkdir(name));
    }
    const auto before = snapshot(QDir(dir.path()));

    const StartupResult result = loadStartup(files, kNumbers);
    QCOMPARE(snapshot(QDir(dir.path())), before);
    QVERIFY(!result.startup);
    QVERIFY(result.error);
    QCOMPARE(result.error->path, files.path(reported));
    QVERIFY(!result.error->reason.isEmpty());
}

enum class Kind { Fifo, LinkToDevZero, Folder, Oversize };
Q_DECLARE_METATYPE(Kind)

void tst_Startup::refusedFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<Kind>("kind");

    for (const QString& name : {kHistoryFileName, kHeightFileName, kWeightFileName}) {
        const QByteArray n = name.toUtf8();
        QTest::addRow("%s is a FIFO", n.constData()) << name << Kind::Fifo;
        QTest::addRow("%s links to /dev/zero", n.constData()) << name << Kind::LinkToDevZero;
        QTest::addRow("%s is a folder", n.constData()) << name << Kind::Folder;
        QTest::addRow("%s is over its size limit", n.constData()) << name << Kind::Oversize;
    }
}

void tst_Startup::refusedFile()
{
    QFETCH(QString, fileName);
    QFETCH(Kind, kind);

    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    QVERIFY(createFiles(files, "1.685\r\n", "68.5\r\n", kTwoLines));
    const QString path = files.path(fileName);
    const QByteArray native = QFile::encodeName(path);
    QVERIFY(QFile::remove(path));
    switch (kind) {
    case Kind::Fifo:
        QVERIFY(::mkfifo(native.constData(), 0644) == 0);
        break;
    case Kind::LinkToDevZero:
        QVERIFY(QFile::link(u"/dev/zero"_s, path));
        break;
    case Kind::Folder:
        QVERIFY(QDir(dir.path()).mkdir(fileName));
        break;
    case Kind::Oversize: {
        // Sparse: one byte over the limit costs no disk space.
        const qint64 limit = fileName == kHistoryFileName ? kMaxHistoryBytes : kMaxNumberFileBytes;
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("1.685\r\n") > 0);
        QVERIFY(file.resize(limit + 1));
        break;
    }
    }

    // In a child process with a time and memory limit: a start-up that blocks on the FIFO or
    // reads /dev/zero for ever ends there, not here.
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        alarm(20);
#if !defined(__SANITIZE_ADDRESS__)
        const rlimit memory{rlim_t(1) << 30, rlim_t(1) << 30};
        setrlimit(RLIMIT_AS, &memory);
#endif
        const StartupResult result = loadStartup(files, kNumbers);
        const bool refused = !result.startup && result.error && result.error->path == path &&
                             !result.error->reason.isEmpty();
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status), WIFSIGNALED(status) ? strsignal(WTERMSIG(status)) : "stopped");
    QCOMPARE(WEXITSTATUS(status), 0);
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
