// The copy of the history kept by a clear and written back by an undo, on real files: the bytes
// come back exactly, before the lines recorded since, with the history's permissions; an entry
// racing the clear, or appended by another instance while a line is deleted or a clear undone,
// is never lost; failures name the file and change nothing. Which copy a clear keeps, and when
// it asks first: tests/session/tst_historyeditor.

#include "store/historybackup.h"

#include "store/historyedit.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

const QByteArray kLines = "05/10  68.9Kg  24.3  10.2%\r\n05/11  68.5Kg  24.1  9.6%\r\n";

struct Folder {
    QTemporaryDir dir;
    QDir folder{dir.path()};
    QString history() const { return folder.filePath(kHistoryFileName); }
    QString backup() const { return folder.filePath(kHistoryBackupFileName); }
};

} // namespace

using Status = HistoryRestore::Status;
Q_DECLARE_METATYPE(Status)

namespace {

// What this instance does to the history, over and over, while another one appends to it.
enum class Rewrite { DeleteLine, ClearAndUndo };

} // namespace

Q_DECLARE_METATYPE(Rewrite)

class tst_HistoryBackup : public QObject {
    Q_OBJECT

private slots:
    void clearAndUndo_data();
    void clearAndUndo();
    void noBackup_data();
    void noBackup();
    void failures_data();
    void failures();
    void appendDuringClearIsKept();
    void anotherInstanceAppending_data();
    void anotherInstanceAppending();
};

namespace {

int modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
}

} // namespace

void tst_HistoryBackup::clearAndUndo_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("since"); // lines entered between the clear and the undo
    QTest::addColumn<bool>("removed");      // the history is gone instead of empty before the undo
    QTest::addColumn<bool>("linked");       // 履歴.txt is a link to a file in another folder
    QTest::addColumn<QByteArray>("after");

    const QStringList none;
    const QString entry = u"05/12  68.0Kg  23.9  8.8%"_s;
    const QByteArray record = entry.toUtf8() + "\r\n";
    QTest::newRow("CR LF lines") << kLines << none << false << false << kLines;
    QTest::newRow("last line without CR LF")
        << QByteArray("05/10  68.9Kg  24.3  10.2%\r\n05/11  68.5Kg  24.1  9.6%") << none << false
        << false << QByteArray("05/10  68.9Kg  24.3  10.2%\r\n05/11  68.5Kg  24.1  9.6%");
    QTest::newRow("LF-only lines")
        << QByteArray("05/10  68.9Kg  24.3  10.2%\n05/11  68.5Kg  24.1  9.6%\n") << none << false
        << false << QByteArray("05/10  68.9Kg  24.3  10.2%\n05/11  68.5Kg  24.1  9.6%\n");
    QTest::newRow("mixed line ends and an empty line")
        << QByteArray("05/10  68.9Kg  24.3  10.2%\n\r\n05/11  68,5Kg  24,1  9,6%\r") << none
        << false << false
        << QByteArray("05/10  68.9Kg  24.3  10.2%\n\r\n05/11  68,5Kg  24,1  9,6%\r");
    QTest::newRow("history file removed before the undo")
        << kLines << none << true << false << kLines;
    QTest::newRow("a linked history stays a link to the same file")
        << kLines << none << false << true << kLines;
    // Clear, record a weight, undo: the backed-up lines go back before the new one.
    QTest::newRow("an entry since the clear comes after the restored lines")
        << kLines << QStringList{entry} << false << false << kLines + record;
    QTest::newRow("two entries since, after a last line without line end")
        << kLines.chopped(2) << QStringList{entry, entry} << false << false
        << kLines + record + record;
}

void tst_HistoryBackup::clearAndUndo()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, since);
    QFETCH(bool, removed);
    QFETCH(bool, linked);
    QFETCH(QByteArray, after);

    Folder f;
    QTemporaryDir elsewhere;
    const QString target = linked ? elsewhere.filePath(u"h.txt"_s) : f.history();
    QVERIFY(!linked || QFile::link(target, f.history()));
    QVERIFY(writeBytes(target, content));
    // A private history keeps its permissions, and so does its backup.
    QVERIFY(::chmod(QFile::encodeName(target).constData(), 0600) == 0);
    const DataFiles files(f.folder);

    QVERIFY(!hasBackup(DataFiles(f.folder)));
    QVERIFY(!clearReplacesBackup(DataFiles(f.folder)));
    const std::optional<FileError> clearError = clearHistory(files);
    QVERIFY2(!clearError, qPrintable(clearError ? clearError->reason : QString()));
    QVERIFY(hasBackup(DataFiles(f.folder)));
    QCOMPARE(readBytes(f.backup()), content);
    QCOMPARE(modeOf(f.backup()), 0600);
    QCOMPARE(readBytes(f.history()), QByteArray(""));
    QCOMPARE(modeOf(f.history()), 0600);
    QCOMPARE(QFileInfo(f.history()).isSymLink(), linked);
    // The entries since start a new history of their own.
    for (const QString& line : since)
        QVERIFY(!files.appendHistory(line));
    QCOMPARE(files.readHistory().lines.toStringList(), since);
    // The undo stays available after entries.
    QVERIFY(hasBackup(DataFiles(f.folder)));
    if (removed)
        QVERIFY(QFile::remove(f.history()));

    const HistoryRestore restore = restoreHistory(DataFiles(f.folder));
    QCOMPARE(restore.status, Status::Restored);
    QVERIFY(!restore.error);
    QCOMPARE(readBytes(f.history()), after);
    QCOMPARE(readBytes(target), after);
    QCOMPARE(modeOf(f.history()), 0600);
    QCOMPARE(restore.lines.toStringList(), History(after).toStringList());
    QCOMPARE(restore.lines, files.readHistory().lines);
    // The undo is used up: the history holds the lines again and the copy is gone.
    QVERIFY(!hasBackup(DataFiles(f.folder)));
    QCOMPARE(snapshot(f.folder).keys(), QStringList{kHistoryFileName});
}

