#pragma once

// The program's help window: the contents of a CHM help file in a tree beside its pages, with
// back, forward and home buttons.
//
// Use from the main window:
//
//     HelpWindow::showHelp(this, u"QuilloHelp.chm"_s);   // the help button
//     HelpWindow::closeAll(this);                         // the end button, before quitting
//
// A help window is a separate, non-modal top-level window owned by the widget passed in: it
// stays above its owner and is destroyed with it. A missing, unreadable or damaged help file
// is reported inside the window, in Japanese; nothing is shown in a separate message box.

#include "help/chmarchive.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QTreeWidget;
class QTreeWidgetItem;
class QToolButton;

namespace morvane {

class HelpBrowser;

// Where the help file is looked for, by its bare name: the working directory, the program's
// own folder, and the installed data folder ../share/morvane beside the program's folder. Needs
// a QCoreApplication for the program's folder.
QStringList helpSearchFolders();
// The name of the help file bareName in another language, given by the suffix of its
// translation ("en": "QuilloHelp.chm" becomes "QuilloHelp_en.chm"); bareName for none.
QString translatedHelpName(const QString& bareName, const QString& language);
// The absolute path of the first regular file called bareName in folders, in their order;
// empty when there is none. A folder of that name does not count.
//
// With a language, bareName in the first folder, the working directory, still comes first: a
// help file the user put beside the data is the one they want, whatever the language. Then the
// language's own file in every folder, then bareName in the others, so that a missing
// translation shows the help in its own language rather than none.
QString locateHelpFile(const QString& bareName, const QStringList& folders,
                       const QString& language = QString());
// Over helpSearchFolders().
QString locateHelpFile(const QString& bareName, const QString& language = QString());

class HelpWindow : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)

public:
    explicit HelpWindow(QWidget* owner);
    ~HelpWindow() override;

    // The owner's help window, created on first use, with openHelpFile(bareName, language)
    // done: shown, raised and activated, on the help file's default topic.
    static HelpWindow* showHelp(QWidget* owner, const QString& bareName,
                                const QString& language = QString());
    // Closes and destroys every help window owned by owner.
    static void closeAll(QWidget* owner);

    // Looks for bareName in language (a translation suffix such as "en"; none for the help's
    // own language) with locateHelpFile (working directory, program folder, installed data
    // folder), opens it and shows its default topic. When the window already shows that file,
    // it goes to the default topic again. Always shows, raises and activates the window.
    void openHelpFile(const QString& bareName, const QString& language = QString());
    // The same for a file whose path is known; displayName is what messages call it.
    void openHelpPath(const QString& path, const QString& displayName);

    // Where http, https and mailto links go when clicked; by default the desktop's browser
    // through QDesktopServices.
    void setExternalLinkHandler(std::function<void(const QUrl&)> handler);

    // For tests and the accessibility tree.
    HelpBrowser* browser() const { return m_browser; }
    QTreeWidget* contentsTree() const { return m_tree; }
    bool hasFile() const;

    // The sentence that tells the user why a help file could not be opened.
    static QString reasonText(ChmArchive::Error error, const QString& systemReason);

private:
    static QString defaultTitle();
    void showError(const QString& displayName, const QString& reason);
    void addEntries(QTreeWidgetItem* parent, const std::vector<chm::ContentsEntry>& entries);
    void goHome();
    void treeItemActivated(QTreeWidgetItem* item);
    void pageChanged(const QUrl& url);
    void updateButtons();
    void present();

    std::unique_ptr<ChmArchive> m_archive;
    QString m_path; // the file open now, empty when none
    HelpBrowser* m_browser = nullptr;
    QTreeWidget* m_tree = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    QToolButton* m_home = nullptr;
    std::function<void(const QUrl&)> m_openExternal;
};

} // namespace morvane
