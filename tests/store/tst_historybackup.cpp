// The copy of the history kept by a clear and written back by an undo, on real files: the bytes
// come back exactly, an undo never overwrites lines recorded since, clearing an empty history
// keeps the last real copy, and failures name the file and change nothing.

#include "store/historybackup.h"

#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

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

class tst_HistoryBackup : public QObject {
    Q_OBJECT

private slots:
    void clearAndUndo_data();
    void clearAndUndo();
    void backupReplacesOlder();
    void nothingToKeep_data();
    void nothingToKeep();
    void restoreRefused_data();
    void restoreRefused();
    void backupFails_data();
    void backupFails();
    void restoreFails_data();
    void restoreFails();
};

void tst_HistoryBackup::clearAndUndo_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("removed"); // the history is gone instead of empty before the undo

    QTest::newRow("CR LF lines") << kLines << false;
    QTest::newRow("last line without CR LF")
        << QByteArray("05/10  68.9Kg  24.3  10.2%\r\n05/11  68.5Kg  24.1  9.6%") << false;
    QTest::newRow("LF-only lines")
        << QByteArray("05/10  68.9Kg  24.3  10.2%\n05/11  68.5Kg  24.1  9.6%\n") << false;
    QTest::newRow("mixed line ends and an empty line")
        << QByteArray("05/10  68.9Kg  24.3  10.2%\n\r\n05/11  68,5Kg  24,1  9,6%\r") << false;
    QTest::newRow("history file removed before the undo") << kLines << true;
}

void tst_HistoryBackup::clearAndUndo()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, removed);

    Folder f;
    QVERIFY(writeBytes(f.history(), content));
    const DataFiles files(f.folder);

    QVERIFY(!hasBackup(f.folder));
    const std::optional<FileError> backupError = backupHistory(f.folder);
    QVERIFY2(!backupError, qPrintable(backupError ? backupError->reason : QString()));
    QVERIFY(hasBackup(f.folder));
    QCOMPARE(readBytes(f.backup()), content);

    QVERIFY(!files.clearHistory());
    if (removed)
        QVERIFY(QFile::remove(f.history()));

    const HistoryRestore restore = restoreHistory(f.folder);
    QCOMPARE(restore.status, Status::Restored);
    QVERIFY(!restore.error);
    QCOMPARE(readBytes(f.history()), content);
    QCOMPARE(restore.lines.toStringList(), History(content).toStringList());
    QCOMPARE(restore.lines, files.readHistory().lines);
    // The undo is used up: the history holds the lines again and the copy is gone.
    QVERIFY(!hasBackup(f.folder));
    QCOMPARE(snapshot(f.folder).keys(), QStringList{kHistoryFileName});
}

void tst_HistoryBackup::backupReplacesOlder()
{
    Folder f;
    QVERIFY(writeBytes(f.backup(), QByteArray(4096, 'o')));
    QVERIFY(writeBytes(f.history(), kLines));

    QVERIFY(!backupHistory(f.folder));
    QCOMPARE(readBytes(f.backup()), kLines);
    QCOMPARE(readBytes(f.history()), kLines); // the backup itself empties nothing
    QCOMPARE(snapshot(f.folder).size(), 2);   // no temporary file left
}

void tst_HistoryBackup::nothingToKeep_data()
{
    QTest::addColumn<bool>("historyExists");
    QTest::addColumn<bool>("olderBackup");

    QTest::newRow("empty history keeps the older backup") << true << true;
    QTest::newRow("missing history keeps the older backup") << false << true;
    QTest::newRow("empty history and no backup: none made") << true << false;
    QTest::newRow("missing history and no backup: none made") << false << false;
}

void tst_HistoryBackup::nothingToKeep()
{
    QFETCH(bool, historyExists);
    QFETCH(bool, olderBackup);

    Folder f;
    if (historyExists)
        QVERIFY(writeBytes(f.history(), QByteArray()));
    if (olderBackup)
        QVERIFY(writeBytes(f.backup(), kLines));
    const auto before = snapshot(f.folder);

    QVERIFY(!backupHistory(f.folder));
    QCOMPARE(snapshot(f.folder), before);
    QCOMPARE(hasBackup(f.folder), olderBackup);
}

void tst_HistoryBackup::restoreRefused_data()
{
    QTest::addColumn<QByteArray>("history"); // null: no history file
    QTest::addColumn<bool>("backup");
    QTest::addColumn<Status>("status");

    QTest::newRow("a line recorded since the clear")
        << QByteArray("05/12  68.0Kg  23.9  8.8%\r\n") << true << Status::HistoryNotEmpty;
    QTest::newRow("a lone line end is not empty")
        << QByteArray("\r\n") << true << Status::HistoryNotEmpty;
    QTest::newRow("no backup, empty history") << QByteArray("") << false << Status::NoBackup;
    QTest::newRow("no backup, no history") << QByteArray() << false << Status::NoBackup;
}

