// The weight, height and goal entries, clearing, and their guards (the question before a weight
// far from the stored one among them), through scripted dialogs on real files with the date
// fixed.

#include "support.h"

#include "measure/arithmetic.h"
#include "session/entries.h"
#include "ui/fonts.h"

#include <QAction>
#include <QDir>
#include <QHelpEvent>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

using Answer = std::optional<QString>;

namespace {

const QString kHeight = u"身長.txt"_s, kWeight = u"体重.txt"_s, kHistory = u"履歴.txt"_s;
const QByteArray kTwoLines = "05/09  69.0Kg  24.3  10.4%\r\n05/10  68.7Kg  24.2  9.9%\r\n";

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
    void refusedOrCancelledChangesNothing_data();
    void refusedOrCancelledChangesNothing();
    void heightEntry_data();
    void heightEntry();
    void unitLabelsOpenNothing();
    void clear_data();
    void clear();
    void firstRunAsksForTheHeight();
    void weightWithoutHeightAsksForTheHeightFirst();
    void largeChangeQuestion_data();
    void largeChangeQuestion();
    void goal_data();
    void goal();
    void writeFailures_data();
    void writeFailures();
    void unreadableFileEndsStartup();
    void outsideChangesAreShown_data();
    void outsideChangesAreShown();
};

void tst_Entries::weightEntry_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label5");
    QTest::addColumn<QString>("label4");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("position");
    // More than 10 % away from the stored 68.5 kg: asked first, and OK pressed.
    QTest::addColumn<bool>("asked");

    QTest::newRow("68.5") << u"68.5"_s << u"68.5"_s << u"24.1"_s << u"05/11  68.5Kg  24.1  9.6%"_s
                          << QByteArray("68.5\r\n") << 241 << false;
    QTest::newRow("60 shows no decimal")
        << u"60"_s << u"60"_s << u"21.1"_s << u"05/11  60.0Kg  21.1  -4.0%"_s
        << QByteArray("60\r\n") << 211 << true;
    QTest::newRow("unit after the number")
        << u"68.5Kg"_s << u"68.5"_s << u"24.1"_s << u"05/11  68.5Kg  24.1  9.6%"_s
        << QByteArray("68.5\r\n") << 241 << false;
    QTest::newRow("BMI 35 recorded, meter stops at 316")
        << u"99.4"_s << u"99.4"_s << u"35.0"_s << u"05/11  99.4Kg  35.0  59.0%"_s
        << QByteArray("99.4\r\n") << 316 << true;
    QTest::newRow("full-width digits")
        << u"６８．５"_s << u"68.5"_s << u"24.1"_s << u"05/11  68.5Kg  24.1  9.6%"_s
        << QByteArray("68.5\r\n") << 241 << false;
    QTest::newRow("within 10 %: not asked")
        << u"75"_s << u"75"_s << u"26.4"_s << u"05/11  75.0Kg  26.4  20.0%"_s
        << QByteArray("75\r\n") << 264 << false;
}

