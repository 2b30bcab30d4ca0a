// The weight, height and goal entries and their guards (the question before a weight far from
// the stored one among them), through scripted dialogs on real files with the date fixed: what
// each writes, where it moves the meter and what it tells.

#include "support.h"

#include "measure/numbertext.h"

#include <QTest>

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

using FileMap = QMap<QString, QByteArray>; // a null value: no such file
const QByteArray kFolder = "<folder>";     // a folder of that name, as snapshot() tells it
const QByteArray kTwoLines = dailyHistory(2);

// The input box of each kind, in the order of Entry: the prompt ends with the example, which
// every warning about what was typed repeats.
struct Box {
    QString prompt, example, title;
};
const Box kBoxes[] = {
    {u"身長をﾒｰﾄﾙ単位で入力して下さい"_s, u"     例)  168.5cm →　1.685"_s, u"身長登録"_s},
    {u"体重をKg単位で入力して下さい"_s, u"     例)  68.5Kg →　68.5"_s, u"体重入力"_s},
    {u"目標体重をKg単位で入力して下さい"_s, u"     例)  62.5Kg →　62.5"_s, u"目標体重の設定"_s},
};

void apply(const SessionFixture& f, const FileMap& files)
{
    for (auto it = files.begin(); it != files.end(); ++it) {
        QFile::remove(f.path(it.key()));
        if (it.value() == kFolder)
            QDir(f.dir.path()).mkdir(it.key());
        else if (!it.value().isNull())
            f.write(it.key(), it.value());
    }
}

// A weight recorded: its file and the history with its line.
FileMap weighed(const QByteArray& record, const QString& line)
{
    return {{kWeightFileName, record + "\r\n"},
            {kHistoryFileName, kTwoLines + line.toUtf8() + "\r\n"}};
}

} // namespace

Q_DECLARE_METATYPE(morvane::Entry)

class tst_EntryFlow : public QObject {
    Q_OBJECT

private slots:
    void entry_data();
    void entry();
};

