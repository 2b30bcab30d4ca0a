// The weight and height entries, clearing, and their guards, through scripted dialogs on real
// files with the date fixed.

#include "support.h"

#include "ui/fonts.h"

#include <QDir>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

using Answer = std::optional<QString>;

namespace {

const QString kHeight = u"身長.txt"_s, kWeight = u"体重.txt"_s, kHistory = u"履歴.txt"_s;
const QByteArray kTwoLines = "05/09  69.0Kg  24.3  10.4%\r\n05/10  68.7Kg  24.2  9.9%\r\n";

// Everything an entry may change: the files, the variables, the captions and the list.
struct Snapshot {
    QByteArray height, weight, history;
    bool historyExists = false;
    std::optional<float> Height, Weight, Bmi;
    float meterBmi = 0;
    QStringList captions;
    QStringList list;
    int position = 0;

    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const WindowFixture& f)
{
    Snapshot s;
    s.height = f.read(kHeight);
    s.weight = f.read(kWeight);
    s.history = f.read(kHistory);
    s.historyExists = f.exists(kHistory);
    const Measurement m = f.window->measurement();
    s.Height = m.height;
    s.Weight = m.weight;
    s.Bmi = m.bmi;
    s.meterBmi = m.meterBmi;
    for (const char* name : {"Label2", "Label4", "Label5", "lblTai", "lblHyojun(0)", "lblHyojun(1)",
                             "lblHiman", "lblHantei"})
        s.captions << f.text(QString::fromLatin1(name));
    s.list = f.window->historyEntries();
    s.position = f.control<QScrollBar>(u"HScroll1"_s)->value();
    return s;
}

} // namespace

class tst_Entries : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> f;

    frmMain& start(const QByteArray& history = kTwoLines)
    {
        f = std::make_unique<WindowFixture>();
        f->writeStandardFiles(history);
        frmMain& w = f->load();
        return w;
    }

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void weightEntry_data();
    void weightEntry();
    void twoEntriesOnOneDay();
    void entryAtTheSamePositionRefreshesThePanel();
    void entryMovingTheMeterKeepsTheTypedWeight();
    void cancelOrEmptyChangesNothing_data();
    void cancelOrEmptyChangesNothing();
    void badInputIsRefused_data();
    void badInputIsRefused();
    void heightEntry();
    void heightOutsideTheMeter_data();
    void heightOutsideTheMeter();
    void onlyTheHeightLabelOpensTheHeightBox_data();
    void onlyTheHeightLabelOpensTheHeightBox();
    void clear_data();
    void clear();
    void clearThenOneEntryLeavesOneLine();
    void firstRunAsksForTheHeight();
    void weightWithoutHeightAsksForTheHeightFirst();
    void writeFailures_data();
    void writeFailures();
    void historyAppendFailureKeepsTheListTruthful();
    void unreadableFileEndsStartup();
    void helpAndEnd();
};

void tst_Entries::weightEntry_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label5");
    QTest::addColumn<QString>("label4");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("position");

    QTest::newRow("68.5") << u"68.5"_s << u"68.5"_s << u"24.1"_s << u"05/11  68.5Kg  24.1  9.6%"_s
                          << QByteArray("68.5\r\n") << 241;
    QTest::newRow("60 shows no decimal")
        << u"60"_s << u"60"_s << u"21.1"_s << u"05/11  60.0Kg  21.1  -4.0%"_s
        << QByteArray("60\r\n") << 211;
    QTest::newRow("unit after the number")
        << u"68.5Kg"_s << u"68.5"_s << u"24.1"_s << u"05/11  68.5Kg  24.1  9.6%"_s
        << QByteArray("68.5\r\n") << 241;
    QTest::newRow("BMI 35 recorded, meter stops at 316")
        << u"99.4"_s << u"99.4"_s << u"35.0"_s << u"05/11  99.4Kg  35.0  59.0%"_s
        << QByteArray("99.4\r\n") << 316;
    QTest::newRow("full-width digits")
        << u"６８．５"_s << u"68.5"_s << u"24.1"_s << u"05/11  68.5Kg  24.1  9.6%"_s
        << QByteArray("68.5\r\n") << 241;
}

