#include "help/chmarchive.h"

#include "help/chmlimits.h"
#include "help/chmpath.h"
#include "help/textdecoding.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QtEndian>

#include <chm_lib.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace morvane {

namespace {

// #SYSTEM record codes.
constexpr quint16 kContentsFileRecord = 0;
constexpr quint16 kDefaultTopicRecord = 2;
constexpr quint16 kTitleRecord = 3;
constexpr quint16 kLanguageRecord = 4;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isPage(const QString& path)
{
    return path.endsWith(u".htm"_s, Qt::CaseInsensitive) ||
           path.endsWith(u".html"_s, Qt::CaseInsensitive);
}

QByteArray untilNul(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return (nul < 0 ? bytes : bytes.first(nul)).toByteArray();
}

QString firstPage(const std::vector<chm::ContentsEntry>& entries, const ChmArchive& archive)
{
    for (const chm::ContentsEntry& entry : entries) {
        if (!entry.local.isEmpty() && archive.contains(chm::resolveObjectPath(entry.local)))
            return chm::resolveObjectPath(entry.local);
        const QString inside = firstPage(entry.children, archive);
        if (!inside.isEmpty())
            return inside;
    }
    return {};
}

} // namespace

ChmArchive::~ChmArchive()
{
    close();
}

void ChmArchive::close()
{
    if (m_file)
        chm_close(m_file);
    m_file = nullptr;
    m_entries.clear();
    m_index.clear();
    m_title.clear();
    m_defaultTopic.clear();
    m_contentsPath.clear();
    m_languageId = 0;
    m_contents.clear();
}

bool ChmArchive::fail(const QString& reason)
{
    close();
    m_error = reason;
    return false;
}

bool ChmArchive::open(const QString& path)
{
    close();
    const QFileInfo info(path);
    if (!info.exists())
        return fail(u"ファイルが見つかりません。"_s);
    if (info.isDir())
        return fail(u"同じ名前のフォルダーがあります。"_s);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(u"ファイルを読み込めません（%1）。"_s.arg(file.errorString()));
    if (file.size() > chm::kMaxFileBytes)
        return fail(u"ファイルが大きすぎます。"_s);
    // Read one byte past the limit so that a file that grows meanwhile is still refused.
    const QByteArray bytes = file.read(chm::kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(u"ファイルを読み込めません（%1）。"_s.arg(file.errorString()));
    return openData(bytes);
}

bool ChmArchive::openData(const QByteArray& bytes)
{
    close();
    QString reason;
    auto layout = chm::readChmLayout(bytes, &reason);
    if (!layout)
        return fail(reason);
    if (!hand(bytes))
        return false;

    m_entries = std::move(layout->entries);
    m_languageId = layout->languageId;
    for (qsizetype i = 0; i < qsizetype(m_entries.size()); ++i) {
        const QString name = QString::fromUtf8(m_entries[std::size_t(i)].name);
        if (!name.startsWith(u'/'))
            continue;
        const QString key = name.toCaseFolded();
        if (!m_index.contains(key)) // of two names that differ only in case, the first wins
            m_index.insert(key, i);
    }
    readSystem();
    m_error.clear();
    return true;
}

// Gives chmlib a sealed in-memory copy: chmlib opens files by name, and /proc/self/fd names an
// anonymous file that nobody can change after the check.
bool ChmArchive::hand(const QByteArray& bytes)
{
    const int fd = memfd_create("morvane-help", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return fail(u"ヘルプファイルを読み込めません（%1）。"_s.arg(systemReason(errno)));
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + written, std::size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = errno;
            ::close(fd);
            return fail(u"ヘルプファイルを読み込めません（%1）。"_s.arg(systemReason(error)));
        }
        written += n;
    }
    ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    const QByteArray name = "/proc/self/fd/" + QByteArray::number(fd);
    m_file = chm_open(name.constData());
    ::close(fd); // chmlib holds its own descriptor
    if (!m_file)
        return fail(u"ヘルプファイルを読み込めません。"_s);
    return true;
}

