// The program's writes against a full file system, through the window. Where the test may
// mount (root, and the kernel lets it), the data files live on a small tmpfs whose free space
// is taken by a filler file: the writes meet ENOSPC as on a full disk, also part-way through a
// line. Elsewhere the process file-size limit stands in (SIGXFSZ ignored, so writes meet EFBIG
// at the same places). Either way: every earlier record survives byte for byte, the user is
// told which file and why, the window shows nothing the files do not hold, and once there is
// room again the next entry goes through cleanly.

#include "support.h"

#include "store/datafiles.h"
#include "store/history.h"
#include "store/historybackup.h"
#include "testfiles.h"
#include "ui/fonts.h"

#include <QDir>
#include <QScrollBar>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

const QString kHeight = u"身長.txt"_s, kWeight = u"体重.txt"_s, kHistory = u"履歴.txt"_s;
const QString kFiller = u"filler"_s;
// tmpfs allocates whole pages; the history takes eight (about 1,170 lines with 4 KiB pages),
// and the file system has room for it, the number files and the filler.
const qint64 kBlock = ::sysconf(_SC_PAGESIZE);
constexpr qint64 kHistoryBlocks = 8;
const QByteArray kMountOptions = "size=" + QByteArray::number(64 * kBlock);

enum class Mode { Tmpfs, FileSizeLimit };

enum class Routine {
    WeightEntry,      // no room for a new weight file
    HeightEntry,      // no room for a new height file
    FirstWeightEntry, // no weight file yet: it takes the last free block, the history line fails
    ClearThenWeight,  // room for that copy: the clear goes through; the space it frees is taken
};

// A history of exactly `size` bytes in lines as the program writes them: 28-byte lines, with
// as many 29-byte ones among them as the size needs.
QByteArray historyOfSize(qint64 size)
{
    const qint64 lines = size / 28;
    const qint64 longer = size % 28;
    QByteArray bytes;
    QDate date(2023, 1, 1);
    for (qint64 i = 0; i < lines; ++i, date = date.addDays(1)) {
        const QByteArray day = date.toString(u"MM/dd"_s).toLatin1();
        bytes +=
            i < longer ? day + "  100.2Kg  35.3  60.4%\r\n" : day + "  69.0Kg  24.3  10.4%\r\n";
    }
    return bytes;
}

bool mountTmpfs(const QString& path)
{
    return ::geteuid() == 0 && ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs",
                                       MS_NOSUID | MS_NODEV, kMountOptions.constData()) == 0;
}

void unmountTmpfs(const QString& path)
{
    const QByteArray target = QFile::encodeName(path);
    if (::umount2(target.constData(), 0) != 0)
        ::umount2(target.constData(), MNT_DETACH);
}

qint64 freeBytes(const QString& path)
{
    struct statvfs s {};
    if (::statvfs(QFile::encodeName(path).constData(), &s) != 0)
        return -1;
    return qint64(s.f_bavail) * qint64(s.f_frsize);
}

QString recordText(const QByteArray& record)
{
    return QString::fromUtf8(record).remove(u"\r\n"_s);
}

// What the window shows of the stored values is what the files hold.
void checkWindowShowsTheFiles(const WindowFixture& f)
{
    const WindowState now = f.state();
    QCOMPARE(now.list, History(now.history).toStringList());
    QCOMPARE(f.text(u"Label2"_s), recordText(now.height));
    QCOMPARE(now.Height, parseNumberRecord(now.height));
    if (f.exists(kWeight)) {
        QCOMPARE(f.text(u"Label5"_s), recordText(now.weight));
        QCOMPARE(now.Weight, parseNumberRecord(now.weight));
    } else {
        QCOMPARE(f.text(u"Label5"_s), QString());
        QVERIFY(!now.Weight);
    }
}

} // namespace

class tst_DiskFull : public QObject {
    Q_OBJECT

    Mode m_mode = Mode::FileSizeLimit;
    std::unique_ptr<WindowFixture> f;
    bool m_mounted = false;

