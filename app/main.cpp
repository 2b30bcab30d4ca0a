#include "ui/accessibility.h"
#include "ui/fonts.h"
#include "ui/frmmain.h"
#include "ui/layout.h"
#include "ui/services.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr const char* kVersion = MORVANE_VERSION;

// The program takes no options but these two; they are answered before any window system is
// needed, so they also work without a display.
std::optional<int> answerCommandLine(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-v") == 0) {
            std::printf("Morvane %s\n", kVersion);
            return 0;
        }
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::printf("使い方: morvane [--help | --version]\n"
                        "\n"
                        "身長と体重から BMI を計算し、判定と履歴を表示します。\n"
                        "データは起動したフォルダーの「身長.txt」「体重.txt」「履歴.txt」に"
                        "保存されます。\n"
                        "\n"
                        "  -h, --help     この説明を表示して終了します\n"
                        "  -v, --version  バージョンを表示して終了します\n");
            return 0;
        }
        if (arg[0] == '-') {
            std::fprintf(stderr,
                         "morvane: 「%s」というオプションはありません。\n"
                         "使い方は morvane --help で表示されます。\n",
                         arg);
            return 2;
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Morvane"_s);
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    QApplication::setDesktopFileName(u"morvane"_s);
    morvane::installFontSubstitutions();
    morvane::installAccessibility();
    QFont font(morvane::layout::kGothicFamily);
    font.setPointSizeF(morvane::layout::kWindowPointSize);
    QApplication::setFont(font);

    // The program speaks Japanese whatever the desktop's language: Qt's own dialogs too.
    QTranslator qtTranslation;
    if (qtTranslation.load(QLocale(QLocale::Japanese, QLocale::Japan), u"qtbase"_s, u"_"_s,
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);

    morvane::QtDialogs dialogs;
    morvane::SystemClock clock;
    morvane::HelpWindows help;
    morvane::frmMain window({&dialogs, &clock, &help}, QDir::current());
    if (!window.Form_Load())
        return 1;
    window.show();
    return app.exec();
}
