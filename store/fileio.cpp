#include "store/fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <array>
#include <cstdlib>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

const char* const kContext = "morvane::FileIo";

// The system errors a user meets with the data files, in words of their own. The reasons come
// from the C library, in English whatever the program's language.
struct KnownError {
    int number;
    const char* reason;
};

const std::array<KnownError, 13> kKnownErrors{{
    {ENOSPC, QT_TRANSLATE_NOOP("morvane::FileIo", "ディスクの空き容量がありません")},
    {EACCES, QT_TRANSLATE_NOOP("morvane::FileIo", "アクセスする権限がありません")},
    {EPERM, QT_TRANSLATE_NOOP("morvane::FileIo", "その操作は許可されていません")},
    {EROFS, QT_TRANSLATE_NOOP("morvane::FileIo", "読み取り専用のファイルシステムです")},
    {ENAMETOOLONG, QT_TRANSLATE_NOOP("morvane::FileIo", "ファイル名またはパスが長すぎます")},
    {EFBIG, QT_TRANSLATE_NOOP("morvane::FileIo", "ファイルの大きさの上限を超えます")},
    {EDQUOT, QT_TRANSLATE_NOOP("morvane::FileIo", "ディスクの使用量の制限（クォータ）を超えます")},
    {EIO, QT_TRANSLATE_NOOP("morvane::FileIo", "入出力エラーが起きました")},
    {ENOENT, QT_TRANSLATE_NOOP("morvane::FileIo", "ファイルまたはフォルダーがありません")},
    {EISDIR, QT_TRANSLATE_NOOP("morvane::FileIo", "ファイルではなくフォルダーです")},
    {ELOOP, QT_TRANSLATE_NOOP("morvane::FileIo", "シンボリックリンクが多すぎます")},
    {EMLINK, QT_TRANSLATE_NOOP("morvane::FileIo", "リンクが多すぎます")},
    {ENOTDIR, QT_TRANSLATE_NOOP("morvane::FileIo", "パスの途中にフォルダーではないものがあります")},
}};

QString& workingFolder()
{
    static QString folder;
    return folder;
}

} // namespace

void rememberWorkingFolder(const QString& folder)
{
    workingFolder() = folder;
}

QString fullPath(const QString& path)
{
    const QFileInfo info(path);
    const QString absolute = info.isRelative() && !workingFolder().isEmpty()
                                 ? workingFolder() + u'/' + path
                                 : info.absoluteFilePath();
    return QDir::toNativeSeparators(QDir::cleanPath(absolute));
}

QString systemReason(int error)
{
    for (const KnownError& known : kKnownErrors) {
        if (known.number == error)
            return QCoreApplication::translate(kContext, known.reason);
    }
    return qt_error_string(error);
}

QString systemReason(const QString& systemText)
{
    for (const KnownError& known : kKnownErrors) {
        if (qt_error_string(known.number) == systemText)
            return QCoreApplication::translate(kContext, known.reason);
    }
    return systemText;
}

FileError systemError(const QString& path, int error)
{
    return FileError{fullPath(path), systemReason(error)};
}

QString notRegularFileReason()
{
    return QCoreApplication::translate("morvane::FileIo",
                                       "通常のファイルではありません（FIFO、デバイスなど）");
}

FileStamp fileStamp(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

namespace {

QString tooLargeReason(qint64 maxBytes)
{
    return QCoreApplication::translate("morvane::FileIo",
                                       "ファイルが大きすぎます（上限 %1 バイト）")
        .arg(maxBytes);
}

} // namespace

bool isAbsent(const QString& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(QFile::encodeName(path).toStdString(), ec);
    return status.type() == std::filesystem::file_type::not_found;
}

FileContent readWholeFile(const QString& path, qint64 maxBytes)
{
    FileContent content;
    auto fail = [&](const QString& reason) {
        content.error = FileError{fullPath(path), reason};
        return content;
    };
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer for ever.
    const Descriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int error = errno;
        if (isAbsent(path)) {
            content.missing = true;
            return content;
        }
        return fail(systemReason(error));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return fail(systemReason(errno));
    if (S_ISDIR(st.st_mode))
        return fail(systemReason(EISDIR));
    if (!S_ISREG(st.st_mode))
        return fail(notRegularFileReason());
    if (st.st_size > maxBytes)
        return fail(tooLargeReason(maxBytes));

    // The file may grow while it is read (another instance appending): read to its end, but
    // never past the limit.
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size())
            bytes.resize(qsizetype(std::min(maxBytes + 1, got + 65536)));
        const ssize_t n = ::read(fd.get(), bytes.data() + got, std::size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(systemReason(errno));
        if (n == 0)
            break;
        got += n;
        if (got > maxBytes)
            return fail(tooLargeReason(maxBytes));
    }
    bytes.truncate(qsizetype(got));
    content.bytes = std::move(bytes);
    return content;
}

bool writeAll(QFileDevice& file, QByteArrayView bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.data() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

bool writeFully(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

namespace {

// The file the path names: the path itself, or for a link the file it points to, which is what
// the replacement replaces (the link stays).
QByteArray replacedFile(const QByteArray& path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* const resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return path;
    QByteArray target(resolved);
    std::free(resolved);
    return target;
}

} // namespace

std::optional<FileError> replaceFile(const QString& path, QByteArrayView bytes,
                                     const std::function<bool()>& beforeRename)
{
    auto fail = [&](int error) { return systemError(path, error); };
    const QByteArray target = replacedFile(QFile::encodeName(path));
    struct stat st {};
    std::optional<mode_t> mode;
    if (::stat(target.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return fail(EISDIR);
        if (!S_ISREG(st.st_mode))
            return FileError{fullPath(path), notRegularFileReason()};
        if (::access(target.constData(), W_OK) != 0)
            return fail(errno);
        mode = st.st_mode & 07777;
    }
    // Beside the old file, so that the rename stays on one file system. A new file is made as
    // any new file (the umask applies); a replaced one keeps its permissions exactly.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                    mode.value_or(0666));
        if (fd < 0 && errno != EEXIST)
            return fail(errno);
    }
    if (fd < 0)
        return fail(EEXIST);
    bool ok = writeFully(fd, bytes) && (!mode || ::fchmod(fd, *mode) == 0) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && beforeRename && !beforeRename()) {
        ::unlink(temporary.constData());
        return std::nullopt;
    }
    if (ok && ::rename(temporary.constData(), target.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.constData());
        return fail(error);
    }
    return std::nullopt;
}

QByteArrayView lineEndBeforeAppend(QByteArrayView history)
{
    if (history.isEmpty() || history == kUtf8Bom || history.endsWith('\n'))
        return {};
    if (history.endsWith('\r'))
        return "\n";
    return "\r\n";
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace morvane
