#include "help/helpbrowser.h"
#include "help/helpwindow.h"
#include "help/htmlfixup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextList>
#include <QToolButton>
#include <QTreeWidget>

#include <atomic>
#include <cmath>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace morvane;

namespace {

const QString kFixture = QString::fromUtf8(MORVANE_FIXTURE_CHM);

QString currentPath(const HelpWindow& window)
{
    return HelpBrowser::objectPathForUrl(window.browser()->source());
}

// Clicks the link whose text is linkText, as a person would: press and release on it.
bool clickLink(QTextBrowser* browser, const QString& linkText)
{
    QTextCursor found = browser->document()->find(linkText);
    if (found.isNull())
        return false;
    QTextCursor inside(browser->document());
    inside.setPosition(found.selectionStart() + 1);
    browser->setTextCursor(inside);
    browser->ensureCursorVisible();
    const QPoint at = browser->cursorRect(inside).center();
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
    return true;
}

QTreeWidgetItem* itemByNames(QTreeWidget* tree, const QStringList& names)
{
    QTreeWidgetItem* item = tree->invisibleRootItem();
    for (const QString& name : names) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i) {
            if (item->child(i)->text(0) == name)
                next = item->child(i);
        }
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

// How many frames (tables) deep the document goes below its root frame.
int frameDepth(QTextFrame* frame)
{
    int deepest = 0;
    for (QTextFrame* child : frame->childFrames())
        deepest = std::max(deepest, 1 + frameDepth(child));
    return deepest;
}

QStringList childNames(QTreeWidgetItem* item)
{
    QStringList names;
    for (int i = 0; i < item->childCount(); ++i)
        names.append(item->child(i)->text(0));
    return names;
}

} // namespace

class tst_HelpWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensDefaultTopic();
    void contentsTree();
    void treeNavigation_data();
    void treeNavigation();
    void links_data();
    void links();
    void anchor();
    void stylesheetApplied();
    void pictures_data();
    void pictures();
    void pictureBudget_data();
    void pictureBudget();
    void paletteColours_data();
    void paletteColours();
    void externalLinkGoesToTheDesktop();
    void otherSchemesGoNowhere();
    void backForwardHome();
    void deeplyNestedPages_data();
    void deeplyNestedPages();
    void cannotOpen_data();
    void cannotOpen();
    void oneWindowPerOwnerAndCloseAll();
    void escapeCloses_data();
    void escapeCloses();

private:
    std::unique_ptr<QWidget> m_owner;
    HelpWindow* m_window = nullptr;
    QList<QUrl> m_external;
    QTemporaryDir m_folder;
    QString m_savedCurrent;
};

void tst_HelpWindow::init()
{
    QVERIFY(m_folder.isValid());
    m_savedCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_folder.path()));
    m_owner = std::make_unique<QWidget>();
    m_window = new HelpWindow(m_owner.get());
    m_external.clear();
    m_window->setExternalLinkHandler([this](const QUrl& url) { m_external.append(url); });
}

void tst_HelpWindow::cleanup()
{
    m_owner.reset();
    m_window = nullptr;
    QDir::setCurrent(m_savedCurrent);
    QDir(m_folder.path()).removeRecursively();
    QDir().mkpath(m_folder.path());
}

void tst_HelpWindow::opensDefaultTopic()
{
    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(m_window->hasFile());
    QCOMPARE(currentPath(*m_window), u"/index.html"_s);
    QVERIFY(m_window->browser()->toPlainText().contains(u"UTF-8 のページ"_s));
    QCOMPARE(m_window->windowTitle(), u"Morvane テスト用ヘルプ"_s);
    QCOMPARE(m_window->parentWidget(), m_owner.get());
    QVERIFY(m_window->isWindow());
    QVERIFY(!m_window->isModal());
}

void tst_HelpWindow::contentsTree()
{
    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QTreeWidget* tree = m_window->contentsTree();
    QCOMPARE(childNames(tree->invisibleRootItem()),
             (QStringList{u"トップ"_s, u"文字コード"_s, u"フォルダー"_s}));
    QCOMPARE(childNames(itemByNames(tree, {u"文字コード"_s})),
             (QStringList{u"シフトJIS"_s, u"宣言なし"_s}));
    QCOMPARE(childNames(itemByNames(tree, {u"フォルダー"_s})),
             (QStringList{u"日本語の名前"_s, u"大文字 & 小文字"_s}));
    QCOMPARE(childNames(itemByNames(tree, {u"フォルダー"_s, u"日本語の名前"_s})),
             QStringList{u"深いページ"_s});
}

