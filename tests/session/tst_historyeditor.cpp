// The history's editing on real files: clearing it and undoing that, deleting one line and
// undoing that, an import and its undo, the CSV export, how long lines are shown, and what a
// failed edit tells.

#include "session/historyimporter.h"
#include "support.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

enum class Edit { Clear, Delete, Undo };
enum class NextChange { WeightEntry, Clear, AnotherDeletion };

} // namespace

Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(NextChange)

class tst_HistoryEditor : public QObject {
    Q_OBJECT

    std::unique_ptr<SessionFixture> f;

    void start(const QByteArray& history)
    {
        f = std::make_unique<SessionFixture>();
        QVERIFY(f->start(history));
    }
    // The deletion of line `row`, confirmed: the row it selects next.
    std::optional<int> deleteLine(int row)
    {
        f->dialogs.confirmations = {true};
        return f->editor().deleteLine(row);
    }

private slots:
    void clearAndUndo_data();
    void clearAndUndo();
    void deleteAndUndo_data();
    void deleteAndUndo();
    void undoEndsWithTheNextChange_data();
    void undoEndsWithTheNextChange();
    void importAndUndo_data();
    void importAndUndo();
    void failures_data();
    void failures();
    void csvExport_data();
    void csvExport();
    void longLinesAreCut_data();
    void longLinesAreCut();
};

void tst_HistoryEditor::clearAndUndo_data()
{
    QTest::addColumn<QByteArray>("history"); // null: no file
    QTest::addColumn<QByteArray>("backup");  // from an earlier clear; null: none
    QTest::addColumn<QList<bool>>("confirmations");
    QTest::addColumn<bool>("cleared");

    const QByteArray two = dailyHistory(2), older = dailyHistory(1, QDate(2026, 4, 1)), none;
    QTest::newRow("two lines") << two << none << QList<bool>{true} << true;
    QTest::newRow("an empty file") << QByteArray("") << none << QList<bool>{true} << true;
    QTest::newRow("no file") << none << none << QList<bool>{true} << true;
    QTest::newRow("Cancel") << two << none << QList<bool>{false} << false;
    // Only one backup is kept: the older one is thrown away only after a question.
    QTest::newRow("an older backup, replaced") << two << older << QList<bool>{true, true} << true;
    QTest::newRow("an older backup, kept") << two << older << QList<bool>{true, false} << false;
    QTest::newRow("an empty history leaves the older backup")
        << QByteArray("") << older << QList<bool>{true} << true;
    QTest::newRow("no file leaves the older backup") << none << older << QList<bool>{true} << true;
}

void tst_HistoryEditor::clearAndUndo()
{
    QFETCH(QByteArray, history);
    QFETCH(QByteArray, backup);
    QFETCH(QList<bool>, confirmations);
    QFETCH(bool, cleared);

    f = std::make_unique<SessionFixture>();
    if (!backup.isNull())
        f->write(kHistoryBackupFileName, backup);
    f->writeStandardFiles(history);
    if (history.isNull())
        QVERIFY(QFile::remove(f->path(kHistoryFileName)));
    QVERIFY(f->load());
    SessionState before = f->state();

    f->dialogs.confirmations = confirmations;
    f->editor().clearHistory();
    QVERIFY(f->dialogs.allAnswered());
    QCOMPARE(f->dialogs.confirms[0].text, u"これまでの履歴を削除します"_s);
    QCOMPARE(f->dialogs.confirms[0].title, u"履歴削除"_s);
    if (confirmations.size() > 1)
        QVERIFY2(f->dialogs.confirms[1].text.contains(f->path(kHistoryBackupFileName)),
                 qPrintable(f->dialogs.confirms[1].text));
    QVERIFY(f->dialogs.messages.isEmpty());
    const QByteArray left = cleared ? QByteArray("") : history;
    QVERIFY(f->exists(kHistoryFileName) || !cleared);
    QCOMPARE(f->read(kHistoryFileName), left);
    QCOMPARE(f->lines(), History(left).toStringList());
    const QByteArray kept = cleared && !history.isEmpty() ? history : backup;
    QCOMPARE(f->read(kHistoryBackupFileName), kept);
    // Nothing but the history and its backup changes.
    SessionState now = f->state();
    for (SessionState* s : {&before, &now}) {
        s->files.remove(kHistoryFileName);
        s->files.remove(kHistoryBackupFileName);
        s->lines.clear();
    }
    QVERIFY(now == before);

    // The next entry writes the first line of a new history; an undo puts the backup's lines
    // back before it, once.
    f->dialogs.answers = {u"68.5"_s};
    f->entries().enter(Entry::Weight);
    const QByteArray entered = "05/11  68.5Kg  24.1  9.6%\r\n";
    QCOMPARE(f->read(kHistoryFileName), left + entered);
    QCOMPARE(f->editor().canUndoClear(), !kept.isNull());
    if (kept.isNull())
        return;
    f->editor().undoClear();
    QCOMPARE(f->read(kHistoryFileName), kept + left + entered);
    QCOMPARE(f->lines(), History(kept + left + entered).toStringList());
    QVERIFY(!f->exists(kHistoryBackupFileName));
    QVERIFY(!f->editor().canUndoClear());
    QVERIFY(f->dialogs.allAnswered() && f->dialogs.messages.isEmpty());
}

