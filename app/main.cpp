#include "session/language.h"
#include "store/datafolder.h"
#include "store/fileio.h"
#include "ui/accessibility.h"
#include "ui/fixedsize.h"
#include "ui/fonts.h"
#include "ui/frmmain.h"
#include "ui/layout.h"
#include "ui/qtservices.h"
#include "ui/windowframe.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>

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
// per-user data folder (empty), or the folder given, as the bytes given.
using DataFolderOption = std::optional<QByteArray>;

constexpr std::string_view kDataFolder = "--data-folder";
constexpr std::string_view kDataFolderIs = "--data-folder=";

// The answers come before the window system starts: a plain application object carries the
// translation of the program's language while the text is looked up.
QString translated(const char* source)
{
    int argc = 1;
    char name[] = "morvane";
    char* argv[] = {name, nullptr};
    const QCoreApplication core(argc, argv);
    const morvane::Language language = morvane::programLanguage();
    const morvane::Translations translations(language);
    QLocale::setDefault(morvane::programLocale(QLocale::system(), language));
    return QCoreApplication::translate("morvane::main", source);
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
                    .toUtf8()
                    .constData(),
                stdout);
            return 0;
        }
        if (arg == kDataFolder) {
            dataFolder = QByteArray();
            continue;
        }
        if (arg == kDataFolderIs) {
            std::fputs(
                translated(QT_TRANSLATE_NOOP(
                               "morvane::main",
                               "morvane: --data-folder= のあとにデータのフォルダーがありません。\n"
                               "--data-folder=フォルダー のように指定して下さい（省略するときは "
                               "--data-folder）。\n"))
                    .toLocal8Bit()
                    .constData(),
                stderr);
            return 2;
        }
        if (arg.starts_with(kDataFolderIs)) {
            dataFolder = QByteArray(argv[i] + kDataFolderIs.size());
            continue;
        }
        if (!arg.starts_with('-'))
            continue;
        std::fputs(translated(QT_TRANSLATE_NOOP("morvane::main",
                                                "morvane: 「%1」というオプションはありません。\n"
                                                "使い方は morvane --help で表示されます。\n"))
                       .arg(QString::fromLocal8Bit(argv[i]))
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return 2;
    }
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

    // The program's texts and Qt's own dialogs in English where the desktop asks for English
    // before Japanese; in Japanese, the language they are written in, otherwise.
    const morvane::Language language = morvane::programLanguage();
    const morvane::Translations translations(language);
    QLocale::setDefault(morvane::programLocale(QLocale::system(), language));

    morvane::QtDialogs dialogs;
    if (dataFolder) {
        if (const std::optional<QString> error = morvane::enterDataFolder(*dataFolder)) {
            std::fprintf(stderr, "morvane: %s\n", qPrintable(*error));
            dialogs.message(morvane::Dialogs::Severity::Error, *error, u"Morvane"_s);
            return 1;
        }
    } else {
        morvane::rememberWorkingFolder(QDir::currentPath());
    }
    morvane::SystemClock clock;
    morvane::HelpWindows help;
    // The data files are opened by their bare names in the working folder.
    morvane::frmMain window({&dialogs, &clock, &help}, morvane::DataFiles());
    dialogs.setParent(&window);
    help.setOwner(&window);
    if (!window.Form_Load())
        return 1;
    const auto frame = morvane::showWindow(&window);
    return app.exec();
}
