// Feeds arbitrary bytes to the help reader as a help file and reads everything it offers, the
// way the help window would: the #SYSTEM records, the contents page, and every object, with
// text decoded.

#include "help/chmarchive.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

void walk(const std::vector<morvane::chm::ContentsEntry>& entries,
          const morvane::ChmArchive& archive)
{
    for (const auto& entry : entries) {
        if (!entry.local.isEmpty())
            (void)archive.object(entry.local);
        walk(entry.children, archive);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    morvane::ChmArchive archive;
    if (!archive.openData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))))
        return 0;
    (void)archive.title();
    walk(archive.contents(), archive);
    for (const QString& path : archive.objectPaths()) {
        if (const auto bytes = archive.object(path))
            (void)archive.decodeText(*bytes);
    }
    return 0;
}
