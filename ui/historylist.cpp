#include "ui/historylist.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QStyledItemDelegate>

#include <cmath>

#include <algorithm>

namespace morvane {
namespace {

// Draws each line in a band of a fixed height with its ink centred in the band. A font's line
// counts its whole ascent and descent; the ink of the characters the lines are made of is often
// smaller, and the font's line centred in the band instead would cut off the top or the bottom
// row of that ink, such as the tail of the g in "Kg".
class LineDelegate final : public QStyledItemDelegate {
public:
    explicit LineDelegate(QObject* parent)
        : QStyledItemDelegate(parent)
    {}

    // The font's line starts textTop pixels below the band's top (above it when negative).
    void setBand(int height, int textTop, int textHeight)
    {
        m_height = height;
        m_textTop = textTop;
        m_textHeight = textHeight;
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_height};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
        painter->save();
        painter->setClipRect(option.rect, Qt::IntersectClip);
        // The band: background, selection and focus.
        const QString text = item.text;
        item.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        // The text, in a rectangle one font line high placed so that the ink is centred.
        item.text = text;
        item.rect = QRect(option.rect.left(), option.rect.top() + m_textTop, option.rect.width(),
                          m_textHeight);
        item.state &= ~QStyle::State_HasFocus;
        item.backgroundBrush = QBrush();
        if (!drawPlainText(painter, item, style))
            style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        painter->restore();
    }

private:
    // Draws a line of the program's own (printable ASCII, which the list's font has) that is not
    // selected, where the style would draw it, in one pass. The style lays the text out twice
    // to centre and elide it, and a history line is one short line that always fits; those
    // layouts were most of the cost of showing the list. Returns false for anything else, which
    // the style then draws.
    bool drawPlainText(QPainter* painter, const QStyleOptionViewItem& item,
                       const QStyle* style) const
    {
        if (item.state & QStyle::State_Selected ||
            item.features & QStyleOptionViewItem::Alternate || item.direction != Qt::LeftToRight ||
            item.displayAlignment != (Qt::AlignLeft | Qt::AlignVCenter))
            return false;
        for (const QChar ch : item.text) {
            if (ch.unicode() < 0x20 || ch.unicode() > 0x7e)
                return false;
        }
        // As the style places it: inside the focus frame's margin, the font's line centred. Where
        // the style puts a left-aligned line depends on the row's size and font, not on its
        // text, and working it out lays the text out: it is done once for all the rows.
        if (item.rect.size() != m_areaFor.size() || item.font != m_areaFont) {
            const int margin =
                style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, item.widget) + 1;
            m_area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget)
                         .adjusted(margin, 0, -margin, 0);
            m_areaFor = item.rect;
            m_areaFont = item.font;
        }
        const QRect area = m_area.translated(item.rect.topLeft() - m_areaFor.topLeft());
        const QFontMetricsF metrics(item.font);
        const int lineHeight = int(std::ceil(metrics.ascent() + metrics.descent()));
        const int top = area.top() + (area.height() - lineHeight) / 2;
        QPalette::ColorGroup group = QPalette::Disabled;
        if (item.state & QStyle::State_Enabled)
            group = item.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
        painter->setPen(item.palette.color(group, QPalette::Text));
        painter->setFont(item.font);
        painter->drawText(QPointF(area.left(), top + metrics.ascent()), item.text);
        return true;
    }

    int m_height = 1;
    int m_textTop = 0;
    int m_textHeight = 1;
    // Where the style put the text of the row m_areaFor, in the font m_areaFont.
    mutable QRect m_areaFor;
    mutable QFont m_areaFont;
    mutable QRect m_area;
};

// While a context menu request is handled, the first menu shown is the list's: it is named after
// the list for assistive technology, and when the keyboard asked for it (Shift+F10 and the Menu
// key, by this list or by the window system) it starts on its first item that can be chosen, as
// a menu bar's menu does: Enter then chooses it, and a screen reader says where the keys are. A
// request from the mouse leaves nothing highlighted, as Qt opens it.
class MenuWatcher final : public QObject {
public:
    MenuWatcher(const QWidget* list, const QContextMenuEvent* request)
        : m_name(list->accessibleName())
        , m_highlight(request->reason() == QContextMenuEvent::Keyboard)
    {
        qApp->installEventFilter(this);
    }
    ~MenuWatcher() override { qApp->removeEventFilter(this); }
    Q_DISABLE_COPY_MOVE(MenuWatcher)

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* menu = qobject_cast<QMenu*>(watched);
        if (!menu || event->type() != QEvent::Show)
            return false;
        qApp->removeEventFilter(this);
        if (menu->accessibleName().isEmpty())
            menu->setAccessibleName(m_name);
        const QList<QAction*> actions = menu->actions();
        const auto first = std::find_if(actions.begin(), actions.end(), [](const QAction* a) {
            return !a->isSeparator() && a->isVisible() && a->isEnabled();
        });
        if (m_highlight && first != actions.end())
            menu->setActiveAction(*first);
        return false;
    }