    // Takes all free space but `room` bytes with the filler file (tmpfs only).
    bool fillUp(qint64 room) const;

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fullFileSystem_data();
    void fullFileSystem();
};

void tst_DiskFull::initTestCase()
{
    installFontSubstitutions();
    QTemporaryDir probe;
    QVERIFY(probe.isValid());
    m_mode = Mode::FileSizeLimit;
    if (mountTmpfs(probe.path())) {
        unmountTmpfs(probe.path());
        m_mode = Mode::Tmpfs;
    }
    qInfo(m_mode == Mode::Tmpfs
              ? "Mode: a full tmpfs mounted in a temporary folder (writes meet ENOSPC)"
              : "Mode: the process file-size limit, as tmpfs cannot be mounted here (writes "
                "meet EFBIG)");
}

void tst_DiskFull::init()
{
    f = std::make_unique<WindowFixture>();
    QVERIFY(f->dir.isValid());
    if (m_mode == Mode::Tmpfs) {
        QVERIFY2(mountTmpfs(f->dir.path()), std::strerror(errno));
        m_mounted = true;
    }
}

void tst_DiskFull::cleanup()
{
    if (!f)
        return;
    f->window.reset(); // before its folder goes
    if (m_mounted)
        unmountTmpfs(f->dir.path());
    m_mounted = false;
    f.reset();
}

bool tst_DiskFull::fillUp(qint64 room) const
{
    if (m_mode != Mode::Tmpfs)
        return true;
    const QByteArray path = QFile::encodeName(f->dir.filePath(kFiller));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0)
        return false;
    const QByteArray block(kBlock, 'x');
    while (::write(fd, block.constData(), size_t(kBlock)) == kBlock) {
    }
    // Give back whole blocks until `room` is free.
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const bool ok = ::ftruncate(fd, size - off_t(room)) == 0;
    ::close(fd);
    return ok && freeBytes(f->dir.path()) == room;
}

void tst_DiskFull::fullFileSystem_data()
{
    QTest::addColumn<Routine>("routine");
    QTest::addColumn<int>("slack"); // bytes free in the history's last block
    QTest::addColumn<QString>("named");

    QTest::newRow("weight entry") << Routine::WeightEntry << 0 << kWeight;
    QTest::newRow("height entry") << Routine::HeightEntry << 0 << kHeight;
    QTest::newRow("first weight, no room for its history line")
        << Routine::FirstWeightEntry << 0 << kHistory;
    QTest::newRow("first weight, room for part of its history line")
        << Routine::FirstWeightEntry << 10 << kHistory;
    // A clear renames the history to its backup and needs no room: it goes through on a full
    // file system, and the weight entry after it is what fails.
    QTest::newRow("clear with no room, then a weight entry")
        << Routine::ClearThenWeight << 0 << kWeight;
}

