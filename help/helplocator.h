#pragma once

// Where the help file is looked for, by its bare name ("QuilloHelp.chm").

#include <QString>
#include <QStringList>

namespace morvane {

// The folders searched, in order: the working directory, the program's own folder, and the
// installed data folder ../share/morvane beside the program's folder. Needs a
// QCoreApplication for the program's folder.
QStringList helpSearchFolders();

// The absolute path of the first regular file called bareName in folders, in their order;
// empty when there is none. A folder of that name does not count.
QString locateHelpFile(const QString& bareName, const QStringList& folders);

// locateHelpFile over helpSearchFolders().
QString locateHelpFile(const QString& bareName);

} // namespace morvane
