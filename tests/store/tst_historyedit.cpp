// Taking one line out of the history and putting it back, on real files: every other line keeps
// its bytes and its place, the undo gives back the file byte for byte, a history changed behind
// the window's back is never edited, and a failure names the file's path and leaves it as it was.

#include "store/historyedit.h"

#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/file.h>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

const QByteArray kA = "05/09  69.1Kg  24.3  10.6%\r\n";
const QByteArray kB = "05/10  68.9Kg  24.3  10.2%\r\n";
const QByteArray kC = "05/11  68.5Kg  24.1  9.6%\r\n";

QString lineOf(const QByteArray& record)
{
    return QString::fromUtf8(record).trimmed();
}

struct Folder {
    QTemporaryDir dir;
    DataFiles files{QDir(dir.path())};
    QString history() const { return files.path(kHistoryFileName); }
};

enum class Change { AppendedSince, RewrittenSince, RemovedSince };
enum class Failure { FileSizeLimit, FolderInstead, HeldByAnotherInstance };

} // namespace

using Status = HistoryEdit::Status;
Q_DECLARE_METATYPE(Status)
Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(Failure)

class tst_HistoryEdit : public QObject {
    Q_OBJECT

private slots:
    void removeThenRestore_data();
    void removeThenRestore();
    void removeRefused_data();
    void removeRefused();
    void restoreRefused_data();
    void restoreRefused();
    void failures_data();
    void failures();
};

void tst_HistoryEdit::removeThenRestore_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("after");

    const QByteArray three = kA + kB + kC;
    QTest::newRow("first") << three << 0 << kB + kC;
    QTest::newRow("middle") << three << 1 << kA + kC;
    QTest::newRow("last") << three << 2 << kA + kB;
    QTest::newRow("the only line") << kC << 0 << QByteArray("");
    QTest::newRow("last line without its line end") << kA + kC.chopped(2) << 1 << kA;
    QTest::newRow("line before a last line without its line end")
        << kA + kC.chopped(2) << 0 << kC.chopped(2);
    QTest::newRow("LF lines keep their LF") << QByteArray("a\nb\nc\n") << 1 << QByteArray("a\nc\n");
    QTest::newRow("mixed line ends stay as they were")
        << QByteArray("a\r\nb\nc\r\nd") << 2 << QByteArray("a\r\nb\nd");
    QTest::newRow("byte-order mark stays in front")
        << QByteArray("\xEF\xBB\xBF") + three << 0 << QByteArray("\xEF\xBB\xBF") + kB + kC;
    // An empty line is no entry: entry 1 is "b", and the empty line before it stays.
    QTest::newRow("empty line in the middle")
        << QByteArray("a\r\n\r\nb\r\n") << 1 << QByteArray("a\r\n\r\n");
    QTest::newRow("duplicate lines: only the chosen one") << kC + kC + kC << 1 << kC + kC;
}

void tst_HistoryEdit::removeThenRestore()
{
    QFETCH(QByteArray, content);
    QFETCH(int, index);
    QFETCH(QByteArray, after);

    Folder f;
    QVERIFY(writeBytes(f.history(), content));
    const History before(content);

    const HistoryEdit removal = removeHistoryLine(f.files, index, before.at(index));
    QVERIFY2(!removal.error, qPrintable(removal.error ? removal.error->reason : QString()));
    QCOMPARE(removal.status, Status::Done);
    QCOMPARE(readBytes(f.history()), after);
    QStringList expected = before.toStringList();
    expected.removeAt(index);
    QCOMPARE(removal.lines.toStringList(), expected);
    QVERIFY(removal.removed);
    QCOMPARE(removal.removed->index, index);
    // Nothing kept on disk for the undo: the folder holds the history and nothing else.
    QCOMPARE(snapshot(QDir(f.dir.path())).keys(), QStringList{kHistoryFileName});

    const HistoryEdit restore = restoreHistoryLine(f.files, *removal.removed);
    QCOMPARE(restore.status, Status::Done);
    QCOMPARE(readBytes(f.history()), content);
    QCOMPARE(restore.lines.toStringList(), before.toStringList());
    QVERIFY(!restore.removed);
}

void tst_HistoryEdit::removeRefused_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("line");

    QTest::newRow("another line at that place") << true << 1 << lineOf(kC);
    QTest::newRow("past the end (lines removed elsewhere)") << true << 3 << lineOf(kC);
    QTest::newRow("negative place") << true << -1 << lineOf(kA);
    QTest::newRow("no history file") << false << 0 << lineOf(kA);
}

