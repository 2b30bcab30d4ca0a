// The three data files on real files: exact bytes of number records, what a number read
// accepts, history lines in and out, and every failure coming back as an error that names the
// file while the files on disk stay as they were.

#include "store/datafiles.h"

#include "store/datafolder.h"
#include "store/fileio.h"
#include "store/historybackup.h"
#include "testfiles.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <filesystem>

#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

enum class Operation { WriteHeight, WriteWeight, AppendHistory, ClearHistory };
// How a write is made to fail.
enum class Setup { FolderIsAFile, NameIsAFolder, SizeLimit, ReadOnlyFolder, LockedElsewhere };

const QString kLine = u"05/11  68.5Kg  24.1  9.6%"_s;

// Runs one write operation with fixed values, so that data rows can name the operation.
std::optional<FileError> run(const DataFiles& files, Operation operation)
{
    switch (operation) {
    case Operation::WriteHeight:
        return files.writeNumber(kHeightFileName, 1.685f);
    case Operation::WriteWeight:
        return files.writeNumber(kWeightFileName, 100.25f);
    case Operation::AppendHistory:
        return files.appendHistory(kLine);
    case Operation::ClearHistory:
        return morvane::clearHistory(files);
    }
    return std::nullopt;
}

QString fileOf(Operation operation)
{
    switch (operation) {
    case Operation::WriteHeight:
        return kHeightFileName;
    case Operation::WriteWeight:
        return kWeightFileName;
    case Operation::AppendHistory:
    case Operation::ClearHistory:
        return kHistoryFileName;
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(NumberRead::Status)

class tst_DataFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void numberRoundTrip_data();
    void numberRoundTrip();
    void numberRecordIgnoresUserLocale();
    void readNumber_data();
    void readNumber();
    void missingNumberFiles();

    void readHistory_data();
    void readHistory();
    void appendHistory_data();
    void appendHistory();
    void appendSurvivesFileSizeLimit();

    void unreadableByPermission();
    void writeFails_data();
    void writeFails();
    void enterDataFolder_data();
    void enterDataFolder();

private:
    QTemporaryDir m_scratch;
};

void tst_DataFiles::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QVERIFY(m_scratch.isValid());
}

void tst_DataFiles::numberRoundTrip_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<float>("value");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("height 1.685") << kHeightFileName << 1.685f << QByteArray("1.685\r\n");
    QTest::newRow("height 0.95") << kHeightFileName << 0.95f << QByteArray("0.95\r\n");
    QTest::newRow("height 2.0") << kHeightFileName << 2.0f << QByteArray("2\r\n");
    QTest::newRow("height 1.7 (not exact in binary)")
        << kHeightFileName << 1.7f << QByteArray("1.7\r\n");
    QTest::newRow("weight 68.5") << kWeightFileName << 68.5f << QByteArray("68.5\r\n");
    QTest::newRow("weight 100.25") << kWeightFileName << 100.25f << QByteArray("100.25\r\n");
    QTest::newRow("weight 1000, no group separator")
        << kWeightFileName << 1000.0f << QByteArray("1000\r\n");
    QTest::newRow("seven significant digits")
        << kWeightFileName << 123.4567f << QByteArray("123.4567\r\n");
}

void tst_DataFiles::numberRoundTrip()
{
    QFETCH(QString, fileName);
    QFETCH(float, value);
    QFETCH(QByteArray, bytes);

    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    const bool height = fileName == kHeightFileName;
    // An older, longer record is there first: the new one must replace it, not overwrite a part.
    QVERIFY(writeBytes(files.path(fileName), "999.9999\r\n"));

    const std::optional<FileError> error = height ? files.writeNumber(kHeightFileName, value)
                                                  : files.writeNumber(kWeightFileName, value);
    QVERIFY2(!error, qPrintable(error ? error->reason : QString()));
    QCOMPARE(readBytes(files.path(fileName)), bytes);

    const NumberRead read =
        height ? files.readNumber(kHeightFileName) : files.readNumber(kWeightFileName);
    QCOMPARE(read.status, NumberRead::Status::Ok);
    QCOMPARE(read.value, value);
    QVERIFY(!read.error);
    QCOMPARE(snapshot(QDir(dir.path())).keys(), QStringList{fileName});
}

