#pragma once

// A compiled HTML help file (CHM), read with libmspack.
//
// The file is read into memory once and every object is taken out of it while opening, so
// that a damaged compressed section refuses the whole file at once instead of failing page by
// page later, and nothing changes if the file on disk changes afterwards. libmspack sees only
// the in-memory copy, through a file system of our own that also caps each of its
// allocations. The lookups, the #SYSTEM records and the contents tree are ours.

#include "help/sitemap.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace morvane {

class ChmArchive {
    Q_DISABLE_COPY_MOVE(ChmArchive)

public:
    // Why a file could not be opened; the help window words it for the user.
    enum class Error {
        None,
        NotFound,   // no such file
        IsFolder,   // a folder has the name
        Unreadable, // the system refused to read it; systemReason() says why
        TooLarge,   // larger than any help file, or its objects are
        NotChm,     // not a CHM file at all
        Damaged,    // a CHM file whose structure or compressed data is broken
        Truncated,  // a CHM file cut short
    };

    // Largest file read, and largest total of the objects taken out of it.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
    static constexpr qint64 kMaxContentBytes = 64 * 1024 * 1024;

    ChmArchive() = default;

    // Opens a file by its path; on failure error() says why.
    bool open(const QString& path);
    // Opens a file's bytes (used by tests and the fuzzer).
    bool openData(const QByteArray& bytes);
    void close();

    bool isOpen() const { return m_open; }
    Error error() const { return m_error; }
    // The system's own words for Error::Unreadable, empty otherwise.
    QString systemReason() const { return m_systemReason; }

    // The title (#SYSTEM record 3), decoded; empty when the file has none.
    QString title() const { return m_file.title; }
    // The object path of the first page to show: #SYSTEM record 2, else the first page of the
    // contents, else the first HTML object; empty when the file has no page at all.
    QString defaultTopic() const { return m_file.defaultTopic; }
    // The object path of the contents page (#SYSTEM record 0, else the first .hhc object).
    QString contentsPath() const { return m_file.contentsPath; }
    // The language ID of the file's texts (#SYSTEM record 4, else the file header).
    quint32 languageId() const { return m_file.languageId; }
    // The contents page as a tree; Local values are as written (see resolveObjectPath).
    const std::vector<chm::ContentsEntry>& contents() const { return m_file.contents; }

    // Every normal object ("/..." and not a folder), in directory order.
    QStringList objectPaths() const;
    // Whether an object exists; the path is resolved as by resolveObjectPath and compared
    // without regard to case.
    bool contains(const QString& path) const;
    // An object's bytes; nothing when it does not exist.
    std::optional<QByteArray> object(const QString& path) const;
    // Text of this file decoded with the file's language.
    QString decodeText(const QByteArray& bytes) const
    {
        return decodeText(bytes, m_file.languageId);
    }

    // Text inside a help file (pages, the contents page, style sheets, the title) carries no
    // reliable label: Japanese files are usually in the Windows Japanese code page (CP932),
    // newer ones in UTF-8, and the compiler copies whatever bytes its project file holds. This
    // decodes as Qt reads HTML (a byte-order mark, else a charset a <meta> tag declares and Qt
    // can decode); failing that, as UTF-8 when the bytes are valid UTF-8, else in the code page
    // of the language (CP932 for Japanese, 0x0411), else as Latin-1. Never fails; invalid
    // sequences become U+FFFD.
    static QString decodeText(QByteArrayView bytes, quint32 languageId);

private:
    struct Object {
        QString name; // as stored, decoded from UTF-8
        QByteArray bytes;
    };

    bool fail(Error error, const QString& systemReason = QString());
    const Object* find(const QString& path) const;
    void readSystem();

    bool m_open = false;
    Error m_error = Error::None;
    QString m_systemReason;
    struct File {
        std::vector<Object> objects;     // in directory order
        QHash<QString, qsizetype> index; // case-folded object path -> object
        QString title, defaultTopic, contentsPath;
        quint32 languageId = 0;
        std::vector<chm::ContentsEntry> contents;
    };
    File m_file; // what the open file holds; empty when none is open
};

} // namespace morvane
