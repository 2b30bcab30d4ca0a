#include "help/helpbrowser.h"

#include "help/chmarchive.h"
#include "help/chmpath.h"
#include "help/htmlfixup.h"

#include <QTextDocument>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace morvane {

namespace {

const QString kScheme = u"chm"_s;

} // namespace

HelpBrowser::HelpBrowser(QWidget* parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

HelpBrowser::~HelpBrowser() = default;

void HelpBrowser::setArchive(const ChmArchive* archive)
{
    m_archive = archive;
    m_base = QUrl();
    clearHistory();
}

QUrl HelpBrowser::urlForObject(const QString& objectPath)
{
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(chm::resolveObjectPath(objectPath), QUrl::DecodedMode);
    return url;
}

QString HelpBrowser::objectPathForUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == kScheme)
        return chm::resolveObjectPath(url.path(QUrl::FullyDecoded));
    // Links written for other viewers: "ms-its:QuilloHelp.chm::/page.html".
    if (scheme == u"ms-its"_s || scheme == u"mk"_s || scheme == u"its"_s)
        return chm::resolveObjectPath(url.path(QUrl::FullyDecoded));
    return {};
}

void HelpBrowser::followLink(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http"_s || scheme == u"https"_s || scheme == u"mailto"_s) {
        emit externalLinkRequested(url);
        return;
    }
    const QString path = objectPathForUrl(url);
    if (path.isEmpty())
        return; // file:, javascript: and anything else lead nowhere
    QUrl target = urlForObject(path);
    if (url.hasFragment())
        target.setFragment(url.fragment(QUrl::FullyDecoded), QUrl::DecodedMode);
    setSource(target, QTextDocument::HtmlResource);
}

QString HelpBrowser::pageNotFound(const QString& objectPath) const
{
    return u"<html><body><h2>%1</h2><p>%2</p></body></html>"_s.arg(
        tr("ページが見つかりません").toHtmlEscaped(),
        tr("このヘルプファイルには「%1」がありません。").arg(objectPath).toHtmlEscaped());
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    const QUrl url = name.isRelative() && m_base.isValid() ? m_base.resolved(name) : name;
    if (type == QTextDocument::ImageResource && url.scheme() == u"data"_s)
        return {}; // QTextDocument decodes data: pictures itself

    const QString path = objectPathForUrl(url);
    const std::optional<QByteArray> bytes =
        m_archive && !path.isEmpty() ? m_archive->object(path) : std::nullopt;

    // Never a null QVariant: QTextDocument would then look for the name on the local disk.
    switch (type) {
    case QTextDocument::HtmlResource:
        m_base = urlForObject(path.isEmpty() ? u"/"_s : path);
        if (!bytes)
            return pageNotFound(path.isEmpty() ? url.toDisplayString() : path);
        return prepareHelpPage(m_archive->decodeText(*bytes));
    case QTextDocument::StyleSheetResource:
        return bytes ? m_archive->decodeText(*bytes).left(kMaxHtmlChars) : QString(u""_s);
    default:
        return bytes ? *bytes : QByteArray("");
    }
}

} // namespace morvane
