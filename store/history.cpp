#include "store/history.h"

#include <cstring>

namespace morvane {

QByteArrayView lineEndBeforeAppend(QByteArrayView tail, qint64 size)
{
    if (size == 0 || (size == kUtf8Bom.size() && tail == kUtf8Bom) || tail.endsWith('\n'))
        return {};
    return tail.endsWith('\r') ? "\n" : "\r\n";
}

History::History(QByteArray content)
    : m_bytes(std::move(content))
{
    qsizetype start = m_bytes.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
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

void History::append(const QString& line)
{
    m_bytes.append(lineEndBeforeAppend(m_bytes.right(kUtf8Bom.size()), m_bytes.size()));
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
