#include "ui/fonts.h"
#include "ui/frmmain.h"
#include "ui/services.h"

#include <QApplication>
#include <QDir>

namespace {

// Until the help window exists the help button opens nothing.
class NoHelp final : public morvane::HelpViewer {
public:
    void showHelp(QWidget*, const QString&) override {}
    void closeAll() override {}
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    morvane::installFontSubstitutions();

    morvane::QtDialogs dialogs;
    morvane::SystemClock clock;
    NoHelp help;
    morvane::frmMain window({&dialogs, &clock, &help}, QDir::current());
    if (!window.Form_Load())
        return 1;
    window.show();
    return app.exec();
}
