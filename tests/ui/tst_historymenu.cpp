// The history list's menu and its keys, the tooltips that tell the bands and the goal, and the
// import's preview, through the real window on real files; what the menu's entries do is the
// session's (tests/session).

#include "support.h"

#include "session/historyimporter.h"
#include "ui/fonts.h"
#include "ui/importdialog.h"
#include "ui/trendwindow.h"

#include <QChartView>
#include <QComboBox>
#include <QHelpEvent>
#include <QListView>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

enum class Trigger { Menu, Keys };

QString toolTip(QWidget* w)
{
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &help);
    return w->toolTip();
}

} // namespace

Q_DECLARE_METATYPE(Trigger)

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
    void entriesFollowTheHistory();
    void tooltips_data();
    void tooltips();
    void deleteAndUndo_data();
    void deleteAndUndo();
    void importPreview_data();
    void importPreview();

private:
    QListView* list() const { return f->control<QListView>(u"lstRireki"_s); }
    int selectedRow() const
    {
        const QModelIndexList rows = list()->selectionModel()->selectedIndexes();
        return rows.isEmpty() ? -1 : rows.front().row();
    }
    // Triggers the menu entry, or presses its key in the list the way the user does.
    void trigger(Trigger how, const QString& entry, const QKeySequence& key)
    {
        if (how == Trigger::Menu) {
            QVERIFY(f->choose(entry));
        } else {
            list()->setFocus();
            QTest::keySequence(list(), key);
        }
    }
};

void tst_HistoryMenu::chartFromTheMenu()
{
    frmMain& w = start(dailyHistory(1000));
    QVERIFY(f->choose(u"グラフ表示"_s));
    auto* trend = w.findChild<TrendWindow*>();
    QVERIFY(trend);
    QVERIFY(trend->isVisible());
    QVERIFY(trend->chartView()->isVisible());
    QCOMPARE(trend->windowTitle(), u"体重の推移"_s);
    // Opening it again replaces the old snapshot rather than stacking windows.
    QVERIFY(f->choose(u"グラフ表示"_s));
    QTRY_COMPARE(w.findChildren<TrendWindow*>().size(), 1);
}

void tst_HistoryMenu::entriesFollowTheHistory()
{
    // The export needs lines; the undo of a clear a backup, once.
    start(dailyHistory(2));
    QVERIFY(!f->offers(u"履歴を元に戻す"_s));
    f->dialogs.confirmations = {true};
    f->click(u"cmdClear"_s);
    QVERIFY(f->lines().isEmpty());
    QVERIFY(!f->offers(u"CSV書き出し"_s));
    QVERIFY(f->choose(u"履歴を元に戻す"_s));
    QCOMPARE(f->lines().size(), 2);
    QVERIFY(!f->offers(u"履歴を元に戻す"_s));
    f->dialogs.savePaths = {Answer()};
    QVERIFY(f->choose(u"CSV書き出し"_s));
    QVERIFY(f->dialogs.allAnswered());
}

void tst_HistoryMenu::tooltips_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Answers>("goal"); // answers to the goal's box, opened from the menu first
    QTest::addColumn<QString>("says"); // in the tooltip; null: no goal in it or the meter's
    const QString goal = u"目標 62.0 kg まで \u22126.5 kg"_s;
    QTest::newRow("standard band")
        << u"Shape1(2)"_s << Answers() << u"スタンダード  56.8〜68.1 kg"_s;
    QTest::newRow("too thin band, from the meter's end")
        << u"Shape1(0)"_s << Answers() << u"やせ過ぎ  43.7〜48.3 kg"_s;
    QTest::newRow("meter") << u"HScroll1"_s << Answers() << u"でぶフォルテシモ  85.2〜89.7 kg"_s;
    QTest::newRow("meter, a goal set") << u"HScroll1"_s << Answers{u"62"_s} << goal;
    QTest::newRow("meter, the goal removed")
        << u"HScroll1"_s << Answers{u"62"_s, QString()} << QString();
}

