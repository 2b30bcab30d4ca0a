#include "help/helpbrowser.h"

#include "help/chmarchive.h"
#include "help/chmpath.h"
#include "help/helppictures.h"
#include "help/htmlfixup.h"

#include <QEvent>
#include <QImage>
#include <QScrollBar>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace morvane {

namespace {

const QString kScheme = u"chm"_s;

// The bytes of a "data:[type][;base64],payload" address.
std::optional<QByteArray> dataUrlBytes(const QUrl& url)
{
    const QByteArray text = url.toEncoded(QUrl::RemoveScheme);
    const qsizetype comma = text.indexOf(',');
    if (comma < 0)
        return std::nullopt;
    const QByteArray payload = QByteArray::fromPercentEncoding(text.sliced(comma + 1));
    return text.first(comma).toLower().endsWith(";base64") ? QByteArray::fromBase64(payload)
                                                           : payload;
}

// Relative luminance and contrast ratio as WCAG 2 defines them.
double luminance(const QColor& colour)
{
    const auto linear = [](float c) {
        return c <= 0.03928f ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
    return (light + 0.05) / (dark + 0.05);
}

QColor mix(const QColor& from, const QColor& to, double share)
{
    const auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

// colour, moved towards text only as far as it takes to read on base: a contrast of 4.5, the
// level WCAG asks of body text. A palette whose link colour is the stock dark blue on a dark
// base gets a lighter blue.
QColor readableOn(const QColor& colour, const QColor& base, const QColor& text)
{
    for (int step = 0; step <= 10; ++step) {
        const QColor candidate = mix(colour, text, step / 10.0);
        if (contrast(candidate, base) >= 4.5)
            return candidate;
    }
    return text;
}

} // namespace

HelpBrowser::HelpBrowser(QWidget* parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
    m_pictures = new HelpPictures(
        document(),
        [this](const QString& name) {
            const QUrl url(name);
            return url.isRelative() && m_base.isValid() ? m_base.resolved(url) : url;
        },
        [this](const QUrl& url) { return pictureBytes(url); }, this);
    applyPalette();
}

HelpBrowser::~HelpBrowser() = default;

void HelpBrowser::setArchive(const ChmArchive* archive)
{
    m_archive = archive;
    m_base = QUrl();
    m_pictures->clear();
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

qint64 HelpBrowser::picturePixels() const
{
    return m_pictures->pixels();
}

std::optional<QByteArray> HelpBrowser::pictureBytes(const QUrl& url) const
{
    if (url.scheme() == u"data"_s)
        return dataUrlBytes(url);
    const QString path = objectPathForUrl(url);
    return m_archive && !path.isEmpty() ? m_archive->object(path) : std::nullopt;
}

void HelpBrowser::applyPalette()
{
    // The pages' own colours where they read on the palette's page, as on a light one, and moved
    // towards the palette's text where they do not, as on a dark one; the page itself is the
    // palette's. Shading is the pages' own on a light page, a tint of the text on a dark one.
    const QColor base = palette().color(QPalette::Base);
    const QColor text = palette().color(QPalette::Text);
    const bool light = luminance(base) > 0.5;
    const auto shade = [&](QColor own, double share) {
        return light ? own : mix(base, text, share);
    };
    document()->setDefaultStyleSheet(
        u"body { color: %1; } a { color: %2; } h1, h2 { color: %3; } .note { color: %4; } "
        u"th { background-color: %5; } code, .value { background-color: %6; }"_s.arg(
            readableOn(QColor(0x20, 0x20, 0x20), base, text).name(),
            readableOn(palette().color(QPalette::Link), base, text).name(),
            readableOn(QColor(0x1d, 0x3f, 0x8a), base, text).name(),
            readableOn(QColor(0x55, 0x55, 0x55), base, text).name(),
            shade(QColor(0xe4, 0xe9, 0xf4), 0.22).name(),
            shade(QColor(0xf0, 0xf0, 0xf0), 0.14).name()));
}

void HelpBrowser::changeEvent(QEvent* event)
{
    QTextBrowser::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    applyPalette();
    if (m_archive && !source().isEmpty()) {
        // The page takes the new colours only when it is read again.
        const int position = verticalScrollBar()->value();
        reload();
        verticalScrollBar()->setValue(position);
        if (!isVisible())
            m_pictures->clear(); // laying the page out decoded them; a closed window holds none
    }
}

void HelpBrowser::hideEvent(QHideEvent* event)
{
    QTextBrowser::hideEvent(event);
    m_pictures->clear(); // a closed window gives the pictures' memory back
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    // Pictures are drawn by HelpPictures: what Qt still asks for here is a background picture,
    // and it gets a transparent one. Not bytes that fail to decode: QTextDocument would then
    // look for the name on the local disk, as it does for a null QVariant.
    if (type == QTextDocument::ImageResource) {
        static const QImage nothing = [] {
            QImage transparent(1, 1, QImage::Format_ARGB32_Premultiplied);
            transparent.fill(Qt::transparent);
            return transparent;
        }();
        return nothing;
    }

    const QUrl url = name.isRelative() && m_base.isValid() ? m_base.resolved(name) : name;
    const QString path = objectPathForUrl(url);
    const std::optional<QByteArray> bytes =
        m_archive && !path.isEmpty() ? m_archive->object(path) : std::nullopt;

    // Never a null QVariant: QTextDocument would then look for the name on the local disk.
    switch (type) {
    case QTextDocument::HtmlResource:
        m_base = urlForObject(path.isEmpty() ? u"/"_s : path);
        m_pictures->clear(); // the pictures of the page being replaced
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