void tst_HistoryEditor::deleteAndUndo_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("next"); // the row selected after the deletion; -1: none

    const QByteArray three = dailyHistory(3);
    QTest::newRow("first") << three << 0 << 0;
    QTest::newRow("middle") << three << 1 << 1;
    QTest::newRow("last line without its line end") << three.chopped(2) << 2 << 1;
    QTest::newRow("the only line") << dailyHistory(1) << 0 << -1;
    QTest::newRow("cancelled") << three << 1 << -2;
}

void tst_HistoryEditor::deleteAndUndo()
{
    QFETCH(QByteArray, content);
    QFETCH(int, row);
    QFETCH(int, next);

    start(content);
    const SessionState before = f->state();
    f->dialogs.confirmations = {next != -2};
    const std::optional<int> selected = f->editor().deleteLine(row);
    // The confirmation names the line, and Enter would cancel it.
    QVERIFY(f->dialogs.allAnswered());
    QVERIFY(f->dialogs.confirms[0].text.contains(before.lines[row]));
    QCOMPARE(f->dialogs.confirms[0].defaultButton, Dialogs::Default::Cancel);
    QVERIFY(f->dialogs.messages.isEmpty());
    if (next == -2) {
        QVERIFY(f->state() == before);
        QVERIFY(!selected && !f->editor().canUndoDelete());
        return;
    }
    QCOMPARE(selected.value_or(-1), next);
    QStringList after = before.lines;
    after.removeAt(row);
    QCOMPARE(f->lines(), after);
    QCOMPARE(History(f->read(kHistoryFileName)).toStringList(), after);
    QCOMPARE(f->read(kWeightFileName), QByteArray("68.5\r\n"));

    QVERIFY(f->editor().canUndoDelete());
    QCOMPARE(f->editor().undoDelete(), std::optional(row));
    QVERIFY(f->state() == before);
    QVERIFY(f->dialogs.messages.isEmpty());
    // Once: the line is back, and there is nothing more to undo.
    QVERIFY(!f->editor().canUndoDelete());
}

void tst_HistoryEditor::undoEndsWithTheNextChange_data()
{
    QTest::addColumn<NextChange>("change");
    QTest::addColumn<int>("lines"); // in the list and the file afterwards
    QTest::newRow("a weight entry") << NextChange::WeightEntry << 3;
    QTest::newRow("a clear") << NextChange::Clear << 0;
    QTest::newRow("another deletion") << NextChange::AnotherDeletion << 2;
}

void tst_HistoryEditor::undoEndsWithTheNextChange()
{
    QFETCH(NextChange, change);
    QFETCH(int, lines);

    start(dailyHistory(3));
    QVERIFY(deleteLine(0));
    switch (change) {
    case NextChange::WeightEntry:
        f->dialogs.answers = {u"68.0"_s};
        f->entries().enter(Entry::Weight);
        break;
    case NextChange::Clear:
        f->dialogs.confirmations = {true};
        f->editor().clearHistory();
        break;
    case NextChange::AnotherDeletion:
        QVERIFY(deleteLine(0)); // undone below; the first deletion stays
        break;
    }
    const QByteArray file = f->read(kHistoryFileName);
    QCOMPARE(f->editor().canUndoDelete(), change == NextChange::AnotherDeletion);
    f->editor().undoDelete();
    if (change != NextChange::AnotherDeletion)
        QCOMPARE(f->read(kHistoryFileName), file);
    QCOMPARE(f->lines().size(), lines);
    QCOMPARE(History(f->read(kHistoryFileName)).size(), lines);
    QVERIFY(f->dialogs.allAnswered() && f->dialogs.messages.isEmpty());
}