void tst_HistoryMenu::tooltips()
{
    QFETCH(QString, control);
    QFETCH(Answers, goal);
    QFETCH(QString, says);
    start(dailyHistory(1));
    f->dialogs.answers = goal;
    f->dialogs.confirmations = {true}; // the removal
    for (qsizetype i = 0; i < goal.size(); ++i)
        QVERIFY(f->choose(u"目標体重の設定"_s));
    QCOMPARE(f->dialogs.confirmations.isEmpty(), goal.size() == 2);
    const QString tip = toolTip(f->control(control));
    QWidget* meter = f->control(u"HScroll1"_s);
    // The meter's accessible description carries the same band weights, and the goal.
    QVERIFY(meter->accessibleDescription().contains(u"56.8〜68.1"_s));
    if (goal.isEmpty()) {
        QVERIFY2(tip.contains(says), qPrintable(tip));
        return;
    }
    for (const QString& text : {tip, meter->accessibleDescription()}) {
        if (says.isNull())
            QVERIFY2(!text.contains(u"目標"_s), qPrintable(text));
        else
            QVERIFY2(text.endsWith(u'\n' + says), qPrintable(text));
    }
}

void tst_HistoryMenu::deleteAndUndo_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("row");
    QTest::addColumn<Trigger>("how");
    QTest::newRow("first, from the menu") << 3 << 0 << Trigger::Menu;
    QTest::newRow("last, Delete and Ctrl+Z") << 3 << 2 << Trigger::Keys;
    QTest::newRow("the only line, from the menu") << 1 << 0 << Trigger::Menu;
}

void tst_HistoryMenu::deleteAndUndo()
{
    QFETCH(int, lines);
    QFETCH(int, row);
    QFETCH(Trigger, how);

    frmMain& w = start(dailyHistory(lines));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(!f->offers(u"この記録を削除"_s)); // nothing selected yet
    QVERIFY(!f->offers(u"元に戻す"_s));
    list()->setCurrentIndex(list()->model()->index(row, 0));

    f->dialogs.confirmations = {true};
    trigger(how, u"この記録を削除"_s, QKeySequence(Qt::Key_Delete));
    QCOMPARE(f->lines().size(), lines - 1);
    // The next line down takes the selection, so that Delete can go on through the list.
    QCOMPARE(selectedRow(), lines == 1 ? -1 : std::min(row, lines - 2));
    QVERIFY(f->offers(u"元に戻す"_s));

    trigger(how, u"元に戻す"_s, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(f->lines().size(), lines);
    QCOMPARE(selectedRow(), row);
    QVERIFY(!f->offers(u"元に戻す"_s));
    QVERIFY(f->dialogs.allAnswered() && f->dialogs.messages.isEmpty());
}

void tst_HistoryMenu::importPreview_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("asksOrder");
    QTest::addColumn<bool>("offersImport");
    QTest::newRow("dates in one order")
        << QByteArray("date,weight\n2026-05-09,70.1\n") << false << true;
    // 取り込む waits for the choice: which day 03/04 is decides which entries are new.
    QTest::newRow("the order of month and day open")
        << QByteArray("date,weight\n03/04/2026,70.1\n") << true << true;
    QTest::newRow("nothing new") << QByteArray("date,weight\n2026-05-11,68.5\n") << false << false;
}

void tst_HistoryMenu::importPreview()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, asksOrder);
    QFETCH(bool, offersImport);

    frmMain& w = start(dailyHistory(1));
    const QString path = f->path(u"scale.csv"_s);
    QVERIFY(writeBytes(path, file));
    ImportRead read = readImportFile(path);
    QVERIFY(read.file);
    ImportPreviewer previewer(*w.session(), std::move(*read.file));
    ImportDialog dialog(previewer, &w);
    auto* import = dialog.findChild<QPushButton*>(u"cmdImport"_s);
    QComboBox* order = nullptr;
    for (QComboBox* box : dialog.findChildren<QComboBox*>())
        order = box->accessibleName() == u"日付の順序"_s ? box : order;
    QVERIFY(import && order);
    QCOMPARE(order->isVisibleTo(&dialog), asksOrder);
    QCOMPARE(import->isVisibleTo(&dialog), offersImport);
    QCOMPARE(import->isEnabled(), !asksOrder);
    if (asksOrder) {
        order->setFocus();
        QTest::keyClick(order, Qt::Key_Down);
        QVERIFY(import->isEnabled());
        QCOMPARE(previewer.preview().firstDate, QDate(2026, 3, 4));
    }
}

QTEST_MAIN(tst_HistoryMenu)
#include "tst_historymenu.moc"
