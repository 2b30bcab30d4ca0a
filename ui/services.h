#pragma once

// The platform services the window uses and tests replace: its dialogs, today's date and the
// help viewer. The program uses the Qt implementations below; tests use scripted ones.

#include <QDate>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

namespace morvane {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // An input box with a prompt and a title and no default text: the typed text when the user
    // pressed OK, nullopt on Cancel.
    virtual std::optional<QString> inputBox(QWidget* parent, const QString& prompt,
                                            const QString& title) = 0;

    // A warning box with OK (the default) and Cancel: true when the user pressed OK.
    virtual bool confirm(QWidget* parent, const QString& text, const QString& title) = 0;

    // A save-file dialog starting with suggestedName: the chosen path, or nullopt on Cancel.
    virtual std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                                const QString& suggestedName,
                                                const QString& filter) = 0;

    // A message the user acknowledges with OK: a warning about what was typed, or an error.
    enum class Severity { Warning, Error };
    virtual void message(QWidget* parent, Severity severity, const QString& text,
                         const QString& title) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Opens the help file (a bare name) in a window owned by `owner`, or brings it forward.
    virtual void showHelp(QWidget* owner, const QString& helpFile) = 0;
    // Closes every help window the program opened.
    virtual void closeAll() = 0;
};

// QInputDialog and QMessageBox.
class QtDialogs final : public Dialogs {
public:
    std::optional<QString> inputBox(QWidget* parent, const QString& prompt,
                                    const QString& title) override;
    bool confirm(QWidget* parent, const QString& text, const QString& title) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                        const QString& suggestedName,
                                        const QString& filter) override;
    void message(QWidget* parent, Severity severity, const QString& text,
                 const QString& title) override;
};

// The program's own help windows, owned by the window that asked for them.
class HelpWindows final : public HelpViewer {
public:
    void showHelp(QWidget* owner, const QString& helpFile) override;
    void closeAll() override;

private:
    QPointer<QWidget> m_owner;
};

class SystemClock final : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

// The services a window is given; none may be null. The window does not own them.
struct Services {
    Dialogs* dialogs = nullptr;
    Clock* clock = nullptr;
    HelpViewer* help = nullptr;
};

} // namespace morvane