void tst_HistoryEditor::importAndUndo_data()
{
    QTest::addColumn<bool>("heightKnown");
    QTest::addColumn<bool>("dropped"); // else chosen in the file dialog
    QTest::addColumn<bool>("readable");
    QTest::addColumn<Answers>("heights"); // the height box's answers
    QTest::addColumn<QList<bool>>("imports");
    QTest::addColumn<bool>("makeCurrent");
    QTest::addColumn<int>("added"); // -1: nothing changed

    const Answers none;
    QTest::newRow("chosen, the newest weight made current")
        << true << false << true << none << QList<bool>{true} << true << 2;
    QTest::newRow("dropped, the weight kept")
        << true << true << true << none << QList<bool>{true} << false << 2;
    QTest::newRow("the preview cancelled")
        << true << false << true << none << QList<bool>{false} << true << -1;
    QTest::newRow("an unreadable file")
        << true << true << false << none << QList<bool>{} << true << -1;
    QTest::newRow("no height: asked first")
        << false << true << true << Answers{u"1.685"_s} << QList<bool>{true} << true << 2;
    QTest::newRow("no height, the height box cancelled")
        << false << false << true << Answers{std::nullopt} << QList<bool>{} << true << -1;
}

void tst_HistoryEditor::importAndUndo()
{
    QFETCH(bool, heightKnown);
    QFETCH(bool, dropped);
    QFETCH(bool, readable);
    QFETCH(Answers, heights);
    QFETCH(QList<bool>, imports);
    QFETCH(bool, makeCurrent);
    QFETCH(int, added);

    QTemporaryDir elsewhere;
    const QString path = elsewhere.filePath(u"scale.csv"_s);
    if (readable)
        QVERIFY(writeBytes(path, "date,weight\n2026-05-09,70.1\n2026-05-10,69.4\n"));
    f = std::make_unique<SessionFixture>();
    f->writeStandardFiles(dailyHistory(2, QDate(2026, 5, 1)));
    if (!heightKnown)
        QVERIFY(QFile::remove(f->path(kHeightFileName)));
    QVERIFY(f->load());
    const SessionState before = f->state();
    f->dialogs.openPaths = dropped ? Answers{} : Answers{path};
    f->dialogs.answers = heights;
    f->dialogs.imports = imports;
    qint64 previewed = 0;
    f->dialogs.whilePreviewing = [&](ImportPreviewer& previewer) {
        previewer.chooseCurrentWeight(makeCurrent);
        previewed = previewer.preview().newEntries;
    };
    f->session->importer().importHistory(dropped ? std::optional(path) : std::nullopt);
    QVERIFY(f->dialogs.allAnswered());
    QCOMPARE(f->dialogs.opens.size(), dropped ? 0 : 1);
    if (added < 0) {
        QVERIFY(f->state() == before);
        QCOMPARE(f->dialogs.messages.size(), readable ? 0 : 1);
        return;
    }
    QCOMPARE(previewed, added);
    QStringList lines = f->lines();
    QCOMPARE(lines.size(), before.lines.size() + added);
    QCOMPARE(History(f->read(kHistoryFileName)).toStringList(), lines);
    QVERIFY(lines.last().startsWith(u"05/10  69.4Kg"_s));
    const QByteArray weight = makeCurrent ? "69.4\r\n" : "68.5\r\n";
    QCOMPARE(f->read(kWeightFileName), weight);
    QCOMPARE(f->measurement().weight, std::optional(weight.trimmed().toFloat()));
    QCOMPARE(f->dialogs.messages.size(), 1);
    QCOMPARE(f->dialogs.messages[0].severity, Dialogs::Severity::Information);

    // The undo asks first, and takes out the imported lines only.
    QVERIFY(f->editor().canUndoClear());
    f->dialogs.confirmations = {true};
    f->editor().undoClear();
    QVERIFY(f->dialogs.allAnswered());
    QCOMPARE(f->lines(), before.lines);
    QCOMPARE(History(f->read(kHistoryFileName)).toStringList(), before.lines);
    QCOMPARE(f->read(kWeightFileName), QByteArray("68.5\r\n"));
    QCOMPARE(f->measurement().weight, std::optional(68.5f));
    if (heightKnown)
        QVERIFY(f->state() == before);
}

