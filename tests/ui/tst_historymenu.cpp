// The history list's menu (trend chart, CSV export, undoing a clear, deleting one line and
// undoing that) and the band tooltips, through the real window on real files.

#include "support.h"

#include "session/historymodel.h"
#include "ui/fonts.h"
#include "ui/trendwindow.h"

#include <QAction>
#include <QChartView>
#include <QFileInfo>
#include <QHelpEvent>
#include <QListView>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

const QString kHistory = u"履歴.txt"_s;

QByteArray history(int lines)
{
    QByteArray bytes;
    for (int i = 0; i < lines; ++i) {
        const QDate d = QDate(2026, 5, 11).addDays(i - lines + 1);
        bytes += d.toString(u"MM/dd"_s).toUtf8() + "  68.5Kg  24.1  9.6%\r\n";
    }
    return bytes;
}

QAction* action(QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

enum class Trigger { Menu, Keys };
enum class NextChange { WeightEntry, Clear, AnotherDeletion };

} // namespace

Q_DECLARE_METATYPE(Trigger)
Q_DECLARE_METATYPE(NextChange)

class tst_HistoryMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> f;

    frmMain& start(const QByteArray& lines)
    {
        f = std::make_unique<WindowFixture>();
        f->writeStandardFiles(lines);
        return f->load();
    }

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void chartFromTheMenu();
    void undoSurvivesTheNextEntry();
    void longLinesAreCut_data();
    void longLinesAreCut();
    void csvExport();
    void bandTooltips_data();
    void bandTooltips();
    void deleteAndUndo_data();
    void deleteAndUndo();
    void deleteCancelled();
    void undoEndsWithTheNextChange_data();
    void undoEndsWithTheNextChange();
    void deleteFailures_data();
    void deleteFailures();

private:
    void select(int row)
    {
        auto* list = f->control<QListView>(u"lstRireki"_s);
        list->setCurrentIndex(list->model()->index(row, 0));
    }
    // Triggers the menu entry, or presses its key in the list the way the user does.
    void trigger(Trigger how, const QString& entry, const QKeySequence& key)
    {
        if (how == Trigger::Menu) {
            std::unique_ptr<QMenu> menu(f->window->createHistoryMenu());
            QAction* a = action(menu.get(), entry);
            QVERIFY(a && a->isEnabled());
            a->trigger();
        } else {
            auto* list = f->control<QListView>(u"lstRireki"_s);
            list->setFocus();
            QTest::keySequence(list, key);
        }
    }
};

void tst_HistoryMenu::chartFromTheMenu()
{
    frmMain& w = start(history(1000));
    std::unique_ptr<QMenu> menu(w.createHistoryMenu());
    QAction* chart = action(menu.get(), u"グラフ表示"_s);
    QVERIFY(chart && chart->isEnabled());
    chart->trigger();
    auto* trend = w.findChild<TrendWindow*>();
    QVERIFY(trend);
    QVERIFY(trend->isVisible());
    QVERIFY(trend->chartView()->isVisible());
    QCOMPARE(trend->windowTitle(), u"体重の推移"_s);
    // Opening it again replaces the old snapshot rather than stacking windows.
    chart->trigger();
    QTRY_COMPARE(w.findChildren<TrendWindow*>().size(), 1);
}