void tst_EntryFlow::entry_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<FileMap>("atStart");   // changed from 1.685 m, 68.5 kg and two lines
    QTest::addColumn<FileMap>("meanwhile"); // changed by another program after start-up
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QList<bool>>("confirmations");
    QTest::addColumn<FileMap>("changes"); // the files the entry writes or removes
    QTest::addColumn<int>("meter");       // where it moves the meter; -1: it stays
    QTest::addColumn<QString>("weight");  // the session's, afterwards
    QTest::addColumn<QString>("says");    // a part of the one message; a file's name in an error
    auto row = [](const char* name, Entry entry, const Answers& answers,
                  const QList<bool>& confirmations, const FileMap& changes, int meter = -1,
                  const QString& weight = u"68.5"_s, const QString& says = QString(),
                  const FileMap& atStart = {}, const FileMap& meanwhile = {}) {
        QTest::newRow(name) << entry << atStart << meanwhile << answers << confirmations << changes
                            << meter << weight << says;
    };
    const Entry height = Entry::Height, weight = Entry::Weight, goal = Entry::Goal;
    const QString usual = u"05/11  68.5Kg  24.1  9.6%"_s;
    const QByteArray none;

    // A weight more than 10 % away from the stored 68.5 kg is asked about first.
    row("68.5", weight, {u"68.5"_s}, {}, weighed("68.5", usual), 241);
    row("60, asked", weight, {u"60"_s}, {true}, weighed("60", u"05/11  60.0Kg  21.1  -4.0%"_s), 211,
        u"60.0"_s);
    row("unit after the number", weight, {u"68.5Kg"_s}, {}, weighed("68.5", usual), 241);
    row("BMI 35 recorded, meter stops at 316", weight, {u"99.4"_s}, {true},
        weighed("99.4", u"05/11  99.4Kg  35.0  59.0%"_s), 316, u"99.4"_s);
    row("full-width digits", weight, {u"６８．５"_s}, {}, weighed("68.5", usual), 241);
    row("within 10 %: not asked", weight, {u"75"_s}, {},
        weighed("75", u"05/11  75.0Kg  26.4  20.0%"_s), 264, u"75.0"_s);

    // The meter re-derives the weight from its rounded position, or from its end.
    row("height: the stored value again, spelt otherwise", height, {u"1.685"_s}, {},
        {{kHeightFileName, "1.685\r\n"}}, 241, u"68.4"_s, {}, {{kHeightFileName, "1.6850\r\n"}});
    row("height: short, BMI above 31.6", height, {u"1.2"_s}, {}, {{kHeightFileName, "1.2\r\n"}},
        316, u"45.5"_s);
    row("height: tall, BMI below 15.4", height, {u"2.4"_s}, {}, {{kHeightFileName, "2.4\r\n"}}, 154,
        u"88.7"_s);
    // A first run: nothing is written until a value is entered.
    const FileMap nothing{
        {kHeightFileName, none}, {kWeightFileName, none}, {kHistoryFileName, none}};
    row("first run: a weight asks for the height first", weight, {u"1.685"_s, u"68.5"_s}, {},
        {{kHeightFileName, "1.685\r\n"},
         {kWeightFileName, "68.5\r\n"},
         {kHistoryFileName, usual.toUtf8() + "\r\n"}},
        241, u"68.5"_s, {}, nothing);
    row("first run: Cancel in the height box cancels the weight", weight, {Answer()}, {}, {}, -1,
        {}, {}, nothing);

    // Nothing changes, and a warning repeats the example; which texts give which error is the
    // typed-value check's table.
    row("weight: Cancel", weight, {Answer()}, {}, {});
    row("weight: empty", weight, {QString()}, {}, {});
    row("height: Cancel", height, {Answer()}, {}, {});
    row("height: empty", height, {QString()}, {}, {});
    row("weight: no number", weight, {u"abc"_s}, {}, {}, -1, u"68.5"_s, u"数値"_s);
    row("weight: decimal comma", weight, {u"68,5"_s}, {}, {}, -1, u"68.5"_s, u"「.」"_s);
    row("weight: zero", weight, {u"0"_s}, {}, {}, -1, u"68.5"_s, u"1000"_s);
    row("weight: 0 as a float", weight, {u"1e-50"_s}, {}, {}, -1, u"68.5"_s, u"1000"_s);
    row("height: 170 typed as metres", height, {u"170"_s}, {}, {}, -1, u"68.5"_s, u"0.3"_s);
    row("height: no number", height, {u"abc"_s}, {}, {}, -1, u"68.5"_s, u"数値"_s);
    row("height: decimal comma", height, {u"1,685"_s}, {}, {}, -1, u"68.5"_s, u"「.」"_s);

    // The question compares with the weight file at the moment of the answer, not with what the
    // session holds; Cancel reopens the box with what was typed.
    const FileMap big = weighed("685", u"05/11  685.0Kg  241.3  996.0%"_s);
    row("large change: OK records it", weight, {u"685"_s}, {true}, big, 316, u"685.0"_s);
    row("large change: Cancel, then corrected", weight, {u"685"_s, u"68.5"_s}, {false},
        weighed("68.5", usual), 241);
    row("large change: Cancel, then Cancel in the box", weight, {u"685"_s, Answer()}, {false}, {});
    row("large change: Cancel twice, then OK", weight, {u"6.8"_s, u"6.8"_s, u"6.8"_s},
        {false, false, true}, weighed("6.8", u"05/11  6.8Kg  2.4  -89.1%"_s), 154, u"6.8"_s);
    row("large change: no stored weight, not asked", weight, {u"685"_s}, {}, big, 316, u"685.0"_s,
        {}, {}, {{kWeightFileName, none}});
    row("large change: unusable stored weight, not asked", weight, {u"685"_s}, {}, big, 316,
        u"685.0"_s, {}, {}, {{kWeightFileName, "abc\r\n"}});
    row("large change: another weight stored meanwhile", weight, {u"685"_s}, {}, big, 316,
        u"685.0"_s, {}, {}, {{kWeightFileName, "680\r\n"}});

    // The goal is never asked about, and an empty answer removes it after a confirmation.
    const FileMap set{{kGoalFileName, "62\r\n"}};
    row("goal: set", goal, {u"62"_s}, {}, set);
    row("goal: changed, far from the weight", goal, {u"50.5kg"_s}, {},
        {{kGoalFileName, "50.5\r\n"}}, -1, u"68.5"_s, {}, set);
    row("goal: removed", goal, {QString()}, {true}, {{kGoalFileName, none}}, -1, u"68.5"_s, {},
        set);
    row("goal: removal cancelled", goal, {QString()}, {false}, {}, -1, u"68.5"_s, {}, set);
    row("goal: Cancel in the box", goal, {Answer()}, {}, {}, -1, u"68.5"_s, {}, set);
    row("goal: none, an empty answer asks nothing", goal, {QString()}, {}, {});
    row("goal: unusable on disk is none, and left alone", goal, {QString()}, {}, {}, -1, u"68.5"_s,
        {}, {{kGoalFileName, "abc\r\n"}});
    row("goal: an empty file is none", goal, {QString()}, {}, {}, -1, u"68.5"_s, {},
        {{kGoalFileName, ""}});
    row("goal: 0 on disk, then set", goal, {u"62"_s}, {}, set, -1, u"68.5"_s, {},
        {{kGoalFileName, "0\r\n"}});
    row("goal: refused like a weight", goal, {u"0.5"_s}, {}, {}, -1, u"68.5"_s, u"1000"_s, set);
    row("goal: decimal comma refused", goal, {u"62,5"_s}, {}, {}, -1, u"68.5"_s, u"「.」"_s);

    // A file that cannot be written: the entry changes nothing (the weight and height entries
    // against a full disk: tst_diskfull).
    const FileMap blocked{{kGoalFileName, kFolder}};
    row("goal file blocked on setting it", goal, {u"60"_s}, {}, {}, -1, u"68.5"_s, kGoalFileName,
        {}, blocked);
    row("goal file blocked on removing it", goal, {QString()}, {true}, {}, -1, u"68.5"_s,
        kGoalFileName, set, blocked);
}

