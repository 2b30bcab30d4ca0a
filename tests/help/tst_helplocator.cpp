#include "help/helpwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace morvane;

class tst_HelpLocator : public QObject {
    Q_OBJECT

private slots:
    void searchOrder_data();
    void searchOrder();
    void defaultFolders();
};

void tst_HelpLocator::searchOrder_data()
{
    QTest::addColumn<QStringList>("files");   // folder of each file: work, program, share
    QTest::addColumn<QStringList>("folders"); // folders holding a folder of that name instead
    QTest::addColumn<QString>("expected");    // where it must be found; empty: nowhere

    QTest::newRow("working directory only") << QStringList{u"work"_s} << QStringList{} << u"work"_s;
    QTest::newRow("program folder only")
        << QStringList{u"program"_s} << QStringList{} << u"program"_s;
    QTest::newRow("installed data only") << QStringList{u"share"_s} << QStringList{} << u"share"_s;
    QTest::newRow("working directory first")
        << QStringList{u"work"_s, u"program"_s, u"share"_s} << QStringList{} << u"work"_s;
    QTest::newRow("program folder before installed data")
        << QStringList{u"program"_s, u"share"_s} << QStringList{} << u"program"_s;
    QTest::newRow("a folder of that name is passed over")
        << QStringList{u"program"_s} << QStringList{u"work"_s} << u"program"_s;
    QTest::newRow("nowhere") << QStringList{} << QStringList{u"share"_s} << QString();
}

void tst_HelpLocator::searchOrder()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString name = u"QuilloHelp.chm"_s;
    QStringList search;
    for (const QString& place : {u"work"_s, u"program"_s, u"share"_s}) {
        QVERIFY(QDir(root.path()).mkpath(place));
        search.append(root.filePath(place));
    }
    for (const QString& place : files) {
        QFile file(root.filePath(place + u'/' + name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    for (const QString& place : folders)
        QVERIFY(QDir(root.filePath(place)).mkdir(name));

    const QString found = locateHelpFile(name, search);
    QCOMPARE(found, expected.isEmpty() ? QString() : root.filePath(expected + u'/' + name));
}

void tst_HelpLocator::defaultFolders()
{
    const QStringList folders = helpSearchFolders();
    const QString program = QCoreApplication::applicationDirPath();
    QCOMPARE(folders, (QStringList{QDir::currentPath(), program,
                                   QDir::cleanPath(program + u"/../share/morvane"_s)}));
}

QTEST_GUILESS_MAIN(tst_HelpLocator)
#include "tst_helplocator.moc"
