#include "ui/frmmain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    morvane::frmMain window;
    window.show();
    return app.exec();
}
