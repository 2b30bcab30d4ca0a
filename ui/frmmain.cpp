#include "ui/frmmain.h"

#include "assets/pictures.h"
#include "measure/bandweights.h"
#include "measure/numbertext.h"
#include "session/entryflow.h"
#include "session/historyeditor.h"
#include "session/historyimporter.h"
#include "session/historymodel.h"
#include "session/session.h"
#include "ui/accessibility.h"
#include "ui/historylist.h"
#include "ui/labels.h"
#include "ui/layout.h"
#include "ui/meter.h"
#include "ui/picturecontrols.h"
#include "ui/shapes.h"
#include "ui/trendwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QShortcut>

#include <algorithm>
#include <memory>
#include <span>
#include <vector>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// The window never groups digits; a locale that says so once spares every meter update from
// making an ungrouped copy of it for each number it formats.
QLocale withoutGroupSeparators(QLocale locale)
{
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

frmMain::frmMain(const Services& services, const DataFiles& files, const QLocale& locale,
                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , m_services(services)
    , m_locale(withoutGroupSeparators(locale))
    , m_session(new Session(services, files, m_locale, this))
    , m_endProgram([] { QCoreApplication::exit(0); })
    , m_helpFile(u"QuilloHelp.chm"_s)
{
    Q_ASSERT(services.help);
    installAccessibility();
    setObjectName(u"frmMain"_s);
    setWindowTitle(u"Morvane"_s);
    setAccessibleDescription(tr("体重と身長から BMI、標準体重、肥満度と判定を表示し、体重の履歴を"
                                "記録します。F1 キーでヘルプ、F2 キーで身長の変更"));
    setWindowIcon(pictures::appIcon());
    QFont font(layout::kGothicFamily);
    font.setPointSizeF(layout::kWindowPointSize);
    setFont(font);
    setFixedSize(layout::px(layout::kClientWidthTwips), layout::px(layout::kClientHeightTwips));
    m_form = buildForm(this, m_locale);
    connectControls();
    connectSession();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

frmMain::~frmMain() = default;

void frmMain::connectControls()
{
    const FormControls& c = m_form;
    m_meterDescription = c.HScroll1->accessibleDescription();
    // The band rectangles and the meter explain the weights each band stands for at the stored
    // height; the text is made when the tooltip is asked for.
    const auto bandShapes = std::span(c.Shape1).first(bands().size());
    std::vector<QWidget*> explained(bandShapes.begin(), bandShapes.end());
    explained.insert(explained.end(), {c.Label1, c.HScroll1});
    for (QWidget* w : explained) {
        w->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        w->installEventFilter(this);
    }

    connectHistoryList();
    c.cmdTai->setFocus();

    connect(c.cmdTai, &QToolButton::clicked, this, &frmMain::cmdTai_Click);
    connect(c.cmdClear, &QToolButton::clicked, this, &frmMain::cmdClear_Click);
    connect(c.cmdHelp, &QToolButton::clicked, this, &frmMain::cmdHelp_Click);
    connect(c.cmdEnd, &QToolButton::clicked, this, &frmMain::cmdEnd_Click);
    connect(c.Label2Action, &ActionLabel::activated, this, &frmMain::Label2_DblClick);

    // Keys for what the mouse does, anywhere in the window: F1 the help button, F2 a
    // double-click on the height. The captions carry no access keys.
    new QShortcut(QKeySequence(Qt::Key_F1), this, c.cmdHelp, &QToolButton::click);
    c.Label2Action->setShortcut(QKeySequence(Qt::Key_F2));

    // A thumb drag delivers one scroll notification per movement (the scroll bar tracks, so
    // its value is the thumb's position) and one change notification when it ends; every
    // other change (arrows, track, keys, assignments) is one change notification.
    QScrollBar* meter = c.HScroll1;
    connect(meter, &QScrollBar::valueChanged, this, &frmMain::HScroll1_Change);
    connect(meter, &QScrollBar::sliderPressed, this,
            [this, meter] { m_valueAtDragStart = static_cast<qint16>(meter->value()); });
    connect(meter, &QScrollBar::sliderReleased, this, [this, meter] {
        if (meter->value() != m_valueAtDragStart)
            HScroll1_Change();
    });
}

void frmMain::connectHistoryList()
{
    m_form.lstRireki->setModel(m_session->history());
    // Deleting a line and undoing it work from the keyboard too: Delete in the list, Ctrl+Z
    // anywhere in the window.
    m_deleteLine = new QAction(tr("この記録を削除"), this);
    m_deleteLine->setShortcut(QKeySequence::Delete);
    m_deleteLine->setShortcutContext(Qt::WidgetShortcut);
    m_form.lstRireki->addAction(m_deleteLine);
    connect(m_deleteLine, &QAction::triggered, this, &frmMain::deleteSelectedLine);
    m_undoDelete = new QAction(tr("元に戻す"), this);
    m_undoDelete->setShortcut(QKeySequence::Undo);
    m_undoDelete->setShortcutContext(Qt::WindowShortcut);
    addAction(m_undoDelete);
    connect(m_undoDelete, &QAction::triggered, this, &frmMain::undoDelete);
    connect(m_form.lstRireki->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::updateHistoryActions);
    updateHistoryActions();
    connect(m_form.lstRireki, &HistoryList::fileDropped, this,
            [this](const QString& path) { m_session->importer().importHistory(path); });
    m_form.lstRireki->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_form.lstRireki, &QListView::customContextMenuRequested, this,
            &frmMain::openHistoryMenu);
}

void frmMain::connectSession()
{
    connect(m_session, &Session::valueChanged, this, &frmMain::showValue);
    connect(m_session, &Session::bmiChanged, this, &frmMain::CalcBmi);
    connect(m_session, &Session::meterSet, this, [this](std::optional<qint16> position) {
        SetMeter(position.value_or(static_cast<qint16>(m_form.HScroll1->value())));
    });
    connect(m_session, &Session::undoDeleteChanged, this, &frmMain::updateHistoryActions);
    // Every change of the history may change where the trend is heading.
    const HistoryModel* history = m_session->history();
    connect(history, &QAbstractItemModel::rowsInserted, this, &frmMain::updateTrendBrief);
    connect(history, &QAbstractItemModel::rowsRemoved, this, &frmMain::updateTrendBrief);
    connect(history, &QAbstractItemModel::modelReset, this, &frmMain::updateTrendBrief);
}

void frmMain::setEndProgram(std::function<void()> endProgram)
{
    m_endProgram = std::move(endProgram);
}

bool frmMain::Form_Load()
{
    return m_session->load();
}

QLabel* frmMain::labelFor(Entry entry) const
{
    switch (entry) {
    case Entry::Height:
        return m_form.Label2;
    case Entry::Weight:
        return m_form.Label5;
    case Entry::Goal:
        return nullptr; // told by the meter's tooltip
    }
    return nullptr;
}

void frmMain::showValue(Entry entry)
{
    if (QLabel* label = labelFor(entry)) {
        const std::optional<float> value = m_session->measurement().*entryKind(entry).file.value;
        label->setText(value ? generalNumberText(*value, m_locale) : QString());
    }
    // The meter's description tells the stored height, weight and goal, and the goal's date.
    if (entry == Entry::Goal)
        updateTrendBrief();
    else
        updateMeterDescription();
}

void frmMain::CalcBmi()
{
    const std::optional<float> bmi = m_session->measurement().bmi;
    m_form.Label4->setText(bmi ? oneDecimalText(*bmi, m_locale) : QString());
}

void frmMain::SetMeter(qint16 position)
{
    if (m_form.HScroll1->value() == position)
        UpdateMeter();
    else
        m_form.HScroll1->setValue(position); // the change notification runs the update
}

void frmMain::HScroll1_Change()
{
    UpdateMeter();
}

void frmMain::UpdateMeter()
{
    const FormControls& c = m_form;
    const MeterReading r = m_session->meterMoved(static_cast<qint16>(c.HScroll1->value()));
    const Measurement& m = r.after;
    auto shown = [this](auto value) {
        return value ? oneDecimalText(*value, m_locale) : QString();
    };

    const QString weight = shown(m.weight);
    if (r.derived) {
        c.Label4->setText(shown(m.bmi));
        c.Label5->setText(weight);
    }
    const float left = layout::needleLeft(r.after.meterBmi);
    c.Image1->move(qRound(left / layout::kTwipsPerPixel), c.Image1->y());
    c.lblHyojun[0]->setText(shown(r.standardWeight));
    c.lblHyojun[1]->setText(c.lblHyojun[0]->text());
    c.lblTai->setText(weight);
    c.lblHiman->setText(shown(r.obesityDegree));
    Judge(r.band);
    updateMeterDescription();
    emit meterUpdated();
}

void frmMain::Judge(const std::optional<Band>& band)
{
    QLabel* label = m_form.lblHantei;
    if (!band) {
        label->setText(QString());
        setLabelColors(label, oleColor(layout::ole::buttonFace, palette()),
                       oleColor(layout::ole::white, palette()));
        return;
    }
    label->setText(band->caption);
    setLabelColors(label, QColor::fromRgb(band->background), QColor::fromRgb(band->text));
}

void frmMain::updateMeterDescription()
{
    // Screen readers read the band weights and the goal with the meter; they change with
    // height, weight and goal.
    // While the thumb is dragged the weight changes on every step and nobody reads the
    // description: the change notification at the end of the drag brings it up to date.
    QScrollBar* meter = m_form.HScroll1;
    if (meter->isSliderDown())
        return;
    const Measurement& m = m_session->measurement();
    const auto key = std::tuple(m.height, m.weight, m.goal, m_trendBrief);
    if (m_describedFor == key)
        return;
    m_describedFor = key;
    meter->setAccessibleDescription(m_meterDescription + u"\n"_s + meterText());
}

QString frmMain::meterText() const
{
    const Measurement& m = m_session->measurement();
    const QString bands = meterTooltip(m.height, m.weight, m_locale, m.goal);
    return m_trendBrief.isEmpty() ? bands : bands + u'\n' + m_trendBrief;
}

void frmMain::updateTrendBrief()
{
    // The first is worked out once the window is shown.
    if (m_shownOnce)
        m_trendBrief = m_session->trendBrief();
    updateMeterDescription();
}

void frmMain::cmdTai_Click()
{
    m_session->entries().enter(Entry::Weight);
}

void frmMain::Label2_DblClick()
{
    m_session->entries().enter(Entry::Height);
}

void frmMain::cmdClear_Click()
{
    m_session->editor().clearHistory();
}

void frmMain::cmdHelp_Click()
{
    m_services.help->showHelp(m_helpFile);
}

void frmMain::cmdEnd_Click()
{
    m_services.help->closeAll();
    m_endProgram();
}

void frmMain::openHistoryMenu(const QPoint& pos)
{
    const std::unique_ptr<QMenu> menu(createHistoryMenu());
    menu->exec(m_form.lstRireki->viewport()->mapToGlobal(pos));
}

QMenu* frmMain::createHistoryMenu()
{
    auto* menu = new QMenu(this);
    HistoryEditor* editor = &m_session->editor();
    menu->addAction(tr("グラフ表示"), this, &frmMain::showTrend);
    QAction* csv = menu->addAction(tr("CSV書き出し"), editor, &HistoryEditor::exportCsv);
    csv->setEnabled(m_session->history()->rowCount() > 0);
    menu->addAction(tr("履歴の取り込み…"), this, [this] { m_session->importer().importHistory(); });
    QAction* undo = menu->addAction(tr("履歴を元に戻す"), editor, &HistoryEditor::undoClear);
    undo->setEnabled(editor->canUndoClear());
    menu->addSeparator();
    updateHistoryActions();
    menu->addAction(m_deleteLine);
    menu->addAction(m_undoDelete);
    menu->addSeparator();
    menu->addAction(tr("目標体重の設定"), this,
                    [this] { m_session->entries().enter(Entry::Goal); });
    return menu;
}

void frmMain::updateHistoryActions()
{
    m_deleteLine->setEnabled(m_form.lstRireki->selectionModel()->hasSelection());
    m_undoDelete->setEnabled(m_session->editor().canUndoDelete());
}

void frmMain::deleteSelectedLine()
{
    const QModelIndexList selected = m_form.lstRireki->selectionModel()->selectedIndexes();
    if (!selected.isEmpty())
        selectLine(m_session->editor().deleteLine(selected.front().row()));
}

void frmMain::undoDelete()
{
    selectLine(m_session->editor().undoDelete());
}

void frmMain::selectLine(std::optional<int> row)
{
    if (row)
        m_form.lstRireki->setCurrentIndex(m_session->history()->index(*row));
}

void frmMain::showTrend()
{
    // A snapshot of the history as it is now: a window left open from before is replaced.
    if (m_trend)
        m_trend->close();
    const Measurement& m = m_session->measurement();
    m_trend = new TrendWindow(m_session->history()->lines(), m.height, m.goal,
                              m_services.clock->today(), m_locale, this);
    m_trend->setAttribute(Qt::WA_DeleteOnClose);
    m_trend->show();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* w = static_cast<QWidget*>(watched);
        const auto shapes = std::span(m_form.Shape1).first(bands().size());
        const auto band = std::find(shapes.begin(), shapes.end(), watched);
        const Measurement& m = m_session->measurement();
        w->setToolTip(band != shapes.end() ? bandTooltip(int(band - shapes.begin()) + 1, m.height,
                                                         m.weight, m_locale)
                                           : meterText());
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // Where the trend is heading reads the history's end: once the window is on screen, so
    // that start-up does not wait for it.
    QMetaObject::invokeMethod(this, &frmMain::updateTrendBrief, Qt::QueuedConnection);
    // First run: ask for the height once the window is on screen.
    if (!m_session->measurement().height)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_session->measurement().height)
                    Label2_DblClick();
            },
            Qt::QueuedConnection);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    m_services.help->closeAll();
    if (m_trend)
        m_trend->close();
    event->accept();
}

} // namespace morvane
