#include "help/helplocator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace morvane {

QStringList helpSearchFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {QDir::currentPath(), programFolder,
            QDir::cleanPath(programFolder + u"/../share/morvane"_s)};
}

QString locateHelpFile(const QString& bareName, const QStringList& folders)
{
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(QDir(folder), bareName);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

QString locateHelpFile(const QString& bareName)
{
    return locateHelpFile(bareName, helpSearchFolders());
}

} // namespace morvane