void tst_HistoryEditor::failures_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<bool>("changed"); // the file was changed behind the session, not blocked
    QTest::newRow("clear: history file blocked") << Edit::Clear << false;
    QTest::newRow("deletion: history file blocked") << Edit::Delete << false;
    QTest::newRow("deletion: history changed elsewhere") << Edit::Delete << true;
    QTest::newRow("undo: history file blocked") << Edit::Undo << false;
    QTest::newRow("undo: history changed elsewhere") << Edit::Undo << true;
}

void tst_HistoryEditor::failures()
{
    QFETCH(Edit, edit);
    QFETCH(bool, changed);

    start(dailyHistory(3));
    if (edit == Edit::Undo)
        QVERIFY(deleteLine(1));
    const SessionState before = f->state();
    const QString path = f->path(kHistoryFileName);
    const QByteArray elsewhere = dailyHistory(4); // another instance recorded a line meanwhile
    if (changed) {
        QVERIFY(f->write(kHistoryFileName, elsewhere));
    } else {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir(f->dir.path()).mkdir(kHistoryFileName));
    }

    f->dialogs.confirmations = {true};
    if (edit == Edit::Clear)
        f->editor().clearHistory();
    else if (edit == Edit::Delete)
        QVERIFY(!f->editor().deleteLine(1));
    else
        QVERIFY(!f->editor().undoDelete());
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(f->dialogs.messages[0].text.contains(path), qPrintable(f->dialogs.messages[0].text));
    if (changed) {
        // Nothing written; the list shows the file as it now is.
        QCOMPARE(f->read(kHistoryFileName), elsewhere);
        QCOMPARE(f->lines(), History(elsewhere).toStringList());
    } else {
        QCOMPARE(f->dialogs.messages[0].severity, Dialogs::Severity::Error);
        QCOMPARE(f->lines(), before.lines);
        QVERIFY(QFileInfo(path).isDir());
    }
}

void tst_HistoryEditor::csvExport_data()
{
    QTest::addColumn<QString>("target"); // the name chosen in the data folder; empty: Cancel
    QTest::addColumn<bool>("written");
    QTest::newRow("a new file") << u"書き出し.csv"_s << true;
    QTest::newRow("a data file of the program") << kWeightFileName << false;
    QTest::newRow("Cancel") << QString() << false;
}

void tst_HistoryEditor::csvExport()
{
    QFETCH(QString, target);
    QFETCH(bool, written);
    start(dailyHistory(1));
    const auto before = snapshot(QDir(f->dir.path()));
    f->dialogs.savePaths = {target.isEmpty() ? Answer() : f->path(target)};
    f->editor().exportCsv();
    QVERIFY(f->dialogs.allAnswered());
    QCOMPARE(f->dialogs.saves[0].title, u"CSV書き出し"_s);
    if (written) {
        const QByteArray bytes = f->read(target);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY2(bytes.contains("2026-05-11,68.5,24.1,9.6,68.5\r\n"), bytes.constData());
        QVERIFY(f->dialogs.messages.isEmpty());
        return;
    }
    // A failure is reported with the file's name; Cancel writes nothing and says nothing.
    QCOMPARE(snapshot(QDir(f->dir.path())), before);
    QCOMPARE(f->dialogs.messages.size(), target.isEmpty() ? 0 : 1);
    if (!target.isEmpty())
        QVERIFY(f->dialogs.messages[0].text.contains(target));
}

void tst_HistoryEditor::longLinesAreCut_data()
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

void tst_HistoryEditor::longLinesAreCut()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, shown);

    start("05/10  69.0Kg  24.3  10.4%\r\n" + line);
    const HistoryModel& model = *f->session->history();
    const QModelIndex row = model.index(1);
    for (const int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole), int(Qt::AccessibleTextRole)})
        QCOMPARE(model.data(row, role).toString(), shown);
    // The history itself keeps every byte.
    QCOMPARE(model.lines().lineBytes(1).size(), line.size());
    // So does the question before the line is deleted (a line of megabytes froze it).
    f->dialogs.confirmations = {false};
    f->editor().deleteLine(1);
    QCOMPARE(f->dialogs.confirms.value(0).text, u"次の記録を履歴から削除します。\n\n"_s + shown);
}

QTEST_GUILESS_MAIN(tst_HistoryEditor)
#include "tst_historyeditor.moc"
