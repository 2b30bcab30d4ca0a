#pragma once

// Platform services for benchmarks that start the real window: no dialog is ever answered and
// no help is shown, so nothing but the window's own work is measured.

#include "session/services.h"

namespace morvane::bench {

class NoDialogs final : public Dialogs {
public:
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    bool confirm(const QString&, const QString&, Default) override { return false; }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> openFileName(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    void runWithProgress(const QString&, const QString&,
                         const std::function<void(const Progress&)>& work) override
    {
        work([](qint64, qint64) { return true; });
    }
    bool confirmImport(ImportPreviewer&) override { return false; }
    void message(Severity, const QString&, const QString&) override {}
};

class NoHelp final : public HelpViewer {
public:
    void showHelp(const QString&) override {}
    void closeAll() override {}
};

} // namespace morvane::bench
