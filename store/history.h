#pragma once

// The history's lines as the file holds them: its bytes and where each line starts. A long
// history costs little more than its file's size, reading it is one scan for line ends, and a
// line becomes a QString only when it is asked for (the list shows a screenful at a time).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

namespace morvane {

// Some editors put a UTF-8 byte order mark in front of a text file; it belongs to no record.
inline constexpr QByteArrayView kUtf8Bom = "\xEF\xBB\xBF";

// What must precede a line appended to content of `size` bytes ending in `tail` (its last
// three bytes, or all of shorter content) so that the line stands alone: nothing when the
// content is empty, only a byte order mark or ends with a line end; LF when it ends with half of
// one (CR); CR LF otherwise.
QByteArrayView lineEndBeforeAppend(QByteArrayView tail, qint64 size);

class History {
public:
    History() = default;

    // Splits a history file's content: one line per CR LF or LF; a last line without a line end
    // still counts; no empty line after the final line end; a lone CR at the very end is half a
    // line end; a UTF-8 byte-order mark at the start is skipped. Commas and quotes are ordinary
    // characters.
    explicit History(QByteArray content);

    qsizetype size() const { return qsizetype(m_starts.size()); }
    bool isEmpty() const { return m_starts.empty(); }

    // Line i (0 <= i < size()) without its line end, decoded as UTF-8.
    QString at(qsizetype i) const;
    QString last() const { return at(size() - 1); }

    // Adds a line (holding no line end) at the end.
    void append(const QString& line);
    void clear();

    QStringList toStringList() const;

    friend bool operator==(const History& a, const History& b)
    {
        return a.toStringList() == b.toStringList();
    }

private:
    QByteArray m_bytes;
    std::vector<qsizetype> m_starts; // line i runs from m_starts[i] to the next start, less its
                                     // line end
};

} // namespace morvane