void tst_DataFiles::numberRecordIgnoresUserLocale()
{
    // A German user's decimal comma must never reach the file.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    const std::optional<FileError> error = files.writeNumber(kWeightFileName, 68.5f);
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QVERIFY(!error);
    QCOMPARE(readBytes(files.path(kWeightFileName)), QByteArray("68.5\r\n"));
}

void tst_DataFiles::readNumber_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<NumberRead::Status>("status");
    QTest::addColumn<float>("value");

    const auto ok = NumberRead::Status::Ok;
    const auto none = NumberRead::Status::NoNumber;
    QTest::newRow("record with CR LF") << QByteArray("1.685\r\n") << ok << 1.685f;
    QTest::newRow("no leading zero") << QByteArray(".95\r\n") << ok << 0.95f;
    QTest::newRow("leading zero") << QByteArray("0.95\r\n") << ok << 0.95f;
    QTest::newRow("LF only") << QByteArray("68.5\n") << ok << 68.5f;
    QTest::newRow("no line end") << QByteArray("60") << ok << 60.0f;
    QTest::newRow("leading blanks") << QByteArray("   1.685\r\n") << ok << 1.685f;
    QTest::newRow("leading tabs and line ends")
        << QByteArray("\r\n\n\t \r\n68.5\r\n") << ok << 68.5f;
    QTest::newRow("only the first number") << QByteArray("60\r\n72\r\n") << ok << 60.0f;
    QTest::newRow("comma ends the number") << QByteArray("68.5,70\r\n") << ok << 68.5f;
    QTest::newRow("blank ends the number") << QByteArray("68.5 70\r\n") << ok << 68.5f;
    QTest::newRow("decimal comma reads the integer part") << QByteArray("68,5\r\n") << ok << 68.0f;
    QTest::newRow("trailing unit") << QByteArray("68.5kg\r\n") << ok << 68.5f;
    QTest::newRow("exponent") << QByteArray("1.5e2\r\n") << ok << 150.0f;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                   "1.685\r\n")
                                     << ok << 1.685f;
    QTest::newRow("zero is a number") << QByteArray("0\r\n") << ok << 0.0f;
    QTest::newRow("empty file") << QByteArray("") << none << 0.0f;
    QTest::newRow("only line ends") << QByteArray("\r\n\r\n") << none << 0.0f;
    QTest::newRow("letters") << QByteArray("abc\r\n") << none << 0.0f;
    QTest::newRow("comma first") << QByteArray(",68.5\r\n") << none << 0.0f;
    QTest::newRow("lone point") << QByteArray(".\r\n") << none << 0.0f;
    QTest::newRow("lone sign") << QByteArray("-\r\n") << none << 0.0f;
}

void tst_DataFiles::readNumber()
{
    QFETCH(QByteArray, content);
    QFETCH(NumberRead::Status, status);
    QFETCH(float, value);

    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    QVERIFY(writeBytes(files.path(kHeightFileName), content));
    QVERIFY(writeBytes(files.path(kWeightFileName), content));

    for (const NumberRead& read :
         {files.readNumber(kHeightFileName), files.readNumber(kWeightFileName)}) {
        QCOMPARE(read.status, status);
        if (status == NumberRead::Status::Ok)
            QCOMPARE(read.value, value);
        QVERIFY(!read.error);
    }
}

void tst_DataFiles::missingNumberFiles()
{
    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    for (const NumberRead& read :
         {files.readNumber(kHeightFileName), files.readNumber(kWeightFileName)}) {
        QCOMPARE(read.status, NumberRead::Status::Missing);
        QVERIFY(!read.error);
    }
    // A folder on the way that does not exist is a first run too.
    const DataFiles nowhere{QDir(dir.filePath(u"nowhere"_s))};
    QCOMPARE(nowhere.readNumber(kHeightFileName).status, NumberRead::Status::Missing);
    QVERIFY(snapshot(QDir(dir.path())).isEmpty());
}

void tst_DataFiles::readHistory_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("lines");

    // How lines are split is the history's own table; here the file is read whole, or missing.
    QTest::newRow("missing file") << QByteArray() << QStringList();
    QTest::newRow("empty file") << QByteArray("") << QStringList();
    QTest::newRow("two lines with CR LF")
        << QByteArray("05/10  69.0Kg  24.3  10.4%\r\n05/11  68.5Kg  24.1  9.6%\r\n")
        << QStringList{u"05/10  69.0Kg  24.3  10.4%"_s, u"05/11  68.5Kg  24.1  9.6%"_s};
}

