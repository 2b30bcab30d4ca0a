#include "help/chmarchive.h"
#include "help/chmpath.h"

#include <QFile>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;
using namespace morvane;

namespace {

QByteArray fixtureBytes()
{
    QFile file(QString::fromUtf8(MORVANE_FIXTURE_CHM));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray sourceFile(const QString& relative)
{
    QFile file(QString::fromUtf8(MORVANE_FIXTURE_DIR) + u'/' + relative);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint64 u64At(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint64>(bytes.constData() + at);
}

void putU32(QByteArray& bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

// Flattened contents: one "depth|name|local" line per entry, in order.
void flatten(const std::vector<chm::ContentsEntry>& entries, int depth, QStringList* out)
{
    for (const chm::ContentsEntry& entry : entries) {
        out->append(u"%1|%2|%3"_s.arg(depth).arg(entry.name, entry.local));
        flatten(entry.children, depth + 1, out);
    }
}

// Where the structures of the fixture are, found from its own headers.
struct Landmarks {
    qsizetype directory = 0; // the ITSP header
    qsizetype firstChunk = 0;
    qsizetype dataOffset = 0;
    qsizetype resetTable = 0;  // the ResetTable object's bytes
    qsizetype controlData = 0; // the LZXC control data
    qsizetype content = 0;     // the compressed section
    qsizetype contentLength = 0;
};

// A directory entry: its name's length, the name, then its section, offset and length as
// variable-length integers (seven bits a byte, most significant first).
struct Stored {
    qsizetype offset = 0;
    qsizetype length = 0;
};

Stored storedEntry(const QByteArray& bytes, const QByteArray& name)
{
    const qsizetype at = bytes.indexOf(char(name.size()) + name);
    if (at < 0)
        return {};
    qsizetype p = at + 1 + name.size();
    qsizetype values[3] = {};
    for (qsizetype& value : values) {
        while (p < bytes.size() && (quint8(bytes[p]) & 0x80))
            value = (value << 7) | (quint8(bytes[p++]) & 0x7f);
        if (p < bytes.size())
            value = (value << 7) | quint8(bytes[p++]);
    }
    return {values[1], values[2]};
}

Landmarks landmarks(const QByteArray& bytes)
{
    Landmarks marks;
    marks.directory = qsizetype(u64At(bytes, 0x48));
    marks.firstChunk = marks.directory + 0x54;
    marks.dataOffset = qsizetype(u64At(bytes, 0x58));
    const QByteArray storage = "::DataSpace/Storage/MSCompressed/";
    marks.resetTable =
        marks.dataOffset +
        storedEntry(bytes, storage + "Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/"
                                     "InstanceData/ResetTable")
            .offset;
    marks.controlData = marks.dataOffset + storedEntry(bytes, storage + "ControlData").offset;
    const Stored content = storedEntry(bytes, storage + "Content");
    marks.content = marks.dataOffset + content.offset;
    marks.contentLength = content.length;
    return marks;
}

} // namespace

class tst_ChmReader : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void systemRecords();
    void contentsTree();
    void lookups_data();
    void lookups();
    void openByPath_data();
    void openByPath();
    void damagedStructures_data();
    void damagedStructures();
    void truncated_data();
    void truncated();
    void flippedBytes_data();
    void flippedBytes();

private:
    QByteArray m_fixture;
};

void tst_ChmReader::initTestCase()
{
    m_fixture = fixtureBytes();
    QVERIFY2(!m_fixture.isEmpty(), MORVANE_FIXTURE_CHM);
}

void tst_ChmReader::systemRecords()
{
    ChmArchive archive;
    QVERIFY2(archive.openData(m_fixture), qPrintable(QString::number(int(archive.error()))));
    // The title is stored in CP932, the file's language.
    QCOMPARE(archive.title(), u"Morvane テスト用ヘルプ"_s);
    QCOMPARE(archive.defaultTopic(), u"/index.html"_s);
    QCOMPARE(archive.contentsPath(), u"/toc.hhc"_s);
    QCOMPARE(archive.languageId(), 0x0411u);
}

void tst_ChmReader::contentsTree()
{
    ChmArchive archive;
    QVERIFY(archive.openData(m_fixture));
    QStringList flat;
    flatten(archive.contents(), 0, &flat);
    const QStringList expected = {
        u"0|トップ|index.html"_s,
        u"0|文字コード|"_s,
        u"1|シフトJIS|sjis.html"_s,
        u"1|宣言なし|nometa.html"_s,
        u"0|フォルダー|"_s,
        u"1|日本語の名前|sub/日本語のページ.html"_s,
        u"2|深いページ|sub\\deeper\\page.html"_s,
        u"1|大文字 & 小文字|sub/MixedCase.HTML"_s,
    };
    QCOMPARE(flat, expected);
    for (const QString& line : flat) {
        const QString local = line.section(u'|', 2);
        if (!local.isEmpty())
            QVERIFY2(archive.contains(chm::resolveObjectPath(local)), qPrintable(local));
    }
}

void tst_ChmReader::lookups_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("source"); // the fixture file it must yield; empty: none

    QTest::newRow("exact") << u"/index.html"_s << u"index.html"_s;
    QTest::newRow("upper case") << u"/INDEX.HTML"_s << u"index.html"_s;
    QTest::newRow("stored mixed case, asked lower")
        << u"/sub/mixedcase.html"_s << u"sub/MixedCase.HTML"_s;
    QTest::newRow("relative") << u"index.html"_s << u"index.html"_s;
    QTest::newRow("dot-dot") << u"/sub/deeper/../../index.html"_s << u"index.html"_s;
    QTest::newRow("dot-dot above the root") << u"/../../index.html"_s << u"index.html"_s;
    QTest::newRow("dot segments") << u"/./sub/./deeper/page.html"_s << u"sub/deeper/page.html"_s;
    QTest::newRow("backslashes") << u"\\sub\\deeper\\page.html"_s << u"sub/deeper/page.html"_s;
    QTest::newRow("Japanese name") << u"/sub/日本語のページ.html"_s << u"sub/日本語のページ.html"_s;
    QTest::newRow("Japanese name, percent-encoded")
        << u"/sub/%E6%97%A5%E6%9C%AC%E8%AA%9E%E3%81%AE%E3%83%9A%E3%83%BC%E3%82%B8.html"_s
        << u"sub/日本語のページ.html"_s;
    QTest::newRow("fragment dropped") << u"/index.html#end"_s << u"index.html"_s;
    QTest::newRow("viewer prefix") << u"ms-its:fixture.chm::/css/style.css"_s << u"css/style.css"_s;
    QTest::newRow("picture") << u"/IMAGES/Picture.PNG"_s << u"images/picture.png"_s;
    // Every other object of the fixture, as it is listed.
    for (const char* file : {"sjis.html", "nometa.html", "toc.hhc"})
        QTest::newRow(file) << u'/' + QString::fromUtf8(file) << QString::fromUtf8(file);
    QTest::newRow("missing") << u"/missing.html"_s << QString();
    QTest::newRow("folder") << u"/sub/"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void tst_ChmReader::lookups()
{
    QFETCH(QString, path);
    QFETCH(QString, source);
    ChmArchive archive;
    QVERIFY(archive.openData(m_fixture));
    const auto bytes = archive.object(path);
    QCOMPARE(archive.contains(path), !source.isEmpty());
    if (source.isEmpty()) {
        QVERIFY(!bytes);
        return;
    }
    QVERIFY(bytes && !bytes->isEmpty());
    QCOMPARE(*bytes, sourceFile(source));
    QVERIFY(archive.objectPaths().contains(u'/' + source));
}

void tst_ChmReader::openByPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<ChmArchive::Error>("error");

    using Error = ChmArchive::Error;
    QTest::newRow("fixture") << QString::fromUtf8(MORVANE_FIXTURE_CHM) << Error::None;
    QTest::newRow("missing") << u"/nonexistent/QuilloHelp.chm"_s << Error::NotFound;
    QTest::newRow("a folder") << QString::fromUtf8(MORVANE_FIXTURE_DIR) << Error::IsFolder;
    QTest::newRow("not a CHM") << QString::fromUtf8(MORVANE_FIXTURE_DIR) + u"/index.html"_s
                               << Error::NotChm;
}

void tst_ChmReader::openByPath()
{
    QFETCH(QString, path);
    QFETCH(ChmArchive::Error, error);
    ChmArchive archive;
    QCOMPARE(archive.open(path), error == ChmArchive::Error::None);
    QCOMPARE(archive.isOpen(), error == ChmArchive::Error::None);
    QCOMPARE(archive.error(), error);
}

void tst_ChmReader::damagedStructures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Whether the file must be refused; otherwise the damage is in a field the reader does not
    // need, and the file may open, but then with its pages intact.
    QTest::addColumn<bool>("refused");