void tst_HistoryMenu::undoSurvivesTheNextEntry()
{
    const QByteArray old = history(2);
    frmMain& w = start(old);
    const QStringList before = f->lines();
    std::unique_ptr<QMenu> menu(w.createHistoryMenu());
    QVERIFY(!action(menu.get(), u"履歴を元に戻す"_s)->isEnabled()); // no backup yet

    // Clear, record a weight, undo: the old lines come back before the new one.
    f->dialogs.confirmations = {true};
    f->dialogs.answers = {u"68.0"_s};
    f->click(u"cmdClear"_s);
    f->click(u"cmdTai"_s);
    QCOMPARE(f->lines().size(), 1);
    const QString entered = f->lines().first();
    menu.reset(w.createHistoryMenu());
    QAction* undo = action(menu.get(), u"履歴を元に戻す"_s);
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(f->lines(), before + QStringList{entered});
    QCOMPARE(f->read(kHistory), old + entered.toUtf8() + "\r\n");
    QVERIFY(!f->exists(kHistoryBackupFileName));
    QVERIFY(f->dialogs.messages.isEmpty());
    QVERIFY(!f->choose(u"履歴を元に戻す"_s)); // undone once: the menu offers it no more

    // A second clear while a backup exists asks before it throws the older backup away;
    // Cancel changes nothing.
    f->dialogs.confirmations = {true};
    f->click(u"cmdClear"_s);
    const QByteArray firstBackup = f->read(kHistoryBackupFileName);
    f->dialogs.answers = {u"67.5"_s};
    f->click(u"cmdTai"_s);
    const QByteArray since = f->read(kHistory);
    f->dialogs.confirms.clear();
    f->dialogs.confirmations = {true, false};
    f->click(u"cmdClear"_s);
    QCOMPARE(f->dialogs.confirms.size(), 2);
    QVERIFY2(f->dialogs.confirms[1].text.contains(f->dir.filePath(kHistoryBackupFileName)),
             qPrintable(f->dialogs.confirms[1].text));
    QCOMPARE(f->read(kHistoryBackupFileName), firstBackup);
    QCOMPARE(f->read(kHistory), since);
    QCOMPARE(f->lines().size(), 1);
    // OK replaces it.
    f->dialogs.confirmations = {true, true};
    f->click(u"cmdClear"_s);
    QCOMPARE(f->read(kHistoryBackupFileName), since);
    QCOMPARE(f->read(kHistory), QByteArray());
    QVERIFY(f->lines().isEmpty());
    QVERIFY(f->dialogs.confirmations.isEmpty());
}

void tst_HistoryMenu::longLinesAreCut_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("shown");

    const QString ellipsis(QChar(0x2026));
    QTest::newRow("a written line")
        << QByteArray("05/11  68.5Kg  24.1  9.6%") << u"05/11  68.5Kg  24.1  9.6%"_s;
    QTest::newRow("200 characters are shown whole") << QByteArray(200, 'x') << QString(200, u'x');
    QTest::newRow("201 characters are cut")
        << QByteArray(201, 'x') << QString(200, u'x') + ellipsis;
    QTest::newRow("Japanese, cut by characters, not bytes")
        << QByteArray("体").repeated(300) << u"体"_s.repeated(200) + ellipsis;
    // A character outside the BMP at the cut is not split in half.
    QTest::newRow("no half surrogate pair")
        << QByteArray(199, 'x') + QByteArray("𝄞").repeated(5) << QString(199, u'x') + ellipsis;
    QTest::newRow("50 MB without a line end")
        << QByteArray(50'000'000, '7') << QString(200, u'7') + ellipsis;
}

void tst_HistoryMenu::longLinesAreCut()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, shown);

    start("05/10  69.0Kg  24.3  10.4%\r\n" + line);
    const HistoryModel& model = *f->session().history();
    const QModelIndex row = model.index(1);
    for (const int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole), int(Qt::AccessibleTextRole)})
        QCOMPARE(model.data(row, role).toString(), shown);
    // The history itself keeps every byte.
    QCOMPARE(model.lines().lineBytes(1).size(), line.size());
    // So does the question before the line is deleted (a line of megabytes froze it).
    f->dialogs.confirmations = {false};
    f->session().editor().deleteLine(1);
    QCOMPARE(f->dialogs.confirms.value(0).text, u"次の記録を履歴から削除します。\n\n"_s + shown);
}

void tst_HistoryMenu::csvExport()
{
    start(QByteArray("05/11  68.5Kg  24.1  9.6%\r\n"));
    const QString path = f->dir.filePath(u"書き出し.csv"_s);
    QVERIFY(QDir(f->dir.path()).mkdir(u"塞がれた.csv"_s));
    f->dialogs.savePaths = {path, f->dir.filePath(u"塞がれた.csv"_s), std::nullopt};
    QVERIFY(f->choose(u"CSV書き出し"_s));
    QCOMPARE(f->dialogs.saves.size(), 1);
    const QByteArray bytes = f->read(u"書き出し.csv"_s);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY2(bytes.contains("2026-05-11,68.5,24.1,9.6,68.5\r\n"), bytes.constData());
    QVERIFY(f->dialogs.messages.isEmpty());

    // A failure is reported with the file's name; Cancel writes nothing and says nothing.
    QVERIFY(f->choose(u"CSV書き出し"_s));
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(f->dialogs.messages[0].text.contains(u"塞がれた.csv"_s));
    QVERIFY(f->choose(u"CSV書き出し"_s));
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(!f->dialogs.unexpected);
}

