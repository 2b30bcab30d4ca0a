#include "store/history.h"

#include <cstring>

namespace morvane {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

} // namespace

History::History(QByteArray content)
    : m_bytes(std::move(content))
{
    qsizetype start = m_bytes.startsWith(kBom) ? 3 : 0;
    const char* const data = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    // Lines written by the program are 25 to 30 bytes long.
    m_starts.reserve(std::size_t(n / 24) + 1);
    while (start < n) {
        m_starts.push_back(start);
        const auto* lf = static_cast<const char*>(std::memchr(data + start, '\n', n - start));
        start = lf ? lf - data + 1 : n;
    }
}

QString History::at(qsizetype i) const
{
    const qsizetype start = m_starts[std::size_t(i)];
    qsizetype end = i + 1 < size() ? m_starts[std::size_t(i) + 1] : m_bytes.size();
    const char* const data = m_bytes.constData();
    if (end > start && data[end - 1] == '\n')
        --end;
    // CR before the LF, or a lone CR at the very end of the file.
    if (end > start && data[end - 1] == '\r')
        --end;
    return QString::fromUtf8(data + start, end - start);
}

History::Span History::span(qsizetype i) const
{
    const qsizetype begin = m_starts[std::size_t(i)];
    return {begin, i + 1 < size() ? m_starts[std::size_t(i) + 1] : m_bytes.size()};
}

void History::append(const QString& line)
{
    // A last line without its line end gets one first, so that the new line stands alone. A
    // byte-order mark alone is no line.
    if (!m_bytes.isEmpty() && m_bytes != kBom && !m_bytes.endsWith('\n'))
        m_bytes += m_bytes.endsWith('\r') ? "\n" : "\r\n";
    m_starts.push_back(m_bytes.size());
    m_bytes += line.toUtf8();
    m_bytes += "\r\n";
}

void History::clear()
{
    m_bytes.clear();
    m_starts.clear();
}

QStringList History::toStringList() const
{
    QStringList lines;
    lines.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        lines.append(at(i));
    return lines;
}

} // namespace morvane
