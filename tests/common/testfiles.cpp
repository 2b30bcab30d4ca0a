#include "testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

using namespace Qt::StringLiterals;

namespace morvane::testing {

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.isNull())
        bytes = QByteArray(""); // an empty file reads as empty, not as unreadable
    return bytes;
}

QByteArray dailyHistory(int lines, QDate last)
{
    QByteArray bytes;
    for (int i = lines - 1; i >= 0; --i)
        bytes += last.addDays(-i).toString(u"MM/dd"_s).toLatin1() + "  68.5Kg  24.1  9.6%\r\n";
    return bytes;
}

QMap<QString, QByteArray> snapshot(const QDir& folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder.path(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = folder.relativeFilePath(path);
        if (it.fileInfo().isDir())
            entries.insert(name, "<folder>");
        else if (!it.fileInfo().isFile())
            entries.insert(name, "<not a regular file>"); // a FIFO is not read: that would block
        else
            entries.insert(name, readBytes(path));
    }
    return entries;
}

bool permissionsAreEnforced(const QString& scratch)
{
    const QString probe = QDir(scratch).filePath(u"permission-probe"_s);
    if (!writeBytes(probe, "x"))
        return true;
    QFile::setPermissions(probe, QFileDevice::Permissions());
    QFile file(probe);
    const bool enforced = !file.open(QIODevice::ReadOnly);
    file.close();
    QFile::setPermissions(probe, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::remove(probe);
    return enforced;
}

} // namespace morvane::testing
