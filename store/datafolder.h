#pragma once

// The folder the data files live in. The program reads and writes them by their bare names in
// its working folder (see DataFiles); the data folder option makes the folder it names the
// working folder. Folders are taken as the bytes the command line and the environment give:
// a name that is not valid UTF-8 is still the folder meant.

#include <QByteArray>
#include <QString>

#include <optional>

namespace morvane {

// The desktop's per-user data folder for the program, by the XDG base directory rules:
// $XDG_DATA_HOME/morvane when XDG_DATA_HOME is an absolute path (a relative one is ignored),
// else $HOME/.local/share/morvane. Empty when neither gives a usable folder: HOME unset, empty,
// relative, or not an existing folder.
QByteArray desktopDataFolder();

// Makes `folder` the working folder, creating it (for this user only) when it is not there yet;
// an empty `folder` stands for desktopDataFolder(). Messages about the data files name it as
// given from then on (rememberWorkingFolder). On failure, the message to show, naming the
// folder; a path that is a file is no folder; without a usable home folder nothing is created.
std::optional<QString> enterDataFolder(const QByteArray& folder);

} // namespace morvane
