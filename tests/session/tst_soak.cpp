// A long session on real files: ten thousand weight entries and a thousand height entries, with
// refused and cancelled answers among them, five thousand meter moves (assignments and thumb
// drags) and ten confirmed clears, in an order drawn from a fixed seed. Every step is checked
// as it happens, and at the end the files, the list and a freshly started session must agree.

#include "support.h"

#include "measure/arithmetic.h"
#include "measure/goal.h"

#include <QTest>

#include <cstdint>
#include <random>
#include <vector>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

constexpr int kWeightEntries = 10'000;
constexpr int kHeightEntries = 1'000;
constexpr int kMeterMoves = 5'000;
constexpr int kClears = 10;

enum class Step { Weight, Height, Move, Clear };

// The generator's own output only, so that the run is the same with every standard library.
class Draw {
public:
    explicit Draw(std::uint32_t seed)
        : m_engine(seed)
    {}
    int below(int n) { return int(m_engine() % std::uint32_t(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }

private:
    std::mt19937 m_engine;
};

// The steps in a shuffled order, with the clears spread out: one in each eleventh of the run,
// so that many entries follow the last one.
std::vector<Step> schedule(Draw& draw)
{
    std::vector<Step> steps;
    steps.insert(steps.end(), kWeightEntries, Step::Weight);
    steps.insert(steps.end(), kHeightEntries, Step::Height);
    steps.insert(steps.end(), kMeterMoves, Step::Move);
    for (std::size_t i = steps.size() - 1; i > 0; --i)
        std::swap(steps[i], steps[std::size_t(draw.below(int(i + 1)))]);
    const int stride = int(steps.size()) / (kClears + 1);
    for (int k = kClears; k >= 1; --k) {
        const int at = k * stride + draw.between(-stride / 4, stride / 4);
        steps.insert(steps.begin() + at, Step::Clear);
    }
    return steps;
}

// A value in tenths or thousandths as the decimal text a number record holds: no trailing
// zeros, no trailing point.
QString decimalText(int units, int scale)
{
    QString text = QString::number(units / scale);
    QString fraction = QString::number(units % scale).rightJustified(scale == 10 ? 1 : 3, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    return fraction.isEmpty() ? text : text + u'.' + fraction;
}

// The forms a user types a value in: plain, with a unit after it, with blanks around it, or
// with the full-width characters of a Japanese input method.
QString typed(const QString& plain, const QString& unit, int form)
{
    switch (form) {
    case 0:
        return plain + unit;
    case 1: {
        QString wide;
        for (const QChar c : plain)
            wide += c == u'.' ? QChar(u'．') : QChar(char16_t(u'０' + (c.unicode() - u'0')));
        return wide;
    }
    case 2:
        return u" "_s + plain + u" "_s;
    default:
        return plain;
    }
}

} // namespace

class tst_Soak : public QObject {
    Q_OBJECT

private slots:
    void longSession();
};

void tst_Soak::longSession()
{
    SessionFixture f;
    QVERIFY(f.start(dailyHistory(2)));

    QString heightRecord = u"1.685"_s;
    QString weightRecord = u"68.5"_s;
    QStringList lines = f.lines();
    int warnings = 0;
    int inputBoxes = 0;
    int questions = 0; // about a weight far from the last one
    int clears = 0;
    int confirms = 0;

    Draw draw(20260511);
    const std::vector<Step> steps = schedule(draw);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const QByteArray where = "step " + QByteArray::number(qulonglong(i));
        const qsizetype rowsBefore = f.lines().size();
        const qsizetype messagesBefore = f.dialogs.messages.size();
        const int readingsBefore = f.readings;

        switch (steps[i]) {
        case Step::Weight: {
            // About one answer in thirty is refused and one in a hundred cancelled or empty.
            static const QStringList refused{u"abc"_s,   u"68,5"_s,   u"0"_s,  u"-60"_s,
                                             u"1e999"_s, u"1000.5"_s, u"   "_s};
            const int kind = draw.below(100);
            const int tenths = draw.between(300, 1500);
            const QString record = decimalText(tenths, 10);
            QString answer = typed(record, u"kg"_s, draw.below(20));
            if (kind < 3)
                answer = refused[draw.below(int(refused.size()))];
            if (kind == 3)
                answer = QString();
            // A new day now and then, so that the dates run over the turn of a year.
            if (draw.below(8) == 0)
                f.clock.date = f.clock.date.addDays(1);

            f.dialogs.answers = {kind == 4 ? std::optional<QString>() : answer};
            // A weight far from the last one entered (not the one the meter shows) is asked
            // about first; the answer is OK.
            const bool asks = kind > 4 && isLargeChange(static_cast<float>(weightRecord.toDouble()),
                                                        static_cast<float>(tenths / 10.0));
            f.dialogs.confirmations = asks ? QList<bool>{true} : QList<bool>{};
            f.entries().enter(Entry::Weight);
            ++inputBoxes;
            questions += asks ? 1 : 0;
            QVERIFY2(f.dialogs.allAnswered(), where);

            const bool accepted = kind > 4;
            warnings += kind < 3 ? 1 : 0;
            QVERIFY2(f.dialogs.messages.size() == messagesBefore + (kind < 3 ? 1 : 0), where);
            QVERIFY2(f.readings == readingsBefore + (accepted ? 1 : 0), where);
            QVERIFY2(f.lines().size() == rowsBefore + (accepted ? 1 : 0), where);
            if (accepted) {
                weightRecord = record;
                QCOMPARE(f.measurement().weight, std::optional(float(tenths / 10.0)));
                const QString line = f.lines().last();
                const QString prefix = f.clock.date.toString(u"MM/dd"_s) + u"  "_s +
                                       QString::number(tenths / 10) + u'.' +
                                       QString::number(tenths % 10) + u"Kg  "_s;
                QVERIFY2(line.startsWith(prefix), qPrintable(line + u" / "_s + prefix));
                lines.append(line);
            }
            break;
        }
        case Step::Height: {
            static const QStringList refused{u"170"_s, u"0.29"_s,  u"3.01"_s,
                                             u"abc"_s, u"1,685"_s, u"0"_s};
            const bool refuse = draw.below(30) == 0;
            const int thousandths = draw.between(1400, 2000);
            const QString record = decimalText(thousandths, 1000);
            const QString answer = refuse ? refused[draw.below(int(refused.size()))]
                                          : typed(record, u"m"_s, draw.below(20));

            f.dialogs.answers = {answer};
            f.entries().enter(Entry::Height);
            ++inputBoxes;
            QVERIFY2(f.dialogs.allAnswered(), where);
            QVERIFY2(f.lines().size() == rowsBefore, where);
            warnings += refuse ? 1 : 0;
            QVERIFY2(f.dialogs.messages.size() == messagesBefore + (refuse ? 1 : 0), where);
            QVERIFY2(f.readings == readingsBefore + (refuse ? 0 : 1), where);
            if (!refuse) {
                heightRecord = record;
                QCOMPARE(f.measurement().height, std::optional(float(thousandths / 1000.0)));
            }
            break;
        }
        case Step::Move: {
            // An assignment or a thumb drag: the weight follows the meter, nothing is stored.
            for (int moves = draw.between(1, 6); moves > 0; --moves)
                f.moveMeter(qint16(draw.between(kMeterMin, kMeterMax)));
            QVERIFY2(f.lines().size() == rowsBefore, where);
            break;
        }
        case Step::Clear: {
            // Before each clear the list and the file hold every line added since the last one.
            QCOMPARE(f.lines(), lines);
            QCOMPARE(f.read(kHistoryFileName), (lines.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
            // From the second clear on, the older backup is discarded only after a question.
            const bool replacesBackup = f.exists(kHistoryBackupFileName) && !lines.isEmpty();
            f.dialogs.confirmations = replacesBackup ? QList<bool>{true, true} : QList<bool>{true};
            confirms += replacesBackup ? 2 : 1;
            f.editor().clearHistory();
            ++clears;
            QVERIFY2(f.dialogs.allAnswered(), where);
            QVERIFY2(f.lines().isEmpty(), where);
            QCOMPARE(f.read(kHistoryFileName), QByteArray());
            lines.clear();
            break;
        }
        }
        // Nothing but an accepted entry writes a number file.
        QVERIFY2(f.read(kWeightFileName) == weightRecord.toUtf8() + "\r\n", where);
        QVERIFY2(f.read(kHeightFileName) == heightRecord.toUtf8() + "\r\n", where);
    }

    qInfo("%d steps: %d input boxes, %d answers refused, %d meter readings, %d lines after the "
          "last clear",
          int(steps.size()), inputBoxes, warnings, f.readings, int(lines.size()));
    QCOMPARE(clears, kClears);
    QVERIFY(!lines.isEmpty());
    QCOMPARE(f.lines(), lines);
    QCOMPARE(f.read(kHistoryFileName), (lines.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());

    // Every dialog was answered, and the only messages were the warnings for refused answers.
    QCOMPARE(f.dialogs.inputs.size(), inputBoxes);
    QCOMPARE(f.dialogs.confirms.size(), confirms + questions);
    QCOMPARE(f.dialogs.messages.size(), warnings);
    for (const ScriptedDialogs::Message& m : std::as_const(f.dialogs.messages))
        QCOMPARE(m.severity, Dialogs::Severity::Warning);

    // A session started afresh on the same folder shows the same.
    SessionFixture again;
    QVERIFY(again.load(f.files()));
    QCOMPARE(again.lines(), lines);
    QCOMPARE(again.measurement().height, std::optional(heightRecord.toFloat()));
    QCOMPARE(again.measurement().weight, std::optional(weightRecord.toFloat()));
    QVERIFY(again.dialogs.messages.isEmpty());
}

QTEST_GUILESS_MAIN(tst_Soak)
#include "tst_soak.moc"