void tst_DiskFull::fullFileSystem()
{
    QFETCH(Routine, routine);
    QFETCH(int, slack);
    QFETCH(QString, named);

    const bool firstWeight = routine == Routine::FirstWeightEntry;
    const QByteArray history = historyOfSize(kHistoryBlocks * kBlock - slack);
    f->write(kHeight, "1.685\r\n");
    if (!firstWeight)
        f->write(kWeight, "68.5\r\n");
    f->write(kHistory, history);
    QCOMPARE(f->read(kHistory).size(), history.size());
    f->load();
    QVERIFY(f->loaded);

    // A first weight file gets room for itself (a block; below the limit) and no more; the rest
    // nothing.
    const bool clearThenWeight = routine == Routine::ClearThenWeight;
    QVERIFY(fillUp(firstWeight ? kBlock : 0));
    const WindowState before = f->state();
    // The system's reason in the user's words, not the C library's English.
    const QString reason = m_mode == Mode::Tmpfs ? u"ディスクの空き容量がありません"_s
                                                 : u"ファイルの大きさの上限を超えます"_s;

    {
        // Where tmpfs cannot be mounted, the process file-size limit stands in.
        std::optional<FileSizeLimit> lowered;
        const auto lower = [&](qint64 bytes) {
            if (m_mode == Mode::FileSizeLimit)
                lowered.emplace(rlim_t(bytes));
        };
        if (!clearThenWeight)
            lower(firstWeight ? history.size() + slack : 2);
        switch (routine) {
        case Routine::HeightEntry:
            f->dialogs.answers = {u"1.7"_s};
            f->doubleClick(u"Label2"_s);
            break;
        case Routine::ClearThenWeight:
            f->dialogs.confirmations = {true};
            f->click(u"cmdClear"_s);
            QCOMPARE(f->read(kHistory), QByteArray());
            QVERIFY(f->lines().isEmpty());
            QVERIFY(f->dialogs.messages.isEmpty());
            // Something else takes the space the clear gave back.
            QVERIFY(fillUp(0));
            lower(2);
            Q_FALLTHROUGH();
        case Routine::WeightEntry:
        case Routine::FirstWeightEntry:
            f->dialogs.answers = {u"70"_s};
            f->click(u"cmdTai"_s);
            break;
        }
    }
    QVERIFY(!f->dialogs.unexpected);
    QVERIFY(f->dialogs.answers.isEmpty());
    QVERIFY(f->dialogs.confirmations.isEmpty());

    // The user is told which file, by its full path, and why.
    QCOMPARE(f->dialogs.messages.size(), 1);
    const ScriptedDialogs::Message& message = f->dialogs.messages[0];
    QCOMPARE(message.severity, Dialogs::Severity::Error);
    QVERIFY2(message.text.contains(u"「"_s + f->dir.filePath(named) + u"」"_s),
             qPrintable(message.text));
    QVERIFY2(message.text.contains(reason), qPrintable(message.text + u" / "_s + reason));

    // Every earlier record is there byte for byte, and no temporary file is left behind.
    const WindowState after = f->state();
    QCOMPARE(after.height, before.height);
    QCOMPARE(after.weight, firstWeight ? QByteArray("70\r\n") : before.weight);
    QCOMPARE(after.history, clearThenWeight ? QByteArray() : before.history);
    QStringList names{kHeight, kWeight, kHistory};
    if (m_mode == Mode::Tmpfs)
        names << kFiller;
    if (clearThenWeight) {
        names << kHistoryBackupFileName;
        QCOMPARE(f->read(kHistoryBackupFileName), before.history);
    }
    names.sort();
    QStringList present = QDir(f->dir.path()).entryList(QDir::Files | QDir::Hidden);
    present.sort();
    QCOMPARE(present, names);

    // The window shows nothing the files do not hold; an entry that was not stored at all
    // changed nothing on screen.
    checkWindowShowsTheFiles(*f);
    if (QTest::currentTestFailed())
        return;
    if (routine != Routine::FirstWeightEntry && !clearThenWeight)
        QVERIFY(f->state() == before);

    // With room again the same entry goes through, and the history grows by exactly its line.
    QVERIFY(!f->exists(kFiller) || QFile::remove(f->dir.filePath(kFiller)));
    const QStringList linesBefore = f->lines();
    if (routine == Routine::HeightEntry) {
        f->dialogs.answers = {u"1.7"_s};
        f->doubleClick(u"Label2"_s);
        QCOMPARE(f->read(kHeight), QByteArray("1.7\r\n"));
        QCOMPARE(f->read(kHistory), after.history);
    } else {
        f->dialogs.answers = {u"71"_s};
        f->click(u"cmdTai"_s);
        QCOMPARE(f->read(kWeight), QByteArray("71\r\n"));
        const QStringList lines = f->lines();
        QCOMPARE(lines.size(), linesBefore.size() + 1);
        QCOMPARE(f->read(kHistory), after.history + lines.last().toUtf8() + "\r\n");
        checkWindowShowsTheFiles(*f);
    }
    QCOMPARE(f->dialogs.messages.size(), 1);
}

QTEST_MAIN(tst_DiskFull)
#include "tst_diskfull.moc"