void tst_EntryFlow::entry()
{
    QFETCH(Entry, entry);
    QFETCH(FileMap, atStart);
    QFETCH(FileMap, meanwhile);
    QFETCH(Answers, answers);
    QFETCH(QList<bool>, confirmations);
    QFETCH(FileMap, changes);
    QFETCH(int, meter);
    QFETCH(QString, weight);
    QFETCH(QString, says);

    SessionFixture f;
    f.writeStandardFiles(kTwoLines);
    apply(f, atStart);
    const FileMap stored = snapshot(QDir(f.dir.path()));
    QVERIFY(f.load());
    QCOMPARE(snapshot(QDir(f.dir.path())), stored); // start-up writes nothing
    apply(f, meanwhile);
    const SessionState before = f.state();

    f.dialogs.answers = answers;
    f.dialogs.confirmations = confirmations;
    f.entries().enter(entry);
    QVERIFY(f.dialogs.allAnswered());

    // Each box after a Cancel of the question holds what was typed before it.
    const ScriptedDialogs& d = f.dialogs;
    for (qsizetype i = 0; i < d.inputs.size(); ++i) {
        const Box* box = std::find_if(std::begin(kBoxes), std::end(kBoxes),
                                      [&](const Box& b) { return b.title == d.inputs[i].title; });
        QVERIFY(box != std::end(kBoxes));
        QCOMPARE(d.inputs[i].text, box->prompt + box->example);
        const bool again = i > 0 && d.inputs[i - 1].title == box->title;
        QCOMPARE(d.inputs[i].initial, again ? answers[i - 1].value_or(QString()) : QString());
    }
    const Box& box = kBoxes[int(entry)];
    // Each question about a weight follows its answer, and tells both weights.
    const bool removal = entry == Entry::Goal;
    for (qsizetype i = 0; i < d.confirms.size(); ++i) {
        const ScriptedDialogs::Shown& question = d.confirms[i];
        QCOMPARE(question.text,
                 removal ? u"目標体重を削除します"_s
                         : u"前回の体重 68.5 kg と大きく違います。このまま記録しますか？\n\n"
                           u"入力した体重: %1 kg"_s.arg(answers[i].value_or(QString())));
        QCOMPARE(question.title, box.title);
        QCOMPARE(question.defaultButton, removal ? Dialogs::Default::Ok : Dialogs::Default::Cancel);
    }
    QCOMPARE(d.messages.size(), says.isEmpty() ? 0 : 1);
    if (!says.isEmpty()) {
        const ScriptedDialogs::Message& m = d.messages[0];
        const bool error = says.endsWith(u".txt"_s);
        QVERIFY2(m.text.contains(says), qPrintable(m.text));
        QCOMPARE(m.severity, error ? Dialogs::Severity::Error : Dialogs::Severity::Warning);
        QCOMPARE(m.title, error ? u"保存エラー"_s : box.title);
        QCOMPARE(m.text.endsWith(u'\n' + box.example), !error);
    }

    if (changes.isEmpty()) {
        QVERIFY(f.state() == before);
        return;
    }
    FileMap expected = before.files;
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.value().isNull())
            expected.remove(it.key());
        else
            expected[it.key()] = it.value();
    }
    QCOMPARE(snapshot(QDir(f.dir.path())), expected);
    QCOMPARE(f.meter, meter < 0 ? before.meter : meter);
    QCOMPARE(oneDecimalText(f.measurement().weight.value_or(0), kJapan), weight);
    QCOMPARE(f.measurement().keepsWeight, false);
    // Everything else the session holds is what start-up reads from the files now.
    SessionFixture again;
    QVERIFY(again.load(f.files()));
    QCOMPARE(f.measurement().height, again.measurement().height);
    QCOMPARE(f.measurement().goal, again.measurement().goal);
    QCOMPARE(f.lines(), again.lines());
}

QTEST_GUILESS_MAIN(tst_EntryFlow)
#include "tst_entryflow.moc"
