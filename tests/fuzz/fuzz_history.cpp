// Feeds arbitrary bytes to the history reader as a history file's content, appends to it in
// memory and on disk, and checks what the list and the file promise: one entry per line that has
// characters, lines
// that give back the file's bytes with their own line ends, and appends that keep every earlier
// line and add exactly one.

#include "store/datafiles.h"
#include "store/history.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

using morvane::DataFiles;
using morvane::History;

constexpr char kBom[] = "\xEF\xBB\xBF";

void check(bool holds, const char* promise)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

bool isValidUtf8(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// Takes the empty lines (line ends alone: CR LF, LF, or a lone CR at the very end) at pos.
void skipEmptyLines(const QByteArray& content, qsizetype& pos, QByteArray& out)
{
    for (;;) {
        const QByteArrayView rest = QByteArrayView(content).sliced(pos);
        const qsizetype n = rest.startsWith("\r\n")                 ? 2
                            : rest.startsWith("\n") || rest == "\r" ? 1
                                                                    : 0;
        if (n == 0)
            return;
        out += rest.first(n);
        pos += n;
    }
}

// The content rebuilt from the lines, each followed by the line end the content has after it:
// CR LF or LF, or for the last line also a lone CR or nothing, with the empty lines between
// them; nullopt when the lines do not fit the content.
std::optional<QByteArray> rebuild(const QByteArray& content, qsizetype from,
                                  const QStringList& lines)
{
    QByteArray out = content.left(from);
    qsizetype pos = from;
    skipEmptyLines(content, pos, out);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].toUtf8();
        if (!content.sliced(pos).startsWith(line))
            return std::nullopt;
        out += line;
        pos += line.size();
        const bool last = i + 1 == lines.size();
        for (const QByteArrayView end : {"\r\n", "\n", "\r"}) {
            if (content.sliced(pos).startsWith(end) && (end != "\r" || pos + 1 == content.size())) {
                out += end;
                pos += end.size();
                break;
            }
        }
        if (!last && !out.endsWith('\n'))
            return std::nullopt;
        skipEmptyLines(content, pos, out);
    }
    return pos == content.size() ? std::optional(out) : std::nullopt;
}

const QTemporaryDir& folder()
{
    static const QTemporaryDir dir;
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype from = content.startsWith(kBom) ? 3 : 0;
    const QByteArrayView body = QByteArrayView(content).sliced(from);

    History history(content);
    const QStringList lines = history.toStringList();

    const qsizetype lineFeeds = body.count('\n');
    qsizetype expected = 0;
    for (QByteArrayView piece : body.toByteArray().split('\n')) {
        if (piece.endsWith('\r'))
            piece.chop(1);
        expected += piece.isEmpty() ? 0 : 1;
    }
    check(lines.size() == expected, "one entry per line that has characters");
    for (const QString& line : lines)
        check(!line.contains(u'\n'), "no entry holds a line feed");

    // The decoder drops a byte-order mark at the start of a line (one left where two files were
    // joined): the mark is invisible and the file is never rewritten from the list, so such
    // content is left out of the byte-for-byte checks.
    const bool markStartsALine = body.startsWith(kBom) || body.contains("\n\xEF\xBB\xBF");
    if (isValidUtf8(body) && !markStartsALine) {
        const auto rebuilt = rebuild(content, from, lines);
        check(rebuilt && *rebuilt == content, "the lines and their line ends give the content");

        // Where every line ends with CR LF, as the program writes them, CR LF joins the lines.
        const bool crLfOnly = body.count("\r\n") == lineFeeds && !body.endsWith('\r') &&
                              !body.startsWith("\r\n") && !body.contains("\n\r\n");
        if (crLfOnly) {
            QByteArray joined = content.left(from) + lines.join(u"\r\n"_s).toUtf8();
            if (body.endsWith("\r\n"))
                joined += "\r\n";
            check(joined == content, "CR LF between the lines gives the content");
        }
    }

    // A line made from the content itself, then one as the program writes them.
    QString own = QString::fromUtf8(content.left(40));
    own.remove(u'\r').remove(u'\n');
    while (own.startsWith(QChar(0xFEFF))) // read back without it, as above
        own.remove(0, 1);
    const QStringList added{own, u"05/11  68.5Kg  24.1  9.6%"_s};
    QStringList entries = added; // an empty line is written but is no entry
    entries.removeAll(QString());

    for (const QString& line : added)
        history.append(line);
    const QStringList after = history.toStringList();
    check(after == lines + entries, "appending keeps every earlier line and adds one each");

    // The same on disk: the file only grows, and reads back as the list does.
    const DataFiles files{QDir(folder().path())};
    const QString path = files.path(morvane::kHistoryFileName);
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                  file.write(content) == content.size(),
              "the history file can be written");
    }
    for (const QString& line : added)
        check(!files.appendHistory(line), "the append succeeds");
    QFile file(path);
    check(file.open(QIODevice::ReadOnly), "the history file can be read");
    const QByteArray stored = file.readAll();
    check(stored.startsWith(content), "the file keeps its earlier bytes");
    check(History(stored).toStringList() == lines + entries,
          "the appended file reads as the list with the lines added");
    return 0;
}
