#pragma once

// A dry run of chmlib's LZX decoder over a CHM's compressed section. It follows the decoder's
// state exactly (bit reader, Huffman tables, block headers, window position, repeated
// offsets) without producing output, and fails wherever chmlib would read outside its input
// buffer or its window, or would report an error and leave its state half-updated.

#include <QByteArrayView>
#include <QString>

#include <vector>

namespace morvane::chm {

struct LzxSection {
    struct Frame {
        quint64 start = 0; // offsets in compressed
        quint64 end = 0;
    };
    QByteArrayView compressed;  // the whole compressed section
    std::vector<Frame> frames;  // one per 32 KiB of output
    int windowBits = 15;        // 15 ... 21
    quint32 framesPerReset = 1; // chmlib resets the decoder at multiples of this
};

bool checkLzxSection(const LzxSection& section, QString* reason);

} // namespace morvane::chm