    const Landmarks at = landmarks(m_fixture);
    QVERIFY(at.resetTable > 0 && at.controlData > 0 && at.content > 0);
    const auto with = [this](qsizetype offset, quint32 value) {
        QByteArray bytes = m_fixture;
        putU32(bytes, offset, value);
        return bytes;
    };

    QTest::newRow("signature") << with(0, 0x46535458) << true;
    // chmcmd writes the first header GUID in both places; other compilers write the second
    // one where it belongs. Either opens; a GUID of neither kind is not a help file.
    QTest::newRow("second GUID as other compilers write it") << with(0x28, 0x7c01fd11) << false;
    QTest::newRow("first GUID unknown") << with(0x18, 0x7c01fd12) << true;
    QTest::newRow("declared file length negative")
        << with(qsizetype(u64At(m_fixture, 0x38)) + 12, 0x80000000) << true;
    QTest::newRow("header version") << with(4, 7) << false;
    QTest::newRow("directory beyond the end") << with(0x48, 0x7ffffff0) << true;
    QTest::newRow("directory signature") << with(at.directory, 0) << false;
    QTest::newRow("chunk size 0") << with(at.directory + 0x10, 0) << true;
    QTest::newRow("chunk size 3 GiB") << with(at.directory + 0x10, 0xc0000000) << true;
    QTest::newRow("chunk count 0") << with(at.directory + 0x2c, 0) << true;
    QTest::newRow("chunk count past the file") << with(at.directory + 0x2c, 5000) << true;
    QTest::newRow("first listing chunk out of range") << with(at.directory + 0x20, 9) << true;
    QTest::newRow("index root out of range") << with(at.directory + 0x1c, 77) << true;
    QTest::newRow("listing chunk chained to itself") << with(at.firstChunk + 0x10, 0) << false;
    QTest::newRow("free space larger than the chunk") << with(at.firstChunk + 4, 0x10000) << false;
    {
        // An index chunk whose only entry points back at itself: a reader that looked names up
        // through the index would never leave it.
        QByteArray bytes = m_fixture;
        putU32(bytes, at.directory + 0x1c, 0);
        bytes.replace(at.firstChunk, 4, "PMGI");
        putU32(bytes, at.firstChunk + 4, 0x1000 - 8 - 3);
        bytes[at.firstChunk + 8] = 1;   // name length
        bytes[at.firstChunk + 9] = '/'; // name
        bytes[at.firstChunk + 10] = 0;  // chunk 0
        QTest::newRow("index chunk pointing at itself") << bytes << true;
    }
    QTest::newRow("reset table version") << with(at.resetTable, 3) << false;
    QTest::newRow("frame size") << with(at.resetTable + 0x20, 0x1234) << true;
    QTest::newRow("uncompressed length 4 GiB") << with(at.resetTable + 0x14, 1) << true;
    QTest::newRow("compressed length past the section")
        << with(at.resetTable + 0x18, quint32(at.contentLength + 1)) << false;
    QTest::newRow("frame start past its end") << with(at.resetTable + 0x28, 0x7fffffff) << true;
    QTest::newRow("control data signature") << with(at.controlData + 4, 0x43585a4d) << true;
    QTest::newRow("window size 0") << with(at.controlData + 0x10, 0) << true;
    QTest::newRow("window size wraps to 0") << with(at.controlData + 0x10, 0x20000) << true;
    QTest::newRow("window 4 MiB") << with(at.controlData + 0x10, 128) << true;
    QTest::newRow("reset interval 0") << with(at.controlData + 0x0c, 0) << true;
    QTest::newRow("no windows per reset") << with(at.controlData + 0x14, 0) << false;
    {
        // An uncompressed LZX block announcing more bytes than the frame holds.
        QByteArray bytes = m_fixture;
        bytes[at.content] = char(0x30);
        bytes[at.content + 1] = char(0xff);
        QTest::newRow("compressed stream garbled") << bytes << true;
    }
}

