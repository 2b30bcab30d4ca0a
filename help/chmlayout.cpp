#include "help/chmlayout.h"

#include "help/chmlimits.h"
#include "help/lzxcheck.h"

#include <QtEndian>

using namespace Qt::StringLiterals;

namespace morvane::chm {

namespace {

constexpr quint64 kItsfV2Bytes = 0x58;
constexpr quint64 kItsfV3Bytes = 0x60;
constexpr quint64 kItspBytes = 0x54;
constexpr quint32 kListingHeaderBytes = 0x14;
constexpr quint32 kIndexHeaderBytes = 0x08;
constexpr quint64 kResetTableBytes = 0x28;
constexpr quint64 kControlDataMinBytes = 0x18;
constexpr quint64 kControlDataMaxBytes = 256; // chmlib reads it into a 256-byte stack buffer

const QByteArray kResetTableName = "::DataSpace/Storage/MSCompressed/Transform/"
                                   "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
const QByteArray kContentName = "::DataSpace/Storage/MSCompressed/Content";
const QByteArray kControlDataName = "::DataSpace/Storage/MSCompressed/ControlData";

QString notChm()
{
    return u"CHM 形式のファイルではありません。"_s;
}
QString damaged()
{
    return u"ファイルの構造が壊れています。"_s;
}
QString truncated()
{
    return u"ファイルが途中で切れています。"_s;
}

// The byte range [offset, offset + length) lies inside the file; no sum can wrap.
bool inFile(QByteArrayView file, quint64 offset, quint64 length)
{
    const auto size = static_cast<quint64>(file.size());
    return offset <= size && length <= size - offset;
}

quint32 u32At(QByteArrayView bytes, quint64 at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

quint64 u64At(QByteArrayView bytes, quint64 at)
{
    return qFromLittleEndian<quint64>(bytes.data() + at);
}

// chmlib's variable-length integer: seven bits a byte, most significant first, the high bit set
// on every byte but the last. Nine bytes already give 63 bits; longer runs are refused.
bool readEncoded(const char*& p, const char* end, quint64* value)
{
    quint64 accumulated = 0;
    for (int i = 0; i < 9; ++i) {
        if (p >= end)
            return false;
        const auto byte = static_cast<unsigned char>(*p++);
        accumulated = (accumulated << 7) | (byte & 0x7f);
        if (byte < 0x80) {
            *value = accumulated;
            return true;
        }
    }
    return false;
}

int asciiLower(int c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// strcasecmp as chmlib uses it, on names without NUL bytes: ASCII letters fold, other bytes
// compare as unsigned values.
int compareNoCase(QByteArrayView a, QByteArrayView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int ca = asciiLower(static_cast<unsigned char>(a[i]));
        const int cb = asciiLower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca - cb;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

class Directory {
public:
    QByteArrayView file;
    quint64 firstChunk = 0;
    quint32 chunkBytes = 0;
    quint32 chunkCount = 0;

    QByteArrayView chunk(quint32 index) const
    {
        return file.sliced(static_cast<qsizetype>(firstChunk + quint64(index) * chunkBytes),
                           chunkBytes);
    }

    bool isListing(quint32 index) const { return chunk(index).first(4) == "PMGL"; }
    bool isIndex(quint32 index) const { return chunk(index).first(4) == "PMGI"; }

    // Parses a listing chunk completely; entries may be null when only the check is wanted.
    bool parseListing(quint32 index, std::vector<Entry>* entries, qint32* next) const
    {
        const QByteArrayView c = chunk(index);
        if (c.first(4) != "PMGL")
            return false;
        const quint32 freeSpace = u32At(c, 4);
        if (freeSpace > chunkBytes - kListingHeaderBytes)
            return false;
        *next = static_cast<qint32>(u32At(c, 0x10));
        const char* p = c.data() + kListingHeaderBytes;
        const char* end = c.data() + (chunkBytes - freeSpace);
        while (p < end) {
            quint64 nameBytes = 0;
            if (!readEncoded(p, end, &nameBytes) || nameBytes == 0 || nameBytes > kMaxNameBytes ||
                nameBytes > quint64(end - p))
                return false;
            const QByteArrayView name(p, static_cast<qsizetype>(nameBytes));
            if (name.contains('\0'))
                return false;
            p += nameBytes;
            quint64 space = 0, start = 0, length = 0;
            if (!readEncoded(p, end, &space) || !readEncoded(p, end, &start) ||
                !readEncoded(p, end, &length) || space > 1)
                return false;
            if (entries)
                entries->push_back(
                    Entry{name.toByteArray(), static_cast<int>(space), start, length});
        }
        return true;
    }

    // Parses an index chunk; children receives each entry's chunk number, in order, and names
    // each entry's first name.
    bool parseIndex(quint32 index, std::vector<QByteArrayView>* names,
                    std::vector<quint32>* children) const
    {
        const QByteArrayView c = chunk(index);
        if (c.first(4) != "PMGI")
            return false;
        const quint32 freeSpace = u32At(c, 4);
        if (freeSpace > chunkBytes - kIndexHeaderBytes)
            return false;
        const char* p = c.data() + kIndexHeaderBytes;
        const char* end = c.data() + (chunkBytes - freeSpace);
        while (p < end) {
            quint64 nameBytes = 0;
            if (!readEncoded(p, end, &nameBytes) || nameBytes > kMaxNameBytes ||
                nameBytes > quint64(end - p))
                return false;
            const QByteArrayView name(p, static_cast<qsizetype>(nameBytes));
            if (name.contains('\0'))
                return false;
            p += nameBytes;
            quint64 child = 0;
            if (!readEncoded(p, end, &child) || child >= chunkCount)
                return false;
            names->push_back(name);
            children->push_back(static_cast<quint32>(child));
        }
        return true;
    }

    // Every chunk chm_resolve_object can reach from the root is well formed, and the index
    // chunks form a tree of bounded depth (no chunk is its own descendant).
    bool checkIndexTree(quint32 root) const
    {
        std::vector<quint8> state(chunkCount, 0); // 0 unseen, 1 on the current path, 2 checked
        return checkIndexNode(root, 0, state);
    }

    // chm_resolve_object's walk, step for step, on a tree checkIndexTree accepted.
    std::optional<Entry> resolve(quint32 root, QByteArrayView name) const
    {
        qint64 page = root;
        for (int step = 0; step <= kMaxIndexDepth + 1 && page != -1; ++step) {
            const auto current = static_cast<quint32>(page);
            if (isListing(current)) {
                std::vector<Entry> entries;
                qint32 next = -1;
                if (!parseListing(current, &entries, &next))
                    return std::nullopt;
                for (const Entry& entry : entries) {
                    if (compareNoCase(entry.name, name) == 0)
                        return entry;
                }
                return std::nullopt;
            }
            std::vector<QByteArrayView> names;
            std::vector<quint32> children;
            if (!parseIndex(current, &names, &children))
                return std::nullopt;
            page = -1;
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (compareNoCase(names[i], name) > 0)
                    break;
                page = children[i];
            }
        }
        return std::nullopt;
    }

private:
    bool checkIndexNode(quint32 page, int depth, std::vector<quint8>& state) const
    {
        if (depth > kMaxIndexDepth || state[page] == 1)
            return false;
        if (state[page] == 2)
            return true;
        state[page] = 1;
        bool ok = false;
        if (isListing(page)) {
            qint32 next = -1;
            ok = parseListing(page, nullptr, &next);
        } else {
            std::vector<QByteArrayView> names;
            std::vector<quint32> children;
            ok = parseIndex(page, &names, &children);
            for (std::size_t i = 0; ok && i < children.size(); ++i)
                ok = checkIndexNode(children[i], depth + 1, state);
        }
        state[page] = 2;
        return ok;
    }
};

// The bytes chm_retrieve_object returns for an uncompressed object's first length bytes, or
// nothing when it would return fewer.
std::optional<QByteArrayView> uncompressedBytes(QByteArrayView file, quint64 dataOffset,
                                                const Entry& entry, quint64 length)
{
    if (entry.space != 0 || entry.length < length || dataOffset > ~quint64(0) - entry.start ||
        !inFile(file, dataOffset + entry.start, length))
        return std::nullopt;
    return file.sliced(static_cast<qsizetype>(dataOffset + entry.start),
                       static_cast<qsizetype>(length));
}

// Mirrors chm_open's set-up of the compressed section and checks every value chmlib will
// divide by, allocate with or decode from. Returns false when the file must be refused;
// compression tells whether chmlib will decompress at all.
bool checkCompression(QByteArrayView file, const Directory& dir, quint32 root, quint64 dataOffset,
                      bool* compression, quint64* contentLength, QString* reason)
{
    *compression = false;
    *contentLength = 0;
    const auto resetTable = dir.resolve(root, kResetTableName);
    const auto content = dir.resolve(root, kContentName);
    const auto control = dir.resolve(root, kControlDataName);
    if (!resetTable || resetTable->space != 0 || !content || content->space != 0 || !control ||
        control->space != 0)
        return true; // chmlib leaves compression off; section 1 cannot be read

    const auto table = uncompressedBytes(file, dataOffset, *resetTable, kResetTableBytes);
    if (!table || u32At(*table, 0) != 2)
        return true; // chmlib leaves compression off and reads no control data

    // From here chmlib goes on to divide by the control data's values whatever they are.
    *reason = damaged();
    if (control->length > kControlDataMaxBytes || control->length < kControlDataMinBytes)
        return false;
    const auto controlBytes = uncompressedBytes(file, dataOffset, *control, control->length);
    if (!controlBytes || controlBytes->sliced(4, 4) != "LZXC")
        return false;
    quint32 resetInterval = u32At(*controlBytes, 0x0c);
    quint32 windowSize = u32At(*controlBytes, 0x10);
    const quint32 windowsPerReset = u32At(*controlBytes, 0x14);
    if (u32At(*controlBytes, 0x08) == 2) {
        resetInterval *= 0x8000u; // chmlib's unsigned 32-bit arithmetic, wrap included
        windowSize *= 0x8000u;
    }
    int windowBits = 0;
    while (windowBits < 32 && (quint64(1) << windowBits) < windowSize)
        ++windowBits;
    if (windowBits < 15 || windowBits > 21 || (quint64(1) << windowBits) != windowSize ||
        resetInterval == 0 || resetInterval % (windowSize / 2) != 0)
        return false;
    const quint32 framesPerReset = resetInterval / (windowSize / 2) * windowsPerReset;
    if (framesPerReset == 0)
        return false;

    const quint32 blockCount = u32At(*table, 0x04);
    const quint32 tableOffset = u32At(*table, 0x0c);
    const quint64 uncompressedLength = u64At(*table, 0x10);
    const quint64 compressedLength = u64At(*table, 0x18);
    const quint64 frameBytes = u64At(*table, 0x20);
    if (frameBytes != kFrameBytes)
        return false;
    if (uncompressedLength > kMaxContentBytes) {
        *reason = u"ファイルが大きすぎます。"_s;
        return false;
    }
    // Some compilers list one start per frame, others add the end of the last frame; chmlib
    // takes a frame's end from the next entry, or from the compressed length for the last.
    const quint64 frames = (uncompressedLength + kFrameBytes - 1) / kFrameBytes;
    if (blockCount != frames && blockCount != frames + 1)
        return false;
    const quint64 tableEnd = quint64(tableOffset) + quint64(blockCount) * 8;
    const auto starts = uncompressedBytes(file, dataOffset, *resetTable, tableEnd);
    if (!starts) {
        *reason = truncated();
        return false;
    }
    if (compressedLength > content->length ||
        !uncompressedBytes(file, dataOffset, *content, compressedLength)) {
        *reason = truncated();
        return false;
    }

    LzxSection section;
    section.compressed = *uncompressedBytes(file, dataOffset, *content, compressedLength);
    section.windowBits = windowBits;
    section.framesPerReset = framesPerReset;
    for (quint64 i = 0; i < frames; ++i) {
        const quint64 start = u64At(*starts, tableOffset + i * 8);
        const quint64 end =
            i + 1 < blockCount ? u64At(*starts, tableOffset + (i + 1) * 8) : compressedLength;
        // chmlib reads a frame into a buffer of kCompressedFrameAllocation bytes; its bit
        // reader looks a few bytes ahead of what it consumes.
        if (start > end || end > compressedLength || end - start > kCompressedFrameAllocation - 16)
            return false;
        section.frames.push_back({start, end});
    }
    if (!checkLzxSection(section, reason))
        return false;
    *compression = true;
    *contentLength = uncompressedLength;
    reason->clear();
    return true;
}

} // namespace

std::optional<Layout> readChmLayout(QByteArrayView file, QString* reason)
{
    if (file.size() > chm::kMaxFileBytes) {
        *reason = u"ファイルが大きすぎます。"_s;
        return std::nullopt;
    }
    // chmlib always reads the longer header first.
    if (file.size() < qsizetype(kItsfV3Bytes) || file.first(4) != "ITSF") {
        *reason = file.size() >= 4 && file.first(4) != "ITSF" ? notChm() : truncated();
        return std::nullopt;
    }
    const auto version = static_cast<qint32>(u32At(file, 4));
    const auto headerBytes = static_cast<qint32>(u32At(file, 8));
    const quint64 dirOffset = u64At(file, 0x48);
    const quint64 dirLength = u64At(file, 0x50);
    quint64 dataOffset = 0;
    if (version == 2 && headerBytes >= qint32(kItsfV2Bytes)) {
        dataOffset = dirOffset + dirLength;
    } else if (version == 3 && headerBytes >= qint32(kItsfV3Bytes)) {
        dataOffset = u64At(file, 0x58);
    } else {
        *reason = notChm();
        return std::nullopt;
    }

    *reason = damaged();
    if (!inFile(file, dirOffset, kItspBytes)) {
        *reason = truncated();
        return std::nullopt;
    }
    const QByteArrayView itsp = file.sliced(static_cast<qsizetype>(dirOffset), kItspBytes);
    if (itsp.first(4) != "ITSP" || u32At(itsp, 4) != 1 || u32At(itsp, 8) != kItspBytes)
        return std::nullopt;
    Directory dir;
    dir.file = file;
    dir.firstChunk = dirOffset + kItspBytes;
    dir.chunkBytes = u32At(itsp, 0x10);
    dir.chunkCount = u32At(itsp, 0x2c); // chmlib calls 0x28 "num_blocks"; it is always -1
    const auto indexRoot = static_cast<qint32>(u32At(itsp, 0x1c));
    const auto indexHead = static_cast<qint32>(u32At(itsp, 0x20));
    if (dir.chunkBytes < kMinChunkBytes || dir.chunkBytes > kMaxChunkBytes || dir.chunkCount == 0 ||
        dir.chunkCount > kMaxChunks)
        return std::nullopt;
    if (!inFile(file, dir.firstChunk, quint64(dir.chunkBytes) * dir.chunkCount)) {
        *reason = truncated();
        return std::nullopt;
    }
    const qint32 root = indexRoot <= -1 ? indexHead : indexRoot;
    if (indexHead < 0 || quint32(indexHead) >= dir.chunkCount || root < 0 ||
        quint32(root) >= dir.chunkCount || !dir.checkIndexTree(quint32(root)))
        return std::nullopt;

    Layout layout;
    layout.languageId = u32At(file, 0x14);
    // The listing chain, as chm_enumerate would follow it; each chunk once.
    std::vector<bool> seen(dir.chunkCount, false);
    qint32 page = indexHead;
    while (page != -1) {
        if (page < 0 || quint32(page) >= dir.chunkCount || seen[quint32(page)])
            return std::nullopt;
        seen[quint32(page)] = true;
        qint32 next = -1;
        if (!dir.parseListing(quint32(page), &layout.entries, &next))
            return std::nullopt;
        page = next;
    }

    // A file cut short shows first in objects that no longer fit.
    for (const Entry& entry : layout.entries) {
        if (entry.space == 0 && (dataOffset > ~quint64(0) - entry.start ||
                                 !inFile(file, dataOffset + entry.start, entry.length))) {
            *reason = truncated();
            return std::nullopt;
        }
    }
    quint64 contentLength = 0;
    if (!checkCompression(file, dir, quint32(root), dataOffset, &layout.compression, &contentLength,
                          reason))
        return std::nullopt;
    for (const Entry& entry : layout.entries) {
        if (entry.space == 1 && entry.length > 0 &&
            (!layout.compression || entry.start > contentLength ||
             entry.length > contentLength - entry.start)) {
            *reason = damaged();
            return std::nullopt;
        }
    }
    reason->clear();
    return layout;
}

} // namespace morvane::chm
