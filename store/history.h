#pragma once

// The history's lines as the file holds them: its bytes and where its lines start. A long
// history costs little more than its file's size: reading it is one scan for line ends, only
// every 32nd line's start is kept (a line is found from the nearest kept start), and a line
// becomes a QString only when it is asked for (the list shows a screenful at a time).

#include "measure/trend.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

namespace morvane {

class History {
public:
    History() = default;

    // Splits a history file's content: one line per CR LF or LF; a last line without a line end
    // still counts; a lone CR at the very end is half a line end; a UTF-8 byte-order mark at the
    // start is skipped. A line with no characters is no entry (the file keeps its bytes): the
    // program never writes one, and a file of nothing but line ends would otherwise fill the
    // list with millions of blank rows. Commas and quotes are ordinary characters.
    explicit History(QByteArray content);

    qsizetype size() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }

    // Line i (0 <= i < size()) without its line end, decoded as UTF-8.
    QString at(qsizetype i) const;
    QString last() const { return at(size() - 1); }
    // The same line's bytes, valid until the history changes.
    QByteArrayView lineBytes(qsizetype i) const;

    // Calls f(QByteArrayView) with every line's bytes in order: a pass over a long history
    // without finding each line afresh.
    template <typename F> void forEachLine(F&& f) const
    {
        for (qsizetype p = nextEntry(m_first); p < m_bytes.size(); p = nextEntry(p)) {
            const Line line = lineFrom(p);
            f(QByteArrayView(m_bytes.constData() + p, line.end - p));
            p = line.next;
        }
    }

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
    static constexpr qsizetype kIndexStride = 32;

    struct Line {
        qsizetype end = 0;  // one past its last character, before the line end
        qsizetype next = 0; // where the next line starts
    };
    Line lineFrom(qsizetype start) const;
    // The start of the first line at or after position p that has characters.
    qsizetype nextEntry(qsizetype p) const;
    qsizetype startOf(qsizetype i) const;

    QByteArray m_bytes;
    qsizetype m_first = 0;          // after a byte-order mark
    qsizetype m_count = 0;          // entries
    std::vector<qsizetype> m_index; // start of entry k * kIndexStride
};

// The history's dated entries, each line read as a HistoryEntry (lines that do not read as one
// are counted as skipped), without making a string of every line first.
//
// Lines carry only the month and the day, so each is given its year from the order of the
// lines. The newest line is the last one: it is in today's year, or in last year if its
// month/day is later than today's. Walking back from it, the year steps back by one each time
// an older line's month/day is later than the month/day of the line after it: dates only ever
// go forward in time through the file, so a date going "backward" on the calendar means a new
// year began in between. Equal dates stay in the same year. Skipped lines do not take part in
// the walk; a 02/29 that lands on a common year does, and is skipped only afterwards. The
// entries' dates therefore never decrease.
Trend readTrend(const History& history, const QDate& today);

} // namespace morvane