void tst_HistoryMenu::bandTooltips_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("says");
    QTest::newRow("standard band") << u"Shape1(2)"_s << u"スタンダード  56.8〜68.1 kg"_s;
    QTest::newRow("too thin band, from the meter's end")
        << u"Shape1(0)"_s << u"やせ過ぎ  43.7〜48.3 kg"_s;
    QTest::newRow("meter") << u"HScroll1"_s << u"でぶフォルテシモ  85.2〜89.7 kg"_s;
}

void tst_HistoryMenu::bandTooltips()
{
    QFETCH(QString, control);
    QFETCH(QString, says);
    start(history(1));
    QWidget* w = f->control(control);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &help);
    QVERIFY2(w->toolTip().contains(says), qPrintable(w->toolTip()));
    // The meter's accessible description carries the same band weights.
    QVERIFY(f->control(u"HScroll1"_s)->accessibleDescription().contains(u"56.8〜68.1"_s));
}

void tst_HistoryMenu::deleteAndUndo_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("row");
    QTest::addColumn<Trigger>("how");

    const QByteArray three = history(3);
    QTest::newRow("first, from the menu") << three << 0 << Trigger::Menu;
    QTest::newRow("middle, Delete and Ctrl+Z") << three << 1 << Trigger::Keys;
    QTest::newRow("last line without its line end, Delete and Ctrl+Z")
        << three.chopped(2) << 2 << Trigger::Keys;
    QTest::newRow("the only line") << history(1) << 0 << Trigger::Menu;
}

