// The history list's menu (trend chart, CSV export, undoing a clear) and the band tooltips,
// through the real window on real files.

#include "support.h"

#include "ui/fonts.h"
#include "ui/historymodel.h"
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
    void undoSurvivesTheNextEntry();
    void longLinesAreCut_data();
    void longLinesAreCut();
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

void tst_HistoryMenu::undoSurvivesTheNextEntry()
{
    const QByteArray old = history(2);
    frmMain& w = start(old);
    const QStringList before = w.historyEntries();
    std::unique_ptr<QMenu> menu(w.createHistoryMenu());
    QVERIFY(!action(menu.get(), u"履歴を元に戻す"_s)->isEnabled()); // no backup yet

    // Clear, record a weight, undo: the old lines come back before the new one.
    f->dialogs.confirmations = {true};
    f->dialogs.answers = {u"68.0"_s};
    w.cmdClear_Click();
    w.cmdTai_Click();
    QCOMPARE(w.historyEntries().size(), 1);
    const QString entered = w.historyEntries().first();
    menu.reset(w.createHistoryMenu());
    QAction* undo = action(menu.get(), u"履歴を元に戻す"_s);
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(w.historyEntries(), before + QStringList{entered});
    QCOMPARE(f->read(kHistory), old + entered.toUtf8() + "\r\n");
    QVERIFY(!f->exists(kHistoryBackupFileName));
    QVERIFY(f->dialogs.messages.isEmpty());

    // A second clear while a backup exists asks before it throws the older backup away;
    // Cancel changes nothing.
    f->dialogs.confirmations = {true};
    w.cmdClear_Click();
    const QByteArray firstBackup = f->read(kHistoryBackupFileName);
    f->dialogs.answers = {u"67.5"_s};
    w.cmdTai_Click();
    const QByteArray since = f->read(kHistory);
    f->dialogs.confirms.clear();
    f->dialogs.confirmations = {true, false};
    w.cmdClear_Click();
    QCOMPARE(f->dialogs.confirms.size(), 2);
    QVERIFY2(f->dialogs.confirms[1].text.contains(f->dir.filePath(kHistoryBackupFileName)),
             qPrintable(f->dialogs.confirms[1].text));
    QCOMPARE(f->read(kHistoryBackupFileName), firstBackup);
    QCOMPARE(f->read(kHistory), since);
    QCOMPARE(w.historyEntries().size(), 1);
    // OK replaces it.
    f->dialogs.confirmations = {true, true};
    w.cmdClear_Click();
    QCOMPARE(f->read(kHistoryBackupFileName), since);
    QCOMPARE(f->read(kHistory), QByteArray());
    QVERIFY(w.historyEntries().isEmpty());
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

    HistoryModel model;
    model.setLines(History("05/10  69.0Kg  24.3  10.4%\r\n" + line));
    const QModelIndex row = model.index(1);
    for (const int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole), int(Qt::AccessibleTextRole)})
        QCOMPARE(model.data(row, role).toString(), shown);
    // The history itself keeps every byte.
    QCOMPARE(model.lines().lineBytes(1).size(), line.size());
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
