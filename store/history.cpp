#include "store/history.h"

#include "store/fileio.h"

#include <cstring>

namespace morvane {

History::History(QByteArray content)
    : m_bytes(std::move(content))
{
    m_first = m_bytes.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
    for (qsizetype p = nextEntry(m_first); p < m_bytes.size(); p = nextEntry(p)) {
        if (m_count % kIndexStride == 0)
            m_index.push_back(p);
        ++m_count;
        p = lineFrom(p).next;
    }
}

History::Line History::lineFrom(qsizetype start) const
{
    const char* const data = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    const auto* lf = static_cast<const char*>(std::memchr(data + start, '\n', n - start));
    Line line;
    line.next = lf ? lf - data + 1 : n;
    line.end = lf ? lf - data : n;
    // CR before the LF, or a lone CR at the very end of the file; a CR inside a line stays.
    if (line.end > start && data[line.end - 1] == '\r')
        --line.end;
    return line;
}

qsizetype History::nextEntry(qsizetype p) const
{
    const char* const data = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    // Skips empty lines: LF, CR LF, and a lone CR at the very end.
    while (p < n) {
        if (data[p] == '\n')
            p += 1;
        else if (data[p] == '\r' && (p + 1 == n || data[p + 1] == '\n'))
            p += p + 1 == n ? 1 : 2;
        else
            break;
    }
    return p;
}

qsizetype History::startOf(qsizetype i) const
{
    qsizetype p = m_index[std::size_t(i / kIndexStride)];
    for (qsizetype k = i % kIndexStride; k > 0; --k)
        p = nextEntry(lineFrom(p).next);
    return p;
}

QByteArrayView History::lineBytes(qsizetype i) const
{
    const qsizetype start = startOf(i);
    return QByteArrayView(m_bytes.constData() + start, lineFrom(start).end - start);
}

QString History::at(qsizetype i) const
{
    return QString::fromUtf8(lineBytes(i));
}

History::Span History::span(qsizetype i) const
{
    const qsizetype start = startOf(i);
    return {start, lineFrom(start).next};
}

void History::append(const QString& line)
{
    // A last line without its line end gets one first, so that the new line stands alone.
    m_bytes += lineEndBeforeAppend(m_bytes);
    const qsizetype start = m_bytes.size();
    m_bytes += line.toUtf8();
    m_bytes += "\r\n";
    if (line.isEmpty())
        return;
    if (m_count % kIndexStride == 0)
        m_index.push_back(start);
    ++m_count;
}

void History::clear()
{
    m_bytes.clear();
    m_first = 0;
    m_count = 0;
    m_index.clear();
}

QStringList History::toStringList() const
{
    QStringList lines;
    lines.reserve(size());
    forEachLine([&](QByteArrayView line) { lines.append(QString::fromUtf8(line)); });
    return lines;
}

Trend readTrend(const History& history, const QDate& today)
{
    TrendReader reader;
    reader.reserve(history.size());
    history.forEachLine([&](QByteArrayView line) { reader.add(parseHistoryLine(line)); });
    return std::move(reader).finish(today);
}

} // namespace morvane
