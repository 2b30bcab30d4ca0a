#include "store/fileio.h"
#include "ui/accessibility.h"
#include "ui/fixedsize.h"
#include "ui/fonts.h"
#include "ui/frmmain.h"
#include "ui/layout.h"
#include "ui/services.h"
#include "ui/windowframe.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <optional>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

constexpr const char* kVersion = MORVANE_VERSION;
// The installed desktop entry's name, without ".desktop"; the package test finds it in the
// program.
constexpr const char* kDesktopFileName = MORVANE_APP_ID;

// The data folder a command line asks for: none (the working folder, as always), the desktop's
// per-user data folder (an empty path), or the folder given.
using DataFolderOption = std::optional<QString>;

constexpr std::string_view kDataFolder = "--data-folder";
constexpr std::string_view kDataFolderIs = "--data-folder=";

// The answers are given before any translation is loaded; they are marked for translators all
// the same, so that a translated build can answer in its own language.
QByteArray translated(const char* source)
{
    return QCoreApplication::translate("morvane::main", source).toUtf8();
}

// The options are answered before any window system is needed, so --help and --version also
// work without a display. Returns the exit status when the program is to end at once.
std::optional<int> answerCommandLine(int argc, char* argv[], DataFolderOption& dataFolder)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version" || arg == "-v") {
            std::printf("Morvane %s\n", kVersion);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(
                translated(
                    QT_TRANSLATE_NOOP(
                        "morvane::main",
                        "使い方: morvane [--data-folder[=フォルダー]] [--help | --version]\n"
                        "\n"
                        "身長と体重から BMI を計算し、判定と履歴を表示します。\n"
                        "データは起動したフォルダーの「身長.txt」「体重.txt」「履歴.txt」に"
                        "保存されます。\n"
                        "\n"
                        "  --data-folder[=フォルダー]\n"
                        "                 "
                        "データをこのフォルダーに保存します。フォルダーを省略すると\n"
                        "                 $XDG_DATA_HOME/morvane (既定は ~/.local/share/morvane)\n"
                        "                 "
                        "です。メニューから起動したときはこのフォルダーを使います。\n"
                        "                 フォルダーがなければ作ります\n"
                        "  -h, --help     この説明を表示して終了します\n"
                        "  -v, --version  バージョンを表示して終了します\n"))
                    .constData(),
                stdout);
            return 0;
        }
        if (arg == kDataFolder) {
            dataFolder = QString();
            continue;
        }
        if (arg.starts_with(kDataFolderIs) && arg.size() > kDataFolderIs.size()) {
            dataFolder = QFile::decodeName(argv[i] + kDataFolderIs.size());
            continue;
        }
        if (!arg.starts_with('-'))
            continue;
        std::fputs(QCoreApplication::translate("morvane::main",
                                               "morvane: 「%1」というオプションはありません。\n"
                                               "使い方は morvane --help で表示されます。\n")
                       .arg(QString::fromLocal8Bit(argv[i]))
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return 2;
    }
    return std::nullopt;
}

// Makes the folder the option names the working folder, creating it (for this user only) when
// it is not there yet. Whatever the program reads or writes by a bare name, the data files and
// a help file beside them, is then found there. On failure, the message to show.
std::optional<QString> enterDataFolder(const QString& option)
{
    const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(
        option.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/morvane"_s
            : option));
    const bool existed = QFileInfo(folder).isDir();
    if (!existed && !QDir().mkpath(folder))
        return QCoreApplication::translate("morvane::main",
                                           "データのフォルダー「%1」を作成できませんでした。")
            .arg(QDir::toNativeSeparators(folder));
    if (!existed)
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    if (!QDir::setCurrent(folder))
        return QCoreApplication::translate("morvane::main",
                                           "データのフォルダー「%1」を開けませんでした。")
            .arg(QDir::toNativeSeparators(folder));
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    DataFolderOption dataFolder;
    if (const std::optional<int> status = answerCommandLine(argc, argv, dataFolder))
        return *status;
    // Under a file size limit an oversize write must fail and be reported, not end the program
    // half-way through a record.
    morvane::ignoreFileSizeSignal();

    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Morvane"_s);
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    // The desktop entry's name, so that the desktop matches the window to its launcher and icon.
    // The window class comes from the application name, "Morvane": the entry's StartupWMClass.
    QApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    morvane::installFontSubstitutions();
    morvane::installAccessibility();
    morvane::keepFixedWindowsAtTheirSize();
    QFont font(morvane::layout::kGothicFamily);
    font.setPointSizeF(morvane::layout::kWindowPointSize);
    QApplication::setFont(font);

    // The program's texts in the desktop's language where a translation is built in; Japanese,
    // the language they are written in, otherwise.
    QTranslator translation;
    if (translation.load(QLocale(), u"morvane"_s, u"_"_s, u":/i18n"_s))
        QApplication::installTranslator(&translation);

    // Qt's own dialogs speak Japanese whatever the desktop's language, as the window does.
    QTranslator qtTranslation;
    if (qtTranslation.load(QLocale(QLocale::Japanese, QLocale::Japan), u"qtbase"_s, u"_"_s,
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);

    morvane::QtDialogs dialogs;
    if (dataFolder) {
        if (const std::optional<QString> error = enterDataFolder(*dataFolder)) {
            std::fprintf(stderr, "morvane: %s\n", qPrintable(*error));
            dialogs.message(nullptr, morvane::Dialogs::Severity::Error, *error, u"Morvane"_s);
            return 1;
        }
    }
    morvane::SystemClock clock;
    morvane::HelpWindows help;
    morvane::frmMain window({&dialogs, &clock, &help}, QDir::current());
    if (!window.Form_Load())
        return 1;
    const auto frame = morvane::showWindow(&window);
    return app.exec();
}
