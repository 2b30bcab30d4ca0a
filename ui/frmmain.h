#pragma once

#include <QWidget>

namespace morvane {

// The program's one window.
class frmMain : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;
};

} // namespace morvane