void tst_Entries::weightEntry()
{
    QFETCH(QString, typed);
    QFETCH(QString, label5);
    QFETCH(QString, label4);
    QFETCH(QString, line);
    QFETCH(QByteArray, file);
    QFETCH(int, position);

    frmMain& w = start();
    f->dialogs.answers = {typed};
    w.cmdTai_Click();

    QCOMPARE(f->dialogs.inputs.size(), 1);
    QCOMPARE(f->dialogs.inputs[0].text, u"体重をKg単位で入力して下さい     例)  68.5Kg →　68.5"_s);
    QCOMPARE(f->dialogs.inputs[0].title, u"体重入力"_s);
    QVERIFY(f->dialogs.messages.isEmpty());
    QCOMPARE(f->text(u"Label5"_s), label5);
    QCOMPARE(f->text(u"Label4"_s), label4);
    QCOMPARE(f->control<QScrollBar>(u"HScroll1"_s)->value(), position);
    QCOMPARE(w.historyEntries().size(), 3);
    QCOMPARE(w.historyEntries().last(), line);
    QCOMPARE(f->read(kHistory), kTwoLines + line.toUtf8() + "\r\n");
    QCOMPARE(f->read(kWeight), file);
    QCOMPARE(w.measurement().holdWeight, qint16(0));
}