void tst_HelpWindow::treeNavigation_data()
{
    QTest::addColumn<QStringList>("item");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");

    // Shift_JIS declared, read as CP932 with its own characters.
    QTest::newRow("CP932 page") << QStringList{u"文字コード"_s, u"シフトJIS"_s} << u"/sjis.html"_s
                                << u"機種依存文字：①②③、全角チルダ：～"_s;
    QTest::newRow("page without a declaration") << QStringList{u"文字コード"_s, u"宣言なし"_s}
                                                << u"/nometa.html"_s << u"宣言のないページ"_s;
    QTest::newRow("Japanese file name")
        << QStringList{u"フォルダー"_s, u"日本語の名前"_s} << u"/sub/日本語のページ.html"_s
        << u"日本語の名前のページ"_s;
    QTest::newRow("backslash path, third level")
        << QStringList{u"フォルダー"_s, u"日本語の名前"_s, u"深いページ"_s}
        << u"/sub/deeper/page.html"_s << u"深いフォルダーのページ"_s;
    QTest::newRow("mixed-case name")
        << QStringList{u"フォルダー"_s, u"大文字 & 小文字"_s} << u"/sub/MixedCase.HTML"_s
        << u"大文字と小文字の混ざった名前"_s;
}

void tst_HelpWindow::treeNavigation()
{
    QFETCH(QStringList, item);
    QFETCH(QString, path);
    QFETCH(QString, text);
    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTreeWidget* tree = m_window->contentsTree();
    tree->expandAll();
    QTreeWidgetItem* entry = itemByNames(tree, item);
    QVERIFY(entry);
    tree->scrollToItem(entry);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(entry).center());
    QCOMPARE(currentPath(*m_window), path);
    const QString shown = m_window->browser()->toPlainText();
    QVERIFY2(shown.contains(text) && !shown.contains(QChar::ReplacementCharacter),
             qPrintable(shown));
    QCOMPARE(tree->currentItem(), entry);
}

void tst_HelpWindow::links_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");

    QTest::newRow("to a Japanese file name")
        << u"/index.html"_s << u"日本語の名前のページへ"_s << u"/sub/日本語のページ.html"_s
        << u"日本語の名前のページ"_s;
    QTest::newRow("into a nested folder")
        << u"/index.html"_s << u"深いフォルダーのページへ"_s << u"/sub/deeper/page.html"_s
        << u"深いフォルダーのページ"_s;
    QTest::newRow("two folders up") << u"/sub/deeper/page.html"_s << u"二つ上のトップへ"_s
                                    << u"/index.html"_s << u"UTF-8 のページ"_s;
    QTest::newRow("one folder up, with a fragment")
        << u"/sub/deeper/page.html"_s << u"一つ上の日本語のページへ"_s
        << u"/sub/日本語のページ.html"_s << u"日本語の名前のページ"_s;
    QTest::newRow("from a CP932 page")
        << u"/sjis.html"_s << u"トップへ"_s << u"/index.html"_s << u"UTF-8 のページ"_s;
}

void tst_HelpWindow::links()
{
    QFETCH(QString, start);
    QFETCH(QString, link);
    QFETCH(QString, path);
    QFETCH(QString, text);
    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->browser()->setSource(HelpBrowser::urlForObject(start));
    QCOMPARE(currentPath(*m_window), start);
    QVERIFY(clickLink(m_window->browser(), link));
    QCOMPARE(currentPath(*m_window), path);
    QVERIFY(m_window->browser()->toPlainText().contains(text));
    QVERIFY(m_external.isEmpty());
}

void tst_HelpWindow::anchor()
{
    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QScrollBar* scroll = m_window->browser()->verticalScrollBar();
    QVERIFY(clickLink(m_window->browser(), u"最後の段落へ"_s));
    scroll->setValue(0); // clicking may have scrolled to the link; the anchor must scroll again
    QVERIFY(clickLink(m_window->browser(), u"最後の段落へ"_s));
    QCOMPARE(currentPath(*m_window), u"/index.html"_s);
    QCOMPARE(m_window->browser()->source().fragment(), u"end"_s);
    QVERIFY(scroll->value() > scroll->maximum() / 2);
}

void tst_HelpWindow::stylesheetApplied()
{
    // The fixture's link has no type attribute; the rule colours one paragraph red.
    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QTextDocument* document = m_window->browser()->document();
    const QTextCursor red = document->find(u"赤い文字"_s);
    QVERIFY(!red.isNull());
    QCOMPARE(red.charFormat().foreground().color(), QColor(0xff, 0, 0));
    const QTextCursor plain = document->find(u"ここが最後です"_s);
    QVERIFY(!plain.isNull());
    QVERIFY(plain.charFormat().foreground().color() != QColor(0xff, 0, 0));
}

