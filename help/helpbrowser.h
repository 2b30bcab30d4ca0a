#pragma once

// The page view of the help window: a QTextBrowser that takes every page, picture and style
// sheet from an open help file and nothing from anywhere else.
//
// Pages are addressed as "chm:/dir/page.html". Links are never followed by Qt itself: a link
// inside the file loads its page (fragments scroll to their anchor); an http, https or mailto
// link is announced with externalLinkRequested and loaded nowhere; any other link is ignored.
// QTextBrowser runs no script, and a resource the file does not hold is served empty, never
// from the local file system. Pictures come only from the file or a data: address, under the
// limits of HelpPictures; background pictures are not drawn, as the document would hold them
// out of reach of those limits.
//
// Pages take their background and text colours from the palette; links and headings get
// colours of the palette's link role, made readable on its base, so that a page without
// colours of its own reads as well on a dark palette as on a light one.

#include <QTextBrowser>

#include <optional>

namespace morvane {

class ChmArchive;
class HelpPictures;

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpBrowser)

public:
    explicit HelpBrowser(QWidget* parent = nullptr);
    ~HelpBrowser() override;

    // The file to serve from; not owned, may be null. Clears the history.
    void setArchive(const ChmArchive* archive);

    // The address of an object path ("/dir/page.html") in this view.
    static QUrl urlForObject(const QString& objectPath);
    // The object path an address names inside the file, or empty when it names none.
    static QString objectPathForUrl(const QUrl& url);

    QVariant loadResource(int type, const QUrl& name) override;

    // The decoded picture pixels the view holds now (see HelpPictures).
    qint64 picturePixels() const;

signals:
    void externalLinkRequested(const QUrl& url);

protected:
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void followLink(const QUrl& url);
    QString pageNotFound(const QString& objectPath) const;
    std::optional<QByteArray> pictureBytes(const QUrl& url) const;
    void applyPalette();

    const ChmArchive* m_archive = nullptr;
    HelpPictures* m_pictures = nullptr;
    QUrl m_base; // the page being shown, for resolving its relative references
};

} // namespace morvane
