// A crash while the weight is being written must never cost the stored weight: a writer that
// rewrites the weight file in a loop is killed (SIGKILL, no chance to clean up) at random
// moments, and every time the file holds one whole record of one of the two values it writes.

#include "store/datafiles.h"

#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

class tst_CrashSafety : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void weightFileSurvivesKill();
};

void tst_CrashSafety::initTestCase()
{
    QVERIFY2(QFileInfo(QStringLiteral(MORVANE_WEIGHT_WRITER)).isExecutable(),
             MORVANE_WEIGHT_WRITER);
}

void tst_CrashSafety::weightFileSurvivesKill()
{
    constexpr int kRuns = 120;
    const QByteArray sixty = "60\r\n";
    const QByteArray sixtyEightFive = "68.5\r\n";

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const DataFiles files{QDir(dir.path())};
    QVERIFY(!files.writeNumber(kWeightFileName, 68.5f));

    // Seeded from the run, printed so that a failure can be replayed with the same waits.
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    QRandomGenerator random(seed);

    int seenSixty = 0;
    int seenSixtyEightFive = 0;
    for (int run = 0; run < kRuns; ++run) {
        QProcess writer;
        writer.start(QStringLiteral(MORVANE_WEIGHT_WRITER), {dir.path()});
        QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));

        // Let it finish a random number of writes (0 ... 7 reported), so that the kill falls at
        // varying points of the following write; the kill is sent as soon as the count is seen.
        const qint64 writes = random.bounded(8);
        qint64 reported = 0;
        while (reported < writes) {
            QVERIFY2(writer.waitForReadyRead(5000), "the writer stopped reporting");
            reported += writer.readAllStandardOutput().size();
        }
        QCOMPARE(writer.state(), QProcess::Running); // it never gave up on a write error
        writer.kill();
        QVERIFY(writer.waitForFinished(5000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        const QByteArray bytes = readBytes(files.path(kWeightFileName));
        if (bytes == sixty)
            ++seenSixty;
        else if (bytes == sixtyEightFive)
            ++seenSixtyEightFive;
        else
            QFAIL(qPrintable(u"kill %1 left the weight file holding \"%2\""_s.arg(run).arg(
                QString::fromLatin1(bytes.toPercentEncoding()))));

        const NumberRead read = files.readNumber(kWeightFileName);
        QCOMPARE(read.status, NumberRead::Status::Ok);
        QVERIFY(read.value == 60.0f || read.value == 68.5f);
    }
    // Both values turned up, so the writer really was replacing the file while it was killed.
    QVERIFY(seenSixty > 0);
    QVERIFY(seenSixtyEightFive > 0);

    qInfo("%d kills: 60 found %d times, 68.5 %d times", kRuns, seenSixty, seenSixtyEightFive);
}

QTEST_GUILESS_MAIN(tst_CrashSafety)
#include "tst_crashsafety.moc"
