// Changes that other programs make to the data files are shown as start-up would show them,
// without a file written back, and not while a dialog is open.

#include "support.h"

#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

enum class Outside { OtherSession, ReplacedWeight, DeletedGoal, DeletedHistory, WhileAsking };

} // namespace

Q_DECLARE_METATYPE(Outside)

class tst_FileFollower : public QObject {
    Q_OBJECT

private slots:
    void outsideChangesAreShown_data();
    void outsideChangesAreShown();
};

void tst_FileFollower::outsideChangesAreShown_data()
{
    QTest::addColumn<Outside>("change");
    QTest::addColumn<int>("lines"); // in the history afterwards
    QTest::newRow("another session on the folder records a weight") << Outside::OtherSession << 3;
    QTest::newRow("an editor replaces the weight file") << Outside::ReplacedWeight << 2;
    QTest::newRow("the goal file is deleted") << Outside::DeletedGoal << 2;
    QTest::newRow("the history file is deleted") << Outside::DeletedHistory << 0;
    QTest::newRow("a change while the weight box is open waits for it")
        << Outside::WhileAsking << 3;
}

void tst_FileFollower::outsideChangesAreShown()
{
    QFETCH(Outside, change);
    QFETCH(int, lines);

    SessionFixture f;
    f.write(kGoalFileName, "62\r\n");
    QVERIFY(f.start(dailyHistory(2)));
    auto replaceWeight = [&] {
        const QByteArray path = QFile::encodeName(f.path(kWeightFileName));
        QVERIFY(writeBytes(QFile::decodeName(path + ".new"), "71\r\n"));
        QVERIFY(std::rename((path + ".new").constData(), path.constData()) == 0);
    };
    SessionFixture other;
    switch (change) {
    case Outside::OtherSession:
        QVERIFY(other.load(f.files()));
        other.dialogs.answers = {u"70"_s};
        other.session->entries().enter(Entry::Weight);
        break;
    case Outside::ReplacedWeight:
        replaceWeight();
        break;
    case Outside::DeletedGoal:
        QVERIFY(QFile::remove(f.path(kGoalFileName)));
        break;
    case Outside::DeletedHistory:
        QVERIFY(QFile::remove(f.path(kHistoryFileName)));
        break;
    case Outside::WhileAsking:
        f.dialogs.answers = {u"72"_s};
        f.dialogs.whileAsking = [&] {
            replaceWeight();
            const SessionState asked = f.state();
            QTest::qWait(600);
            QVERIFY(f.state() == asked); // nothing moves under the open box
        };
        f.entries().enter(Entry::Weight);
        break;
    }
    // What a session started now shows, and the reload wrote nothing.
    SessionFixture fresh;
    QVERIFY(fresh.load(f.files()));
    auto shown = [](const SessionFixture& s) {
        SessionState state = s.state();
        state.files.clear();
        return state;
    };
    QTRY_VERIFY(shown(f) == shown(fresh));
    QCOMPARE(f.lines().size(), lines);
    QCOMPARE(History(f.read(kHistoryFileName)).toStringList(), f.lines());
}

QTEST_GUILESS_MAIN(tst_FileFollower)
#include "tst_filefollower.moc"
