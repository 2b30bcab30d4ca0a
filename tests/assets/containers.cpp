#include "tests/assets/containers.h"

#include <QtEndian>

using namespace Qt::StringLiterals;

namespace morvane::containers {

namespace {

quint16 u16(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

quint32 u32(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

quint8 u8(const QByteArray& data, qsizetype at)
{
    return static_cast<quint8>(data.at(at));
}

} // namespace

IcoFile readIco(const QByteArray& data)
{
    IcoFile file;
    if (data.size() < 6 || u16(data, 0) != 0) {
        file.error = u"no icon directory"_s;
        return file;
    }
    file.type = u16(data, 2);
    const int count = u16(data, 4);
    if (data.size() < 6 + 16 * count) {
        file.error = u"directory cut short"_s;
        return file;
    }
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        IcoImage image;
        // A 0 in the one-byte width or height stands for 256.
        image.entryWidth = u8(data, entry) ? u8(data, entry) : 256;
        image.entryHeight = u8(data, entry + 1) ? u8(data, entry + 1) : 256;
        image.entryColourCount = u8(data, entry + 2);
        image.entryPlanes = u16(data, entry + 4);
        image.entryBitCount = u16(data, entry + 6);
        const quint32 bytes = u32(data, entry + 8);
        const quint32 offset = u32(data, entry + 12);
        if (offset + quint64(bytes) > quint64(data.size()) || bytes < 40) {
            file.error = u"image %1 lies outside the file"_s.arg(i);
            return file;
        }
        image.headerSize = u32(data, offset);
        image.width = static_cast<qint32>(u32(data, offset + 4));
        image.height = static_cast<qint32>(u32(data, offset + 8));
        image.planes = u16(data, offset + 12);
        image.bitCount = u16(data, offset + 14);
        image.compression = u32(data, offset + 16);

        if (image.bitCount == 4 && image.width > 0 && image.height > 0) {
            const int w = image.width;
            const int h = image.height / 2;
            const qsizetype colourStride = (w * 4 + 31) / 32 * 4;
            const qsizetype maskStride = (w + 31) / 32 * 4;
            const qsizetype paletteAt = offset + image.headerSize;
            const qsizetype colourAt = paletteAt + 16 * 4;
            const qsizetype maskAt = colourAt + colourStride * h;
            if (maskAt + maskStride * h > qsizetype(offset) + qsizetype(bytes)) {
                file.error = u"image %1 is shorter than its bitmaps"_s.arg(i);
                return file;
            }
            for (int c = 0; c < 16; ++c) {
                const qsizetype at = paletteAt + 4 * c; // blue, green, red, reserved
                image.palette.append(qRgb(u8(data, at + 2), u8(data, at + 1), u8(data, at)));
            }
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const quint8 maskByte = u8(data, maskAt + y * maskStride + x / 8);
                    if (!(maskByte & (0x80 >> (x % 8))))
                        continue;
                    ++image.maskedPixels;
                    const quint8 pair = u8(data, colourAt + y * colourStride + x / 2);
                    const int index = x % 2 ? pair & 0x0f : pair >> 4;
                    if (index != 0)
                        ++image.maskedNonBlackPixels;
                }
            }
        }
        file.images.append(image);
    }
    return file;
}

GifLayout readGif(const QByteArray& data)
{
    GifLayout gif;
    if (data.size() < 13) {
        gif.error = u"no screen descriptor"_s;
        return gif;
    }
    gif.signature = data.left(6);
    gif.width = u16(data, 6);
    gif.height = u16(data, 8);
    const quint8 screenFlags = u8(data, 10);
    gif.globalTable = screenFlags & 0x80;
    gif.globalTableSize = gif.globalTable ? 2 << (screenFlags & 0x07) : 0;
    qsizetype at = 13 + 3 * gif.globalTableSize;

    // Skips a chain of data sub-blocks; false when the chain runs past the end.
    const auto skipSubBlocks = [&data](qsizetype& pos) {
        while (pos < data.size()) {
            const quint8 length = u8(data, pos);
            pos += 1 + length;
            if (length == 0)
                return pos <= data.size();
        }
        return false;
    };

    while (at < data.size()) {
        const quint8 introducer = u8(data, at);
        if (introducer == 0x3b)
            return gif;
        if (introducer == 0x21) {
            if (at + 2 > data.size())
                break;
            const quint8 label = u8(data, at + 1);
            if (label == 0xf9) {
                if (at + 8 > data.size() || u8(data, at + 2) != 4)
                    break;
                ++gif.controlBlocks;
                gif.transparencyFlag = u8(data, at + 3) & 0x01;
                gif.transparentIndex = gif.transparencyFlag ? u8(data, at + 6) : -1;
            }
            at += 2;
            if (!skipSubBlocks(at))
                break;
        } else if (introducer == 0x2c) {
            if (at + 11 > data.size())
                break;
            ++gif.images;
            const quint8 imageFlags = u8(data, at + 9);
            gif.interlaced = gif.interlaced || (imageFlags & 0x40);
            gif.localTable = gif.localTable || (imageFlags & 0x80);
            at += 10;
            if (imageFlags & 0x80)
                at += 3 * (2 << (imageFlags & 0x07));
            at += 1; // LZW minimum code size
            if (!skipSubBlocks(at))
                break;
        } else {
            gif.error =
                u"unknown block 0x%1 at byte %2"_s.arg(introducer, 2, 16, QChar(u'0')).arg(at);
            return gif;
        }
    }
    gif.error = u"no trailer"_s;
    return gif;
}

} // namespace morvane::containers
