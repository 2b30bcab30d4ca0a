#include "help/lzxcheck.h"

#include "help/chmlimits.h"

#include <array>

using namespace Qt::StringLiterals;

namespace morvane::chm {

namespace {

// Sizes of chmlib's code-length tables; each has 64 spare entries because a run of lengths may
// overrun the end of the range it fills.
constexpr int kChars = 256;
constexpr int kMainMax = kChars + 50 * 8;
constexpr int kLengthMax = 250;
constexpr int kPreMax = 20;
constexpr int kAlignedMax = 8;
constexpr int kSpare = 64;
constexpr int kSecondaryLengths = 249;
constexpr int kPrimaryLengths = 7;
constexpr int kMinMatch = 2;

enum BlockType { kInvalid = 0, kVerbatim = 1, kAligned = 2, kUncompressed = 3 };

constexpr std::array<quint8, 51> kExtraBits = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,
                                               5,  6,  6,  7,  7,  8,  8,  9,  9,  10, 10, 11, 11,
                                               12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 17, 17, 17,
                                               17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17};

constexpr std::array<quint32, 51> kPositionBase = {
    0,       1,       2,       3,       4,       6,       8,      12,     16,     24,      32,
    48,      64,      96,      128,     192,     256,     384,    512,    768,    1024,    1536,
    2048,    3072,    4096,    6144,    8192,    12288,   16384,  24576,  32768,  49152,   65536,
    98304,   131072,  196608,  262144,  393216,  524288,  655360, 786432, 917504, 1048576, 1179648,
    1310720, 1441792, 1572864, 1703936, 1835008, 1966080, 2097152};

// chmlib's bit reader: 16-bit little-endian words, most significant bit first, in a 32-bit
// buffer. Bytes past the frame are stale memory to chmlib; here they read as zero, and any
// attempt to consume them fails the check.
class Bits {
public:
    explicit Bits(QByteArrayView input)
        : m_input(input)
    {}

    void restart()
    {
        m_buffer = 0;
        m_left = 0;
    }

    void ensure(int n)
    {
        while (m_left < n) {
            m_buffer |= ((byteAt(m_pos + 1) << 8) | byteAt(m_pos)) << (32 - 16 - m_left);
            m_left += 16;
            m_pos += 2;
        }
    }

    quint32 peek(int n) const { return m_buffer >> (32 - n); }

    bool remove(int n)
    {
        m_buffer = n == 32 ? 0 : m_buffer << n;
        m_left -= n;
        return m_pos * 8 - m_left <= qint64(m_input.size()) * 8;
    }

    bool read(int n, quint32* value)
    {
        ensure(n);
        *value = peek(n);
        return remove(n);
    }

    quint32 u32At(qint64 i) const
    {
        return byteAt(i) | byteAt(i + 1) << 8 | byteAt(i + 2) << 16 | byteAt(i + 3) << 24;
    }

    qint64 pos() const { return m_pos; }
    void setPos(qint64 pos) { m_pos = pos; }
    int left() const { return m_left; }
    qint64 size() const { return m_input.size(); }

private:
    quint32 byteAt(qint64 i) const
    {
        return i >= 0 && i < m_input.size() ? static_cast<unsigned char>(m_input[i]) : 0u;
    }

    QByteArrayView m_input;
    quint32 m_buffer = 0;
    int m_left = 0;
    qint64 m_pos = 0;
};

// A canonical Huffman code as chmlib's make_decode_table builds it: accepted when the lengths
// 1 ... 16 fill the code space exactly, or when every length is zero (an empty tree).
class Tree {
public:
    bool build(const quint8* lengths, int symbols)
    {
        m_counts.fill(0);
        m_empty = true;
        quint32 space = 0;
        for (int s = 0; s < symbols; ++s) {
            if (lengths[s] != 0)
                m_empty = false;
            if (lengths[s] >= 1 && lengths[s] <= 16) {
                ++m_counts[lengths[s]];
                space += quint32(1) << (16 - lengths[s]);
            }
        }
        if (m_empty)
            return true;
        if (space != (quint32(1) << 16))
            return false;
        m_sorted.clear();
        for (int len = 1; len <= 16; ++len) {
            for (int s = 0; s < symbols; ++s) {
                if (lengths[s] == len)
                    m_sorted.push_back(s);
            }
        }
        return true;
    }