void tst_HistoryBackup::noBackup_data()
{
    QTest::addColumn<QByteArray>("history"); // null: no history file
    QTest::newRow("empty history") << QByteArray("");
    QTest::newRow("no history") << QByteArray();
    QTest::newRow("a history with lines") << kLines;
}

void tst_HistoryBackup::noBackup()
{
    QFETCH(QByteArray, history);

    Folder f;
    if (!history.isNull())
        QVERIFY(writeBytes(f.history(), history));
    const auto before = snapshot(f.folder);

    const HistoryRestore restore = restoreHistory(DataFiles(f.folder));
    QCOMPARE(restore.status, Status::NoBackup);
    QVERIFY(restore.lines.isEmpty());
    QVERIFY(!restore.error);
    QCOMPARE(snapshot(f.folder), before);
}

void tst_HistoryBackup::failures_data()
{
    QTest::addColumn<bool>("undoing"); // false: the clear fails
    QTest::addColumn<bool>("historyIsFolder");
    QTest::addColumn<bool>("backupIsFolder");
    QTest::addColumn<int>("sizeLimit"); // 0: none
    QTest::addColumn<QString>("fileName");

    QTest::newRow("clear: history is a folder") << false << true << false << 0 << kHistoryFileName;
    QTest::newRow("clear: backup is a folder")
        << false << false << true << 0 << kHistoryBackupFileName;
    QTest::newRow("undo: history is a folder") << true << true << false << 0 << kHistoryFileName;
    QTest::newRow("undo: backup is a folder")
        << true << false << true << 0 << kHistoryBackupFileName;
    QTest::newRow("undo: write fails part-way, history as it was, backup kept")
        << true << false << false << 20 << kHistoryFileName;
}

void tst_HistoryBackup::failures()
{
    QFETCH(bool, undoing);
    QFETCH(bool, historyIsFolder);
    QFETCH(bool, backupIsFolder);
    QFETCH(int, sizeLimit);
    QFETCH(QString, fileName);

    Folder f;
    if (historyIsFolder)
        QVERIFY(f.folder.mkdir(kHistoryFileName));
    else
        QVERIFY(writeBytes(f.history(), "05/12  68.0Kg  23.9  8.8%\r\n"));
    if (backupIsFolder)
        QVERIFY(f.folder.mkdir(kHistoryBackupFileName));
    else
        QVERIFY(writeBytes(f.backup(), kLines));
    const auto before = snapshot(f.folder);

    std::optional<FileError> error;
    {
        std::optional<FileSizeLimit> limit;
        if (sizeLimit > 0) {
            limit.emplace(static_cast<rlim_t>(sizeLimit));
            QVERIFY(limit->isActive());
        }
        if (undoing) {
            const HistoryRestore restore = restoreHistory(DataFiles(f.folder));
            QCOMPARE(restore.status, Status::Failed);
            QVERIFY(restore.lines.isEmpty());
            error = restore.error;
        } else {
            error = clearHistory(DataFiles(f.folder));
        }
    }
    QVERIFY(error);
    QCOMPARE(QFileInfo(error->path).fileName(), fileName);
    QVERIFY(!error->reason.isEmpty());
    QCOMPARE(snapshot(f.folder), before);
}

