#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QString>

// Readers for the structure of .ico and .gif files, byte by byte, for the facts Qt's image
// readers do not report: bit depths, palettes, masks, interlacing, transparency blocks.
namespace morvane::containers {

struct IcoImage {
    // From the directory entry.
    int entryWidth = 0;
    int entryHeight = 0;
    int entryColourCount = 0;
    int entryPlanes = 0;
    int entryBitCount = 0;
    // From the image's BITMAPINFOHEADER.
    quint32 headerSize = 0;
    qint32 width = 0;
    qint32 height = 0; // twice the picture's height: colour bitmap and mask
    int planes = 0;
    int bitCount = 0;
    quint32 compression = 0;
    QList<QRgb> palette;          // 16 entries, alpha forced to opaque
    int maskedPixels = 0;         // pixels whose AND-mask bit is set
    int maskedNonBlackPixels = 0; // of those, pixels whose colour index is not 0
};

struct IcoFile {
    QString error; // empty when the file could be read
    int type = 0;
    QList<IcoImage> images;
};

// Reads the directory and every 4-bit image of an .ico file.
IcoFile readIco(const QByteArray& data);

struct GifLayout {
    QString error; // empty when the file could be read to its trailer
    QByteArray signature;
    int width = 0;
    int height = 0;
    bool globalTable = false;
    int globalTableSize = 0;
    int images = 0;
    int controlBlocks = 0;
    bool transparencyFlag = false;
    int transparentIndex = -1;
    bool interlaced = false;
    bool localTable = false;
};

// Walks the blocks of a GIF file up to its trailer.
GifLayout readGif(const QByteArray& data);

} // namespace morvane::containers