void tst_HelpWindow::pictures_data()
{
    QTest::addColumn<QString>("src"); // %1: the working folder; %2: its name; %3: the picture
    QTest::addColumn<bool>("shown");

    // On a page in a folder of the file.
    QTest::newRow("in the file") << u"../images/picture.png"_s << true;
    QTest::newRow("ms-its: name") << u"ms-its:fixture.chm::/images/picture.png"_s << true;
    QTest::newRow("data: address") << u"data:image/png;base64,%3"_s << true;
    // The same picture outside the file: never looked for there, whatever the form of its name.
    QTest::newRow("in the working folder") << u"canary.png"_s << false;
    QTest::newRow("up and back down") << u"../%2/canary.png"_s << false;
    QTest::newRow("absolute path") << u"%1/canary.png"_s << false;
    QTest::newRow("file: address") << u"file://%1/canary.png"_s << false;
    QTest::newRow("FIFO") << u"%1/fifo.png"_s << false;
    QTest::newRow("FIFO, relative name") << u"fifo.png"_s << false;
    QTest::newRow("standard input") << u"/dev/stdin"_s << false;
}

// A picture read from outside would be the fixture's red one, which standard input holds too.
// Whatever opens the FIFO is let go at once: a fault shows, and the test never hangs.
void tst_HelpWindow::pictures()
{
    QFETCH(QString, src);
    QFETCH(bool, shown);
    QFile file(QString::fromUtf8(MORVANE_FIXTURE_DIR "/images/picture.png"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray red = file.readAll();
    QVERIFY(file.copy(u"canary.png"_s));
    const QByteArray fifo = QFile::encodeName(m_folder.filePath(u"fifo.png"_s));
    QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
    std::atomic<bool> opened = false;
    std::jthread watcher([&](std::stop_token stop) {
        for (; !stop.stop_requested(); std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
            // Opens only while something reads the FIFO or waits to.
            if (const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK); fd >= 0)
                opened = ::close(fd) == 0;
        }
    });
    int input[2];
    QVERIFY(pipe(input) == 0 && ::write(input[1], red.constData(), red.size()) == red.size());
    const int savedInput = dup(0);
    const auto restoreInput = qScopeGuard([savedInput] {
        dup2(savedInput, 0);
        ::close(savedInput);
    });
    QVERIFY(dup2(input[0], 0) == 0 && ::close(input[0]) == 0 && ::close(input[1]) == 0);

    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->browser()->setSource(HelpBrowser::urlForObject(u"/sub/日本語のページ.html"_s));
    src.replace(u"%1"_s, m_folder.path()).replace(u"%2"_s, QFileInfo(m_folder.path()).fileName());
    m_window->browser()->setHtml(u"<p><img src=\"%1\"></p>"_s.arg(
        src.replace(u"%3"_s, QString::fromLatin1(red.toBase64()))));
    const QImage view = m_window->browser()->viewport()->grab().toImage();
    watcher.request_stop();
    watcher.join();
    int unread = 0;
    ioctl(0, FIONREAD, &unread);
    bool seen = false;
    for (int i = 0; i < view.width() * view.height(); ++i)
        seen |= view.pixelColor(i % view.width(), i / view.width()) == QColor(0xff, 0, 0);
    QCOMPARE(seen, shown);
    QVERIFY2(!opened && unread == red.size(), "the FIFO or standard input was read");
}

void tst_HelpWindow::pictureBudget_data()
{
    QTest::addColumn<QString>("file");  // one of those built from pictures.cmake
    QTest::addColumn<qint64>("pixels"); // decoded while the page is in sight

    QTest::newRow("16 of 5700×5700 in 11 KB") << u"pictures16"_s << qint64(0);
    QTest::newRow("48 of 5700×5700") << u"pictures48"_s << qint64(0);
    QTest::newRow("five of 4096×4096, four within the budget")
        << u"budget"_s << 4 * qint64(4096 * 4096);
}

void tst_HelpWindow::pictureBudget()
{
    QFETCH(QString, file);
    QFETCH(qint64, pixels);
    m_window->openHelpPath(u"%1/%2/%2.chm"_s.arg(QString::fromUtf8(MORVANE_PICTURES_DIR), file),
                           file);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(!m_window->grab().isNull());
    QCOMPARE(m_window->browser()->picturePixels(), pixels);
    m_window->close();
    QCOMPARE(m_window->browser()->picturePixels(), 0);
}

void tst_HelpWindow::paletteColours_data()
{
    QTest::addColumn<QColor>("base");
    QTest::addColumn<QColor>("link");

    QTest::newRow("light") << QColor(0xff, 0xff, 0xff) << QColor(0, 0, 0xff);
    QTest::newRow("dark") << QColor(0x1e, 0x1e, 0x1e) << QColor(0x2a, 0x82, 0xda);
    QTest::newRow("dark, with the stock link colour")
        << QColor(0x1e, 0x1e, 0x1e) << QColor(0, 0, 0xff);
}

// The program's own help page, on a palette set while it is shown: the page is the palette's,
// and its links read on it (a contrast of 4.5, as WCAG asks of text).
void tst_HelpWindow::paletteColours()
{
    QFETCH(QColor, base);
    QFETCH(QColor, link);
    m_window->openHelpPath(QString::fromUtf8(MORVANE_HELP_FILE), u"QuilloHelp.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QPalette palette = m_window->palette();
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, base.lightness() < 128 ? Qt::white : Qt::black);
    palette.setColor(QPalette::Link, link);
    m_window->setPalette(palette);
    const QImage view = m_window->browser()->viewport()->grab().toImage();
    QCOMPARE(view.pixelColor(view.width() - 2, view.height() / 2), base);
    const QTextCursor linkText = m_window->browser()->document()->find(u"身長を登録する"_s);
    const auto luminance = [](const QColor& c) {
        return 0.2126 * std::pow(c.redF(), 2.2) + 0.7152 * std::pow(c.greenF(), 2.2) +
               0.0722 * std::pow(c.blueF(), 2.2);
    };
    const auto [dark, light] =
        std::minmax({luminance(linkText.charFormat().foreground().color()), luminance(base)});
    QVERIFY(linkText.charFormat().isAnchor() && (light + 0.05) / (dark + 0.05) >= 4.5);
}

void tst_HelpWindow::externalLinkGoesToTheDesktop()
{
    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const QString before = m_window->browser()->toHtml();
    QVERIFY(m_external.isEmpty()); // nothing opens until a click
    QVERIFY(clickLink(m_window->browser(), u"外のサイトへ"_s));
    QCOMPARE(m_external, QList<QUrl>{QUrl(u"http://example.com/morvane"_s)});
    QCOMPARE(currentPath(*m_window), u"/index.html"_s);
    QCOMPARE(m_window->browser()->toHtml(), before);
}

void tst_HelpWindow::otherSchemesGoNowhere()
{
    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(clickLink(m_window->browser(), u"ローカルファイルへ"_s));
    QCOMPARE(currentPath(*m_window), u"/index.html"_s);
    QVERIFY(m_external.isEmpty());
    // Nor does a page get local files through its style sheets (its pictures: see pictures()).
    const QVariant css = m_window->browser()->loadResource(QTextDocument::StyleSheetResource,
                                                           QUrl(u"file:///etc/hostname"_s));
    QVERIFY(css.isValid() && css.toString().isEmpty());
}

void tst_HelpWindow::backForwardHome()
{
    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    auto* back = m_window->findChild<QToolButton*>(u"helpBack"_s);
    auto* forward = m_window->findChild<QToolButton*>(u"helpForward"_s);
    auto* home = m_window->findChild<QToolButton*>(u"helpHome"_s);
    QVERIFY(back && forward && home);
    QVERIFY(!back->isEnabled());
    QVERIFY(!forward->isEnabled());

    QVERIFY(clickLink(m_window->browser(), u"深いフォルダーのページへ"_s));
    QVERIFY(clickLink(m_window->browser(), u"一つ上の日本語のページへ"_s));
    QCOMPARE(currentPath(*m_window), u"/sub/日本語のページ.html"_s);
    QVERIFY(back->isEnabled());

    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(currentPath(*m_window), u"/sub/deeper/page.html"_s);
    QVERIFY(forward->isEnabled());
    QTest::mouseClick(forward, Qt::LeftButton);
    QCOMPARE(currentPath(*m_window), u"/sub/日本語のページ.html"_s);
    QVERIFY(!forward->isEnabled());
    QTest::mouseClick(home, Qt::LeftButton);
    QCOMPARE(currentPath(*m_window), u"/index.html"_s);
    QVERIFY(m_window->browser()->toPlainText().contains(u"UTF-8 のページ"_s));
}

void tst_HelpWindow::deeplyNestedPages_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("30 nested tables") << u"/tables30.html"_s;
    QTest::newRow("3,000 nested tables") << u"/tables3000.html"_s;
    QTest::newRow("20,000 nested lists") << u"/lists20000.html"_s;
}