void tst_ChmReader::damagedStructures()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, refused);
    ChmArchive archive;
    const bool opened = archive.openData(bytes);
    QCOMPARE(opened, !refused && archive.error() == ChmArchive::Error::None);
    if (!opened) {
        QVERIFY(archive.error() != ChmArchive::Error::None);
        QVERIFY(!archive.object(u"/index.html"_s));
        return;
    }
    for (const QString& file : {u"index.html"_s, u"sub/deeper/page.html"_s, u"toc.hhc"_s})
        QCOMPARE(archive.object(u'/' + file), sourceFile(file));
}

void tst_ChmReader::truncated_data()
{
    QTest::addColumn<qsizetype>("length");
    const Landmarks at = landmarks(m_fixture);
    QTest::newRow("empty") << qsizetype(0);
    QTest::newRow("signature only") << qsizetype(4);
    QTest::newRow("inside the header") << qsizetype(0x5f);
    QTest::newRow("header only") << qsizetype(0x60);
    QTest::newRow("inside the directory header") << at.directory + 0x20;
    QTest::newRow("inside the first chunk") << at.firstChunk + 100;
    QTest::newRow("directory only") << at.dataOffset;
    QTest::newRow("inside the reset table") << at.resetTable + 8;
    QTest::newRow("start of the compressed data") << at.content;
    QTest::newRow("inside the compressed data") << at.content + at.contentLength / 2;
    QTest::newRow("last byte missing") << m_fixture.size() - 1;
}