void ChmArchive::readSystem()
{
    const auto system = object(u"/#SYSTEM"_s);
    QByteArray title, topic, contents;
    if (system && system->size() >= 4) {
        // A version, then records of a 16-bit code, a 16-bit length and that many bytes.
        qsizetype at = 4;
        while (at + 4 <= system->size()) {
            const quint16 code = qFromLittleEndian<quint16>(system->constData() + at);
            const quint16 length = qFromLittleEndian<quint16>(system->constData() + at + 2);
            at += 4;
            if (length > system->size() - at)
                break;
            const QByteArrayView data(system->constData() + at, length);
            at += length;
            if (code == kContentsFileRecord && contents.isEmpty())
                contents = untilNul(data);
            else if (code == kDefaultTopicRecord && topic.isEmpty())
                topic = untilNul(data);
            else if (code == kTitleRecord && title.isEmpty())
                title = untilNul(data);
            else if (code == kLanguageRecord && data.size() >= 4)
                m_languageId = qFromLittleEndian<quint32>(data.data());
        }
    }
    m_title = decodeText(title).trimmed();

    if (!contents.isEmpty() && this->contains(chm::resolveObjectPath(decodeText(contents))))
        m_contentsPath = chm::resolveObjectPath(decodeText(contents));
    for (const chm::Entry& entry : m_entries) {
        if (!m_contentsPath.isEmpty())
            break;
        const QString name = QString::fromUtf8(entry.name);
        if (name.startsWith(u'/') && name.endsWith(u".hhc"_s, Qt::CaseInsensitive))
            m_contentsPath = name;
    }
    if (!m_contentsPath.isEmpty()) {
        if (const auto page = object(m_contentsPath))
            m_contents = chm::parseSitemap(decodeText(*page));
    }

    if (!topic.isEmpty() && this->contains(chm::resolveObjectPath(decodeText(topic))))
        m_defaultTopic = chm::resolveObjectPath(decodeText(topic));
    if (m_defaultTopic.isEmpty())
        m_defaultTopic = firstPage(m_contents, *this);
    for (const QString& path : objectPaths()) {
        if (!m_defaultTopic.isEmpty())
            break;
        if (isPage(path))
            m_defaultTopic = path;
    }
}

QStringList ChmArchive::objectPaths() const
{
    QStringList paths;
    for (const chm::Entry& entry : m_entries) {
        if (entry.name.startsWith('/') && !entry.name.endsWith('/'))
            paths.append(QString::fromUtf8(entry.name));
    }
    return paths;
}

const chm::Entry* ChmArchive::find(const QString& path) const
{
    // Internal objects have names like "/#SYSTEM" that resolving would cut at the "#".
    auto it = m_index.constFind(path.toCaseFolded());
    const QString resolved = chm::resolveObjectPath(path);
    if (it == m_index.constEnd())
        it = m_index.constFind(resolved.toCaseFolded());
    if (it == m_index.constEnd()) {
        // Links are often percent-encoded ("%20", or UTF-8 escapes for Japanese names).
        const QString decoded = QUrl::fromPercentEncoding(resolved.toUtf8());
        it = m_index.constFind(decoded.toCaseFolded());
    }
    if (it == m_index.constEnd())
        return nullptr;
    const chm::Entry& entry = m_entries[std::size_t(*it)];
    return entry.name.endsWith('/') ? nullptr : &entry;
}

bool ChmArchive::contains(const QString& path) const
{
    return find(path) != nullptr;
}

std::optional<QByteArray> ChmArchive::object(const QString& path) const
{
    const chm::Entry* entry = m_file ? find(path) : nullptr;
    if (!entry || entry->length > chm::kMaxObjectBytes)
        return std::nullopt;
    QByteArray bytes(qsizetype(entry->length), Qt::Uninitialized);
    if (entry->length == 0)
        return bytes;
    chmUnitInfo unit{};
    unit.start = entry->start;
    unit.length = entry->length;
    unit.space = entry->space;
    const LONGINT64 got = chm_retrieve_object(
        m_file, &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0, LONGINT64(entry->length));
    if (got != LONGINT64(entry->length))
        return std::nullopt;
    return bytes;
}

QString ChmArchive::decodeText(const QByteArray& bytes) const
{
    return chm::decodeHelpText(bytes, m_languageId);
}

} // namespace morvane