// Such pages once took minutes to lay out, or overflowed the stack. They are shown with their
// text, flattened below the nesting limits, and laid out and painted completely.
void tst_HelpWindow::deeplyNestedPages()
{
    QFETCH(QString, page);
    m_window->openHelpPath(QString::fromUtf8(MORVANE_DEEP_CHM), u"deep.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->browser()->setSource(HelpBrowser::urlForObject(page));
    QCOMPARE(currentPath(*m_window), page);
    QTextDocument* document = m_window->browser()->document();
    QVERIFY(document->size().height() > 0);
    QVERIFY(!m_window->grab().isNull());
    const QString text = document->toPlainText();
    QVERIFY(text.contains(u"ページの始まり"_s));
    QVERIFY(text.contains(u"ページの終わり"_s));
    QVERIFY(frameDepth(document->rootFrame()) <= kMaxTableDepth);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.textList())
            QVERIFY(block.textList()->format().indent() <= kMaxHtmlDepth);
    }
}

void tst_HelpWindow::cannotOpen_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing") << u"none"_s << u"ファイルが見つかりません。"_s;
    QTest::newRow("a folder of that name") << u"folder"_s << u"ファイルが見つかりません。"_s;
    QTest::newRow("not a help file") << u"text"_s << u"CHM 形式のファイルではありません。"_s;
    QTest::newRow("truncated") << u"truncated"_s << u"ファイルが途中で切れています。"_s;
    QTest::newRow("empty") << u"empty"_s << u"ファイルが途中で切れています。"_s;
}

