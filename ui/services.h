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

    // An input box with a prompt and a title, holding `text` to begin with (normally none): the
    // typed text when the user pressed OK, nullopt on Cancel.
    virtual std::optional<QString> inputBox(QWidget* parent, const QString& prompt,
                                            const QString& title,
                                            const QString& text = QString()) = 0;

    // A warning box with OK and Cancel: true when the user pressed OK. Enter presses the default
    // button: OK, or Cancel where a slip of the key must not destroy or record anything.
    enum class Default { Ok, Cancel };
    virtual bool confirm(QWidget* parent, const QString& text, const QString& title,
                         Default defaultButton = Default::Ok) = 0;

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
    std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                    const QString& text) override;
    bool confirm(QWidget* parent, const QString& text, const QString& title,
                 Default defaultButton) override;
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