void tst_Entries::weightEntry()
{
    QFETCH(QString, typed);
    QFETCH(QString, label5);
    QFETCH(QString, label4);
    QFETCH(QString, line);
    QFETCH(QByteArray, file);
    QFETCH(int, position);
    QFETCH(bool, asked);

    start();
    f->dialogs.answers = {typed};
    f->dialogs.confirmations = {true};
    f->click(u"cmdTai"_s);

    QCOMPARE(f->dialogs.confirms.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(f->dialogs.confirms[0].text.section(u'\n', 0, 0),
                 u"前回の体重 68.5 kg と大きく違います。このまま記録しますか？"_s);
        QVERIFY(f->dialogs.confirms[0].text.contains(label5 + u" kg"_s));
        QCOMPARE(f->dialogs.confirms[0].title, u"体重入力"_s);
        QCOMPARE(f->dialogs.confirms[0].defaultButton, Dialogs::Default::Cancel);
    }
    QCOMPARE(f->dialogs.inputs.size(), 1);
    QCOMPARE(f->dialogs.inputs[0].text, u"体重をKg単位で入力して下さい     例)  68.5Kg →　68.5"_s);
    QCOMPARE(f->dialogs.inputs[0].title, u"体重入力"_s);
    QVERIFY(f->dialogs.messages.isEmpty());
    QCOMPARE(f->text(u"Label5"_s), label5);
    QCOMPARE(f->text(u"Label4"_s), label4);
    QCOMPARE(f->control<QScrollBar>(u"HScroll1"_s)->value(), position);
    QCOMPARE(f->lines().size(), 3);
    QCOMPARE(f->lines().last(), line);
    QCOMPARE(f->read(kHistory), kTwoLines + line.toUtf8() + "\r\n");
    QCOMPARE(f->read(kWeight), file);
    QCOMPARE(f->session().measurement().keepsWeight, false);
}

