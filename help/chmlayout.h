#pragma once

// The container structure of a CHM file, read and checked by our own bounded parser before
// chmlib ever sees the file. chmlib trusts every offset, length and chunk pointer it reads: a
// directory chunk that points at itself makes it loop for ever, an entry that runs past its
// chunk makes it read past its buffer, and a crafted compressed stream makes its LZX decoder
// read outside its window. readChmLayout accepts a file only when every structure chmlib will
// walk is well formed, so that chmlib can then be used as it is.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace morvane::chm {

// One directory entry, as chmlib's chmUnitInfo describes it.
struct Entry {
    QByteArray name; // as stored: UTF-8, starting with "/" for normal files
    int space = 0;   // 0 uncompressed, 1 the LZX-compressed section
    quint64 start = 0;
    quint64 length = 0;
};

struct Layout {
    std::vector<Entry> entries; // in directory order
    quint32 languageId = 0;     // from the file header; #SYSTEM may say otherwise
    bool compression = false;   // whether chmlib can decompress section 1
};

// Checks the file's bytes; on failure returns nothing and sets reason (in Japanese, for the
// user). The checks mirror what chmlib's chm_open, chm_resolve_object and
// chm_retrieve_object do with these bytes, including a dry run of every compressed frame.
std::optional<Layout> readChmLayout(QByteArrayView file, QString* reason);

} // namespace morvane::chm
