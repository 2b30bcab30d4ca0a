#include "help/chmarchive.h"

#include "help/chmpath.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>
#include <QtEndian>

#include <mspack.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace morvane {

namespace {

// #SYSTEM record codes.
constexpr quint16 kContentsFileRecord = 0;
constexpr quint16 kDefaultTopicRecord = 2;
constexpr quint16 kTitleRecord = 3;
constexpr quint16 kLanguageRecord = 4;

// libmspack's own needs are small: its largest block is the LZX window (2 MiB at most).
constexpr std::size_t kMaxAllocationBytes = 4 * 1024 * 1024;
constexpr std::size_t kMaxAllocatedBytes = 16 * 1024 * 1024;

// The two GUIDs of the file header. chmcmd writes the first one in both places; libmspack
// reads that as a bad signature.
constexpr unsigned char kHeaderGuids[32] = {
    0x10, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11, 0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC,
    0x11, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11, 0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
constexpr qsizetype kFirstGuidAt = 0x18;
constexpr qsizetype kSecondGuidAt = 0x28;

// What libmspack says when it returns a directory that broke off part-way.
constexpr char kCorruptWarning[] = "WARNING; contents are corrupt";

// ---- The in-memory file system handed to libmspack ----------------------------------------

struct MemorySystem : mspack_system {
    const QByteArray* file = nullptr;
    std::size_t allocated = 0;
    bool corrupt = false;
};

// The input (source set), or an output (sink set: its "name" is the MemoryFile describing it).
struct MemoryFile {
    MemorySystem* system = nullptr;
    const QByteArray* source = nullptr;
    QByteArray* sink = nullptr;
    qint64 limit = 0; // most bytes the sink takes
    qint64 position = 0;
};

MemoryFile* asFile(mspack_file* handle)
{
    return reinterpret_cast<MemoryFile*>(handle);
}

mspack_file* memoryOpen(mspack_system* self, const char* name, int mode)
{
    auto* system = static_cast<MemorySystem*>(self);
    if (mode != MSPACK_SYS_OPEN_READ && mode != MSPACK_SYS_OPEN_WRITE)
        return nullptr;
    return reinterpret_cast<mspack_file*>(
        mode == MSPACK_SYS_OPEN_READ ? new MemoryFile{system, system->file}
                                     : new MemoryFile(*reinterpret_cast<const MemoryFile*>(name)));
}

void memoryClose(mspack_file* file)
{
    delete asFile(file);
}

int memoryRead(mspack_file* handle, void* buffer, int bytes)
{
    MemoryFile* file = asFile(handle);
    if (!file->source || bytes < 0)
        return -1;
    const auto count = int(std::clamp<qint64>(file->source->size() - file->position, 0, bytes));
    std::memcpy(buffer, file->source->constData() + file->position, std::size_t(count));
    file->position += count;
    return count;
}

int memoryWrite(mspack_file* handle, void* buffer, int bytes)
{
    MemoryFile* file = asFile(handle);
    if (!file->sink || bytes < 0 || bytes > file->limit - file->sink->size())
        return -1;
    file->sink->append(static_cast<const char*>(buffer), bytes);
    return bytes;
}

int memorySeek(mspack_file* handle, off_t offset, int mode)
{
    MemoryFile* file = asFile(handle);
    const qint64 size = file->source ? file->source->size() : 0;
    const qint64 base = mode == MSPACK_SYS_SEEK_CUR   ? file->position
                        : mode == MSPACK_SYS_SEEK_END ? size
                                                      : 0;
    // Compared before adding, so that no sum can overflow.
    if (!file->source || offset < -base || offset > size - base)
        return -1;
    file->position = base + offset;
    return 0;
}

off_t memoryTell(mspack_file* handle)
{
    return off_t(asFile(handle)->position);
}

// The one message that matters is the one about a directory that broke off part-way; it is
// recognised by its format, which has no arguments.
void memoryMessage(mspack_file* handle, const char* format, ...)
{
    if (handle && asFile(handle)->system && std::strcmp(format, kCorruptWarning) == 0)
        asFile(handle)->system->corrupt = true;
}

// Each block starts with a header naming its system and size, since free() is given only the
// pointer.
struct alignas(std::max_align_t) BlockHeader {
    MemorySystem* owner;
    std::size_t bytes;
};

void* memoryAlloc(mspack_system* self, std::size_t bytes)
{
    auto* system = static_cast<MemorySystem*>(self);
    auto* header = bytes > kMaxAllocationBytes || bytes > kMaxAllocatedBytes - system->allocated
                       ? nullptr
                       : static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
    if (!header)
        return nullptr;
    *header = BlockHeader{system, bytes};
    system->allocated += bytes;
    return header + 1;
}

void memoryFree(void* block)
{
    if (BlockHeader* header = block ? static_cast<BlockHeader*>(block) - 1 : nullptr) {
        header->owner->allocated -= header->bytes;
        std::free(header);
    }
}

void memoryCopy(void* source, void* destination, std::size_t bytes)
{
    std::memmove(destination, source, bytes);
}

// ---- Bounds checked before libmspack follows an offset ------------------------------------

// [offset, offset + length) lies inside [0, size); no sum can overflow.
bool within(qint64 offset, qint64 length, qint64 size)
{
    return offset >= 0 && length >= 0 && offset <= size && length <= size - offset;
}

qint64 readInt64(QByteArrayView bytes, qint64 at)
{
    return qFromLittleEndian<qint64>(bytes.data() + at);
}

// The bytes of an uncompressed object, or nothing when it does not lie inside the file.
std::optional<QByteArrayView> storedBytes(const QByteArray& bytes, const mschmd_header* chm,
                                          const mschmd_file* file)
{
    const qint64 size = bytes.size();
    if (!file || file->section->id != 0 || !within(chm->sec0.offset, 0, size) ||
        !within(file->offset, file->length, size - chm->sec0.offset))
        return std::nullopt;
    return QByteArrayView(bytes).sliced(qsizetype(chm->sec0.offset + file->offset),
                                        qsizetype(file->length));
}

// Whether libmspack can decompress section 1 of this file with every value it will add,
// multiply or shift within bounds. It finds its control files in the directory it has read;
// one that is missing would send it down its index walk, so such a file has no section 1.
bool compressedSectionSound(const QByteArray& bytes, const mschmd_header* chm)
{
    const mschmd_sec_mscompressed& sec = chm->sec1;
    const auto content = storedBytes(bytes, chm, sec.content);
    const auto control = storedBytes(bytes, chm, sec.control);
    const auto table = storedBytes(bytes, chm, sec.rtable);
    const auto span = storedBytes(bytes, chm, sec.spaninfo);
    if (!content || !control || !table || !span || control->size() < 0x1c || span->size() != 8)
        return false;

    // The reset interval, which libmspack keeps in an int.
    quint64 interval = qFromLittleEndian<quint32>(control->data() + 0x0c);
    if (qFromLittleEndian<quint32>(control->data() + 0x08) == 2)
        interval *= 0x8000;
    if (interval == 0 || interval > quint64(1) << 30)
        return false;

    // Uncompressed lengths, and the offsets into the compressed data it starts from.
    if (!within(0, readInt64(*span, 0), ChmArchive::kMaxContentBytes))
        return false;
    if (table->size() >= 0x28) {
        const quint32 count = qFromLittleEndian<quint32>(table->data() + 0x04);
        const quint32 entryBytes = qFromLittleEndian<quint32>(table->data() + 0x08);
        const quint32 start = qFromLittleEndian<quint32>(table->data() + 0x0c);
        if (!within(0, readInt64(*table, 0x10), ChmArchive::kMaxContentBytes))
            return false;
        // Four-byte entries are too small to overflow its sums.
        for (quint64 at = start, i = 0;
             entryBytes == 8 && i < count && at + 8 <= quint64(table->size()); ++i, at += 8) {
            if (!within(readInt64(*table, qint64(at)), 0, content->size()))
                return false;
        }
    }
    return true;
}

ChmArchive::Error errorFor(int code)
{
    using Error = ChmArchive::Error;
    return code == MSPACK_ERR_READ || code == MSPACK_ERR_SEEK ? Error::Truncated
           : code == MSPACK_ERR_SIGNATURE                     ? Error::NotChm
           : code == MSPACK_ERR_NOMEMORY                      ? Error::TooLarge
                                                              : Error::Damaged;
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

void ChmArchive::close()
{
    m_open = false;
    m_file = File();
}

bool ChmArchive::fail(Error error, const QString& systemReason)
{
    close();
    m_error = error;
    m_systemReason = systemReason;
    return false;
}

bool ChmArchive::open(const QString& path)
{
    close();
    const QFileInfo info(path);
    if (!info.exists())
        return fail(Error::NotFound);
    if (info.isDir())
        return fail(Error::IsFolder);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(Error::Unreadable, file.errorString());
    if (file.size() > kMaxFileBytes)
        return fail(Error::TooLarge);
    // Read one byte past the limit so that a file that grows meanwhile is still refused.
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(Error::Unreadable, file.errorString());
    return openData(bytes);
}

bool ChmArchive::openData(const QByteArray& original)
{
    close();
    if (original.size() > kMaxFileBytes)
        return fail(Error::TooLarge);
    if (original.size() >= 4 && !original.startsWith("ITSF"))
        return fail(Error::NotChm);

    // libmspack subtracts the file length the header declares from the real one unchecked.
    const qint64 headerSection = original.size() >= 0x40 ? readInt64(original, 0x38) : -1;
    if (within(headerSection, 16, original.size()) && readInt64(original, headerSection + 8) < 0)
        return fail(Error::Damaged);

    QByteArray bytes = original;
    const QByteArrayView firstGuid(reinterpret_cast<const char*>(kHeaderGuids), 16);
    if (bytes.size() >= kSecondGuidAt + 16 &&
        QByteArrayView(bytes).sliced(kFirstGuidAt, 16) == firstGuid &&
        QByteArrayView(bytes).sliced(kSecondGuidAt, 16) == firstGuid)
        std::memcpy(bytes.data() + kSecondGuidAt, kHeaderGuids + 16, 16);

    MemorySystem system{{memoryOpen, memoryClose, memoryRead, memoryWrite, memorySeek, memoryTell,
                         memoryMessage, memoryAlloc, memoryFree, memoryCopy, nullptr},
                        &bytes};

    const std::unique_ptr<mschm_decompressor, void (*)(mschm_decompressor*)> decompressor(
        mspack_create_chm_decompressor(&system), mspack_destroy_chm_decompressor);
    if (!decompressor)
        return fail(Error::TooLarge);
    mschmd_header* chm = decompressor->open(decompressor.get(), "");
    if (!chm)
        return fail(errorFor(decompressor->last_error(decompressor.get())));
    const auto closeChm = qScopeGuard([&] { decompressor->close(decompressor.get(), chm); });
    if (system.corrupt || !chm->files) // a help file always holds objects such as #SYSTEM
        return fail(Error::Damaged);

    // Stored objects are bounded by the file, compressed ones by the content limit, before
    // libmspack extracts them: its offset arithmetic is signed and unchecked. A file cut short
    // shows first in stored objects that no longer fit.
    for (const mschmd_file* list : {chm->sysfiles, chm->files}) {
        for (const mschmd_file* file = list; file; file = file->next) {
            if (file->section->id == 0 && !storedBytes(bytes, chm, file))
                return fail(Error::Truncated);
        }
    }
    const bool compression = compressedSectionSound(bytes, chm);
    std::vector<std::pair<mschmd_file*, std::size_t>> compressed; // and the object it fills
    qint64 total = 0;
    for (mschmd_file* file = chm->files; file; file = file->next) {
        if (file->section->id != 0 && !compression)
            return fail(Error::Damaged);
        if (file->section->id != 0 && !within(file->offset, file->length, kMaxContentBytes))
            return fail(Error::TooLarge);
        total += file->length;
        if (total > kMaxContentBytes)
            return fail(Error::TooLarge);
        Object object{QString::fromUtf8(file->filename), QByteArray()};
        if (file->section->id == 0)
            object.bytes = storedBytes(bytes, chm, file)->toByteArray();
        else
            compressed.emplace_back(file, m_file.objects.size());
        // Of two names that differ only in case, the first wins.
        const QString key = object.name.toCaseFolded();
        if (object.name.startsWith(u'/') && !m_file.index.contains(key))
            m_file.index.insert(key, qsizetype(m_file.objects.size()));
        m_file.objects.push_back(std::move(object));
    }
    // In stored order, so that libmspack decompresses the section once, front to back.
    std::stable_sort(compressed.begin(), compressed.end(), [](const auto& a, const auto& b) {
        return a.first->offset < b.first->offset;
    });
    for (const auto& [file, index] : compressed) {
        MemoryFile sink{nullptr, nullptr, &m_file.objects[index].bytes, file->length};
        const int result =
            decompressor->extract(decompressor.get(), file, reinterpret_cast<const char*>(&sink));
        if (result != MSPACK_ERR_OK || sink.sink->size() != file->length)
            return fail(result == MSPACK_ERR_NOMEMORY ? Error::TooLarge : Error::Damaged);
    }

    m_file.languageId = chm->language;
    m_open = true;
    m_error = Error::None;
    m_systemReason.clear();
    readSystem();
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
                m_file.languageId = qFromLittleEndian<quint32>(data.data());
        }
    }
    m_file.title = decodeText(title).trimmed();

    if (!contents.isEmpty() && this->contains(chm::resolveObjectPath(decodeText(contents))))
        m_file.contentsPath = chm::resolveObjectPath(decodeText(contents));
    for (const Object& entry : m_file.objects) {
        if (!m_file.contentsPath.isEmpty())
            break;
        if (entry.name.startsWith(u'/') && entry.name.endsWith(u".hhc"_s, Qt::CaseInsensitive))
            m_file.contentsPath = entry.name;
    }
    if (!m_file.contentsPath.isEmpty()) {
        if (const auto page = object(m_file.contentsPath))
            m_file.contents = chm::parseSitemap(decodeText(*page));
    }

    if (!topic.isEmpty() && this->contains(chm::resolveObjectPath(decodeText(topic))))
        m_file.defaultTopic = chm::resolveObjectPath(decodeText(topic));
    if (m_file.defaultTopic.isEmpty())
        m_file.defaultTopic = firstPage(m_file.contents, *this);
    for (const QString& path : objectPaths()) {
        if (!m_file.defaultTopic.isEmpty())
            break;
        if (path.endsWith(u".htm"_s, Qt::CaseInsensitive) ||
            path.endsWith(u".html"_s, Qt::CaseInsensitive))
            m_file.defaultTopic = path;
    }
}

QStringList ChmArchive::objectPaths() const
{
    QStringList paths;
    for (const Object& entry : m_file.objects) {
        if (entry.name.startsWith(u'/') && !entry.name.endsWith(u'/'))
            paths.append(entry.name);
    }
    return paths;
}

const ChmArchive::Object* ChmArchive::find(const QString& path) const
{
    // Internal objects have names like "/#SYSTEM" that resolving would cut at the "#".
    auto it = m_file.index.constFind(path.toCaseFolded());
    const QString resolved = chm::resolveObjectPath(path);
    if (it == m_file.index.constEnd())
        it = m_file.index.constFind(resolved.toCaseFolded());
    if (it == m_file.index.constEnd()) {
        // Links are often percent-encoded ("%20", or UTF-8 escapes for Japanese names).
        const QString decoded = QUrl::fromPercentEncoding(resolved.toUtf8());
        it = m_file.index.constFind(decoded.toCaseFolded());
    }
    if (it == m_file.index.constEnd())
        return nullptr;
    const Object& entry = m_file.objects[std::size_t(*it)];
    return entry.name.endsWith(u'/') ? nullptr : &entry;
}

bool ChmArchive::contains(const QString& path) const
{
    return find(path) != nullptr;
}

std::optional<QByteArray> ChmArchive::object(const QString& path) const
{
    const Object* entry = find(path);
    if (!entry)
        return std::nullopt;
    return entry->bytes;
}

QString ChmArchive::decodeText(QByteArrayView bytes, quint32 languageId)
{
    // Qt answers UTF-8 both for a page that says so and for one that says nothing; the bytes
    // then decide.
    QStringDecoder html = QStringDecoder::decoderForHtml(bytes);
    if (html.isValid() && html.name() != QByteArrayView("UTF-8"))
        return html.decode(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    if ((languageId & 0x3ff) == 0x011) { // Japanese, whatever the country
        // Without ICU Qt has no CP932 decoder; UTF-8 with replacement characters then keeps at
        // least the ASCII parts readable.
        QStringDecoder japanese("windows-31j", QStringDecoder::Flag::Stateless);
        return japanese.isValid() ? japanese.decode(bytes) : text;
    }
    return QString::fromLatin1(bytes);
}

} // namespace morvane