void tst_Entries::twoEntriesOnOneDay()
{
    frmMain& w = start(QByteArray());
    f->dialogs.answers = {u"68.5"_s, u"68.4"_s};
    w.cmdTai_Click();
    w.cmdTai_Click();
    const QStringList expected{u"05/11  68.5Kg  24.1  9.6%"_s, u"05/11  68.4Kg  24.1  9.4%"_s};
    QCOMPARE(w.historyEntries(), expected);
    QCOMPARE(f->read(kHistory), (expected.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
    QCOMPARE(f->read(kWeight), QByteArray("68.4\r\n"));
}

void tst_Entries::entryAtTheSamePositionRefreshesThePanel()
{
    frmMain& w = start();
    QCOMPARE(f->text(u"lblTai"_s), u"68.5"_s);
    QSignalSpy updates(&w, &frmMain::meterUpdated);
    f->dialogs.answers = {u"68.4"_s};
    w.cmdTai_Click();
    QCOMPARE(updates.count(), 1);
    QCOMPARE(f->control<QScrollBar>(u"HScroll1"_s)->value(), 241);
    QCOMPARE(f->text(u"lblTai"_s), u"68.4"_s);
    QCOMPARE(f->text(u"lblHyojun(0)"_s), u"62.5"_s);
    QCOMPARE(f->text(u"lblHiman"_s), u"9.4"_s);
    QCOMPARE(f->text(u"lblHantei"_s), u"でぶメゾフォルテ"_s);
}

void tst_Entries::entryMovingTheMeterKeepsTheTypedWeight()
{
    frmMain& w = start();
    f->dialogs.answers = {u"71"_s};
    w.cmdTai_Click();
    QCOMPARE(f->control<QScrollBar>(u"HScroll1"_s)->value(), 250);
    QCOMPARE(f->text(u"Label5"_s), u"71"_s);
    QCOMPARE(f->text(u"Label4"_s), u"25.0"_s);
    QCOMPARE(f->text(u"lblTai"_s), u"71.0"_s);
    QCOMPARE(f->text(u"lblHantei"_s), u"でぶメゾフォルテ"_s);
    QCOMPARE(w.measurement().weight, std::optional(71.0f));
}

void tst_Entries::cancelOrEmptyChangesNothing_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("height");
    QTest::newRow("weight: Cancel") << Answer() << false;
    QTest::newRow("weight: empty") << Answer(QString()) << false;
    QTest::newRow("height: Cancel") << Answer() << true;
    QTest::newRow("height: empty") << Answer(QString()) << true;
}

void tst_Entries::cancelOrEmptyChangesNothing()
{
    QFETCH(Answer, answer);
    QFETCH(bool, height);
    frmMain& w = start();
    const Snapshot before = snapshot(*f);
    f->dialogs.answers = {answer};
    height ? w.Label2_DblClick() : w.cmdTai_Click();
    QVERIFY(snapshot(*f) == before);
    QVERIFY(f->dialogs.messages.isEmpty());
}

void tst_Entries::badInputIsRefused_data()
{
    QTest::addColumn<bool>("height");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("says");
    // One row per message; which texts give which error is the typed-value check's table.
    QTest::newRow("weight: no number") << false << u"abc"_s << u"数値"_s;
    QTest::newRow("weight: decimal comma") << false << u"68,5"_s << u"「.」"_s;
    QTest::newRow("weight: zero") << false << u"0"_s << u"1000"_s;
    QTest::newRow("weight: 0 as a float") << false << u"1e-50"_s << u"1000"_s;
    QTest::newRow("height: 170 typed as metres") << true << u"170"_s << u"0.3"_s;
    QTest::newRow("height: no number") << true << u"abc"_s << u"数値"_s;
    QTest::newRow("height: decimal comma") << true << u"1,685"_s << u"「.」"_s;
}

void tst_Entries::badInputIsRefused()
{
    QFETCH(bool, height);
    QFETCH(QString, typed);
    QFETCH(QString, says);
    frmMain& w = start();
    const Snapshot before = snapshot(*f);
    f->dialogs.answers = {typed};
    height ? w.Label2_DblClick() : w.cmdTai_Click();
    QVERIFY(snapshot(*f) == before);
    QCOMPARE(f->dialogs.messages.size(), 1);
    const ScriptedDialogs::Message& m = f->dialogs.messages[0];
    QCOMPARE(m.severity, Dialogs::Severity::Warning);
    QCOMPARE(m.title, height ? u"身長登録"_s : u"体重入力"_s);
    QVERIFY2(m.text.contains(says), qPrintable(m.text));
    QVERIFY(m.text.contains(height ? u"例)  168.5cm →　1.685"_s : u"例)  68.5Kg →　68.5"_s));
}

void tst_Entries::heightEntry()
{
    frmMain& w = start();
    f->write(kHeight, "1.6850\r\n"); // same value, another spelling: must be rewritten
    f->dialogs.answers = {u"1.685"_s};
    w.Label2_DblClick();
    QCOMPARE(f->dialogs.inputs.size(), 1);
    QCOMPARE(f->dialogs.inputs[0].text,
             u"身長をﾒｰﾄﾙ単位で入力して下さい     例)  168.5cm →　1.685"_s);
    QCOMPARE(f->dialogs.inputs[0].title, u"身長登録"_s);
    QCOMPARE(f->read(kHeight), QByteArray("1.685\r\n"));
    QCOMPARE(f->text(u"Label2"_s), u"1.685"_s);
    // The meter re-derives the weight from its rounded position.
    QCOMPARE(f->text(u"Label4"_s), u"24.1"_s);
    QCOMPARE(f->text(u"Label5"_s), u"68.4"_s);
    QCOMPARE(f->read(kWeight), QByteArray("68.5\r\n"));
    QCOMPARE(w.historyEntries().size(), 2);
    QCOMPARE(f->read(kHistory), kTwoLines);
}

void tst_Entries::heightOutsideTheMeter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("label4");
    QTest::addColumn<QString>("label5");
    QTest::newRow("short: BMI above 31.6") << u"1.2"_s << 316 << u"31.6"_s << u"45.5"_s;
    QTest::newRow("tall: BMI below 15.4") << u"2.4"_s << 154 << u"15.4"_s << u"88.7"_s;
}

void tst_Entries::heightOutsideTheMeter()
{
    QFETCH(QString, typed);
    QFETCH(int, position);
    QFETCH(QString, label4);
    QFETCH(QString, label5);
    frmMain& w = start();
    f->dialogs.answers = {typed};
    w.Label2_DblClick();
    QCOMPARE(f->control<QScrollBar>(u"HScroll1"_s)->value(), position);
    QCOMPARE(f->text(u"Label4"_s), label4);
    QCOMPARE(f->text(u"Label5"_s), label5);
}