void tst_ChmReader::truncated()
{
    QFETCH(qsizetype, length);
    QVERIFY(length < m_fixture.size());
    ChmArchive archive;
    QVERIFY(!archive.openData(m_fixture.first(length)));
    QCOMPARE(archive.error(), ChmArchive::Error::Truncated);
}

void tst_ChmReader::flippedBytes_data()
{
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<quint8>("mask");
    // A sweep over the whole file, three masks at 45 offsets each.
    const qsizetype step = m_fixture.size() / 45;
    for (qsizetype offset = 0; offset < m_fixture.size(); offset += step) {
        for (quint8 mask : {quint8(0x01), quint8(0x80), quint8(0xff)})
            QTest::addRow("offset %lld ^ 0x%02x", qlonglong(offset), mask) << offset << mask;
    }
}

// A flipped byte may leave the file readable (a byte in a page), or be refused. Either way the
// reader must answer, and answer the same each time: the library reading memory it should not would
// show up as bytes that differ between two readings.
void tst_ChmReader::flippedBytes()
{
    QFETCH(qsizetype, offset);
    QFETCH(quint8, mask);
    QByteArray bytes = m_fixture;
    bytes[offset] = char(bytes[offset] ^ mask);

    ChmArchive first;
    ChmArchive second;
    const bool opened = first.openData(bytes);
    QCOMPARE(second.openData(bytes), opened);
    QCOMPARE(first.error(), second.error());
    QCOMPARE(opened, first.error() == ChmArchive::Error::None);
    if (!opened)
        return;
    QCOMPARE(first.objectPaths(), second.objectPaths());
    for (const QString& path : first.objectPaths())
        QCOMPARE(first.object(path), second.object(path));
}

QTEST_GUILESS_MAIN(tst_ChmReader)
#include "tst_chmreader.moc"
