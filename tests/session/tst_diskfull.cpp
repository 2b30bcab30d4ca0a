// The session's writes against a full file system. Where the test may mount (root, and the
// kernel lets it), the data files live on a small tmpfs whose free space is taken by a filler
// file: the writes meet ENOSPC as on a full disk, also part-way through a line. Elsewhere the
// process file-size limit stands in (SIGXFSZ ignored, so writes meet EFBIG at the same places).
// Either way: every earlier record survives byte for byte, the user is told which file and why,
// the session holds nothing the files do not hold, and once there is room again the next entry
// goes through cleanly.

#include "support.h"

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

// A history of exactly `size` bytes: daily lines, the first one indented to make up the size.
QByteArray historyOfSize(qint64 size)
{
    const qint64 line = dailyHistory(1).size();
    return QByteArray(size % line, ' ') + dailyHistory(int(size / line));
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

// What the session holds of the stored values is what the files hold.
void checkSessionHoldsTheFiles(const SessionFixture& f)
{
    QCOMPARE(f.lines(), History(f.read(kHistoryFileName)).toStringList());
    QCOMPARE(f.measurement().height, parseNumberRecord(f.read(kHeightFileName)));
    QCOMPARE(f.measurement().weight,
             f.exists(kWeightFileName) ? parseNumberRecord(f.read(kWeightFileName)) : std::nullopt);
}

} // namespace

class tst_DiskFull : public QObject {
    Q_OBJECT

    Mode m_mode = Mode::FileSizeLimit;
    std::unique_ptr<SessionFixture> f;
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
    f = std::make_unique<SessionFixture>();
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
    f->session.reset(); // before its folder goes
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

    QTest::newRow("weight entry") << Routine::WeightEntry << 0 << kWeightFileName;
    QTest::newRow("height entry") << Routine::HeightEntry << 0 << kHeightFileName;
    QTest::newRow("first weight, no room for its history line")
        << Routine::FirstWeightEntry << 0 << kHistoryFileName;
    QTest::newRow("first weight, room for part of its history line")
        << Routine::FirstWeightEntry << 10 << kHistoryFileName;
    // A clear renames the history to its backup and needs no room: it goes through on a full
    // file system, and the weight entry after it is what fails.
    QTest::newRow("clear with no room, then a weight entry")
        << Routine::ClearThenWeight << 0 << kWeightFileName;
}

void tst_DiskFull::fullFileSystem()
{
    QFETCH(Routine, routine);
    QFETCH(int, slack);
    QFETCH(QString, named);

    const bool firstWeight = routine == Routine::FirstWeightEntry;
    const QByteArray history = historyOfSize(kHistoryBlocks * kBlock - slack);
    f->writeStandardFiles(history);
    if (firstWeight)
        QVERIFY(QFile::remove(f->path(kWeightFileName)));
    QCOMPARE(f->read(kHistoryFileName).size(), history.size());
    QVERIFY(f->load());

    // A first weight file gets room for itself (a block; below the limit) and no more; the rest
    // nothing.
    const bool clearThenWeight = routine == Routine::ClearThenWeight;
    QVERIFY(fillUp(firstWeight ? kBlock : 0));
    const SessionState before = f->state();
    const QByteArray weightBefore = f->read(kWeightFileName);
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
            f->entries().enter(Entry::Height);
            break;
        case Routine::ClearThenWeight:
            f->dialogs.confirmations = {true};
            f->editor().clearHistory();
            QCOMPARE(f->read(kHistoryFileName), QByteArray());
            QVERIFY(f->lines().isEmpty());
            QVERIFY(f->dialogs.messages.isEmpty());
            // Something else takes the space the clear gave back.
            QVERIFY(fillUp(0));
            lower(2);
            Q_FALLTHROUGH();
        case Routine::WeightEntry:
        case Routine::FirstWeightEntry:
            f->dialogs.answers = {u"70"_s};
            f->entries().enter(Entry::Weight);
            break;
        }
    }
    QVERIFY(f->dialogs.allAnswered());

    // The user is told which file, by its full path, and why.
    QCOMPARE(f->dialogs.messages.size(), 1);
    const ScriptedDialogs::Message& message = f->dialogs.messages[0];
    QCOMPARE(message.severity, Dialogs::Severity::Error);
    QVERIFY2(message.text.contains(u"「"_s + f->path(named) + u"」"_s), qPrintable(message.text));
    QVERIFY2(message.text.contains(reason), qPrintable(message.text + u" / "_s + reason));

    // Every earlier record is there byte for byte, and no temporary file is left behind.
    const QByteArray historyAfter = f->read(kHistoryFileName);
    QCOMPARE(f->read(kHeightFileName), QByteArray("1.685\r\n"));
    QCOMPARE(f->read(kWeightFileName), firstWeight ? QByteArray("70\r\n") : weightBefore);
    QCOMPARE(historyAfter, clearThenWeight ? QByteArray() : history);
    QStringList names{kHeightFileName, kWeightFileName, kHistoryFileName};
    if (m_mode == Mode::Tmpfs)
        names << kFiller;
    if (clearThenWeight) {
        names << kHistoryBackupFileName;
        QCOMPARE(f->read(kHistoryBackupFileName), history);
    }
    names.sort();
    QStringList present = QDir(f->dir.path()).entryList(QDir::Files | QDir::Hidden);
    present.sort();
    QCOMPARE(present, names);

    // The session holds nothing the files do not hold; an entry that was not stored at all
    // changed nothing.
    checkSessionHoldsTheFiles(*f);
    if (QTest::currentTestFailed())
        return;
    if (routine != Routine::FirstWeightEntry && !clearThenWeight)
        QVERIFY(f->state() == before);

    // With room again the same entry goes through, and the history grows by exactly its line.
    QVERIFY(!f->exists(kFiller) || QFile::remove(f->path(kFiller)));
    const qsizetype linesBefore = f->lines().size();
    if (routine == Routine::HeightEntry) {
        f->dialogs.answers = {u"1.7"_s};
        f->entries().enter(Entry::Height);
        QCOMPARE(f->read(kHeightFileName), QByteArray("1.7\r\n"));
        QCOMPARE(f->read(kHistoryFileName), historyAfter);
    } else {
        f->dialogs.answers = {u"71"_s};
        f->entries().enter(Entry::Weight);
        QCOMPARE(f->read(kWeightFileName), QByteArray("71\r\n"));
        const QStringList lines = f->lines();
        QCOMPARE(lines.size(), linesBefore + 1);
        QCOMPARE(f->read(kHistoryFileName), historyAfter + lines.last().toUtf8() + "\r\n");
        checkSessionHoldsTheFiles(*f);
    }
    QCOMPARE(f->dialogs.messages.size(), 1);
}

QTEST_GUILESS_MAIN(tst_DiskFull)
#include "tst_diskfull.moc"
