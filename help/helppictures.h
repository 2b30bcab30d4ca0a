#pragma once

// The pictures of the page a help view shows, drawn in place of Qt's own picture handler.
//
// Qt's handler loads from the local disk any picture its document cannot decode: a FIFO there
// blocks the program, /dev/stdin waits for a line from the terminal, and any picture the user
// can read is shown. Here a picture comes only from the bytes the fetch function gives for
// it, or is not shown: it is drawn as a faint frame, of the size the page declares for it, or
// kPlaceholderSize when the page declares none.
//
// Help files are untrusted, and a few kilobytes of PNG can declare gigabytes of pixels. So a
// picture's size is read from its header before it is decoded; one over kMaxPicturePixels is
// not shown, and neither is one that would take the pictures held over kBudgetPixels. A
// picture is decoded when it is first laid out or drawn and held until clear(), which the view
// calls when it shows another page and when it is hidden; a picture still in sight is decoded
// again when it is next drawn.

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSizeF>
#include <QTextObjectInterface>
#include <QUrl>

#include <functional>
#include <optional>

class QTextDocument;

namespace morvane {

class HelpPictures : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
    Q_DISABLE_COPY_MOVE(HelpPictures)

public:
    // The address a picture's name (as the page writes it) stands for, and that address's
    // bytes, or none when it names nothing the view may show.
    using Resolve = std::function<QUrl(const QString& name)>;
    using Fetch = std::function<std::optional<QByteArray>(const QUrl& url)>;

    // A screenshot of a 5K screen still fits one picture; four such fill the budget.
    static constexpr qint64 kMaxPicturePixels = 4096 * 4096;
    static constexpr qint64 kBudgetPixels = 4 * kMaxPicturePixels;
    static constexpr QSizeF kPlaceholderSize{16, 16};

    // Draws document's pictures from now on; document must outlive this object.
    HelpPictures(QTextDocument* document, Resolve resolve, Fetch fetch, QObject* parent);
    ~HelpPictures() override;

    // The decoded pixels held now.
    qint64 pixels() const { return m_pixels; }
    // Lets every decoded picture go.
    void clear();

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

private:
    // The picture a name stands for; a null image when it is not shown.
    QImage picture(const QString& name);

    Resolve m_resolve;
    Fetch m_fetch;
    QHash<QUrl, QImage> m_pictures; // by address; a null image for one not shown
    qint64 m_pixels = 0;
};

} // namespace morvane
