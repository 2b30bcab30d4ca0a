#pragma once

// Platform services for benchmarks that start the real window: no dialog is ever answered and
// no help is shown, so nothing but the window's own work is measured.

#include "ui/services.h"

namespace morvane::bench {

class NoDialogs final : public Dialogs {
public:
    std::optional<QString> inputBox(QWidget*, const QString&, const QString&,
                                    const QString&) override
    {
        return std::nullopt;
    }
    bool confirm(QWidget*, const QString&, const QString&, Default) override { return false; }
    std::optional<QString> saveFileName(QWidget*, const QString&, const QString&,
                                        const QString&) override
    {
        return std::nullopt;
    }
    void message(QWidget*, Severity, const QString&, const QString&) override {}
};

class NoHelp final : public HelpViewer {
public:
    void showHelp(QWidget*, const QString&) override {}
    void closeAll() override {}
};

} // namespace morvane::bench