void tst_HistoryMenu::deleteAndUndo()
{
    QFETCH(QByteArray, content);
    QFETCH(int, row);
    QFETCH(Trigger, how);

    frmMain& w = start(content);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QStringList before = f->lines();
    select(row);

    f->dialogs.confirmations = {true};
    trigger(how, u"この記録を削除"_s, QKeySequence(Qt::Key_Delete));
    // The confirmation names the line, and Enter would cancel it.
    QCOMPARE(f->dialogs.confirms.size(), 1);
    QVERIFY(f->dialogs.confirms[0].text.contains(before[row]));
    QCOMPARE(f->dialogs.confirms[0].defaultButton, Dialogs::Default::Cancel);

    QStringList after = before;
    after.removeAt(row);
    QCOMPARE(f->lines(), after);
    QCOMPARE(History(f->read(kHistory)).toStringList(), after);
    QCOMPARE(f->read(u"体重.txt"_s), QByteArray("68.5\r\n"));
    QVERIFY(f->dialogs.messages.isEmpty());

    trigger(how, u"元に戻す"_s, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(f->read(kHistory), content);
    QCOMPARE(f->lines(), before);
    QVERIFY(f->dialogs.messages.isEmpty());
    // Once: the line is back, and there is nothing more to undo.
    std::unique_ptr<QMenu> menu(w.createHistoryMenu());
    QVERIFY(!action(menu.get(), u"元に戻す"_s)->isEnabled());
    QVERIFY(!f->dialogs.unexpected);
}

void tst_HistoryMenu::deleteCancelled()
{
    frmMain& w = start(history(3));
    std::unique_ptr<QMenu> menu(w.createHistoryMenu());
    QVERIFY(!action(menu.get(), u"この記録を削除"_s)->isEnabled()); // nothing selected yet
    select(1);
    menu.reset(w.createHistoryMenu());
    f->dialogs.confirmations = {false};
    action(menu.get(), u"この記録を削除"_s)->trigger();
    QCOMPARE(f->dialogs.confirms.size(), 1);
    QCOMPARE(f->read(kHistory), history(3));
    QCOMPARE(f->lines().size(), 3);
    menu.reset(w.createHistoryMenu());
    QVERIFY(!action(menu.get(), u"元に戻す"_s)->isEnabled());
}

void tst_HistoryMenu::undoEndsWithTheNextChange_data()
{
    QTest::addColumn<NextChange>("change");
    QTest::addColumn<int>("lines"); // in the list and the file afterwards
    QTest::newRow("a weight entry") << NextChange::WeightEntry << 3;
    QTest::newRow("a clear") << NextChange::Clear << 0;
    QTest::newRow("another deletion") << NextChange::AnotherDeletion << 1;
}

void tst_HistoryMenu::undoEndsWithTheNextChange()
{
    QFETCH(NextChange, change);
    QFETCH(int, lines);

    frmMain& w = start(history(3));
    select(0);
    f->dialogs.confirmations = {true};
    QVERIFY(f->choose(u"この記録を削除"_s));
    switch (change) {
    case NextChange::WeightEntry:
        f->dialogs.answers = {u"68.0"_s};
        f->click(u"cmdTai"_s);
        break;
    case NextChange::Clear:
        f->dialogs.confirmations = {true};
        f->click(u"cmdClear"_s);
        break;
    case NextChange::AnotherDeletion:
        select(0);
        f->dialogs.confirmations = {true};
        QVERIFY(f->choose(u"この記録を削除"_s));
        break;
    }
    const QByteArray file = f->read(kHistory);
    std::unique_ptr<QMenu> menu(w.createHistoryMenu());
    QAction* undo = action(menu.get(), u"元に戻す"_s);
    QCOMPARE(undo->isEnabled(), change == NextChange::AnotherDeletion);
    // Ctrl+Z after a weight entry or a clear changes nothing.
    f->choose(u"元に戻す"_s);
    if (change == NextChange::AnotherDeletion)
        ++lines; // the second deletion is undone, the first stays
    else
        QCOMPARE(f->read(kHistory), file);
    QCOMPARE(f->lines().size(), lines);
    QCOMPARE(History(f->read(kHistory)).size(), lines);
    QVERIFY(f->dialogs.messages.isEmpty());
}

void tst_HistoryMenu::deleteFailures_data()
{
    QTest::addColumn<bool>("undoing"); // false: the deletion fails
    QTest::addColumn<bool>("changed"); // the file was changed behind the window, not blocked
    QTest::newRow("deletion: history file blocked") << false << false;
    QTest::newRow("deletion: history changed elsewhere") << false << true;
    QTest::newRow("undo: history file blocked") << true << false;
    QTest::newRow("undo: history changed elsewhere") << true << true;
}

void tst_HistoryMenu::deleteFailures()
{
    QFETCH(bool, undoing);
    QFETCH(bool, changed);

    start(history(3));
    select(1);
    if (undoing) {
        f->dialogs.confirmations = {true};
        QVERIFY(f->choose(u"この記録を削除"_s));
        QCOMPARE(f->lines().size(), 2);
    }
    const QStringList shown = f->lines();
    const QString path = f->dir.filePath(kHistory);
    const QByteArray elsewhere = history(4);
    if (changed) {
        f->write(kHistory, elsewhere); // another instance recorded a line meanwhile
    } else {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir(f->dir.path()).mkdir(kHistory));
    }

    f->dialogs.confirmations = {true};
    if (undoing)
        f->choose(u"元に戻す"_s);
    else
        QVERIFY(f->choose(u"この記録を削除"_s));
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(f->dialogs.messages[0].text.contains(path), qPrintable(f->dialogs.messages[0].text));
    if (changed) {
        // Nothing written; the list shows the file as it now is.
        QCOMPARE(f->read(kHistory), elsewhere);
        QCOMPARE(f->lines(), History(elsewhere).toStringList());
    } else {
        QCOMPARE(f->dialogs.messages[0].severity, Dialogs::Severity::Error);
        QCOMPARE(f->lines(), shown);
        QVERIFY(QFileInfo(path).isDir());
    }
}

QTEST_MAIN(tst_HistoryMenu)
#include "tst_historymenu.moc"
