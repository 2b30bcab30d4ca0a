#include "ui/frmmain.h"

using namespace Qt::StringLiterals;

namespace morvane {

frmMain::frmMain(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(u"frmMain"_s);
    setWindowTitle(u"Morvane"_s);
    setFixedSize(631, 452);
}

frmMain::~frmMain() = default;

} // namespace morvane