    // Decodes one symbol; -1 when the tree is empty or the bits run past the frame. chmlib
    // would decode symbol 0 from an empty tree without reading; no encoder does that.
    int decode(Bits& bits) const
    {
        if (m_empty)
            return -1;
        bits.ensure(16);
        quint32 first = 0;
        int index = 0;
        for (int len = 1; len <= 16; ++len) {
            const quint32 code = bits.peek(len);
            if (code - first < m_counts[len]) {
                const int symbol = m_sorted[index + int(code - first)];
                return bits.remove(len) ? symbol : -1;
            }
            index += m_counts[len];
            first = (first + m_counts[len]) << 1;
        }
        return -1;
    }

private:
    std::array<quint32, 17> m_counts{};
    std::vector<int> m_sorted;
    bool m_empty = true;
};

class Decoder {
public:
    explicit Decoder(int windowBits)
        : m_windowSize(quint32(1) << windowBits)
    {
        const int positionSlots = windowBits == 20 ? 42 : windowBits == 21 ? 50 : windowBits * 2;
        m_mainElements = kChars + positionSlots * 8;
    }

    void reset()
    {
        m_r0 = m_r1 = m_r2 = 1;
        m_headerRead = false;
        m_blockRemaining = 0;
        m_blockType = kInvalid;
        m_windowPosn = 0;
        m_mainLengths.fill(0);
        m_lengthLengths.fill(0);
        m_sinceReset = 0;
    }

    // One call of chmlib's LZXdecompress for a 32 KiB frame.
    bool frame(QByteArrayView input)
    {
        Bits bits(input);
        quint32 value = 0;
        if (!m_headerRead) {
            quint32 translated = 0;
            if (!bits.read(1, &translated))
                return false;
            if (translated && (!bits.read(16, &value) || !bits.read(16, &value)))
                return false;
            m_headerRead = true;
        }

        qint64 togo = kFrameBytes;
        while (togo > 0) {
            if (m_blockRemaining == 0 && !blockHeader(bits))
                return false;
            if (bits.pos() > bits.size() && (bits.pos() > bits.size() + 2 || bits.left() < 16))
                return false;
            qint64 run = 0;
            while ((run = m_blockRemaining) > 0 && togo > 0) {
                if (run > togo)
                    run = togo;
                togo -= run;
                m_blockRemaining -= quint32(run);
                m_windowPosn &= m_windowSize - 1;
                if (m_windowPosn + run > m_windowSize)
                    return false;
                if (m_blockType == kUncompressed) {
                    if (bits.pos() < 0 || bits.pos() + run > bits.size())
                        return false;
                    bits.setPos(bits.pos() + run);
                    m_windowPosn += quint32(run);
                    m_sinceReset += quint64(run);
                    continue;
                }
                while (run > 0) {
                    const int symbol = m_main.decode(bits);
                    if (symbol < 0)
                        return false;
                    if (symbol < kChars) {
                        ++m_windowPosn;
                        ++m_sinceReset;
                        --run;
                        continue;
                    }
                    int length = 0;
                    if (!match(bits, symbol - kChars, &length))
                        return false;
                    m_windowPosn += quint32(length);
                    m_sinceReset += quint64(length);
                    if (m_windowPosn > m_windowSize)
                        return false;
                    run -= length;
                }
            }
        }
        // chmlib copies the frame's output from just before the window position.
        const quint32 end = m_windowPosn ? m_windowPosn : m_windowSize;
        return end >= kFrameBytes;
    }

private:
    bool blockHeader(Bits& bits)
    {
        if (m_blockType == kUncompressed) {
            if (m_blockLength & 1)
                bits.setPos(bits.pos() + 1);
            bits.restart();
        }
        quint32 type = 0, high = 0, low = 0;
        if (!bits.read(3, &type) || !bits.read(16, &high) || !bits.read(8, &low))
            return false;
        m_blockType = int(type);
        m_blockRemaining = m_blockLength = (high << 8) | low;
        switch (m_blockType) {
        case kAligned:
            for (int i = 0; i < kAlignedMax; ++i) {
                quint32 len = 0;
                if (!bits.read(3, &len))
                    return false;
                m_alignedLengths[i] = quint8(len);
            }
            if (!m_aligned.build(m_alignedLengths.data(), kAlignedMax))
                return false;
            [[fallthrough]];
        case kVerbatim:
            return readLengths(bits, m_mainLengths.data(), 0, kChars) &&
                   readLengths(bits, m_mainLengths.data(), kChars, m_mainElements) &&
                   m_main.build(m_mainLengths.data(), kMainMax) &&
                   readLengths(bits, m_lengthLengths.data(), 0, kSecondaryLengths) &&
                   m_length.build(m_lengthLengths.data(), kLengthMax);
        case kUncompressed: {
            bits.ensure(16);
            if (bits.left() > 16)
                bits.setPos(bits.pos() - 2);
            // Three little-endian repeated offsets, read straight from the input.
            if (bits.pos() < 0 || bits.pos() + 12 > bits.size())
                return false;
            m_r0 = bits.u32At(bits.pos());
            m_r1 = bits.u32At(bits.pos() + 4);
            m_r2 = bits.u32At(bits.pos() + 8);
            bits.setPos(bits.pos() + 12);
            return true;
        }
        default:
            return false;
        }
    }