private:
    QString m_name;
    bool m_highlight;
};

} // namespace

HistoryList::HistoryList(QWidget* parent)
    : QListView(parent)
{
    setItemDelegate(new LineDelegate(this));
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // The strip below the last whole line shows the list's paper.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setAcceptDrops(true);

    // The view's place is decided as its scroll range changes: it does so as lines are laid
    // out, added and removed, after the model has changed.
    QScrollBar* bar = verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, &HistoryList::keepPlace);
    connect(bar, &QScrollBar::actionTriggered, this, [this] { m_keepTop.reset(); });

    // The window's one menu, from wherever the focus is in it: the keys a desktop gives a
    // context menu, which would otherwise reach the list only while it has the focus.
    for (const QKeySequence& key :
         {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)})
        new QShortcut(key, this, this, &HistoryList::openMenuFromKeyboard, Qt::WindowShortcut);
}

void HistoryList::setModel(QAbstractItemModel* model)
{
    QListView::setModel(model);
    if (!model)
        return;
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int, int last) {
                m_toEnd = last == this->model()->rowCount() - 1;
            });
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QScrollBar* bar = verticalScrollBar();
        if (bar->value() < bar->maximum())
            m_keepTop = bar->value();
    });
}

void HistoryList::keepPlace()
{
    // Called before the scroll bar brings its value inside the new range: the value is still
    // where it stood in the old one.
    QScrollBar* bar = verticalScrollBar();
    const bool wasAtEnd = bar->value() >= m_lastMaximum;
    m_lastMaximum = bar->maximum();
    if (m_toEnd) {
        m_toEnd = false;
        m_keepTop.reset();
        bar->setValue(bar->maximum());
    } else if (m_keepTop) {
        bar->setValue(std::min(*m_keepTop, bar->maximum()));
        if (bar->maximum() >= *m_keepTop)
            m_keepTop.reset();
    } else if (wasAtEnd) {
        bar->setValue(bar->maximum());
    }
}

void HistoryList::setLineHeight(int preferredPx, const QString& alphabet)
{
    m_preferredPx = preferredPx;
    m_alphabet = alphabet;
    layOutLines();
}

void HistoryList::layOutLines()
{
    if (m_preferredPx <= 0)
        return;
    const QFontMetrics metrics(font());
    const QRect ink = metrics.tightBoundingRect(m_alphabet);
    const int height = qMax(m_preferredPx, ink.height());
    // The baseline that centres the ink in the band, and the font's line around it.
    const int baseline = (height - ink.height()) / 2 - ink.top();
    static_cast<LineDelegate*>(itemDelegate())
        ->setBand(height, baseline - metrics.ascent(), metrics.height());

    // The view holds whole lines; the rest is left to the blank strip below it.
    const int spare = contentsRect().height() % height;
    if (height != m_lineHeight || viewportMargins().bottom() != spare) {
        m_lineHeight = height;
        setViewportMargins(0, 0, 0, spare);
        scheduleDelayedItemsLayout();
    }
}

void HistoryList::openMenuFromKeyboard()
{
    // The menu opens below the current line, or at the top of the list without one, as it
    // would for a click there.
    const QRect line = visualRect(currentIndex());
    const QPoint at =
        line.isValid() ? line.bottomLeft() + QPoint(line.height() / 2, 0) : QPoint(1, 1);
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at),
                           QGuiApplication::keyboardModifiers());
    QCoreApplication::sendEvent(viewport(), &menu);
}

bool HistoryList::event(QEvent* event)
{
    if (event->type() != QEvent::ContextMenu)
        return QListView::event(event);
    const MenuWatcher watcher(this, static_cast<QContextMenuEvent*>(event));
    return QListView::event(event);
}

bool HistoryList::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ContextMenu)
        return QListView::viewportEvent(event);
    const MenuWatcher watcher(this, static_cast<QContextMenuEvent*>(event));
    return QListView::viewportEvent(event);
}

namespace {

// The one local file a drag carries, if that is what it carries.
QString droppedFile(const QMimeData* data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

} // namespace

// A drop never reaches the model: the list's lines are the history file's, which only the import
// (asked for here) may add to.
void HistoryList::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void HistoryList::dragMoveEvent(QDragMoveEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void HistoryList::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has ended: the import opens dialogs, which must not run inside it.
    QMetaObject::invokeMethod(
        this, [this, path] { emit fileDropped(path); }, Qt::QueuedConnection);
}

void HistoryList::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    layOutLines();
}

void HistoryList::changeEvent(QEvent* event)
{
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        layOutLines();
}

} // namespace morvane
