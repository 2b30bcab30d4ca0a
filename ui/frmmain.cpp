#include "ui/frmmain.h"

#include "assets/pictures.h"
#include "measure/arithmetic.h"
#include "measure/bandweights.h"
#include "measure/entry.h"
#include "measure/goal.h"
#include "measure/numbertext.h"
#include "store/csvexport.h"
#include "store/historybackup.h"
#include "store/startup.h"
#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/entries.h"
#include "ui/historylist.h"
#include "ui/historymodel.h"
#include "ui/layout.h"
#include "ui/trendwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// Messages name a file by its full path: a bare name does not tell which folder was meant.
QString shownPath(const DataFiles& files, const QString& name)
{
    return QDir::toNativeSeparators(files.path(name));
}

const QString kHelpFile = u"QuilloHelp.chm"_s;

// The window never groups digits; a locale that says so once spares every meter update from
// making an ungrouped copy of it for each number it formats.
QLocale withoutGroupSeparators(QLocale locale)
{
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

frmMain::frmMain(const Services& services, const QDir& dataFolder, const QLocale& locale,
                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , m_services(services)
    , m_files(dataFolder)
    , m_locale(withoutGroupSeparators(locale))
    , m_endProgram([] { QCoreApplication::exit(0); })
{
    Q_ASSERT(services.dialogs && services.clock && services.help);
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
    for (QWidget* w : {static_cast<QWidget*>(c.Shape1[0]), static_cast<QWidget*>(c.Shape1[1]),
                       static_cast<QWidget*>(c.Shape1[2]), static_cast<QWidget*>(c.Shape1[3]),
                       static_cast<QWidget*>(c.Shape1[4]), static_cast<QWidget*>(c.Shape1[5]),
                       static_cast<QWidget*>(c.Label1), static_cast<QWidget*>(c.HScroll1)}) {
        w->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        w->installEventFilter(this);
    }

    m_history = new HistoryModel(this);
    c.lstRireki->setModel(m_history);
    // Deleting a line and undoing it work from the keyboard too: Delete in the list, Ctrl+Z
    // anywhere in the window. Any other change of the history ends what the undo can put back.
    m_deleteLine = new QAction(tr("この記録を削除"), this);
    m_deleteLine->setShortcut(QKeySequence::Delete);
    m_deleteLine->setShortcutContext(Qt::WidgetShortcut);
    c.lstRireki->addAction(m_deleteLine);
    connect(m_deleteLine, &QAction::triggered, this, &frmMain::deleteSelectedLine);
    m_undoDelete = new QAction(tr("元に戻す"), this);
    m_undoDelete->setShortcut(QKeySequence::Undo);
    m_undoDelete->setShortcutContext(Qt::WindowShortcut);
    addAction(m_undoDelete);
    connect(m_undoDelete, &QAction::triggered, this, &frmMain::undoDelete);
    connect(m_history, &QAbstractItemModel::rowsInserted, this, &frmMain::historyChanged);
    connect(m_history, &QAbstractItemModel::rowsRemoved, this, &frmMain::historyChanged);
    connect(m_history, &QAbstractItemModel::modelReset, this, &frmMain::historyChanged);
    connect(c.lstRireki->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::updateHistoryActions);
    updateHistoryActions();
    c.lstRireki->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(c.lstRireki, &QListView::customContextMenuRequested, this, [this](const QPoint& pos) {
        const std::unique_ptr<QMenu> menu(createHistoryMenu());
        menu->exec(m_form.lstRireki->viewport()->mapToGlobal(pos));
    });
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
    connect(meter, &QScrollBar::valueChanged, this, [this, meter] {
        if (meter->isSliderDown())
            HScroll1_Scroll();
        else
            HScroll1_Change();
    });
    connect(meter, &QScrollBar::sliderPressed, this,
            [this, meter] { m_valueAtDragStart = static_cast<qint16>(meter->value()); });
    connect(meter, &QScrollBar::sliderReleased, this, [this, meter] {
        if (meter->value() != m_valueAtDragStart)
            HScroll1_Change();
    });
}

void frmMain::setEndProgram(std::function<void()> endProgram)
{
    m_endProgram = std::move(endProgram);
}

QStringList frmMain::historyEntries() const
{
    return m_history->lines().toStringList();
}

bool frmMain::Form_Load()
{
    HelpFile = kHelpFile;
    std::vector<NumberFile> numbers;
    for (const EntryKind& kind : entryKinds())
        numbers.push_back(kind.file);
    StartupResult result = loadStartup(m_files, numbers, m_locale);
    if (result.error) {
        m_services.dialogs->message(
            this, Dialogs::Severity::Error,
            tr("「%1」を読み込めませんでした。\n理由: %2\n\nプログラムを終了します。")
                .arg(shownPath(m_files, result.error->fileName), result.error->reason),
            u"Morvane"_s);
        return false;
    }
    Startup& s = *result.startup;
    m_history->setLines(std::move(s.history));
    m_measurement = s.measurement;
    for (const EntryKind& kind : entryKinds()) {
        const std::optional<float> value = m_measurement.*kind.file.value;
        if (kind.label)
            (m_form.*kind.label)->setText(value ? generalNumberText(*value, m_locale) : QString());
    }
    m_form.Label4->setText(s.label4);
    SetMeter(s.position);
    return true;
}

void frmMain::SetMeter(qint16 position)
{
    if (m_form.HScroll1->value() == position)
        runMeterUpdate();
    else
        m_form.HScroll1->setValue(position); // the change notification runs the update
}

void frmMain::HScroll1_Change()
{
    runMeterUpdate();
}

void frmMain::HScroll1_Scroll()
{
    runMeterUpdate();
}

void frmMain::runMeterUpdate()
{
    const FormControls& c = m_form;
    const auto position = static_cast<qint16>(c.HScroll1->value());
    const int shape3Left = c.Shape1[3]->x() * layout::kTwipsPerPixel;
    const MeterUpdate u = UpdateMeter(position, m_measurement, m_locale, shape3Left);

    m_measurement = u.after;
    if (u.label4)
        c.Label4->setText(*u.label4);
    if (u.label5)
        c.Label5->setText(*u.label5);
    c.Image1->move(qRound(u.pointerLeftTwips / layout::kTwipsPerPixel), c.Image1->y());
    c.lblHyojun[0]->setText(u.lblHyojun0);
    c.lblHyojun[1]->setText(u.lblHyojun1);
    c.lblTai->setText(u.lblTai);
    c.lblHiman->setText(u.lblHiman);
    setJudgement(u.judgement);
    updateMeterDescription();
    emit meterUpdated();
}

void frmMain::setJudgement(const std::optional<Band>& band)
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
    const Measurement& m = m_measurement;
    const auto key = std::tuple(m.height, m.weight, m.goal);
    if (key == m_describedFor && !meter->accessibleDescription().isEmpty())
        return;
    m_describedFor = key;
    meter->setAccessibleDescription(m_meterDescription + u"\n"_s +
                                    meterTooltip(m.height, m.weight, m_locale, m.goal));
}

void frmMain::reportWriteError(const FileError& error, const QString& notSaved)
{
    m_services.dialogs->message(
        this, Dialogs::Severity::Error,
        tr("「%1」に書き込めませんでした。\n理由: %2\n\n%3")
            .arg(shownPath(m_files, error.fileName), error.reason, notSaved),
        tr("保存エラー"));
}

void frmMain::enter(const EntryKind& kind)
{
    if (kind.needsHeight && !m_measurement.height) {
        // A BMI needs a height: ask for it first.
        enter(entryKind(Entry::Height));
        if (!m_measurement.height)
            return;
    }
    const QString title = tr(kind.title);
    // The box opens empty; after a Cancel of the large-change question it opens again with
    // what was typed, to be corrected.
    QString typedText;
    TypedValue typed;
    for (;;) {
        const std::optional<QString> answer = m_services.dialogs->inputBox(
            this, tr(kind.prompt) + tr(kind.example), title, typedText);
        if (!answer)
            return;
        if (answer->isEmpty()) {
            if (kind.removal)
                removeValue(kind);
            return;
        }
        typed = checkTypedValue(*answer, kind.file.range);
        if (typed.error) {
            const char* says = nullptr;
            switch (*typed.error) {
            case TypedError::NoNumber:
                says = kind.notANumber;
                break;
            case TypedError::DecimalComma:
                says = QT_TR_NOOP("小数点には「,」ではなく「.」を使って下さい。");
                break;
            case TypedError::OutOfRange:
                says = kind.outOfRange;
                break;
            }
            m_services.dialogs->message(this, Dialogs::Severity::Warning,
                                        tr(says) + u"\n"_s + tr(kind.example), title);
            return;
        }
        if (keepsLargeChange(kind, typed.value))
            break;
        typedText = *answer;
    }
    if (const auto error = m_files.writeNumber(kind.file.fileName, typed.value)) {
        reportWriteError(*error, tr(kind.notSaved));
        return;
    }

    m_measurement.*kind.file.value = typed.value;
    if (kind.label)
        (m_form.*kind.label)->setText(generalNumberText(typed.value, m_locale));
    if (kind.meter != MeterAfterEntry::Stays) {
        const AfterEntry after = afterEntry(m_measurement, kind.meter);
        m_measurement = after.measurement;
        if (after.position)
            m_form.Label4->setText(oneDecimalText(*m_measurement.bmi, m_locale));
        SetMeter(after.position.value_or(static_cast<qint16>(m_form.HScroll1->value())));
    }
    if (kind.notRecorded)
        recordHistoryLine(kind);
    updateMeterDescription(); // a goal is part of it
}

bool frmMain::keepsLargeChange(const EntryKind& kind, float value)
{
    if (!kind.largeChange)
        return true;
    // Compared with the value in the file, which is what was last entered; the window's own may
    // have been derived from the meter since.
    const NumberRead stored = m_files.readNumber(kind.file.fileName);
    if (stored.status != NumberRead::Status::Ok || !kind.file.range.contains(stored.value) ||
        !isLargeChange(stored.value, value))
        return true;
    return m_services.dialogs->confirm(
        this,
        tr(kind.largeChange)
            .arg(generalNumberText(stored.value, m_locale), generalNumberText(value, m_locale)),
        tr(kind.title), Dialogs::Default::Cancel);
}

void frmMain::removeValue(const EntryKind& kind)
{
    std::optional<float>& value = m_measurement.*kind.file.value;
    if (!value || !m_services.dialogs->confirm(this, tr(kind.removal), tr(kind.title)))
        return;
    if (const auto error = m_files.removeNumber(kind.file.fileName)) {
        reportWriteError(*error, tr(kind.notSaved));
        return;
    }
    value.reset();
    if (kind.label)
        (m_form.*kind.label)->clear();
    updateMeterDescription();
}

void frmMain::recordHistoryLine(const EntryKind& kind)
{
    const Measurement& m = m_measurement;
    const float ratio = obesityRatio(*m.weight, *m.height);
    const QString line = historyLine(m_services.clock->today(), *m.weight, *m.bmi, ratio, m_locale);
    if (const auto error = m_files.appendHistory(line)) {
        reportWriteError(*error, tr(kind.notRecorded));
        return;
    }
    // Added at the end without selecting it or scrolling to it.
    m_history->append(line);
}

void frmMain::cmdTai_Click()
{
    enter(entryKind(Entry::Weight));
}

void frmMain::Label2_DblClick()
{
    enter(entryKind(Entry::Height));
}

void frmMain::cmdClear_Click()
{
    if (!m_services.dialogs->confirm(this, tr("これまでの履歴を削除します"), tr("履歴削除")))
        return;
    // The clear keeps the history as the backup the menu's undo restores; only one is kept.
    if (clearReplacesBackup(m_files.folder()) &&
        !m_services.dialogs->confirm(
            this,
            tr("前回削除した履歴を元に戻すための控え「%1」があります。\n"
               "これを破棄して、今回削除する履歴を新しい控えにしますか？")
                .arg(QDir::toNativeSeparators(m_files.path(kHistoryBackupFileName))),
            tr("履歴削除")))
        return;
    if (const auto error = m_files.clearHistory()) {
        reportWriteError(*error, tr("履歴は削除されていません。"));
        return;
    }
    m_history->clear();
}

QMenu* frmMain::createHistoryMenu()
{
    auto* menu = new QMenu(this);
    menu->addAction(tr("グラフ表示"), this, &frmMain::showTrend);
    QAction* csv = menu->addAction(tr("CSV書き出し"), this, &frmMain::exportCsv);
    csv->setEnabled(m_history->rowCount() > 0);
    QAction* undo = menu->addAction(tr("履歴を元に戻す"), this, &frmMain::undoClear);
    undo->setEnabled(hasBackup(m_files.folder()));
    menu->addSeparator();
    updateHistoryActions();
    menu->addAction(m_deleteLine);
    menu->addAction(m_undoDelete);
    menu->addSeparator();
    menu->addAction(tr("目標体重の設定"), this, [this] { enter(entryKind(Entry::Goal)); });
    return menu;
}

void frmMain::updateHistoryActions()
{
    m_deleteLine->setEnabled(m_form.lstRireki->selectionModel()->hasSelection());
    m_undoDelete->setEnabled(m_removedLine.has_value());
}

void frmMain::historyChanged()
{
    m_removedLine.reset();
    updateHistoryActions();
}

void frmMain::reloadHistory()
{
    HistoryRead read = m_files.readHistory();
    if (!read.error)
        m_history->setLines(std::move(read.lines));
}

void frmMain::deleteSelectedLine()
{
    const QModelIndexList selected = m_form.lstRireki->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const int row = selected.front().row();
    const QString line = m_history->lines().at(row);
    const QString title = tr("記録の削除");
    if (!m_services.dialogs->confirm(this, tr("次の記録を履歴から削除します。\n\n%1").arg(line),
                                     title, Dialogs::Default::Cancel))
        return;

    HistoryEdit edit = removeHistoryLine(m_files, row, line);
    switch (edit.status) {
    case HistoryEdit::Status::Done:
        m_history->lineRemoved(row, std::move(edit.lines)); // ends any earlier undo
        m_removedLine = std::move(edit.removed);
        updateHistoryActions();
        // The next line down takes the selection, so that Delete can go on through the list.
        if (m_history->rowCount() > 0) {
            m_form.lstRireki->setCurrentIndex(
                m_history->index(std::min(row, m_history->rowCount() - 1)));
        }
        break;
    case HistoryEdit::Status::Changed:
        m_services.dialogs->message(
            this, Dialogs::Severity::Warning,
            tr("「%1」が、表示している履歴と違っています（ほかのプログラムが書き換えた可能性があり"
               "ます）。記録は削除していません。\n履歴を読み直して表示します。")
                .arg(m_files.path(kHistoryFileName)),
            title);
        reloadHistory();
        break;
    case HistoryEdit::Status::Failed:
        reportWriteError(*edit.error, tr("記録は削除されていません。"));
        break;
    }
}

void frmMain::undoDelete()
{
    if (!m_removedLine)
        return;
    const RemovedLine removed = *m_removedLine;
    const QString title = tr("元に戻す");
    HistoryEdit edit = restoreHistoryLine(m_files, removed);
    switch (edit.status) {
    case HistoryEdit::Status::Done:
        m_history->lineInserted(int(removed.index), std::move(edit.lines));
        m_form.lstRireki->setCurrentIndex(m_history->index(int(removed.index)));
        break;
    case HistoryEdit::Status::Changed:
        m_services.dialogs->message(
            this, Dialogs::Severity::Warning,
            tr("「%1」が、記録を削除したあとに変更されているため、元に戻せませんでした。")
                .arg(m_files.path(kHistoryFileName)),
            title);
        historyChanged();
        reloadHistory();
        break;
    case HistoryEdit::Status::Failed:
        // The line is still in memory: the undo can be tried again.
        reportWriteError(*edit.error, tr("削除した記録は元に戻っていません。"));
        break;
    }
}

void frmMain::showTrend()
{
    // A snapshot of the history as it is now: a window left open from before is replaced.
    if (m_trend)
        m_trend->close();
    m_trend = new TrendWindow(m_history->lines(), m_measurement.height, m_measurement.goal,
                              m_services.clock->today(), m_locale, this);
    m_trend->setAttribute(Qt::WA_DeleteOnClose);
    m_trend->show();
}

void frmMain::exportCsv()
{
    const std::optional<QString> path = m_services.dialogs->saveFileName(
        this, tr("CSV書き出し"), m_files.path(u"履歴.csv"_s), tr("CSV ファイル (*.csv)"));
    if (!path)
        return;
    if (const auto error = exportHistoryCsv(m_history->lines(), m_services.clock->today(), *path,
                                            m_files.folder())) {
        m_services.dialogs->message(
            this, Dialogs::Severity::Error,
            tr("「%1」に書き込めませんでした。\n理由: %2")
                .arg(QDir::toNativeSeparators(QFileInfo(*path).absoluteFilePath()), error->reason),
            tr("CSV書き出し"));
    }
}

void frmMain::undoClear()
{
    HistoryRestore restored = restoreHistory(m_files.folder());
    if (restored.status == HistoryRestore::Status::Restored) {
        m_history->setLines(std::move(restored.lines));
    } else if (restored.error) {
        m_services.dialogs->message(
            this, Dialogs::Severity::Error,
            tr("履歴を元に戻せませんでした。\n「%1」: %2")
                .arg(shownPath(m_files, restored.error->fileName), restored.error->reason),
            tr("履歴を元に戻す"));
    }
}

void frmMain::cmdHelp_Click()
{
    m_services.help->showHelp(this, HelpFile);
}

void frmMain::cmdEnd_Click()
{
    m_services.help->closeAll();
    m_endProgram();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* w = static_cast<QWidget*>(watched);
        const auto& shapes = m_form.Shape1;
        const auto band = std::find(shapes.begin(), shapes.begin() + 6, watched);
        const Measurement& m = m_measurement;
        w->setToolTip(
            band != shapes.begin() + 6
                ? bandTooltip(int(band - shapes.begin()) + 1, m.height, m.weight, m_locale)
                : meterTooltip(m.height, m.weight, m_locale, m.goal));
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // First run: ask for the height once the window is on screen.
    if (!m_measurement.height)
        QMetaObject::invokeMethod(this, &frmMain::askForFirstHeight, Qt::QueuedConnection);
}

void frmMain::askForFirstHeight()
{
    if (!m_measurement.height)
        Label2_DblClick();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    m_services.help->closeAll();
    if (m_trend)
        m_trend->close();
    event->accept();
}

} // namespace morvane