void tst_HistoryBackup::restoreRefused()
{
    QFETCH(QByteArray, history);
    QFETCH(bool, backup);
    QFETCH(Status, status);

    Folder f;
    if (!history.isNull())
        QVERIFY(writeBytes(f.history(), history));
    if (backup)
        QVERIFY(writeBytes(f.backup(), kLines));
    const auto before = snapshot(f.folder);

    const HistoryRestore restore = restoreHistory(f.folder);
    QCOMPARE(restore.status, status);
    QVERIFY(restore.lines.isEmpty());
    QVERIFY(!restore.error);
    QCOMPARE(snapshot(f.folder), before);
    QCOMPARE(hasBackup(f.folder), backup);
}

void tst_HistoryBackup::backupFails_data()
{
    QTest::addColumn<bool>("historyIsFolder");
    QTest::addColumn<bool>("backupIsFolder");
    QTest::addColumn<int>("sizeLimit"); // 0: none
    QTest::addColumn<QString>("fileName");

    QTest::newRow("history is a folder") << true << false << 0 << kHistoryFileName;
    QTest::newRow("backup is a folder") << false << true << 0 << kHistoryBackupFileName;
    QTest::newRow("write fails part-way: older backup kept")
        << false << false << 20 << kHistoryBackupFileName;
}

void tst_HistoryBackup::backupFails()
{
    QFETCH(bool, historyIsFolder);
    QFETCH(bool, backupIsFolder);
    QFETCH(int, sizeLimit);
    QFETCH(QString, fileName);

    Folder f;
    if (historyIsFolder)
        QVERIFY(f.folder.mkdir(kHistoryFileName));
    else
        QVERIFY(writeBytes(f.history(), kLines));
    if (backupIsFolder)
        QVERIFY(f.folder.mkdir(kHistoryBackupFileName));
    else
        QVERIFY(writeBytes(f.backup(), "older\r\n"));
    const auto before = snapshot(f.folder);

    std::optional<FileError> error;
    if (sizeLimit > 0) {
        const FileSizeLimit limit(static_cast<rlim_t>(sizeLimit));
        QVERIFY(limit.isActive());
        error = backupHistory(f.folder);
    } else {
        error = backupHistory(f.folder);
    }
    QVERIFY(error);
    QCOMPARE(error->fileName, fileName);
    QVERIFY(!error->reason.isEmpty());
    QCOMPARE(snapshot(f.folder), before);
}

void tst_HistoryBackup::restoreFails_data()
{
    QTest::addColumn<bool>("historyIsFolder");
    QTest::addColumn<bool>("backupIsFolder");
    QTest::addColumn<int>("sizeLimit"); // 0: none
    QTest::addColumn<QString>("fileName");

    QTest::newRow("history is a folder") << true << false << 0 << kHistoryFileName;
    QTest::newRow("backup is a folder") << false << true << 0 << kHistoryBackupFileName;
    QTest::newRow("write fails part-way: history stays empty, backup kept")
        << false << false << 20 << kHistoryFileName;
}

void tst_HistoryBackup::restoreFails()
{
    QFETCH(bool, historyIsFolder);
    QFETCH(bool, backupIsFolder);
    QFETCH(int, sizeLimit);
    QFETCH(QString, fileName);

    Folder f;
    if (historyIsFolder)
        QVERIFY(f.folder.mkdir(kHistoryFileName));
    else
        QVERIFY(writeBytes(f.history(), QByteArray()));
    if (backupIsFolder)
        QVERIFY(f.folder.mkdir(kHistoryBackupFileName));
    else
        QVERIFY(writeBytes(f.backup(), kLines));
    const auto before = snapshot(f.folder);

    HistoryRestore restore;
    if (sizeLimit > 0) {
        const FileSizeLimit limit(static_cast<rlim_t>(sizeLimit));
        QVERIFY(limit.isActive());
        restore = restoreHistory(f.folder);
    } else {
        restore = restoreHistory(f.folder);
    }
    QCOMPARE(restore.status, Status::Failed);
    QVERIFY(restore.error);
    QCOMPARE(restore.error->fileName, fileName);
    QVERIFY(!restore.error->reason.isEmpty());
    QVERIFY(restore.lines.isEmpty());
    QCOMPARE(snapshot(f.folder), before);
}

QTEST_GUILESS_MAIN(tst_HistoryBackup)
#include "tst_historybackup.moc"
