#pragma once

// The platform services the program's work uses and tests replace: its dialogs, today's date and
// the help viewer. The program uses Qt's dialogs and its own help windows (ui/qtservices.h), which
// know the window they open over; tests use scripted ones.

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

namespace morvane {

class ImportPreviewer;

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
    // An open-file dialog starting in `folder`: the chosen path, or nullopt on Cancel.
    virtual std::optional<QString> openFileName(const QString& title, const QString& folder,
                                                const QString& filter) = 0;

    // Runs `work`, which may take a while, without freezing the program: on a worker thread,
    // with a progress bar and キャンセル once it takes longer than about half a second. `work`
    // reports how far it is (done of total) through the function it is given, which returns
    // false once the user chose キャンセル: `work` must then stop soon.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    virtual void runWithProgress(const QString& title, const QString& label,
                                 const std::function<void(const Progress&)>& work) = 0;

    // The import's preview, which the user may change (columns, the order of month and day,
    // whether the newest weight becomes the current one) through `previewer`: true when the
    // user chose to import.
    virtual bool confirmImport(ImportPreviewer& previewer) = 0;

    // A message the user acknowledges with OK: what was done, a warning about what was typed,
    // or an error.
    enum class Severity { Information, Warning, Error };
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