void tst_HistoryBackup::appendDuringClearIsKept()
{
    // Another instance opened the history to append just before the clear, and writes just
    // after it; a third entry comes after the clear. The first lands in the backup, the second
    // in the new history, and the undo brings back both, in that order.
    Folder f;
    const DataFiles files(f.folder);
    QVERIFY(writeBytes(f.history(), kLines));
    QFile racing(f.history());
    QVERIFY(racing.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered));

    QVERIFY(!clearHistory(files));
    const QByteArray raced = "05/12  68.2Kg  24.0  9.1%\r\n";
    QCOMPARE(racing.write(raced), qint64(raced.size()));
    racing.close();
    QCOMPARE(readBytes(f.backup()), kLines + raced);
    QVERIFY(!files.appendHistory(u"05/13  68.0Kg  23.9  8.8%"_s));

    const HistoryRestore restore = restoreHistory(DataFiles(f.folder));
    QCOMPARE(restore.status, Status::Restored);
    QCOMPARE(readBytes(f.history()), kLines + raced + "05/13  68.0Kg  23.9  8.8%\r\n");
}

void tst_HistoryBackup::anotherInstanceAppending_data()
{
    QTest::addColumn<Rewrite>("rewrite");
    QTest::addColumn<bool>("linked"); // 履歴.txt is a link to a file in another folder
    // The other writer appends as a script's `echo >> 履歴.txt` does, without the lock.
    QTest::addColumn<bool>("unlocked");

    QTest::newRow("deleting a line") << Rewrite::DeleteLine << false << false;
    QTest::newRow("undoing a clear") << Rewrite::ClearAndUndo << false << false;
    QTest::newRow("deleting a line of a linked history") << Rewrite::DeleteLine << true << false;
    QTest::newRow("undoing a clear of a linked history") << Rewrite::ClearAndUndo << true << false;
    QTest::newRow("deleting a line, a writer that does not lock")
        << Rewrite::DeleteLine << false << true;
}

void tst_HistoryBackup::anotherInstanceAppending()
{
    // A second process records entries as fast as it can while this one replaces the history
    // again and again. Every entry the other reports as written must be in the history once.
    QFETCH(Rewrite, rewrite);
    QFETCH(bool, linked);
    QFETCH(bool, unlocked);

    Folder f;
    const DataFiles files(f.folder);
    if (linked) {
        QVERIFY(f.folder.mkdir(u"elsewhere"_s));
        QVERIFY(QFile::link(f.folder.filePath(u"elsewhere/h.txt"_s), f.history()));
    }
    QVERIFY(writeBytes(f.history(), kLines));
    constexpr int kEntries = 200;
    auto entry = [](int i) { return u"06/01  %1.0Kg  20.0  0.0%"_s.arg(i); };

    const pid_t other = fork();
    QVERIFY(other >= 0);
    if (other == 0) {
        alarm(60);
        const QByteArray path = QFile::encodeName(f.history());
        for (int i = 0; i < kEntries; ++i) {
            if (unlocked) {
                const QByteArray record = entry(i).toUtf8() + "\r\n";
                const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT, 0644);
                if (fd < 0 || ::write(fd, record.constData(), record.size()) != record.size())
                    _exit(1);
                ::close(fd);
            }
            // An entry refused while this instance holds the history on is written again.
            for (int tries = 0; !unlocked && files.appendHistory(entry(i)); ++tries) {
                if (tries == 20)
                    _exit(1);
            }
            // A script's `echo >>` a millisecond; this program's instances write as fast as
            // they can.
            usleep(unlocked ? 1000 : 200);
        }
        _exit(0);
    }

    const QString mine = u"05/31  99.0Kg  30.0  0.0%"_s;
    int rewrites = 0;
    int status = 0;
    // Against a writer that does not lock, a handful of deletions: a line it had just opened the
    // file for as the rename came is carried over, but one it writes later still (a writer held
    // up between its open and its write) would go with the old file; only the lock rules that
    // out.
    const int most = unlocked ? 5 : 20000;
    for (; rewrites < most && waitpid(other, &status, WNOHANG) == 0; ++rewrites) {
        if (rewrite == Rewrite::DeleteLine) {
            if (files.appendHistory(mine))
                continue;
            const QStringList lines = files.readHistory().lines.toStringList();
            removeHistoryLine(files, lines.lastIndexOf(mine), mine);
        } else if (hasBackup(files)) {
            // The undo comes a pause after the clear, as a person's does; one that gave up
            // against a writer that never pauses is tried again before the next clear, which
            // would replace its backup.
            restoreHistory(files);
        } else {
            clearHistory(files);
        }
        // Room for the other instance between two rewrites, as a person's pace leaves.
        usleep(5000);
    }
    if (waitpid(other, &status, WNOHANG) == 0)
        QCOMPARE(waitpid(other, &status, 0), other);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY(rewrites > 0);
    if (hasBackup(DataFiles(f.folder)))
        QCOMPARE(restoreHistory(DataFiles(f.folder)).status, Status::Restored);

    const QStringList lines = files.readHistory().lines.toStringList();
    for (int i = 0; i < kEntries; ++i)
        QVERIFY2(lines.count(entry(i)) == 1, qPrintable(entry(i)));
}

QTEST_GUILESS_MAIN(tst_HistoryBackup)
#include "tst_historybackup.moc"
