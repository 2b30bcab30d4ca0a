#include "store/datafolder.h"

#include "store/fileio.h"

#include <QCoreApplication>
#include <QFile>

#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace morvane {
namespace {

bool isExistingFolder(const QByteArray& path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString shown(const QByteArray& folder)
{
    return fullPath(QFile::decodeName(folder));
}

} // namespace

QByteArray desktopDataFolder()
{
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    if (dataHome.startsWith('/'))
        return dataHome + "/morvane";
    const QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/') || !isExistingFolder(home))
        return {};
    return home + "/.local/share/morvane";
}

std::optional<QString> enterDataFolder(const QByteArray& option)
{
    const QByteArray folder = option.isEmpty() ? desktopDataFolder() : option;
    if (folder.isEmpty()) {
        return QCoreApplication::translate(
            "morvane::DataFolder",
            "ホームフォルダーがわからないため（環境変数 HOME）、データのフォルダーを"
            "決められません。--data-folder=フォルダー で指定して下さい。");
    }
    // std::filesystem keeps a path as the bytes given.
    const std::filesystem::path path(folder.toStdString());
    std::error_code ec;
    const bool existed = std::filesystem::is_directory(path, ec);
    if (!existed && std::filesystem::exists(path, ec)) {
        return QCoreApplication::translate(
                   "morvane::DataFolder",
                   "データのフォルダーに指定した「%1」は、フォルダーではなくファイルです。\n"
                   "フォルダーを指定して下さい。")
            .arg(shown(folder));
    }
    if (!existed) {
        std::filesystem::create_directories(path, ec);
        if (ec) {
            return QCoreApplication::translate(
                       "morvane::DataFolder",
                       "データのフォルダー「%1」を作成できませんでした。\n理由: %2")
                .arg(shown(folder), systemReason(ec.value()));
        }
        ::chmod(folder.constData(), S_IRWXU);
    }
    const QString shownFolder = shown(folder); // relative to where the program started
    if (::chdir(folder.constData()) != 0) {
        return QCoreApplication::translate("morvane::DataFolder",
                                           "データのフォルダー「%1」を開けませんでした。\n理由: %2")
            .arg(shownFolder, systemReason(errno));
    }
    rememberWorkingFolder(shownFolder);
    return std::nullopt;
}

} // namespace morvane