void tst_DataFiles::readHistory()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lines);

    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    QVERIFY(content.isNull() || writeBytes(files.path(kHistoryFileName), content));
    const HistoryRead read = files.readHistory();
    QVERIFY(!read.error);
    QCOMPARE(read.lines.toStringList(), lines);
    QCOMPARE(snapshot(QDir(dir.path())).size(), content.isNull() ? 0 : 1);
}

void tst_DataFiles::appendHistory_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("lines");

    const QByteArray record = kLine.toUtf8() + "\r\n";
    QTest::newRow("creates a missing file")
        << false << QByteArray() << kLine << record << QStringList{kLine};
    QTest::newRow("empty file") << true << QByteArray("") << kLine << record << QStringList{kLine};
    QTest::newRow("after a whole line")
        << true << QByteArray("a\r\n") << kLine << "a\r\n" + record << QStringList{u"a"_s, kLine};
    QTest::newRow("after a last line without line end")
        << true << QByteArray("a") << kLine << "a\r\n" + record << QStringList{u"a"_s, kLine};
    QTest::newRow("after half a line end")
        << true << QByteArray("a\r") << kLine << "a\r\n" + record << QStringList{u"a"_s, kLine};
    QTest::newRow("after an LF-only line")
        << true << QByteArray("a\n") << kLine << "a\n" + record << QStringList{u"a"_s, kLine};
    QTest::newRow("written as UTF-8") << false << QByteArray() << u"体重 68.5"_s
                                      << QByteArray("体重 68.5\r\n") << QStringList{u"体重 68.5"_s};
}

void tst_DataFiles::appendHistory()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QString, line);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, lines);

    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    if (exists)
        QVERIFY(writeBytes(files.path(kHistoryFileName), before));

    const std::optional<FileError> error = files.appendHistory(line);
    QVERIFY2(!error, qPrintable(error ? error->reason : QString()));
    QCOMPARE(readBytes(files.path(kHistoryFileName)), after);
    QCOMPARE(files.readHistory().lines.toStringList(), lines);
}

void tst_DataFiles::appendSurvivesFileSizeLimit()
{
    // In a child process, as the program runs: with SIGXFSZ at its default the system would
    // end the process part-way through the record.
    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    const QByteArray old = "05/10  69.0Kg  24.3  10.4%\r\n";
    QVERIFY(writeBytes(files.path(kHistoryFileName), old));

    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        alarm(20);
        ignoreFileSizeSignal();
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = rlim_t(old.size() + 5);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(3);
        const std::optional<FileError> error = files.appendHistory(kLine);
        _exit(error && error->path == files.path(kHistoryFileName) ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status), WIFSIGNALED(status) ? strsignal(WTERMSIG(status)) : "stopped");
    QCOMPARE(WEXITSTATUS(status), 0);
    // Cut back to the whole lines it held.
    QCOMPARE(readBytes(files.path(kHistoryFileName)), old);
}

void tst_DataFiles::unreadableByPermission()
{
    if (!permissionsAreEnforced(m_scratch.path()))
        QSKIP("This process reads files without permission (root): nothing to refuse it");
    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    for (const QString& name : {kHeightFileName, kWeightFileName, kHistoryFileName}) {
        QVERIFY(writeBytes(files.path(name), "1.685\r\n"));
        QVERIFY(QFile::setPermissions(files.path(name), QFileDevice::Permissions()));
    }
    const NumberRead height = files.readNumber(kHeightFileName);
    QCOMPARE(height.status, NumberRead::Status::Error);
    QVERIFY(height.error);
    QCOMPARE(height.error->path, files.path(kHeightFileName));
    const NumberRead weight = files.readNumber(kWeightFileName);
    QCOMPARE(weight.status, NumberRead::Status::Error);
    QVERIFY(weight.error);
    QCOMPARE(weight.error->path, files.path(kWeightFileName));
    const HistoryRead history = files.readHistory();
    QVERIFY(history.error);
    QCOMPARE(history.error->path, files.path(kHistoryFileName));
    QVERIFY(!history.error->reason.isEmpty());
}