void tst_Entries::twoEntriesOnOneDay()
{
    start(QByteArray());
    f->dialogs.answers = {u"68.5"_s, u"68.4"_s};
    f->click(u"cmdTai"_s);
    f->click(u"cmdTai"_s);
    const QStringList expected{u"05/11  68.5Kg  24.1  9.6%"_s, u"05/11  68.4Kg  24.1  9.4%"_s};
    QCOMPARE(f->lines(), expected);
    QCOMPARE(f->read(kHistory), (expected.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
    QCOMPARE(f->read(kWeight), QByteArray("68.4\r\n"));
}

void tst_Entries::entryAtTheSamePositionRefreshesThePanel()
{
    frmMain& w = start();
    QCOMPARE(f->text(u"lblTai"_s), u"68.5"_s);
    QSignalSpy updates(&w, &frmMain::meterUpdated);
    f->dialogs.answers = {u"68.4"_s};
    f->click(u"cmdTai"_s);
    QCOMPARE(updates.count(), 1);
    QCOMPARE(f->control<QScrollBar>(u"HScroll1"_s)->value(), 241);
    QCOMPARE(f->text(u"lblTai"_s), u"68.4"_s);
    QCOMPARE(f->text(u"lblHyojun(0)"_s), u"62.5"_s);
    QCOMPARE(f->text(u"lblHiman"_s), u"9.4"_s);
    QCOMPARE(f->text(u"lblHantei"_s), u"でぶメゾフォルテ"_s);
}

void tst_Entries::refusedOrCancelledChangesNothing_data()
{
    QTest::addColumn<bool>("height");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("says"); // a part of the warning; empty: none is shown
    QTest::newRow("weight: Cancel") << false << Answer() << QString();
    QTest::newRow("weight: empty") << false << Answer(QString()) << QString();
    QTest::newRow("height: Cancel") << true << Answer() << QString();
    QTest::newRow("height: empty") << true << Answer(QString()) << QString();
    // One row per message; which texts give which error is the typed-value check's table.
    QTest::newRow("weight: no number") << false << Answer(u"abc"_s) << u"数値"_s;
    QTest::newRow("weight: decimal comma") << false << Answer(u"68,5"_s) << u"「.」"_s;
    QTest::newRow("weight: zero") << false << Answer(u"0"_s) << u"1000"_s;
    QTest::newRow("weight: 0 as a float") << false << Answer(u"1e-50"_s) << u"1000"_s;
    QTest::newRow("height: 170 typed as metres") << true << Answer(u"170"_s) << u"0.3"_s;
    QTest::newRow("height: no number") << true << Answer(u"abc"_s) << u"数値"_s;
    QTest::newRow("height: decimal comma") << true << Answer(u"1,685"_s) << u"「.」"_s;
}

void tst_Entries::refusedOrCancelledChangesNothing()
{
    QFETCH(bool, height);
    QFETCH(Answer, answer);
    QFETCH(QString, says);
    start();
    const WindowState before = f->state();
    f->dialogs.answers = {answer};
    height ? f->doubleClick(u"Label2"_s) : f->click(u"cmdTai"_s);
    QVERIFY(f->state() == before);
    QCOMPARE(f->dialogs.messages.size(), says.isEmpty() ? 0 : 1);
    if (says.isEmpty())
        return;
    const ScriptedDialogs::Message& m = f->dialogs.messages[0];
    QCOMPARE(m.severity, Dialogs::Severity::Warning);
    QCOMPARE(m.title, height ? u"身長登録"_s : u"体重入力"_s);
    QVERIFY2(m.text.contains(says), qPrintable(m.text));
    QVERIFY(m.text.contains(height ? u"例)  168.5cm →　1.685"_s : u"例)  68.5Kg →　68.5"_s));
}

void tst_Entries::heightEntry_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("label4");
    QTest::addColumn<QString>("label5");
    // The meter re-derives the weight from its rounded position, or from its end.
    QTest::newRow("the stored height again") << u"1.685"_s << 241 << u"24.1"_s << u"68.4"_s;
    QTest::newRow("short: BMI above 31.6") << u"1.2"_s << 316 << u"31.6"_s << u"45.5"_s;
    QTest::newRow("tall: BMI below 15.4") << u"2.4"_s << 154 << u"15.4"_s << u"88.7"_s;
}

void tst_Entries::heightEntry()
{
    QFETCH(QString, typed);
    QFETCH(int, position);
    QFETCH(QString, label4);
    QFETCH(QString, label5);
    start();
    f->write(kHeight, "1.6850\r\n"); // the same value, another spelling: must be rewritten
    f->dialogs.answers = {typed};
    f->doubleClick(u"Label2"_s);
    QCOMPARE(f->dialogs.inputs.size(), 1);
    QCOMPARE(f->dialogs.inputs[0].text,
             u"身長をﾒｰﾄﾙ単位で入力して下さい     例)  168.5cm →　1.685"_s);
    QCOMPARE(f->dialogs.inputs[0].title, u"身長登録"_s);
    QCOMPARE(f->read(kHeight), typed.toUtf8() + "\r\n");
    QCOMPARE(f->text(u"Label2"_s), typed);
    QCOMPARE(f->control<QScrollBar>(u"HScroll1"_s)->value(), position);
    QCOMPARE(f->text(u"Label4"_s), label4);
    QCOMPARE(f->text(u"Label5"_s), label5);
    // Neither the weight file nor the history changes.
    QCOMPARE(f->read(kWeight), QByteArray("68.5\r\n"));
    QCOMPARE(f->read(kHistory), kTwoLines);
}

void tst_Entries::unitLabelsOpenNothing()
{
    // Only the height label opens the height box, not the unit labels beside it.
    start();
    for (const QString& label : {u"Label3(4)"_s, u"Label3(5)"_s})
        QTest::mouseDClick(f->control(label), Qt::LeftButton);
    QVERIFY(f->dialogs.inputs.isEmpty());
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
    start(history == "missing" ? QByteArray() : history);
    if (history == "missing")
        QVERIFY(QFile::remove(f->dir.filePath(kHistory)));
    WindowState before = f->state();

    f->dialogs.confirmations = {ok};
    f->click(u"cmdClear"_s);
    QCOMPARE(f->dialogs.confirms.size(), 1);
    QCOMPARE(f->dialogs.confirms[0].text, u"これまでの履歴を削除します"_s);
    QCOMPARE(f->dialogs.confirms[0].title, u"履歴削除"_s);
    QVERIFY(f->exists(kHistory) || !ok);
    QCOMPARE(f->read(kHistory), after);
    QCOMPARE(f->lines().isEmpty(), ok || before.list.isEmpty());
    // Nothing but the history changes.
    WindowState now = f->state();
    before.history = now.history;
    before.historyExists = now.historyExists;
    before.list = now.list;
    QVERIFY(now == before);

    // The next entry writes the first line of a new history.
    f->dialogs.answers = {u"68.5"_s};
    f->click(u"cmdTai"_s);
    QCOMPARE(f->read(kHistory), (ok ? QByteArray() : kTwoLines) + "05/11  68.5Kg  24.1  9.6%\r\n");
}

void tst_Entries::firstRunAsksForTheHeight()
{
    f = std::make_unique<WindowFixture>();
    frmMain& w = f->load();
    QVERIFY(f->loaded);
    QVERIFY(QDir(f->dir.path()).isEmpty());
    QCOMPARE(f->text(u"Label2"_s), QString());
    QCOMPARE(f->text(u"lblHantei"_s), QString());
    // A screen reader hears with the meter what its tooltip says: a height is needed.
    QVERIFY(f->control(u"HScroll1"_s)->accessibleDescription().endsWith(u"身長の登録が必要です"_s));

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
    f->load();
    f->dialogs.answers = {u"1.685"_s, u"68.5"_s};
    f->click(u"cmdTai"_s);
    QCOMPARE(f->dialogs.inputs.size(), 2);
    QCOMPARE(f->dialogs.inputs[0].title, u"身長登録"_s);
    QCOMPARE(f->dialogs.inputs[1].title, u"体重入力"_s);
    QCOMPARE(f->read(kWeight), QByteArray("68.5\r\n"));
    QCOMPARE(f->read(kHistory), QByteArray("05/11  68.5Kg  24.1  9.6%\r\n"));
    QCOMPARE(f->text(u"lblHantei"_s), u"でぶメゾフォルテ"_s);

    // Cancelling the height box cancels the weight entry too.
    f = std::make_unique<WindowFixture>();
    f->load();
    f->dialogs.answers = {Answer()};
    f->click(u"cmdTai"_s);
    QCOMPARE(f->dialogs.inputs.size(), 1);
    QVERIFY(QDir(f->dir.path()).isEmpty());
}

void tst_Entries::largeChangeQuestion_data()
{
    QTest::addColumn<QByteArray>("weightFile"); // null: no such file
    QTest::addColumn<QList<std::optional<QString>>>("answers");
    QTest::addColumn<QList<bool>>("confirmations");
    QTest::addColumn<int>("asked");
    QTest::addColumn<QByteArray>("stored"); // the weight file afterwards; null: as it was

    using Answers = QList<std::optional<QString>>;
    const QByteArray none;
    QTest::newRow("OK records the typed weight") << QByteArray("68.5\r\n") << Answers{u"685"_s}
                                                 << QList<bool>{true} << 1 << QByteArray("685\r\n");
    QTest::newRow("Cancel reopens the box with the typed text, then corrected")
        << QByteArray("68.5\r\n") << Answers{u"685"_s, u"685"_s.insert(2, u'.')}
        << QList<bool>{false} << 1 << QByteArray("68.5\r\n");
    QTest::newRow("Cancel, then Cancel in the box: nothing written")
        << QByteArray("68.5\r\n") << Answers{u"685"_s, std::nullopt} << QList<bool>{false} << 1
        << none;
    QTest::newRow("Cancel twice, then OK")
        << QByteArray("68.5\r\n") << Answers{u"6.85"_s, u"6.85"_s, u"6.85"_s}
        << QList<bool>{false, false, true} << 3 << QByteArray("6.85\r\n");
    QTest::newRow("no stored weight: nothing asked")
        << none << Answers{u"685"_s} << QList<bool>{} << 0 << QByteArray("685\r\n");
    QTest::newRow("unusable stored weight: nothing asked")
        << QByteArray("abc\r\n") << Answers{u"685"_s} << QList<bool>{} << 0
        << QByteArray("685\r\n");
}

void tst_Entries::largeChangeQuestion()
{
    QFETCH(QByteArray, weightFile);
    QFETCH(QList<std::optional<QString>>, answers);
    QFETCH(QList<bool>, confirmations);
    QFETCH(int, asked);
    QFETCH(QByteArray, stored);

    f = std::make_unique<WindowFixture>();
    f->writeStandardFiles(kTwoLines);
    if (weightFile.isNull())
        QVERIFY(QFile::remove(f->dir.filePath(kWeight)));
    else
        f->write(kWeight, weightFile);
    f->load();
    QVERIFY(f->loaded);
    const WindowState before = f->state();

    f->dialogs.answers = answers;
    f->dialogs.confirmations = confirmations;
    f->click(u"cmdTai"_s);

    QVERIFY(!f->dialogs.unexpected);
    QVERIFY(f->dialogs.answers.isEmpty());
    QVERIFY(f->dialogs.confirmations.isEmpty());
    QCOMPARE(f->dialogs.confirms.size(), asked);
    QVERIFY(f->dialogs.messages.isEmpty());
    // Each box after a Cancel holds what was typed before it.
    QVERIFY(f->dialogs.inputs[0].initial.isEmpty());
    for (qsizetype i = 1; i < f->dialogs.inputs.size(); ++i)
        QCOMPARE(f->dialogs.inputs[i].initial, answers[i - 1].value_or(QString()));
    if (stored.isNull()) {
        QVERIFY(f->state() == before);
    } else {
        QCOMPARE(f->read(kWeight), stored);
        QCOMPARE(f->lines().size(), 3);
        QCOMPARE(History(f->read(kHistory)).size(), 3);
    }
}

void tst_Entries::goal_data()
{
    QTest::addColumn<QByteArray>("goalFile"); // at start-up; null: no such file
    QTest::addColumn<QList<std::optional<QString>>>("answers");
    QTest::addColumn<QList<bool>>("confirmations");
    QTest::addColumn<QByteArray>("after"); // the goal file afterwards; null: no such file
    QTest::addColumn<QString>("says");     // the goal's line in the meter's tooltip; empty: none
    QTest::addColumn<int>("messages");

    using Answers = QList<std::optional<QString>>;
    const QByteArray none;
    const QString noGoal;
    const QString lose = u"目標 62.0 kg まで \u22126.5 kg"_s;
    QTest::newRow("set") << none << Answers{u"62"_s} << QList<bool>{} << QByteArray("62\r\n")
                         << lose << 0;
    QTest::newRow("changed, far from the weight without being asked")
        << QByteArray("62\r\n") << Answers{u"50.5kg"_s} << QList<bool>{} << QByteArray("50.5\r\n")
        << u"目標 50.5 kg まで \u221218.0 kg"_s << 0;
    QTest::newRow("removed after the confirmation")
        << QByteArray("62\r\n") << Answers{QString()} << QList<bool>{true} << none << noGoal << 0;
    QTest::newRow("removal cancelled") << QByteArray("62\r\n") << Answers{QString()}
                                       << QList<bool>{false} << QByteArray("62\r\n") << lose << 0;
    QTest::newRow("Cancel in the box") << QByteArray("62\r\n") << Answers{std::nullopt}
                                       << QList<bool>{} << QByteArray("62\r\n") << lose << 0;
    QTest::newRow("no goal: an empty answer asks nothing")
        << none << Answers{QString()} << QList<bool>{} << none << noGoal << 0;
    QTest::newRow("unusable on disk: no goal, and the file is left alone")
        << QByteArray("abc\r\n") << Answers{QString()} << QList<bool>{} << QByteArray("abc\r\n")
        << noGoal << 0;
    QTest::newRow("0 on disk: no goal until a new one is set")
        << QByteArray("0\r\n") << Answers{u"62"_s} << QList<bool>{} << QByteArray("62\r\n") << lose
        << 0;
    QTest::newRow("empty file on disk: no goal") << QByteArray("") << Answers{std::nullopt}
                                                 << QList<bool>{} << QByteArray("") << noGoal << 0;
    QTest::newRow("refused like a weight") << QByteArray("62\r\n") << Answers{u"0.5"_s}
                                           << QList<bool>{} << QByteArray("62\r\n") << lose << 1;
    QTest::newRow("decimal comma refused")
        << none << Answers{u"62,5"_s} << QList<bool>{} << none << noGoal << 1;
}

void tst_Entries::goal()
{
    QFETCH(QByteArray, goalFile);
    QFETCH(QList<std::optional<QString>>, answers);
    QFETCH(QList<bool>, confirmations);
    QFETCH(QByteArray, after);
    QFETCH(QString, says);
    QFETCH(int, messages);

    const QString kGoal = u"目標.txt"_s;
    f = std::make_unique<WindowFixture>();
    f->writeStandardFiles(kTwoLines);
    if (!goalFile.isNull())
        f->write(kGoal, goalFile);
    frmMain& w = f->load();
    QVERIFY(f->loaded);
    const WindowState before = f->state();

    f->dialogs.answers = answers;
    f->dialogs.confirmations = confirmations;
    std::unique_ptr<QMenu> menu(w.createHistoryMenu());
    QAction* set = nullptr;
    for (QAction* a : menu->actions()) {
        if (a->text() == u"目標体重の設定")
            set = a;
    }
    QVERIFY(set && set->isEnabled());
    set->trigger();

    QVERIFY(!f->dialogs.unexpected);
    QCOMPARE(f->dialogs.inputs[0].title, u"目標体重の設定"_s);
    QCOMPARE(f->dialogs.inputs[0].text,
             u"目標体重をKg単位で入力して下さい     例)  62.5Kg →　62.5"_s);
    QCOMPARE(f->dialogs.confirms.size(), confirmations.size());
    QCOMPARE(f->dialogs.messages.size(), messages);
    if (messages > 0)
        QVERIFY(f->dialogs.messages[0].text.endsWith(u"例)  62.5Kg →　62.5"_s));
    QCOMPARE(f->exists(kGoal), !after.isNull());
    if (!after.isNull())
        QCOMPARE(f->read(kGoal), after);
    QCOMPARE(f->session().measurement().goal.has_value(), !says.isEmpty());

    // The meter's tooltip and accessible description carry the goal; nothing else changes.
    auto* meter = f->control(u"HScroll1"_s);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), meter->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(meter, &help);
    for (const QString& text : {meter->toolTip(), meter->accessibleDescription()}) {
        if (says.isEmpty())
            QVERIFY2(!text.contains(u"目標"_s), qPrintable(text));
        else
            QVERIFY2(text.endsWith(u'\n' + says), qPrintable(text));
    }
    QVERIFY(f->state() == before);
}

