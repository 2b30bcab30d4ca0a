#pragma once

// A compiled HTML help file (CHM), read with chmlib.
//
// The file is read into memory once, checked by readChmLayout (see chmlayout.h), and handed to
// chmlib as a sealed in-memory copy, so that what chmlib decompresses is exactly what was
// checked even if the file on disk changes. chmlib is used for opening and decompressing; the
// directory, lookups and the help-specific records are ours.

#include "help/chmlayout.h"
#include "help/sitemap.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct chmFile;

namespace morvane {

class ChmArchive {
    Q_DISABLE_COPY_MOVE(ChmArchive)

public:
    ChmArchive() = default;
    ~ChmArchive();

    // Opens a file by its path. On failure errorString() says why, in Japanese.
    bool open(const QString& path);
    // Opens a file's bytes (used by tests and the fuzzer).
    bool openData(const QByteArray& bytes);
    void close();

    bool isOpen() const { return m_file != nullptr; }
    QString errorString() const { return m_error; }

    // The title (#SYSTEM record 3), decoded; empty when the file has none.
    QString title() const { return m_title; }
    // The object path of the first page to show: #SYSTEM record 2, else the first page of the
    // contents, else the first HTML object; empty when the file has no page at all.
    QString defaultTopic() const { return m_defaultTopic; }
    // The object path of the contents page (#SYSTEM record 0, else the first .hhc object).
    QString contentsPath() const { return m_contentsPath; }
    // The language ID of the file's texts (#SYSTEM record 4, else the file header).
    quint32 languageId() const { return m_languageId; }
    // The contents page as a tree; Local values are as written (see resolveObjectPath).
    const std::vector<chm::ContentsEntry>& contents() const { return m_contents; }

    // Every normal object ("/..." and not a folder), in directory order.
    QStringList objectPaths() const;
    // Whether an object exists; the path is resolved as by resolveObjectPath and compared
    // without regard to case.
    bool contains(const QString& path) const;
    // An object's bytes; nothing when it does not exist, is larger than kMaxObjectBytes or
    // cannot be read.
    std::optional<QByteArray> object(const QString& path) const;
    // Text of this file decoded (see decodeHelpText) with the file's language.
    QString decodeText(const QByteArray& bytes) const;

private:
    bool fail(const QString& reason);
    bool hand(const QByteArray& bytes);
    const chm::Entry* find(const QString& path) const;
    void readSystem();

    chmFile* m_file = nullptr;
    QString m_error;
    std::vector<chm::Entry> m_entries;
    QHash<QString, qsizetype> m_index; // case-folded object path -> entry
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsPath;
    quint32 m_languageId = 0;
    std::vector<chm::ContentsEntry> m_contents;
};

} // namespace morvane
