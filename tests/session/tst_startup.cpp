// Start-up from real files: what the window shows for stored, partial, unusable and unreadable
// data, and that start-up never writes a file, whatever it finds.

#include "session/startup.h"

#include "measure/numbertext.h"
#include "store/fileio.h"
#include "support.h"

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

class tst_Startup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startup_data();
    void startup();
    void unreadableFile_data();
    void unreadableFile();
    void refusedFile_data();
    void refusedFile();
};

void tst_Startup::initTestCase()
{
    QLocale::setDefault(kJapan);
}

void tst_Startup::startup_data()
{
    QTest::addColumn<QByteArray>("heightFile");
    QTest::addColumn<QByteArray>("weightFile");
    QTest::addColumn<QByteArray>("historyFile");
    QTest::addColumn<QStringList>("history");
    // As the window shows them: the height, the weight and the BMI; empty: unknown.
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("bmi");
    QTest::addColumn<int>("position"); // -1: the meter stays where it stands

    const QByteArray none; // no such file
    const QString empty;
    const QByteArray tall("2\r\n"), usual("1.685\r\n");

    QTest::newRow("stored state") << usual << QByteArray("68.5\r\n") << kTwoLines << kTwoEntries
                                  << u"1.685"_s << u"68.5"_s << u"24.1"_s << 241;
    QTest::newRow("BMI 15.5 sits at the initial position")
        << tall << QByteArray("62\r\n") << none << QStringList() << u"2"_s << u"62"_s << u"15.5"_s
        << 155;
    QTest::newRow("BMI above the meter")
        << QByteArray("1.5\r\n") << QByteArray("100\r\n") << none << QStringList() << u"1.5"_s
        << u"100"_s << u"44.4"_s << 316;
    QTest::newRow("BMI below the meter") << tall << QByteArray("40\r\n") << none << QStringList()
                                         << u"2"_s << u"40"_s << u"10.0"_s << 154;
    QTest::newRow("LF-only files, height without leading zero")
        << QByteArray(".95\n") << QByteArray("20\n") << QByteArray("a\nb\n")
        << QStringList{u"a"_s, u"b"_s} << u"0.95"_s << u"20"_s << u"22.2"_s << 222;

    QTest::newRow("no files at all")
        << none << none << none << QStringList() << empty << empty << empty << -1;
    QTest::newRow("only a height file")
        << usual << none << none << QStringList() << u"1.685"_s << empty << empty << -1;
    QTest::newRow("empty weight file") << usual << QByteArray("") << kTwoLines << kTwoEntries
                                       << u"1.685"_s << empty << empty << -1;
    QTest::newRow("letters in the height file")
        << QByteArray("abc\r\n") << QByteArray("68.5\r\n") << none << QStringList() << empty
        << u"68.5"_s << empty << -1;
    QTest::newRow("height 170 (centimetres)")
        << QByteArray("170\r\n") << QByteArray("68.5\r\n") << none << QStringList() << empty
        << u"68.5"_s << empty << -1;
    QTest::newRow("weight 0") << usual << QByteArray("0\r\n") << none << QStringList() << u"1.685"_s
                              << empty << empty << -1;
    QTest::newRow("weight under 1 kg") << usual << QByteArray("0.5\r\n") << none << QStringList()
                                       << u"1.685"_s << empty << empty << -1;
    QTest::newRow("weight above 1000") << usual << QByteArray("1000.5\r\n") << none << QStringList()
                                       << u"1.685"_s << empty << empty << -1;
}

void tst_Startup::startup()
{
    QFETCH(QByteArray, heightFile);
    QFETCH(QByteArray, weightFile);
    QFETCH(QByteArray, historyFile);
    QFETCH(QStringList, history);
    QFETCH(QString, height);
    QFETCH(QString, weight);
    QFETCH(QString, bmi);
    QFETCH(int, position);

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
    const Measurement& m = s.measurement;
    QCOMPARE(m.height ? generalNumberText(*m.height, kJapan) : QString(), height);
    QCOMPARE(m.weight ? generalNumberText(*m.weight, kJapan) : QString(), weight);
    QCOMPARE(m.bmi ? oneDecimalText(*m.bmi, kJapan) : QString(), bmi);
    QCOMPARE(s.position.value_or(-1), qint16(position));
    // The first reading keeps the weight and the true (unclamped) BMI as loaded.
    QCOMPARE(m.keepsWeight, true);
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

    SessionFixture f;
    QVERIFY(createFiles(f.files(), "1.685\r\n", "68.5\r\n", kTwoLines));
    for (const QString& name : folders) {
        QFile::remove(f.path(name));
        QVERIFY(QDir(f.dir.path()).mkdir(name));
    }
    const auto before = snapshot(QDir(f.dir.path()));

    // The user is told which file and why, and the program ends.
    QVERIFY(!f.load());
    QCOMPARE(snapshot(QDir(f.dir.path())), before);
    QCOMPARE(f.dialogs.messages.size(), 1);
    const ScriptedDialogs::Message& m = f.dialogs.messages[0];
    QCOMPARE(m.severity, Dialogs::Severity::Error);
    QVERIFY2(
        m.text.startsWith(u"「"_s + f.path(reported) + u"」を読み込めませんでした。\n理由: "_s),
        qPrintable(m.text));
    QVERIFY2(!m.text.contains(u"理由: \n"_s), qPrintable(m.text));
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
