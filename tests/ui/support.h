#pragma once

// The window on real files in a temporary folder, with scripted services.

#include "scripted.h"
#include "session/historymodel.h"
#include "session/session.h"
#include "ui/frmmain.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <memory>

namespace morvane::testing {

struct WindowFixture : DataFolder {
    std::unique_ptr<frmMain> window;
    bool loaded = false;

    frmMain& create()
    {
        window = std::make_unique<frmMain>(services(), files(), kJapan);
        return *window;
    }
    frmMain& load()
    {
        frmMain& w = create();
        loaded = w.Form_Load();
        return w;
    }

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
    // Whether the history list's menu offers the entry now; chosen if `choose`.
    bool offers(const QString& entry, bool choose = false) const
    {
        const std::unique_ptr<QMenu> menu(window->createHistoryMenu());
        for (QAction* action : menu->actions()) {
            if (action->text() == entry && action->isEnabled()) {
                if (choose)
                    action->trigger();
                return true;
            }
        }
        return false;
    }
    bool choose(const QString& entry) const { return offers(entry, true); }
    Session& session() const { return *window->session(); }
    QStringList lines() const { return session().history()->lines().toStringList(); }
};

} // namespace morvane::testing
