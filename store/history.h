#pragma once

// The history's lines as the file holds them: its bytes and where each line starts. A long
// history costs little more than its file's size, reading it is one scan for line ends, and a
// line becomes a QString only when it is asked for (the list shows a screenful at a time).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace morvane {

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

    // The file's bytes as read or appended to, and where line i lies in them: from its first
    // byte up to and including its line end (or the end of the file, for a last line without
    // one). Taking out those bytes removes the line and nothing else.
    const QByteArray& bytes() const { return m_bytes; }
    struct Span {
        qsizetype begin = 0;
        qsizetype end = 0;
    };
    Span span(qsizetype i) const;

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