void tst_Entries::onlyTheHeightLabelOpensTheHeightBox_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("boxes");
    QTest::newRow("Label2") << u"Label2"_s << 1;
    QTest::newRow("Label3(4)") << u"Label3(4)"_s << 0;
    QTest::newRow("Label3(5)") << u"Label3(5)"_s << 0;
}

void tst_Entries::onlyTheHeightLabelOpensTheHeightBox()
{
    QFETCH(QString, label);
    QFETCH(int, boxes);
    start();
    f->dialogs.answers = {Answer()};
    QTest::mouseDClick(f->control(label), Qt::LeftButton);
    QCOMPARE(f->dialogs.inputs.size(), boxes);
}

void tst_Entries::clear_data()
{
    QTest::addColumn<QByteArray>("history"); // "missing": no file
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("OK with two lines") << kTwoLines << true << QByteArray("");
    QTest::newRow("OK with an empty file") << QByteArray("") << true << QByteArray("");
    QTest::newRow("OK with no file") << QByteArray("missing") << true << QByteArray("");
    QTest::newRow("Cancel") << kTwoLines << false << kTwoLines;
}

void tst_Entries::clear()
{
    QFETCH(QByteArray, history);
    QFETCH(bool, ok);
    QFETCH(QByteArray, after);
    frmMain& w = start(history == "missing" ? QByteArray() : history);
    if (history == "missing")
        QVERIFY(QFile::remove(f->dir.filePath(kHistory)));
    Snapshot before = snapshot(*f);

    f->dialogs.confirmations = {ok};
    w.cmdClear_Click();
    QCOMPARE(f->dialogs.confirms.size(), 1);
    QCOMPARE(f->dialogs.confirms[0].text, u"これまでの履歴を削除します"_s);
    QCOMPARE(f->dialogs.confirms[0].title, u"履歴削除"_s);
    QVERIFY(f->exists(kHistory) || !ok);
    QCOMPARE(f->read(kHistory), after);
    QCOMPARE(w.historyEntries().isEmpty(), ok || before.list.isEmpty());
    // Nothing but the history changes.
    Snapshot now = snapshot(*f);
    before.history = now.history;
    before.historyExists = now.historyExists;
    before.list = now.list;
    QVERIFY(now == before);
}

void tst_Entries::clearThenOneEntryLeavesOneLine()
{
    frmMain& w = start();
    f->dialogs.confirmations = {true};
    f->dialogs.answers = {u"68.5"_s};
    w.cmdClear_Click();
    w.cmdTai_Click();
    QCOMPARE(f->read(kHistory), QByteArray("05/11  68.5Kg  24.1  9.6%\r\n"));
    QCOMPARE(w.historyEntries(), QStringList{u"05/11  68.5Kg  24.1  9.6%"_s});
}

void tst_Entries::firstRunAsksForTheHeight()
{
    f = std::make_unique<WindowFixture>();
    frmMain& w = f->load();
    QVERIFY(f->loaded);
    QVERIFY(QDir(f->dir.path()).isEmpty());
    QCOMPARE(f->text(u"Label2"_s), QString());
    QCOMPARE(f->text(u"lblHantei"_s), QString());

    f->dialogs.answers = {u"1.685"_s};
    QVERIFY(f->dialogs.inputs.isEmpty());
    w.show();
    QTRY_COMPARE(f->dialogs.inputs.size(), 1);
    QCOMPARE(f->dialogs.inputs[0].title, u"身長登録"_s);
    QCOMPARE(f->read(kHeight), QByteArray("1.685\r\n"));
    QVERIFY(!f->exists(kWeight));
    QCOMPARE(f->text(u"Label2"_s), u"1.685"_s);
    QCOMPARE(f->text(u"lblHyojun(0)"_s), u"62.5"_s);
    QCOMPARE(f->text(u"Label5"_s), QString());
}

