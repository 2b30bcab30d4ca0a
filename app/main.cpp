#include "store/fileio.h"
#include "ui/accessibility.h"
#include "ui/fonts.h"
#include "ui/frmmain.h"
#include "ui/layout.h"
#include "ui/services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr const char* kVersion = MORVANE_VERSION;

// The answers are given before any translation is loaded; they are marked for translators all
// the same, so that a translated build can answer in its own language.
QByteArray translated(const char* source)
{
    return QCoreApplication::translate("morvane::main", source).toUtf8();
}

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
            std::fputs(translated(QT_TRANSLATE_NOOP(
                                      "morvane::main",
                                      "使い方: morvane [--help | --version]\n"
                                      "\n"
                                      "身長と体重から BMI を計算し、判定と履歴を表示します。\n"
                                      "データは起動したフォルダーの「身長.txt」「体重.txt」「履歴."
                                      "txt」に保存されます。\n"
                                      "\n"
                                      "  -h, --help     この説明を表示して終了します\n"
                                      "  -v, --version  バージョンを表示して終了します\n"))
                           .constData(),
                       stdout);
            return 0;
        }
        if (arg[0] == '-') {
            std::fputs(QCoreApplication::translate("morvane::main",
                                                   "morvane: 「%1」というオプションはありません。\n"
                                                   "使い方は morvane --help で表示されます。\n")
                           .arg(QString::fromLocal8Bit(arg))
                           .toLocal8Bit()
                           .constData(),
                       stderr);
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
    // Under a file size limit an oversize write must fail and be reported, not end the program
    // half-way through a record.
    morvane::ignoreFileSizeSignal();

    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Morvane"_s);
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    QApplication::setDesktopFileName(u"morvane"_s);
    morvane::installFontSubstitutions();
    morvane::installAccessibility();
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
    morvane::SystemClock clock;
    morvane::HelpWindows help;
    morvane::frmMain window({&dialogs, &clock, &help}, QDir::current());
    if (!window.Form_Load())
        return 1;
    window.show();
    return app.exec();
}
