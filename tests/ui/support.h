#pragma once

// Scripted platform services and a window on real files in a temporary folder.

#include "session/entryflow.h"
#include "session/historyeditor.h"
#include "session/historymodel.h"
#include "session/services.h"
#include "session/session.h"
#include "ui/frmmain.h"

#include <QAbstractButton>
#include <QAction>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QList>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>

namespace morvane::testing {

class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        QString text;
        QString title;
        QString initial = {};                // an input box's text to begin with
        Default defaultButton = Default::Ok; // a confirmation's default button
    };
    struct Message {
        Severity severity;
        QString text;
        QString title;
    };

    // Answers given in order; an input box with no answer left fails the test.
    QList<std::optional<QString>> answers;
    QList<bool> confirmations;
    QList<std::optional<QString>> savePaths;
    QList<std::optional<QString>> openPaths;
    QList<bool> imports; // the import preview's answers: 取り込む or キャンセル
    // Runs while the import's preview is open, as the user changes what it shows.
    std::function<void(ImportPreviewer&)> whilePreviewing;

    QList<Shown> inputs;
    QList<Shown> confirms;
    QList<Shown> saves;
    QList<Shown> opens;
    QList<Message> messages;

    // Runs while an input box is open, as the user takes time to answer.
    std::function<void()> whileAsking;

    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& text) override
    {
        inputs.append({prompt, title, text});
        if (whileAsking)
            whileAsking();
        if (answers.isEmpty()) {
            unexpected = true;
            return std::nullopt;
        }
        return answers.takeFirst();
    }
    bool confirm(const QString& text, const QString& title, Default defaultButton) override
    {
        confirms.append({text, title, {}, defaultButton});
        if (confirmations.isEmpty()) {
            unexpected = true;
            return false;
        }
        return confirmations.takeFirst();
    }
    std::optional<QString> saveFileName(const QString& title, const QString&,
                                        const QString&) override
    {
        saves.append({QString(), title});
        if (savePaths.isEmpty()) {
            unexpected = true;
            return std::nullopt;
        }
        return savePaths.takeFirst();
    }
    std::optional<QString> openFileName(const QString& title, const QString&,
                                        const QString&) override
    {
        opens.append({QString(), title});
        if (openPaths.isEmpty()) {
            unexpected = true;
            return std::nullopt;
        }
        return openPaths.takeFirst();
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
        if (imports.isEmpty()) {
            unexpected = true;
            return false;
        }
        return imports.takeFirst();
    }
    void message(Severity severity, const QString& text, const QString& title) override
    {
        messages.append({severity, text, title});
    }

    bool unexpected = false; // a dialog was shown that the test did not script
};

class FixedClock final : public Clock {
public:
    QDate date{2026, 5, 11};
    QDate today() const override { return date; }
};

class CountingHelp final : public HelpViewer {
public:
    int shown = 0;
    int closed = 0;
    QString file;
    void showHelp(const QString& helpFile) override
    {
        ++shown;
        file = helpFile;
    }
    void closeAll() override { ++closed; }
};

inline const QLocale kJapan{QLocale::Japanese, QLocale::Japan};

// Everything an entry may change: the files, the stored values, the captions, the list and the
// meter. An entry that is refused, cancelled or fails leaves it equal.
struct WindowState {
    QByteArray height, weight, history;
    bool historyExists = false;
    std::optional<float> Height, Weight, Bmi;
    float meterBmi = 0;
    QStringList captions;
    QStringList list;
    int position = 0;

    bool operator==(const WindowState&) const = default;
};

struct WindowFixture {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    FixedClock clock;
    CountingHelp help;
    std::unique_ptr<frmMain> window;

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    QByteArray read(const QString& name) const
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString& name) const { return QFile::exists(dir.filePath(name)); }

    // The usual stored state: 1.685 m, 68.5 kg, and the given history.
    void writeStandardFiles(const QByteArray& history = QByteArray())
    {
        write(QStringLiteral("身長.txt"), "1.685\r\n");
        write(QStringLiteral("体重.txt"), "68.5\r\n");
        write(QStringLiteral("履歴.txt"), history);
    }

    frmMain& create()
    {
        window = std::make_unique<frmMain>(Services{&dialogs, &clock, &help},
                                           DataFiles(QDir(dir.path())), kJapan);
        return *window;
    }
    frmMain& load()
    {
        frmMain& w = create();
        loaded = w.Form_Load();
        return w;
    }
    bool loaded = false;

    template <class T = QWidget> T* control(const QString& name) const
    {
        return window->findChild<T*>(name);
    }
    QString text(const QString& name) const { return control<QLabel>(name)->text(); }

    // As the user does it: a button pressed, a label double-clicked, an entry of the history
    // list's menu chosen.
    void click(const QString& name) const { control<QAbstractButton>(name)->click(); }
    void doubleClick(const QString& name) const
    {
        QTest::mouseDClick(control(name), Qt::LeftButton);
    }
    bool choose(const QString& menuEntry) const
    {
        const std::unique_ptr<QMenu> menu(window->createHistoryMenu());
        for (QAction* action : menu->actions()) {
            if (action->text() == menuEntry && action->isEnabled()) {
                action->trigger();
                return true;
            }
        }
        return false;
    }
    Session& session() const { return *window->session(); }
    QStringList lines() const { return session().history()->lines().toStringList(); }
    WindowState state() const
    {
        WindowState s;
        s.height = read(QStringLiteral("身長.txt"));
        s.weight = read(QStringLiteral("体重.txt"));
        s.history = read(QStringLiteral("履歴.txt"));
        s.historyExists = exists(QStringLiteral("履歴.txt"));
        const Measurement m = session().measurement();
        s.Height = m.height;
        s.Weight = m.weight;
        s.Bmi = m.bmi;
        s.meterBmi = m.meterBmi;
        for (const char* name : {"Label2", "Label4", "Label5", "lblTai", "lblHyojun(0)",
                                 "lblHyojun(1)", "lblHiman", "lblHantei"})
            s.captions << text(QString::fromLatin1(name));
        s.list = lines();
        s.position = control<QScrollBar>(QStringLiteral("HScroll1"))->value();
        return s;
    }
};

} // namespace morvane::testing
