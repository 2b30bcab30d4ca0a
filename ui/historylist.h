#pragma once

// The history list: a list that shows whole lines only, as a list box does. Every line has the
// same height, the lines on show fill the view from its top, scrolling moves by whole lines, and
// whatever is left below the last whole line stays blank. Shift+F10 and the Menu key, anywhere in
// the list's window, ask for its context menu, beside the current line, with its first item that
// can be chosen highlighted; the menu is named after the list for assistive technology. A file
// dropped on the list is offered for the import (fileDropped).
//
// The newest lines stay in sight: the list opens at its end and stays there while it is at its
// end (also while a long history is laid out a batch at a time); a line added at the end is
// scrolled into view; when the lines are replaced (a reload) the view keeps its top line, or
// its end. Lines removed or put back elsewhere leave the view where the user left it.

#include <QListView>

#include <optional>

namespace morvane {

class HistoryList : public QListView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryList)

public:
    explicit HistoryList(QWidget* parent = nullptr);

    // Lines are preferredPx high when the ink of alphabet (the characters the lines are made
    // of) fits that height in the list's font, and as high as that ink otherwise.
    void setLineHeight(int preferredPx, const QString& alphabet);
    int lineHeight() const { return m_lineHeight; }

    void setModel(QAbstractItemModel* model) override;

signals:
    // One local file was dropped on the list.
    void fileDropped(const QString& path);

protected:
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void layOutLines();
    void keepPlace();
    void openMenuFromKeyboard();

    int m_lastMaximum = 0;        // the scroll range's end before it changed
    bool m_toEnd = false;         // a line was added at the end: bring it into view
    std::optional<int> m_keepTop; // the top line to show again once the lines are laid out

    int m_preferredPx = 0;
    QString m_alphabet;
    int m_lineHeight = 0;
};

} // namespace morvane
