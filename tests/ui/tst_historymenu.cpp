// The history list's menu (trend chart, CSV export, undoing a clear) and the band tooltips,
// through the real window on real files.

#include "support.h"

#include "ui/fonts.h"
#include "ui/trendwindow.h"

#include <QAction>
#include <QChartView>
#include <QHelpEvent>
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

} // namespace

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
    void clearThenUndo_data();
    void clearThenUndo();
    void undoIsOfferedOnlyForAnEmptyHistoryWithABackup();
    void csvExport();
    void csvExportFailureIsReported();
    void bandTooltips_data();
    void bandTooltips();
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

void tst_HistoryMenu::clearThenUndo_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("CR LF lines") << history(3);
    QTest::newRow("last line without its line end") << QByteArray("05/10  68.7Kg  24.2  9.9%\r\n"
                                                                  "05/11  68.5Kg  24.1  9.6%");
    QTest::newRow("LF lines") << QByteArray(
        "05/10  68.7Kg  24.2  9.9%\n05/11  68.5Kg  24.1  9.6%\n");
}

void tst_HistoryMenu::clearThenUndo()
{
    QFETCH(QByteArray, content);
    frmMain& w = start(content);
    const QStringList before = w.historyEntries();

    f->dialogs.confirmations = {true};
    w.cmdClear_Click();
    QCOMPARE(f->read(kHistory), QByteArray());
    QVERIFY(w.historyEntries().isEmpty());

    std::unique_ptr<QMenu> menu(w.createHistoryMenu());
    QAction* undo = action(menu.get(), u"履歴を元に戻す"_s);
    QVERIFY(undo && undo->isEnabled());
    undo->trigger();
    QCOMPARE(f->read(kHistory), content);
    QCOMPARE(w.historyEntries(), before);
    QVERIFY(f->dialogs.messages.isEmpty());

    // Undone once: the menu offers it no more.
    menu.reset(w.createHistoryMenu());
    QVERIFY(!action(menu.get(), u"履歴を元に戻す"_s)->isEnabled());
}

void tst_HistoryMenu::undoIsOfferedOnlyForAnEmptyHistoryWithABackup()
{
    frmMain& w = start(history(2));
    std::unique_ptr<QMenu> menu(w.createHistoryMenu());
    QVERIFY(!action(menu.get(), u"履歴を元に戻す"_s)->isEnabled()); // no backup yet

    f->dialogs.confirmations = {true};
    f->dialogs.answers = {u"68.0"_s};
    w.cmdClear_Click();
    w.cmdTai_Click(); // a new entry after the clear
    menu.reset(w.createHistoryMenu());
    QVERIFY(!action(menu.get(), u"履歴を元に戻す"_s)->isEnabled());
    QCOMPARE(w.historyEntries().size(), 1);
}

void tst_HistoryMenu::csvExport()
{
    frmMain& w = start(QByteArray("05/11  68.5Kg  24.1  9.6%\r\n"));
    const QString path = f->dir.filePath(u"書き出し.csv"_s);
    f->dialogs.savePaths = {path};
    std::unique_ptr<QMenu> menu(w.createHistoryMenu());
    action(menu.get(), u"CSV書き出し"_s)->trigger();
    QCOMPARE(f->dialogs.saves.size(), 1);
    QFile csv(path);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY2(bytes.contains("2026-05-11,68.5,24.1,9.6\r\n"), bytes.constData());
    QVERIFY(f->dialogs.messages.isEmpty());
}

void tst_HistoryMenu::csvExportFailureIsReported()
{
    frmMain& w = start(history(2));
    QVERIFY(QDir(f->dir.path()).mkdir(u"塞がれた.csv"_s));
    f->dialogs.savePaths = {f->dir.filePath(u"塞がれた.csv"_s)};
    w.exportCsv();
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(f->dialogs.messages[0].text.contains(u"塞がれた.csv"_s));

    // Cancel writes nothing and says nothing.
    f->dialogs.savePaths = {std::nullopt};
    w.exportCsv();
    QCOMPARE(f->dialogs.messages.size(), 1);
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

QTEST_MAIN(tst_HistoryMenu)
#include "tst_historymenu.moc"
