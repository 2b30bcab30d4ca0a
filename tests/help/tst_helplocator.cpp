#include "help/helpwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace morvane;

class tst_HelpLocator : public QObject {
    Q_OBJECT

private slots:
    void searchOrder_data();
    void searchOrder();
    void workingFolderFirst();
};

void tst_HelpLocator::searchOrder_data()
{
    // Folder of each file (work, program, share), with "/en" for the English file.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders"); // folders holding a folder of that name instead
    QTest::addColumn<QString>("language");    // none: Japanese
    QTest::addColumn<QString>("expected");    // where it must be found; empty: nowhere

    QTest::newRow("installed data only")
        << QStringList{u"share"_s} << QStringList{} << QString() << u"share"_s;
    QTest::newRow("working directory first") << QStringList{u"work"_s, u"program"_s, u"share"_s}
                                             << QStringList{} << QString() << u"work"_s;
    QTest::newRow("program folder before installed data")
        << QStringList{u"program"_s, u"share"_s} << QStringList{} << QString() << u"program"_s;
    QTest::newRow("a folder of that name is passed over")
        << QStringList{u"program"_s} << QStringList{u"work"_s} << QString() << u"program"_s;
    QTest::newRow("nowhere") << QStringList{} << QStringList{u"share"_s} << QString() << QString();
    QTest::newRow("Japanese passes the English file over")
        << QStringList{u"work/en"_s, u"share"_s} << QStringList{} << QString() << u"share"_s;
    QTest::newRow("English: the data folder's file first")
        << QStringList{u"work"_s, u"work/en"_s, u"program/en"_s} << QStringList{} << u"en"_s
        << u"work"_s;
    QTest::newRow("English: its own file in the data folder next")
        << QStringList{u"work/en"_s, u"program/en"_s} << QStringList{} << u"en"_s << u"work/en"_s;
    QTest::newRow("English: its own file before the Japanese beside the program")
        << QStringList{u"program"_s, u"share/en"_s} << QStringList{} << u"en"_s << u"share/en"_s;
    QTest::newRow("English without its file: the Japanese")
        << QStringList{u"share"_s} << QStringList{u"program/en"_s} << u"en"_s << u"share"_s;
}

void tst_HelpLocator::searchOrder()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QString, language);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString name = u"QuilloHelp.chm"_s;
    QCOMPARE(translatedHelpName(name, u"en"_s), u"QuilloHelp_en.chm"_s);
    const auto path = [&](const QString& place) {
        const QString folder = place.section(u'/', 0, 0);
        return root.filePath(folder + u'/' + translatedHelpName(name, place.section(u'/', 1)));
    };
    QStringList search;
    for (const QString& place : {u"work"_s, u"program"_s, u"share"_s}) {
        QVERIFY(QDir(root.path()).mkpath(place));
        search.append(root.filePath(place));
    }
    for (const QString& place : files) {
        QFile file(path(place));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    for (const QString& place : folders)
        QVERIFY(QDir().mkdir(path(place)));

    const QString found = locateHelpFile(name, search, language);
    QCOMPARE(found, expected.isEmpty() ? QString() : path(expected));
}

void tst_HelpLocator::workingFolderFirst()
{
    // Also where the working folder's name is not valid UTF-8, as a data folder may be.
    QTemporaryDir root;
    const QByteArray folder = QFile::encodeName(root.path()) + "/data\xff";
    QVERIFY(::mkdir(folder.constData(), 0700) == 0);
    char* const saved = ::getcwd(nullptr, 0);
    QVERIFY(::chdir(folder.constData()) == 0);
    QFile file(u"QuilloHelp.chm"_s);
    const bool written = file.open(QIODevice::WriteOnly) && file.write("mine") == 4;
    file.close();
    const QString found = locateHelpFile(u"QuilloHelp.chm"_s, u"en"_s);
    QFile foundFile(found);
    const QByteArray content = foundFile.open(QIODevice::ReadOnly) ? foundFile.readAll() : "";
    QVERIFY(::chdir(saved) == 0);
    std::free(saved);
    std::filesystem::remove_all(folder.toStdString());
    QVERIFY(written);
    QCOMPARE(content, QByteArray("mine"));
}

QTEST_GUILESS_MAIN(tst_HelpLocator)
#include "tst_helplocator.moc"
