#pragma once

// Scripted platform services, and a data folder of real files in a temporary folder with the
// services a session on it is given: the date is fixed and every dialog is answered by the test.

#include "session/services.h"
#include "store/datafiles.h"
#include "testfiles.h"

#include <QFile>
#include <QList>
#include <QLocale>
#include <QTemporaryDir>

#include <functional>
#include <optional>

namespace morvane::testing {

using Answer = std::optional<QString>; // an input box's: nullopt is Cancel
using Answers = QList<Answer>;

class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        QString text, title;
        QString initial = {};                // an input box's text to begin with
        Default defaultButton = Default::Ok; // a confirmation's default button
    };
    struct Message {
        Severity severity;
        QString text, title;
    };

    // Answers given in order; a dialog with no answer left is unexpected and answers Cancel.
    Answers answers, savePaths, openPaths;
    QList<bool> confirmations;
    QList<bool> imports; // the import's preview: 取り込む or キャンセル
    // What was shown, in order.
    QList<Shown> inputs, confirms, saves, opens;
    QList<Message> messages;

    // Runs while an input box is open, as the user takes time to answer; while the import's
    // preview is open, as the user changes what it shows.
    std::function<void()> whileAsking;
    std::function<void(ImportPreviewer&)> whilePreviewing;

    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& text) override
    {
        inputs.append({prompt, title, text});
        if (whileAsking)
            whileAsking();
        return next(answers).value_or(std::nullopt);
    }
    bool confirm(const QString& text, const QString& title, Default defaultButton) override
    {
        confirms.append({text, title, {}, defaultButton});
        return next(confirmations).value_or(false);
    }
    std::optional<QString> saveFileName(const QString& title, const QString&,
                                        const QString&) override
    {
        saves.append({QString(), title});
        return next(savePaths).value_or(std::nullopt);
    }
    std::optional<QString> openFileName(const QString& title, const QString&,
                                        const QString&) override
    {
        opens.append({QString(), title});
        return next(openPaths).value_or(std::nullopt);
    }
    // Runs the work at once, as if the user never pressed キャンセル.
    void runWithProgress(const QString&, const QString&,
                         const std::function<void(const Progress&)>& work) override
    {
        work([](qint64, qint64) { return true; });
    }
    bool confirmImport(ImportPreviewer& previewer) override
    {
        if (whilePreviewing)
            whilePreviewing(previewer);
        return next(imports).value_or(false);
    }
    void message(Severity severity, const QString& text, const QString& title) override
    {
        messages.append({severity, text, title});
    }

    bool unexpected = false; // a dialog was shown that the test did not script
    // Every scripted answer was taken, and no dialog came unscripted.
    bool allAnswered() const
    {
        return !unexpected && answers.isEmpty() && confirmations.isEmpty() && savePaths.isEmpty() &&
               openPaths.isEmpty() && imports.isEmpty();
    }

private:
    template <class T> std::optional<T> next(QList<T>& list)
    {
        if (!list.isEmpty())
            return list.takeFirst();
        unexpected = true;
        return std::nullopt;
    }
};

class FixedClock final : public Clock {
public:
    QDate date = kFixedDate;
    QDate today() const override { return date; }
};

class CountingHelp final : public HelpViewer {
public:
    int shown = 0, closed = 0;
    QString file;
    void showHelp(const QString& helpFile) override
    {
        ++shown;
        file = helpFile;
    }
    void closeAll() override { ++closed; }
};

inline const QLocale kJapan{QLocale::Japanese, QLocale::Japan};

struct DataFolder {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    FixedClock clock;
    CountingHelp help;

    Services services() { return {&dialogs, &clock, &help}; }
    DataFiles files() const { return DataFiles(QDir(dir.path())); }
    QString path(const QString& name) const { return dir.filePath(name); }
    bool write(const QString& name, const QByteArray& bytes) const
    {
        return writeBytes(path(name), bytes);
    }
    QByteArray read(const QString& name) const { return readBytes(path(name)); }
    bool exists(const QString& name) const { return QFile::exists(path(name)); }

    // The usual stored state: 1.685 m, 68.5 kg, and the given history.
    void writeStandardFiles(const QByteArray& history = QByteArray()) const
    {
        write(kHeightFileName, "1.685\r\n");
        write(kWeightFileName, "68.5\r\n");
        write(kHistoryFileName, history);
    }
};

} // namespace morvane::testing