void tst_HistoryEdit::removeRefused()
{
    QFETCH(bool, exists);
    QFETCH(int, index);
    QFETCH(QString, line);

    Folder f;
    if (exists)
        QVERIFY(writeBytes(f.history(), kA + kB + kC));
    const auto before = snapshot(QDir(f.dir.path()));
    const HistoryEdit edit = removeHistoryLine(f.files, index, line);
    QCOMPARE(edit.status, Status::Changed);
    QVERIFY(!edit.removed);
    QVERIFY(!edit.error);
    QCOMPARE(snapshot(QDir(f.dir.path())), before);
}

void tst_HistoryEdit::restoreRefused_data()
{
    QTest::addColumn<Change>("change");
    QTest::newRow("a line appended since") << Change::AppendedSince;
    QTest::newRow("the file rewritten since, same size") << Change::RewrittenSince;
    QTest::newRow("the file removed since") << Change::RemovedSince;
}

void tst_HistoryEdit::restoreRefused()
{
    QFETCH(Change, change);

    Folder f;
    QVERIFY(writeBytes(f.history(), kA + kB + kC));
    const HistoryEdit removal = removeHistoryLine(f.files, 1, lineOf(kB));
    QVERIFY(removal.removed);
    switch (change) {
    case Change::AppendedSince:
        QVERIFY(!f.files.appendHistory(u"05/12  68.0Kg  23.9  8.8%"_s));
        break;
    case Change::RewrittenSince: {
        QByteArray other = kA + kC;
        other[3] = '9';
        QVERIFY(writeBytes(f.history(), other));
        break;
    }
    case Change::RemovedSince:
        QVERIFY(QFile::remove(f.history()));
        break;
    }
    const auto before = snapshot(QDir(f.dir.path()));
    const HistoryEdit restore = restoreHistoryLine(f.files, *removal.removed);
    QCOMPARE(restore.status, Status::Changed);
    QVERIFY(!restore.error);
    QCOMPARE(snapshot(QDir(f.dir.path())), before);
}

void tst_HistoryEdit::failures_data()
{
    QTest::addColumn<bool>("restoring"); // false: the removal fails
    QTest::addColumn<Failure>("failure");

    QTest::newRow("removal: file size limit") << false << Failure::FileSizeLimit;
    QTest::newRow("removal: a folder named 履歴.txt") << false << Failure::FolderInstead;
    QTest::newRow("undo: file size limit") << true << Failure::FileSizeLimit;
    QTest::newRow("undo: a folder named 履歴.txt") << true << Failure::FolderInstead;
    QTest::newRow("removal: another instance holds the history")
        << false << Failure::HeldByAnotherInstance;
}

void tst_HistoryEdit::failures()
{
    QFETCH(bool, restoring);
    QFETCH(Failure, failure);

    Folder f;
    std::optional<RemovedLine> removed;
    QVERIFY(writeBytes(f.history(), kA + kB + kC));
    if (restoring) {
        removed = removeHistoryLine(f.files, 1, lineOf(kB)).removed;
        QVERIFY(removed);
    }
    if (failure == Failure::FolderInstead) {
        QVERIFY(QFile::remove(f.history()));
        QVERIFY(QDir(f.dir.path()).mkdir(kHistoryFileName));
    }
    // Another instance's lock, which it never lets go: the removal gives up rather than wait.
    QFile holder(f.history());
    if (failure == Failure::HeldByAnotherInstance) {
        QVERIFY(holder.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(holder.handle(), LOCK_EX | LOCK_NB), 0);
    }
    const auto before = snapshot(QDir(f.dir.path()));

    HistoryEdit edit;
    {
        // Smaller than either rewritten file: the write fails part-way, even for root.
        std::optional<FileSizeLimit> limit;
        if (failure == Failure::FileSizeLimit) {
            limit.emplace(20);
            QVERIFY(limit->isActive());
        }
        edit = restoring ? restoreHistoryLine(f.files, *removed)
                         : removeHistoryLine(f.files, 1, lineOf(kB));
    }
    QCOMPARE(edit.status, Status::Failed);
    QVERIFY(edit.error);
    QCOMPARE(edit.error->path, f.history());
    QVERIFY(!edit.error->reason.isEmpty());
    QVERIFY(!edit.removed);
    // Byte for byte as it was, and no temporary file left behind.
    QCOMPARE(snapshot(QDir(f.dir.path())), before);
}

QTEST_GUILESS_MAIN(tst_HistoryEdit)
#include "tst_historyedit.moc"