    bool readLengths(Bits& bits, quint8* lengths, int first, int last)
    {
        for (int i = 0; i < kPreMax; ++i) {
            quint32 len = 0;
            if (!bits.read(4, &len))
                return false;
            m_preLengths[i] = quint8(len);
        }
        if (!m_pre.build(m_preLengths.data(), kPreMax))
            return false;
        for (int x = first; x < last;) {
            int z = m_pre.decode(bits);
            if (z < 0)
                return false;
            quint32 count = 0;
            if (z == 17 || z == 18) {
                if (!bits.read(z == 17 ? 4 : 5, &count))
                    return false;
                count += z == 17 ? 4 : 20;
                while (count--)
                    lengths[x++] = 0;
            } else if (z == 19) {
                if (!bits.read(1, &count))
                    return false;
                count += 4;
                z = m_pre.decode(bits);
                if (z < 0)
                    return false;
                z = lengths[x] - z;
                if (z < 0)
                    z += 17;
                while (count--)
                    lengths[x++] = quint8(z);
            } else {
                z = lengths[x] - z;
                if (z < 0)
                    z += 17;
                lengths[x++] = quint8(z);
            }
        }
        return true;
    }

    // Decodes a match's length and offset and checks that chmlib's copy stays in its window
    // and refers only to output of this reset interval.
    bool match(Bits& bits, int element, int* length)
    {
        *length = element & kPrimaryLengths;
        if (*length == kPrimaryLengths) {
            const int footer = m_length.decode(bits);
            if (footer < 0)
                return false;
            *length += footer;
        }
        *length += kMinMatch;

        const int slot = element >> 3;
        quint64 offset = 0;
        if (slot > 2) {
            const int extra = kExtraBits[slot];
            quint32 verbatim = 0;
            if (m_blockType == kVerbatim) {
                if (slot == 3) {
                    offset = 1;
                } else {
                    if (!bits.read(extra, &verbatim))
                        return false;
                    offset = quint64(kPositionBase[slot]) - 2 + verbatim;
                }
            } else {
                offset = quint64(kPositionBase[slot]) - 2;
                if (extra >= 3) {
                    if (extra > 3) {
                        if (!bits.read(extra - 3, &verbatim))
                            return false;
                        offset += quint64(verbatim) << 3;
                    }
                    const int aligned = m_aligned.decode(bits);
                    if (aligned < 0)
                        return false;
                    offset += quint64(aligned);
                } else if (extra > 0) {
                    if (!bits.read(extra, &verbatim))
                        return false;
                    offset += verbatim;
                } else {
                    offset = 1;
                }
            }
            m_r2 = m_r1;
            m_r1 = m_r0;
            m_r0 = offset;
        } else if (slot == 0) {
            offset = m_r0;
        } else if (slot == 1) {
            offset = m_r1;
            m_r1 = m_r0;
            m_r0 = offset;
        } else {
            offset = m_r2;
            m_r2 = m_r0;
            m_r0 = offset;
        }
        return offset != 0 && offset <= m_windowSize && offset <= m_sinceReset;
    }

    quint32 m_windowSize = 0;
    int m_mainElements = 0;
    quint32 m_windowPosn = 0;
    quint64 m_r0 = 1, m_r1 = 1, m_r2 = 1;
    bool m_headerRead = false;
    int m_blockType = kInvalid;
    quint32 m_blockLength = 0;
    quint32 m_blockRemaining = 0;
    quint64 m_sinceReset = 0;
    std::array<quint8, kPreMax + kSpare> m_preLengths{};
    std::array<quint8, kMainMax + kSpare> m_mainLengths{};
    std::array<quint8, kLengthMax + kSpare> m_lengthLengths{};
    std::array<quint8, kAlignedMax + kSpare> m_alignedLengths{};
    Tree m_pre;
    Tree m_main;
    Tree m_length;
    Tree m_aligned;
};

} // namespace

bool checkLzxSection(const LzxSection& section, QString* reason)
{
    Decoder decoder(section.windowBits);
    for (std::size_t i = 0; i < section.frames.size(); ++i) {
        if (i % section.framesPerReset == 0)
            decoder.reset();
        const auto [start, end] = section.frames[i];
        if (!decoder.frame(section.compressed.sliced(qsizetype(start), qsizetype(end - start)))) {
            *reason = u"圧縮されたデータが壊れています。"_s;
            return false;
        }
    }
    return true;
}

} // namespace morvane::chm