void tst_DataFiles::writeFails_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QByteArray>("old"); // the file before; null: none
    QTest::addColumn<int>("limit");      // the file size limit, for Setup::SizeLimit

    const QByteArray none;
    const std::pair<const char*, Operation> operations[] = {
        {"height", Operation::WriteHeight},
        {"weight", Operation::WriteWeight},
        {"append history", Operation::AppendHistory},
        {"clear history", Operation::ClearHistory},
    };
    // Both set-ups defeat root too, unlike permissions.
    for (const auto& [name, operation] : operations) {
        QTest::addRow("%s, folder is a plain file", name)
            << operation << Setup::FolderIsAFile << none << 0;
        QTest::addRow("%s, file name is a folder", name)
            << operation << Setup::NameIsAFolder << none << 0;
    }
    // Each limit lets the write start and stops it part-way through the new record.
    QTest::newRow("height cut short")
        << Operation::WriteHeight << Setup::SizeLimit << QByteArray("1.5\r\n") << 2;
    QTest::newRow("weight cut short")
        << Operation::WriteWeight << Setup::SizeLimit << QByteArray("68.5\r\n") << 3;
    const QByteArray history = "05/10  69.0Kg  24.3  10.4%\r\n";
    QTest::newRow("history append cut short")
        << Operation::AppendHistory << Setup::SizeLimit << history << int(history.size()) + 5;
    QTest::newRow("history append cut short after a line without line end")
        << Operation::AppendHistory << Setup::SizeLimit << history.chopped(2)
        << int(history.size()) - 1;
    // Another instance rewriting the history holds its lock: an append in the meantime would go
    // with the file the rename replaces.
    QTest::newRow("history append while another instance holds the history")
        << Operation::AppendHistory << Setup::LockedElsewhere << history << 0;
    QTest::newRow("read-only folder: replace height")
        << Operation::WriteHeight << Setup::ReadOnlyFolder << QByteArray("0.95\r\n") << 0;
    QTest::newRow("read-only folder: create weight")
        << Operation::WriteWeight << Setup::ReadOnlyFolder << none << 0;
    QTest::newRow("read-only folder: create history by appending")
        << Operation::AppendHistory << Setup::ReadOnlyFolder << none << 0;
    QTest::newRow("read-only folder: create history by clearing")
        << Operation::ClearHistory << Setup::ReadOnlyFolder << none << 0;
}

void tst_DataFiles::writeFails()
{
    QFETCH(Operation, operation);
    QFETCH(Setup, setup);
    QFETCH(QByteArray, old);
    QFETCH(int, limit);

    if (setup == Setup::ReadOnlyFolder && !permissionsAreEnforced(m_scratch.path()))
        QSKIP("This process writes into read-only folders (root); the other set-ups cover it");
    QTemporaryDir dir;
    QDir folder(dir.path());
    if (setup == Setup::FolderIsAFile) {
        QVERIFY(writeBytes(folder.filePath(u"plain"_s), "not a folder\r\n"));
        folder.setPath(folder.filePath(u"plain"_s));
    } else if (setup == Setup::NameIsAFolder) {
        QVERIFY(folder.mkdir(fileOf(operation)));
        QVERIFY(writeBytes(folder.filePath(fileOf(operation) + u"/inside"_s), "kept\r\n"));
    }
    const DataFiles files(folder);
    QVERIFY(old.isNull() || writeBytes(files.path(fileOf(operation)), old));
    // A lock that is never let go: the write gives up rather than wait.
    QFile holder(files.path(fileOf(operation)));
    if (setup == Setup::LockedElsewhere) {
        QVERIFY(holder.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(holder.handle(), LOCK_EX | LOCK_NB), 0);
    }
    const auto before = snapshot(QDir(dir.path()));
    const auto writable = QFile::permissions(dir.path());
    if (setup == Setup::ReadOnlyFolder)
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    std::optional<FileError> error;
    {
        std::optional<FileSizeLimit> guard;
        if (setup == Setup::SizeLimit) {
            guard.emplace(static_cast<rlim_t>(limit));
            QVERIFY(guard->isActive());
        }
        error = run(files, operation);
    }
    QFile::setPermissions(dir.path(), writable);
    QVERIFY(error);
    QCOMPARE(error->path, files.path(fileOf(operation)));
    QVERIFY(!error->reason.isEmpty());
    QCOMPARE(snapshot(QDir(dir.path())), before);
    // Without the limit the same write goes through.
    if (setup == Setup::SizeLimit)
        QVERIFY(!run(files, operation));
}