void tst_Entries::weightWithoutHeightAsksForTheHeightFirst()
{
    f = std::make_unique<WindowFixture>();
    frmMain& w = f->load();
    f->dialogs.answers = {u"1.685"_s, u"68.5"_s};
    w.cmdTai_Click();
    QCOMPARE(f->dialogs.inputs.size(), 2);
    QCOMPARE(f->dialogs.inputs[0].title, u"身長登録"_s);
    QCOMPARE(f->dialogs.inputs[1].title, u"体重入力"_s);
    QCOMPARE(f->read(kWeight), QByteArray("68.5\r\n"));
    QCOMPARE(f->read(kHistory), QByteArray("05/11  68.5Kg  24.1  9.6%\r\n"));
    QCOMPARE(f->text(u"lblHantei"_s), u"でぶメゾフォルテ"_s);

    // Cancelling the height box cancels the weight entry too.
    f = std::make_unique<WindowFixture>();
    frmMain& w2 = f->load();
    f->dialogs.answers = {Answer()};
    w2.cmdTai_Click();
    QCOMPARE(f->dialogs.inputs.size(), 1);
    QVERIFY(QDir(f->dir.path()).isEmpty());
}

void tst_Entries::writeFailures_data()
{
    QTest::addColumn<QString>("blocked"); // replaced by a folder after start-up
    QTest::addColumn<int>("routine");     // 0 weight, 1 height, 2 clear
    QTest::newRow("weight file") << kWeight << 0;
    QTest::newRow("height file") << kHeight << 1;
    QTest::newRow("history file on clear") << kHistory << 2;
}

void tst_Entries::writeFailures()
{
    QFETCH(QString, blocked);
    QFETCH(int, routine);
    frmMain& w = start();
    QVERIFY(QFile::remove(f->dir.filePath(blocked)));
    QVERIFY(QDir(f->dir.path()).mkdir(blocked));
    const Snapshot before = snapshot(*f);

    f->dialogs.answers = {routine == 0 ? u"70"_s : u"1.7"_s};
    f->dialogs.confirmations = {true};
    if (routine == 0)
        w.cmdTai_Click();
    else if (routine == 1)
        w.Label2_DblClick();
    else
        w.cmdClear_Click();

    QCOMPARE(f->dialogs.messages.size(), 1);
    QCOMPARE(f->dialogs.messages[0].severity, Dialogs::Severity::Error);
    QVERIFY(f->dialogs.messages[0].text.contains(blocked));
    QVERIFY(snapshot(*f) == before);
}

void tst_Entries::historyAppendFailureKeepsTheListTruthful()
{
    frmMain& w = start();
    QVERIFY(QFile::remove(f->dir.filePath(kHistory)));
    QVERIFY(QDir(f->dir.path()).mkdir(kHistory));
    f->dialogs.answers = {u"70"_s};
    w.cmdTai_Click();
    // The weight was saved and is shown; the line that could not be stored is not listed.
    QCOMPARE(f->read(kWeight), QByteArray("70\r\n"));
    QCOMPARE(f->text(u"Label5"_s), u"70"_s);
    QCOMPARE(w.historyEntries().size(), 2);
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(f->dialogs.messages[0].text.contains(kHistory));
}

void tst_Entries::unreadableFileEndsStartup()
{
    f = std::make_unique<WindowFixture>();
    f->write(kHeight, "1.685\r\n");
    QVERIFY(QDir(f->dir.path()).mkdir(kWeight));
    f->load();
    QVERIFY(!f->loaded);
    QCOMPARE(f->dialogs.messages.size(), 1);
    QCOMPARE(f->dialogs.messages[0].severity, Dialogs::Severity::Error);
    QVERIFY(f->dialogs.messages[0].text.contains(kWeight));
    QCOMPARE(f->read(kHeight), QByteArray("1.685\r\n"));
}

void tst_Entries::helpAndEnd()
{
    frmMain& w = start();
    int ended = 0;
    w.setEndProgram([&] { ++ended; });
    QSignalSpy updates(&w, &frmMain::meterUpdated);
    w.cmdHelp_Click();
    QCOMPARE(f->help.shown, 1);
    QCOMPARE(f->help.file, u"QuilloHelp.chm"_s);
    w.cmdEnd_Click();
    QCOMPARE(f->help.closed, 1);
    QCOMPARE(ended, 1);
    QCOMPARE(updates.count(), 0);
}

QTEST_MAIN(tst_Entries)
#include "tst_entries.moc"
