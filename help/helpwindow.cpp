#include "help/helpwindow.h"

#include "help/chmarchive.h"
#include "help/chmpath.h"
#include "help/helpbrowser.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace morvane {

namespace {

constexpr int kPathRole = Qt::UserRole;         // the entry's object path
constexpr int kFragmentRole = Qt::UserRole + 1; // its anchor, as in "page.html#section"

QToolButton* makeButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& text,
                        const QString& tip, const QKeySequence& key)
{
    auto* button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    button->setToolTip(tip);
    button->setAccessibleName(text);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setShortcut(key);
    button->setAutoRaise(true);
    return button;
}

QTreeWidgetItem* findItem(QTreeWidgetItem* parent, const QString& path)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        if (child->data(0, kPathRole).toString().compare(path, Qt::CaseInsensitive) == 0)
            return child;
        if (QTreeWidgetItem* inside = findItem(child, path))
            return inside;
    }
    return nullptr;
}

} // namespace

QStringList helpSearchFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    // The working folder by its relative name: a folder whose name is not valid UTF-8 has no
    // QString name that leads back to it.
    return {u"."_s, programFolder, QDir::cleanPath(programFolder + u"/../share/morvane"_s)};
}

QString translatedHelpName(const QString& bareName, const QString& language)
{
    if (language.isEmpty())
        return bareName;
    const QFileInfo name(bareName);
    const QString suffix = name.suffix();
    return name.completeBaseName() + u'_' + language + (suffix.isEmpty() ? u""_s : u"."_s) + suffix;
}

QString locateHelpFile(const QString& bareName, const QStringList& folders, const QString& language)
{
    QList<std::pair<QString, QString>> candidates; // folder, name
    if (language.isEmpty()) {
        for (const QString& folder : folders)
            candidates.append({folder, bareName});
    } else {
        const QString translated = translatedHelpName(bareName, language);
        if (!folders.isEmpty())
            candidates.append({folders.first(), bareName});
        for (const QString& folder : folders)
            candidates.append({folder, translated});
        for (const QString& folder : folders.mid(1))
            candidates.append({folder, bareName});
    }
    for (const auto& [folder, name] : candidates) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(QDir(folder), name);
        if (candidate.isFile())
            return candidate.filePath();
    }
    return {};
}

QString locateHelpFile(const QString& bareName, const QString& language)
{
    return locateHelpFile(bareName, helpSearchFolders(), language);
}

HelpWindow::HelpWindow(QWidget* owner)
    : QWidget(owner, Qt::Window)
    , m_archive(std::make_unique<ChmArchive>())
    , m_openExternal([](const QUrl& url) { QDesktopServices::openUrl(url); })
{
    setObjectName(u"helpWindow"_s);
    // Only the main window's closing ends the program; a help window left open must not
    // keep it running.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(defaultTitle());
    setAccessibleDescription(tr("ヘルプの目次とページ。Esc キーで閉じます"));
    resize(780, 560);
    // Escape closes the window, as it closes a dialog.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);

    m_back = makeButton(this, QStyle::SP_ArrowBack, tr("戻る"), tr("前に表示したページに戻ります"),
                        QKeySequence::Back);
    m_forward = makeButton(this, QStyle::SP_ArrowForward, tr("進む"),
                           tr("戻る前のページに進みます"), QKeySequence::Forward);
    m_home = makeButton(this, QStyle::SP_DirHomeIcon, tr("ホーム"),
                        tr("ヘルプの最初のページを表示します"), QKeySequence(u"Alt+Home"_s));
    m_back->setObjectName(u"helpBack"_s);
    m_forward->setObjectName(u"helpForward"_s);
    m_home->setObjectName(u"helpHome"_s);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(u"helpContents"_s);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setAccessibleName(tr("目次"));
    m_tree->setAccessibleDescription(tr("ヘルプの目次です。項目を選ぶとそのページを表示します。"));

    m_browser = new HelpBrowser(this);
    m_browser->setObjectName(u"helpPage"_s);
    m_browser->setAccessibleName(tr("ヘルプのページ"));

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 560});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_home);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, &HelpWindow::goHome);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);
    connect(m_browser, &QTextBrowser::historyChanged, this, &HelpWindow::updateButtons);
    connect(m_browser, &HelpBrowser::externalLinkRequested, this,
            [this](const QUrl& url) { m_openExternal(url); });
    connect(m_tree, &QTreeWidget::itemActivated, this, &HelpWindow::treeItemActivated);
    connect(m_tree, &QTreeWidget::itemClicked, this, &HelpWindow::treeItemActivated);
    updateButtons();
}

HelpWindow::~HelpWindow()
{
    // The browser holds a pointer to the archive; let it go first.
    m_browser->setArchive(nullptr);
}

HelpWindow* HelpWindow::showHelp(QWidget* owner, const QString& bareName, const QString& language)
{
    HelpWindow* window = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new HelpWindow(owner);
    window->openHelpFile(bareName, language);
    return window;
}

void HelpWindow::closeAll(QWidget* owner)
{
    const auto windows = owner->findChildren<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    for (HelpWindow* window : windows) {
        window->close();
        delete window;
    }
}

void HelpWindow::setExternalLinkHandler(std::function<void(const QUrl&)> handler)
{
    m_openExternal = std::move(handler);
}

