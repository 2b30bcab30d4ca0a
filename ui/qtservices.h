#pragma once

// The program's own services (session/services.h): Qt's input, message, file and progress
// dialogs, the import's preview, and the help windows, opened over the window they are given.

#include "session/services.h"

#include <QPointer>
#include <QWidget>

namespace morvane {

// QInputDialog, QMessageBox and QFileDialog, modal to the window given.
class QtDialogs final : public Dialogs {
public:
    void setParent(QWidget* parent) { m_parent = parent; }

    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& text) override;
    bool confirm(const QString& text, const QString& title, Default defaultButton) override;
    std::optional<QString> saveFileName(const QString& title, const QString& suggestedName,
                                        const QString& filter) override;
    std::optional<QString> openFileName(const QString& title, const QString& folder,
                                        const QString& filter) override;
    void runWithProgress(const QString& title, const QString& label,
                         const std::function<void(const Progress&)>& work) override;
    bool confirmImport(ImportPreviewer& previewer) override;
    void message(Severity severity, const QString& text, const QString& title) override;

private:
    QPointer<QWidget> m_parent;
};

// The program's own help windows, owned by the window given.
class HelpWindows final : public HelpViewer {
public:
    void setOwner(QWidget* owner) { m_owner = owner; }

    void showHelp(const QString& helpFile) override;
    void closeAll() override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace morvane