void tst_HelpWindow::cannotOpen()
{
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    const QString name = u"QuilloHelp.chm"_s;
    if (setup == u"folder"_s) {
        QVERIFY(QDir().mkdir(name));
    } else if (setup != u"none"_s) {
        QFile fixture(kFixture);
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        const QByteArray bytes = fixture.readAll();
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (setup == u"text"_s)
            file.write("<html>not a help file</html>");
        else if (setup == u"truncated"_s)
            file.write(bytes.first(bytes.size() / 2));
    }

    m_window->openHelpFile(name);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(!m_window->hasFile());
    const QString text = m_window->browser()->toPlainText();
    QVERIFY2(text.contains(u"ヘルプファイル「QuilloHelp.chm」を開けません。"_s), qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    QCOMPARE(m_window->windowTitle(), u"Morvane ヘルプ"_s);
    QCOMPARE(m_window->contentsTree()->topLevelItemCount(), 0);
    for (const char* button : {"helpBack", "helpForward", "helpHome"})
        QVERIFY(!m_window->findChild<QToolButton*>(QString::fromUtf8(button))->isEnabled());

    // Once the file is there, the same window opens it.
    QVERIFY(QDir().rmdir(name) || QFile::remove(name) || setup == u"none"_s);
    QVERIFY(QFile::copy(kFixture, name));
    m_window->openHelpFile(name);
    QVERIFY(m_window->hasFile());
    QCOMPARE(currentPath(*m_window), u"/index.html"_s);
}

void tst_HelpWindow::oneWindowPerOwnerAndCloseAll()
{
    QWidget owner;
    const QString name = u"QuilloHelp.chm"_s;
    QVERIFY(QFile::copy(kFixture, name));
    HelpWindow* first = HelpWindow::showHelp(&owner, name);
    QVERIFY(first->isVisible());
    first->browser()->setSource(HelpBrowser::urlForObject(u"/sjis.html"_s));
    HelpWindow* second = HelpWindow::showHelp(&owner, name);
    QCOMPARE(second, first);
    QCOMPARE(currentPath(*second), u"/index.html"_s); // back on the default topic
    QCOMPARE(owner.findChildren<HelpWindow*>().size(), 1);

    HelpWindow::closeAll(&owner);
    QVERIFY(owner.findChildren<HelpWindow*>().isEmpty());
}

void tst_HelpWindow::escapeCloses_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("in the contents") << u"helpContents"_s;
    QTest::newRow("in the page") << u"helpPage"_s;
}

void tst_HelpWindow::escapeCloses()
{
    QFETCH(QString, focus);
    m_owner->show();
    m_window->openHelpPath(kFixture, u"fixture.chm"_s);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QWidget* target = m_window->findChild<QWidget*>(focus);
    QVERIFY(target);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_owner->isVisible());
}

QTEST_MAIN(tst_HelpWindow)
#include "tst_helpwindow.moc"