bool HelpWindow::hasFile() const
{
    return m_archive->isOpen();
}

void HelpWindow::openHelpFile(const QString& bareName, const QString& language)
{
    const QString path = locateHelpFile(bareName, language);
    if (path.isEmpty()) {
        showError(translatedHelpName(bareName, language),
                  reasonText(ChmArchive::Error::NotFound, QString()));
        present();
        return;
    }
    openHelpPath(path, QFileInfo(path).fileName());
}

void HelpWindow::openHelpPath(const QString& path, const QString& displayName)
{
    if (m_archive->isOpen() && path == m_path) {
        goHome();
        present();
        return;
    }
    m_browser->setArchive(nullptr);
    m_tree->clear();
    m_path.clear();
    if (!m_archive->open(path)) {
        showError(displayName, reasonText(m_archive->error(), m_archive->systemReason()));
        present();
        return;
    }
    m_path = path;
    m_browser->setArchive(m_archive.get());
    setWindowTitle(m_archive->title().isEmpty() ? defaultTitle() : m_archive->title());
    addEntries(m_tree->invisibleRootItem(), m_archive->contents());
    m_tree->expandToDepth(0);
    if (m_archive->defaultTopic().isEmpty())
        showError(displayName, tr("表示できるページがありません。"));
    else
        goHome();
    present();
}

QString HelpWindow::defaultTitle()
{
    return tr("Morvane ヘルプ");
}

QString HelpWindow::reasonText(ChmArchive::Error error, const QString& systemReason)
{
    // In the order of ChmArchive::Error.
    static const char* const reasons[] = {
        "",
        QT_TRANSLATE_NOOP("morvane::HelpWindow", "ファイルが見つかりません。"),
        QT_TRANSLATE_NOOP("morvane::HelpWindow", "同じ名前のフォルダーがあります。"),
        QT_TRANSLATE_NOOP("morvane::HelpWindow", "ファイルを読み込めません（%1）。"),
        QT_TRANSLATE_NOOP("morvane::HelpWindow", "ファイルが大きすぎます。"),
        QT_TRANSLATE_NOOP("morvane::HelpWindow", "CHM 形式のファイルではありません。"),
        QT_TRANSLATE_NOOP("morvane::HelpWindow", "ファイルの構造が壊れています。"),
        QT_TRANSLATE_NOOP("morvane::HelpWindow", "ファイルが途中で切れています。"),
    };
    const QString text = tr(reasons[int(error)]);
    return error == ChmArchive::Error::Unreadable ? text.arg(systemReason) : text;
}

void HelpWindow::showError(const QString& displayName, const QString& reason)
{
    m_archive->close();
    m_path.clear();
    m_browser->setArchive(nullptr);
    m_tree->clear();
    setWindowTitle(defaultTitle());
    m_browser->setHtml(u"<html><body><h3>%1</h3><p>%2</p></body></html>"_s.arg(
        tr("ヘルプファイル「%1」を開けません。").arg(displayName).toHtmlEscaped(),
        reason.toHtmlEscaped()));
    updateButtons();
}

void HelpWindow::addEntries(QTreeWidgetItem* parent, const std::vector<chm::ContentsEntry>& entries)
{
    for (const chm::ContentsEntry& entry : entries) {
        auto* item = new QTreeWidgetItem(parent, {entry.name});
        if (!entry.local.isEmpty()) {
            item->setData(0, kPathRole, chm::resolveObjectPath(entry.local));
            const qsizetype hash = entry.local.indexOf(u'#');
            if (hash >= 0)
                item->setData(0, kFragmentRole, entry.local.mid(hash + 1));
        }
        item->setToolTip(0, entry.name);
        addEntries(item, entry.children); // depth is bounded by the sitemap parser
    }
}

void HelpWindow::goHome()
{
    if (!m_archive->isOpen() || m_archive->defaultTopic().isEmpty())
        return;
    m_browser->setSource(HelpBrowser::urlForObject(m_archive->defaultTopic()),
                         QTextDocument::HtmlResource);
}

void HelpWindow::treeItemActivated(QTreeWidgetItem* item)
{
    if (!item || !m_archive->isOpen())
        return;
    const QString local = item->data(0, kPathRole).toString();
    if (local.isEmpty())
        return; // a heading without a page of its own
    QUrl url = HelpBrowser::urlForObject(local);
    const QString fragment = item->data(0, kFragmentRole).toString();
    if (!fragment.isEmpty())
        url.setFragment(fragment, QUrl::DecodedMode);
    m_browser->setSource(url, QTextDocument::HtmlResource);
}

void HelpWindow::pageChanged(const QUrl& url)
{
    const QString path = HelpBrowser::objectPathForUrl(url);
    const QSignalBlocker blocker(m_tree);
    QTreeWidgetItem* item = path.isEmpty() ? nullptr : findItem(m_tree->invisibleRootItem(), path);
    if (item)
        m_tree->setCurrentItem(item);
    else
        m_tree->clearSelection();
    updateButtons();
}

void HelpWindow::updateButtons()
{
    const bool open = m_archive->isOpen();
    m_back->setEnabled(open && m_browser->isBackwardAvailable());
    m_forward->setEnabled(open && m_browser->isForwardAvailable());
    m_home->setEnabled(open && !m_archive->defaultTopic().isEmpty());
}

void HelpWindow::present()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

} // namespace morvane