void tst_DataFiles::enterDataFolder_data()
{
    // "@" stands for a scratch folder; an unset variable is a null QByteArray. An empty
    // `entered` means refused.
    QTest::addColumn<QByteArray>("option");
    QTest::addColumn<QByteArray>("dataHome");
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<QByteArray>("entered");
    QTest::addColumn<QString>("refusal"); // what the message of a refused folder says

    const QByteArray unset;
    const QByteArray at = "@";
    const QByteArray desktop = "@/.local/share/morvane";
    QTest::newRow("a name that is not UTF-8")
        << QByteArray("@/data\xff") << unset << at << QByteArray("@/data\xff") << QString();
    // Longer with a file's name than a path may be: only bare names reach the files.
    QTest::newRow("a path of 4,091 bytes")
        << QByteArray("deep") << unset << at << QByteArray("deep") << QString();
    QTest::newRow("the desktop's folder") << QByteArray("") << unset << at << desktop << QString();
    QTest::newRow("an absolute XDG_DATA_HOME")
        << QByteArray("") << QByteArray("@/xdg") << at << QByteArray("@/xdg/morvane") << QString();
    QTest::newRow("a relative XDG_DATA_HOME is ignored")
        << QByteArray("") << QByteArray("rel/dir") << at << desktop << QString();
    QTest::newRow("HOME empty: refused")
        << QByteArray("") << unset << QByteArray("") << unset << u"HOME"_s;
    QTest::newRow("HOME unset: refused") << QByteArray("") << unset << unset << unset << u"HOME"_s;
    QTest::newRow("a file, not a folder: refused")
        << QByteArray("@/plain") << unset << at << unset << u"フォルダーではなくファイルです"_s;
}

void tst_DataFiles::enterDataFolder()
{
    QFETCH(QByteArray, option);
    QFETCH(QByteArray, dataHome);
    QFETCH(QByteArray, home);
    QFETCH(QByteArray, entered);
    QFETCH(QString, refusal);

    QTemporaryDir dir;
    const QByteArray scratch = QFile::encodeName(dir.path());
    QByteArray deep = scratch;
    while (deep.size() + 200 < 4091)
        deep += '/' + QByteArray(199, 'd');
    deep += '/' + QByteArray(4091 - deep.size() - 1, 'e');
    auto real = [&](QByteArray b) {
        return b == "deep" ? deep : b.isNull() ? b : b.replace('@', scratch);
    };
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    char* const savedCwd = getcwd(nullptr, 0);
    auto set = [](const char* name, const QByteArray& value) {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    };
    set("HOME", real(home));
    set("XDG_DATA_HOME", real(dataHome));
    QVERIFY(QDir(dir.path()).mkdir(u"rel"_s)); // where a relative XDG_DATA_HOME would lead
    QVERIFY(writeBytes(dir.filePath(u"plain"_s), "a file\r\n"));
    const auto before = snapshot(QDir(dir.path()));

    const std::optional<QString> error = morvane::enterDataFolder(real(option));
    char* const cwd = getcwd(nullptr, 0);
    const QByteArray now = cwd ? QByteArray(cwd) : QByteArray();
    // The files by their bare names, as the program opens them.
    const bool written = !error && !DataFiles().writeNumber(kHeightFileName, 1.7f) &&
                         DataFiles().readNumber(kHeightFileName).status == NumberRead::Status::Ok;
    // The folder deleted while the program runs: a failed write still names it.
    std::optional<FileError> orphaned;
    if (!error && std::filesystem::remove_all(now.toStdString()) > 0)
        orphaned = DataFiles().writeNumber(kHeightFileName, 1.8f);
    rememberWorkingFolder(QString());
    QVERIFY(chdir(savedCwd) == 0);
    std::free(cwd);
    std::free(savedCwd);
    set("HOME", savedHome);
    set("XDG_DATA_HOME", savedDataHome);
    const auto after = snapshot(QDir(dir.path()));
    std::filesystem::remove_all(scratch.toStdString()); // QDir cannot name every folder made

    if (entered.isNull()) {
        QVERIFY2(error && error->contains(refusal), qPrintable(error.value_or(QString())));
        QCOMPARE(after, before);
        return;
    }
    QVERIFY2(!error, qPrintable(error.value_or(QString())));
    QCOMPARE(now, real(entered));
    QVERIFY(written);
    QVERIFY(orphaned);
    QCOMPARE(orphaned->path, fullPath(QFile::decodeName(real(entered)) + u"/身長.txt"_s));
}

QTEST_GUILESS_MAIN(tst_DataFiles)
#include "tst_datafiles.moc"