void tst_Entries::writeFailures_data()
{
    // The weight and height entries against a failing write: tst_diskfull.
    QTest::addColumn<QString>("blocked"); // replaced by a folder after start-up
    QTest::addColumn<int>("routine");     // 0 clear, 1 set the goal, 2 remove it
    QTest::newRow("history file on clear") << kHistory << 0;
    QTest::newRow("goal file on setting it") << u"目標.txt"_s << 1;
    QTest::newRow("goal file on removing it") << u"目標.txt"_s << 2;
}

void tst_Entries::writeFailures()
{
    QFETCH(QString, blocked);
    QFETCH(int, routine);
    start();
    if (routine == 2) {
        f->dialogs.answers = {u"62"_s};
        f->session().entries().enter(Entry::Goal);
    }
    QFile::remove(f->dir.filePath(blocked));
    QVERIFY(QDir(f->dir.path()).mkdir(blocked));
    const WindowState before = f->state();
    const std::optional<float> goal = f->session().measurement().goal;

    f->dialogs.answers = {routine == 2 ? QString() : u"60"_s};
    f->dialogs.confirmations = {true};
    if (routine == 0)
        f->click(u"cmdClear"_s);
    else
        f->session().entries().enter(Entry::Goal);
    QCOMPARE(f->session().measurement().goal, goal);

    QCOMPARE(f->dialogs.messages.size(), 1);
    QCOMPARE(f->dialogs.messages[0].severity, Dialogs::Severity::Error);
    QVERIFY(f->dialogs.messages[0].text.contains(blocked));
    QVERIFY(f->state() == before);
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

enum class Outside { OtherWindow, ReplacedWeight, DeletedGoal, DeletedHistory, WhileAsking };
Q_DECLARE_METATYPE(Outside)

void tst_Entries::outsideChangesAreShown_data()
{
    QTest::addColumn<Outside>("change");
    QTest::addColumn<QString>("weight"); // Label5 afterwards
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("goal");
    QTest::newRow("another window on the folder records a weight")
        << Outside::OtherWindow << u"70"_s << 3 << true;
    QTest::newRow("an editor replaces the weight file")
        << Outside::ReplacedWeight << u"71"_s << 2 << true;
    QTest::newRow("the goal file is deleted") << Outside::DeletedGoal << u"68.5"_s << 2 << false;
    QTest::newRow("the history file is deleted")
        << Outside::DeletedHistory << u"68.5"_s << 0 << true;
    QTest::newRow("a change while the weight box is open waits for it")
        << Outside::WhileAsking << u"72"_s << 3 << true;
}

void tst_Entries::outsideChangesAreShown()
{
    QFETCH(Outside, change);
    QFETCH(QString, weight);
    QFETCH(int, lines);
    QFETCH(bool, goal);

    f = std::make_unique<WindowFixture>();
    f->writeStandardFiles(kTwoLines);
    f->write(u"目標.txt"_s, "62\r\n");
    f->load();
    QVERIFY(f->loaded);
    const QString weightPath = f->dir.filePath(kWeight);
    auto replaceWeight = [&](const QByteArray& record) {
        f->write(kWeight + u".new"_s, record);
        QVERIFY(std::rename(QFile::encodeName(weightPath + u".new"_s).constData(),
                            QFile::encodeName(weightPath).constData()) == 0);
    };
    switch (change) {
    case Outside::OtherWindow: {
        WindowFixture other;
        other.window =
            std::make_unique<frmMain>(Services{&other.dialogs, &other.clock, &other.help},
                                      DataFiles(QDir(f->dir.path())), kJapan);
        QVERIFY(other.window->Form_Load());
        other.dialogs.answers = {u"70"_s};
        other.click(u"cmdTai"_s);
        break;
    }
    case Outside::ReplacedWeight:
        replaceWeight("71\r\n");
        break;
    case Outside::DeletedGoal:
        QVERIFY(QFile::remove(f->dir.filePath(u"目標.txt"_s)));
        break;
    case Outside::DeletedHistory:
        QVERIFY(QFile::remove(f->dir.filePath(kHistory)));
        break;
    case Outside::WhileAsking:
        f->dialogs.answers = {u"72"_s};
        f->dialogs.whileAsking = [&] {
            replaceWeight("71\r\n");
            QTest::qWait(600);
            QCOMPARE(f->text(u"Label5"_s), u"68.5"_s); // the box stays as it was opened over
        };
        f->click(u"cmdTai"_s);
        break;
    }
    QTRY_COMPARE(f->text(u"Label5"_s), weight);
    QTRY_COMPARE(f->lines().size(), lines);
    QTRY_COMPARE(f->session().measurement().goal.has_value(), goal);
    // What start-up would show: the meter stands at the BMI of what the files hold.
    const auto stored = parseNumberRecord(f->read(kWeight));
    QVERIFY(stored);
    QCOMPARE(f->control<QScrollBar>(u"HScroll1"_s)->value(),
             meterPosition(clampToMeter(bodyMassIndex(*stored, 1.685f))));
}

QTEST_MAIN(tst_Entries)
#include "tst_entries.moc"
