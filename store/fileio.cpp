#include "store/fileio.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

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

} // namespace

QString notRegularFileReason()
{
    return QCoreApplication::translate("morvane::FileIo",
                                       "通常のファイルではありません（FIFO、デバイスなど）");
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

FileContent readWholeFile(const QString& path, const QString& displayName, qint64 maxBytes)
{
    FileContent content;
    auto fail = [&](const QString& reason) {
        content.error = FileError{displayName, reason};
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
        return fail(qt_error_string(error));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return fail(qt_error_string(errno));
    if (S_ISDIR(st.st_mode))
        return fail(qt_error_string(EISDIR));
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
            return fail(qt_error_string(errno));
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

std::optional<FileError> replaceFile(const QString& path, const QString& displayName,
                                     QByteArrayView bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return FileError{displayName, file.errorString()};
    if (!writeAll(file, bytes))
        return FileError{displayName, file.errorString()}; // the destructor drops the temporary
    if (!file.commit())
        return FileError{displayName, file.errorString()};
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
