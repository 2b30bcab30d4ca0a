#pragma once

// The platform services the program's work uses and tests replace: its dialogs, today's date and
// the help viewer. The program uses Qt's dialogs and its own help windows (ui/qtservices.h), which
// know the window they open over; tests use scripted ones.

#include <QDate>
#include <QString>

#include <optional>

namespace morvane {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // An input box with a prompt and a title, holding `text` to begin with (normally none): the
    // typed text when the user pressed OK, nullopt on Cancel.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& text = QString()) = 0;

    // A warning box with OK and Cancel: true when the user pressed OK. Enter presses the default
    // button: OK, or Cancel where a slip of the key must not destroy or record anything.
    enum class Default { Ok, Cancel };
    virtual bool confirm(const QString& text, const QString& title,
                         Default defaultButton = Default::Ok) = 0;

    // A save-file dialog starting with suggestedName: the chosen path, or nullopt on Cancel.
    virtual std::optional<QString> saveFileName(const QString& title, const QString& suggestedName,
                                                const QString& filter) = 0;

    // A message the user acknowledges with OK: a warning about what was typed, or an error.
    enum class Severity { Warning, Error };
    virtual void message(Severity severity, const QString& text, const QString& title) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

// The system's date, as the program uses it.
class SystemClock final : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Opens the help file (a bare name) in the program's help window, or brings it forward.
    virtual void showHelp(const QString& helpFile) = 0;
    // Closes every help window the program opened.
    virtual void closeAll() = 0;
};

// The services the program is given; none may be null. Nothing here owns them.
struct Services {
    Dialogs* dialogs = nullptr;
    Clock* clock = nullptr;
    HelpViewer* help = nullptr;
};

} // namespace morvane
