#include "ui/frmmain.h"

#include "assets/pictures.h"
#include "measure/arithmetic.h"
#include "measure/bandweights.h"
#include "measure/limits.h"
#include "measure/numbertext.h"
#include "store/csvexport.h"
#include "store/historybackup.h"
#include "store/startup.h"
#include "ui/controls.h"
#include "ui/historymodel.h"
#include "ui/layout.h"
#include "ui/trendwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStyleFactory>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// The examples end the prompts and every message about what was typed.
const QString kWeightExample = u"     例)  68.5Kg →　68.5"_s;
const QString kWeightPrompt = u"体重をKg単位で入力して下さい"_s + kWeightExample;
const QString kWeightTitle = u"体重入力"_s;
const QString kHeightExample = u"     例)  168.5cm →　1.685"_s;
const QString kHeightPrompt = u"身長をﾒｰﾄﾙ単位で入力して下さい"_s + kHeightExample;
const QString kHeightTitle = u"身長登録"_s;
const QString kClearText = u"これまでの履歴を削除します"_s;
const QString kClearTitle = u"履歴削除"_s;
const QString kHelpFile = u"QuilloHelp.chm"_s;

// The colour an OLE colour value stands for: explicit 0x00BBGGRR, or a system colour taken
// from the widget palette.
QColor oleColor(quint32 ole, const QPalette& palette)
{
    if (ole & 0x80000000u) {
        switch (ole & 0xFFu) {
        case 5:
            return palette.color(QPalette::Base);
        case 8:
            return palette.color(QPalette::Text);
        case 14:
            return palette.color(QPalette::HighlightedText);
        case 15:
            return palette.color(QPalette::Button);
        case 18:
            return palette.color(QPalette::ButtonText);
        default:
            return palette.color(QPalette::WindowText);
        }
    }
    return QColor(int(ole & 0xFF), int((ole >> 8) & 0xFF), int((ole >> 16) & 0xFF));
}

// The window never groups digits; a locale that says so once spares every meter update from
// making an ungrouped copy of it for each number it formats.
QLocale withoutGroupSeparators(QLocale locale)
{
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

QFont controlFont(const layout::Control& c)
{
    QFont font(c.face == layout::Face::Mincho ? layout::kMinchoFamily : layout::kGothicFamily);
    font.setPointSizeF(c.pointSize);
    return font;
}

QRect pixelRect(const layout::Control& c)
{
    if (c.kind == layout::Kind::Line) {
        const int x1 = layout::px(c.left);
        return {x1, layout::px(c.top), layout::px(c.left + c.width) - x1 + 1, 1};
    }
    return {layout::px(c.left), layout::px(c.top), layout::px(c.width), layout::px(c.height)};
}

bool isWindowed(layout::Kind kind)
{
    using enum layout::Kind;
    return kind == Button || kind == Frame || kind == List || kind == ScrollBar;
}

void setLabelColors(QLabel* label, const QColor& background, const QColor& text)
{
    // A palette change repaints the label: skip it when the colours stay (most meter steps).
    if (label->palette().color(QPalette::Window) == background &&
        label->palette().color(QPalette::WindowText) == text)
        return;
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    label->setPalette(pal);
}

QString pictureFor(const QString& name)
{
    static const std::map<QString, QString> pictures{
        {u"cmdTai"_s, pictures::personPath()},  {u"cmdClear"_s, pictures::clearPath()},
        {u"cmdHelp"_s, pictures::helpPath()},   {u"cmdEnd"_s, pictures::exitPath()},
        {u"Image1"_s, pictures::pointerPath()}, {u"Image2"_s, pictures::bannerPath()},
    };
    const auto it = pictures.find(name);
    return it == pictures.end() ? QString() : it->second;
}

// The list was laid out for a font whose digits are narrower than the Japanese fonts here: a
// history line is condensed just enough to be seen whole beside the list's scroll bar.
void fitHistoryFont(QListView* list)
{
    const QString widest = u"12/31  100.0Kg  35.0  100.0%"_s;
    const int room = list->contentsRect().width() -
                     list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list) - 4;
    QFont font = list->font();
    const int width = QFontMetrics(font).horizontalAdvance(widest);
    if (width > room) {
        font.setStretch(qBound(75, 100 * room / width, 100));
        list->setFont(font);
    }
}

// Creates one control of the table inside its container.
QWidget* createControl(const layout::Control& c, QWidget* container)
{
    using enum layout::Kind;
    QWidget* w = nullptr;
    const QPalette& pal = container->palette();
    switch (c.kind) {
    case Button: {
        auto* b = new QToolButton(container);
        b->setText(c.text);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(32, 32));
        b->setIcon(QIcon(pictureFor(c.name)));
        b->setFocusPolicy(Qt::StrongFocus);
        w = b;
        break;
    }
    case Frame: {
        auto* g = new FrameBox(c.text, container);
        g->setFont(controlFont(c));
        g->setFocusPolicy(Qt::NoFocus);
        w = g;
        break;
    }
    case List: {
        auto* l = new QListView(container);
        l->setFont(controlFont(c));
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setEditTriggers(QAbstractItemView::NoEditTriggers);
        l->setUniformItemSizes(true);
        // Lays out a long history a batch at a time, so the window paints before it is done.
        l->setLayoutMode(QListView::Batched);
        l->setBatchSize(1000);
        l->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l->setTextElideMode(Qt::ElideNone);
        l->setFocusPolicy(Qt::StrongFocus);
        w = l;
        break;
    }
    case ScrollBar: {
        auto* s = new QScrollBar(Qt::Horizontal, container);
        s->setRange(kMeterMin, kMeterMax);
        s->setSingleStep(1);
        s->setPageStep(5);
        s->setValue(155);
        // Right and Up add, Left and Down subtract, as on any desktop.
        s->setInvertedControls(false);
        // The scroll bar paints all of itself: nothing behind it is drawn again on every step.
        s->setAutoFillBackground(true);
        s->setFocusPolicy(Qt::StrongFocus);
        w = s;
        break;
    }
    case Label: {
        auto* l = new QLabel(c.text, container);
        l->setFont(controlFont(c));
        l->setAlignment(Qt::AlignTop | (c.alignLeft ? Qt::AlignLeft : Qt::AlignHCenter));
        l->setIndent(0);
        l->setFocusPolicy(Qt::NoFocus);
        if (c.boxed)
            l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setAutoFillBackground(!c.transparent);
        setLabelColors(
            l,
            oleColor(c.background == layout::ole::kDefault ? layout::ole::buttonFace : c.background,
                     pal),
            oleColor(c.foreground == layout::ole::kDefault ? layout::ole::buttonText : c.foreground,
                     pal));
        w = l;
        break;
    }
    case Scale: {
        // Figure n is centred at x(n) - 5 twips in the panel, that is 195 + (n - 15) * 300
        // twips from the label's own left edge.
        const double first =
            (scaleX(ScaleLabel::kFirstFigure) - 5.0 - c.left) / layout::kTwipsPerPixel;
        auto* s = new ScaleLabel(first, double(kTwipsPerBmi) / layout::kTwipsPerPixel, container);
        s->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        s->setAutoFillBackground(true);
        QPalette p = s->palette();
        p.setColor(QPalette::Window, oleColor(c.background, pal));
        p.setColor(QPalette::WindowText, oleColor(c.foreground, pal));
        s->setPalette(p);
        w = s;
        break;
    }
    case Line: {
        auto* l = new LineControl(container);
        l->setColor(oleColor(c.foreground, pal));
        w = l;
        break;
    }
    case Shape: {
        auto* s = new ShapeControl(container);
        s->setColors(oleColor(c.background, pal), oleColor(c.foreground, pal));
        w = s;
        break;
    }
    case Picture: {
        auto* l = new QLabel(container);
        l->setPixmap(QPixmap(pictureFor(c.name)));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        l->setFocusPolicy(Qt::NoFocus);
        w = l;
        break;
    }
    }
    // Every control has its own font: a frame's font is its caption's, not its contents'.
    w->setFont(controlFont(c));
    w->setObjectName(c.name);
    w->setGeometry(pixelRect(c));
    if (!c.toolTip.isEmpty())
        w->setToolTip(c.toolTip);
    if (!c.description.isEmpty())
        w->setAccessibleDescription(c.description);
    return w;
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
    setObjectName(u"frmMain"_s);
    setWindowTitle(u"Morvane"_s);
    setWindowIcon(QIcon(pictures::appIconPath()));
    QFont font(layout::kGothicFamily);
    font.setPointSizeF(layout::kWindowPointSize);
    setFont(font);
    setFixedSize(layout::px(layout::kClientWidthTwips), layout::px(layout::kClientHeightTwips));
    buildControls();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    const auto all = layout::controls();
    // Containers are built before their contents. Within a container the table runs front to
    // back; widgets created later are drawn on top, so each container is filled from the back,
    // lightweight controls first, then the windowed ones, which always stay in front.
    for (const QString& containerName : {u"frmMain"_s, u"Frame1"_s, u"Frame2"_s, u"Frame3"_s}) {
        QWidget* container =
            containerName == u"frmMain" ? this : findChild<QWidget*>(containerName);
        for (bool windowed : {false, true}) {
            for (auto it = all.rbegin(); it != all.rend(); ++it) {
                if (it->container == containerName && isWindowed(it->kind) == windowed)
                    createControl(*it, container);
            }
        }
    }

    cmdTai = findChild<QToolButton*>(u"cmdTai"_s);
    cmdClear = findChild<QToolButton*>(u"cmdClear"_s);
    cmdHelp = findChild<QToolButton*>(u"cmdHelp"_s);
    cmdEnd = findChild<QToolButton*>(u"cmdEnd"_s);
    lstRireki = findChild<QListView*>(u"lstRireki"_s);
    HScroll1 = findChild<QScrollBar*>(u"HScroll1"_s);
    // The classic bevelled scroll bar: it suits the window, and it draws in a third of the time
    // of a gradient one, which keeps a drag of the meter smooth.
    if (QStyle* classic = QStyleFactory::create(u"Windows"_s)) {
        classic->setParent(this);
        HScroll1->setStyle(classic);
    }
    Label2 = findChild<QLabel*>(u"Label2"_s);
    Label4 = findChild<QLabel*>(u"Label4"_s);
    Label5 = findChild<QLabel*>(u"Label5"_s);
    lblTai = findChild<QLabel*>(u"lblTai"_s);
    lblHyojun = {findChild<QLabel*>(u"lblHyojun(0)"_s), findChild<QLabel*>(u"lblHyojun(1)"_s)};
    lblHiman = findChild<QLabel*>(u"lblHiman"_s);
    lblHantei = findChild<QLabel*>(u"lblHantei"_s);
    Image1 = findChild<QLabel*>(u"Image1"_s);
    for (std::size_t i = 0; i < Shape1.size(); ++i)
        Shape1[i] = findChild<ShapeControl*>(u"Shape1(%1)"_s.arg(i));
    Label1 = findChild<QWidget*>(u"Label1"_s);
    // The band rectangles and the meter explain the weights each band stands for at the stored
    // height; the text is made when the tooltip is asked for.
    for (QWidget* w : {static_cast<QWidget*>(Shape1[0]), static_cast<QWidget*>(Shape1[1]),
                       static_cast<QWidget*>(Shape1[2]), static_cast<QWidget*>(Shape1[3]),
                       static_cast<QWidget*>(Shape1[4]), static_cast<QWidget*>(Shape1[5]), Label1,
                       static_cast<QWidget*>(HScroll1)}) {
        w->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        w->installEventFilter(this);
    }

    m_history = new HistoryModel(this);
    lstRireki->setModel(m_history);
    fitHistoryFont(lstRireki);
    lstRireki->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstRireki, &QListView::customContextMenuRequested, this, [this](const QPoint& pos) {
        const std::unique_ptr<QMenu> menu(createHistoryMenu());
        menu->exec(lstRireki->viewport()->mapToGlobal(pos));
    });

    // Keyboard focus in tab-index order among the controls that take it.
    std::vector<const layout::Control*> focusable;
    for (const layout::Control& c : all) {
        if (c.tabIndex >= 0 && findChild<QWidget*>(c.name)->focusPolicy() != Qt::NoFocus)
            focusable.push_back(&c);
    }
    std::sort(focusable.begin(), focusable.end(),
              [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < focusable.size(); ++i) {
        setTabOrder(findChild<QWidget*>(focusable[i - 1]->name),
                    findChild<QWidget*>(focusable[i]->name));
    }
    cmdTai->setFocus();

    connect(cmdTai, &QToolButton::clicked, this, &frmMain::cmdTai_Click);
    connect(cmdClear, &QToolButton::clicked, this, &frmMain::cmdClear_Click);
    connect(cmdHelp, &QToolButton::clicked, this, &frmMain::cmdHelp_Click);
    connect(cmdEnd, &QToolButton::clicked, this, &frmMain::cmdEnd_Click);
    Label2->installEventFilter(this);

    // A thumb drag delivers one scroll notification per movement (the scroll bar tracks, so
    // its value is the thumb's position) and one change notification when it ends; every
    // other change (arrows, track, keys, assignments) is one change notification.
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] {
        if (HScroll1->isSliderDown())
            HScroll1_Scroll();
        else
            HScroll1_Change();
    });
    connect(HScroll1, &QScrollBar::sliderPressed, this,
            [this] { m_valueAtDragStart = static_cast<qint16>(HScroll1->value()); });
    connect(HScroll1, &QScrollBar::sliderReleased, this, [this] {
        if (HScroll1->value() != m_valueAtDragStart)
            HScroll1_Change();
    });
}

void frmMain::setEndProgram(std::function<void()> endProgram)
{
    m_endProgram = std::move(endProgram);
}

Measurement frmMain::measurement() const
{
    return {Height, Weight, Bmi, MeterBmi, HoldWeight};
}

QStringList frmMain::historyEntries() const
{
    return m_history->lines().toStringList();
}

bool frmMain::Form_Load()
{
    HelpFile = kHelpFile;
    StartupResult result = loadStartup(m_files, m_locale);
    if (result.error) {
        m_services.dialogs->message(
            this, Dialogs::Severity::Error,
            u"「%1」を読み込めませんでした。\n理由: %2\n\nプログラムを終了します。"_s.arg(
                result.error->fileName, result.error->reason),
            u"Morvane"_s);
        return false;
    }
    Startup& s = *result.startup;
    m_history->setLines(std::move(s.history));
    Height = s.measurement.height;
    Label2->setText(s.label2);
    Weight = s.measurement.weight;
    Label5->setText(s.label5);
    Bmi = s.measurement.bmi;
    Label4->setText(s.label4);
    MeterBmi = s.measurement.meterBmi;
    HoldWeight = 1;
    SetMeter(s.position);
    return true;
}

void frmMain::SetMeter(qint16 position)
{
    if (HScroll1->value() == position)
        UpdateMeter();
    else
        HScroll1->setValue(position); // the change notification runs the update
}

void frmMain::HScroll1_Change()
{
    UpdateMeter();
}

void frmMain::HScroll1_Scroll()
{
    UpdateMeter();
}

void frmMain::UpdateMeter()
{
    const auto position = static_cast<qint16>(HScroll1->value());
    const int shape3Left = Shape1[3]->x() * layout::kTwipsPerPixel;
    const MeterUpdate u = morvane::UpdateMeter(position, measurement(), m_locale, shape3Left);

    Bmi = u.after.bmi;
    Weight = u.after.weight;
    MeterBmi = u.after.meterBmi;
    HoldWeight = u.after.holdWeight;
    if (u.label4)
        Label4->setText(*u.label4);
    if (u.label5)
        Label5->setText(*u.label5);
    Image1->move(qRound(u.pointerLeftTwips / layout::kTwipsPerPixel), Image1->y());
    lblHyojun[0]->setText(u.lblHyojun0);
    lblHyojun[1]->setText(u.lblHyojun1);
    lblTai->setText(u.lblTai);
    lblHiman->setText(u.lblHiman);
    setJudgement(u.judgement);
    updateMeterDescription();
    emit meterUpdated();
}

void frmMain::setJudgement(const std::optional<Band>& band)
{
    if (!band) {
        lblHantei->setText(QString());
        setLabelColors(lblHantei, oleColor(layout::ole::buttonFace, palette()),
                       oleColor(layout::ole::white, palette()));
        return;
    }
    lblHantei->setText(band->caption);
    setLabelColors(lblHantei, QColor::fromRgb(band->background), QColor::fromRgb(band->text));
}

void frmMain::updateMeterDescription()
{
    // Screen readers read the band weights with the meter; they change with height and weight.
    // While the thumb is dragged the weight changes on every step and nobody reads the
    // description: the change notification at the end of the drag brings it up to date.
    if (HScroll1->isSliderDown())
        return;
    const auto key = std::pair(Height, Weight);
    if (key == m_describedFor && !HScroll1->accessibleDescription().isEmpty())
        return;
    m_describedFor = key;
    HScroll1->setAccessibleDescription(layout::find(u"HScroll1"_s)->description + u"\n"_s +
                                       meterTooltip(Height, Weight, m_locale));
}

void frmMain::CalcBmi()
{
    Bmi = morvane::CalcBmi(*Weight, *Height);
    Label4->setText(oneDecimalText(*Bmi, m_locale));
}

std::optional<float> frmMain::readTyped(Entry entry, const QString& answer)
{
    const bool height = entry == Entry::Height;
    const QString title = height ? kHeightTitle : kWeightTitle;
    const QString example = height ? kHeightExample : kWeightExample;
    auto refuse = [&](const QString& text) {
        m_services.dialogs->message(this, Dialogs::Severity::Warning, text + u"\n"_s + example,
                                    title);
        return std::nullopt;
    };

    // Full-width digits and points typed with a Japanese input method read as their ASCII
    // forms.
    const QString text = answer.normalized(QString::NormalizationForm_KC);
    const ParsedNumber n = parseLeadingNumber(text);
    if (!n.found) {
        return refuse(height ? u"身長が数値ではありません。ﾒｰﾄﾙ単位の数値で入力して下さい。"_s
                             : u"体重が数値ではありません。Kg単位の数値で入力して下さい。"_s);
    }
    // "68,5": the comma would silently cut the number to 68.
    static const QRegularExpression decimalComma(u"^[\\s+-]*[0-9][0-9\\s]*,\\s*[0-9]"_s);
    if (decimalComma.match(text).hasMatch())
        return refuse(u"小数点には「,」ではなく「.」を使って下さい。"_s);
    if (height && !isAcceptedHeight(n.value))
        return refuse(u"身長は 0.3 から 3.0 ﾒｰﾄﾙの範囲で入力して下さい。"_s);
    if (!height && !isAcceptedWeight(n.value))
        return refuse(u"体重は 0 より大きく 1000 Kg までの値で入力して下さい。"_s);
    return static_cast<float>(n.value);
}

void frmMain::reportWriteError(const FileError& error, const QString& notSaved)
{
    m_services.dialogs->message(this, Dialogs::Severity::Error,
                                u"「%1」に書き込めませんでした。\n理由: %2\n\n%3"_s.arg(
                                    error.fileName, error.reason, notSaved),
                                u"保存エラー"_s);
}

void frmMain::cmdTai_Click()
{
    if (!Height) {
        // A BMI needs a height: ask for it first.
        Label2_DblClick();
        if (!Height)
            return;
    }
    const std::optional<QString> answer =
        m_services.dialogs->inputBox(this, kWeightPrompt, kWeightTitle);
    if (!answer || answer->isEmpty())
        return;
    const std::optional<float> weight = readTyped(Entry::Weight, *answer);
    if (!weight)
        return;
    if (const auto error = m_files.writeWeight(*weight)) {
        reportWriteError(*error, u"体重は記録されていません。"_s);
        return;
    }

    Weight = *weight;
    Label5->setText(generalNumberText(*Weight, m_locale));
    CalcBmi();
    MeterBmi = clampToMeter(*Bmi);
    HoldWeight = 1;
    SetMeter(meterPosition(MeterBmi));

    const float ratio = obesityRatio(*Weight, *Height);
    const QString line = historyLine(m_services.clock->today(), *Weight, *Bmi, ratio, m_locale);
    if (const auto error = m_files.appendHistory(line)) {
        reportWriteError(*error, u"体重は保存されましたが、履歴には追加されていません。"_s);
        return;
    }
    // Added at the end without selecting it or scrolling to it.
    m_history->append(line);
}

void frmMain::Label2_DblClick()
{
    const std::optional<QString> answer =
        m_services.dialogs->inputBox(this, kHeightPrompt, kHeightTitle);
    if (!answer || answer->isEmpty())
        return;
    const std::optional<float> height = readTyped(Entry::Height, *answer);
    if (!height)
        return;
    if (const auto error = m_files.writeHeight(*height)) {
        reportWriteError(*error, u"身長は変更されていません。"_s);
        return;
    }

    Height = *height;
    Label2->setText(generalNumberText(*Height, m_locale));
    if (Weight) {
        CalcBmi();
        MeterBmi = clampToMeter(*Bmi);
        HoldWeight = 0;
        SetMeter(meterPosition(MeterBmi));
    } else {
        // No weight yet: nothing to derive one from; show the standard weight for the new
        // height and leave the meter where it is.
        HoldWeight = 1;
        SetMeter(static_cast<qint16>(HScroll1->value()));
    }
}

void frmMain::cmdClear_Click()
{
    if (!m_services.dialogs->confirm(this, kClearText, kClearTitle))
        return;
    // The clear keeps the history as the backup the menu's undo restores; only one is kept.
    if (clearReplacesBackup(m_files.folder()) &&
        !m_services.dialogs->confirm(
            this,
            tr("前回削除した履歴を元に戻すための控え「%1」があります。\n"
               "これを破棄して、今回削除する履歴を新しい控えにしますか？")
                .arg(QDir::toNativeSeparators(m_files.path(kHistoryBackupFileName))),
            kClearTitle))
        return;
    if (const auto error = m_files.clearHistory()) {
        reportWriteError(*error, u"履歴は削除されていません。"_s);
        return;
    }
    m_history->clear();
}

QMenu* frmMain::createHistoryMenu()
{
    auto* menu = new QMenu(this);
    menu->addAction(u"グラフ表示"_s, this, &frmMain::showTrend);
    QAction* csv = menu->addAction(u"CSV書き出し"_s, this, &frmMain::exportCsv);
    csv->setEnabled(m_history->rowCount() > 0);
    QAction* undo = menu->addAction(u"履歴を元に戻す"_s, this, &frmMain::undoClear);
    undo->setEnabled(hasBackup(m_files.folder()));
    return menu;
}

void frmMain::showTrend()
{
    // A snapshot of the history as it is now: a window left open from before is replaced.
    if (m_trend)
        m_trend->close();
    m_trend =
        new TrendWindow(m_history->lines(), Height, m_services.clock->today(), m_locale, this);
    m_trend->setAttribute(Qt::WA_DeleteOnClose);
    m_trend->show();
}

void frmMain::exportCsv()
{
    const std::optional<QString> path = m_services.dialogs->saveFileName(
        this, u"CSV書き出し"_s, m_files.path(u"履歴.csv"_s), u"CSV ファイル (*.csv)"_s);
    if (!path)
        return;
    if (const auto error = exportHistoryCsv(m_history->lines(), m_services.clock->today(), *path,
                                            m_files.folder())) {
        m_services.dialogs->message(
            this, Dialogs::Severity::Error,
            u"「%1」に書き込めませんでした。\n理由: %2"_s.arg(error->fileName, error->reason),
            u"CSV書き出し"_s);
    }
}

void frmMain::undoClear()
{
    HistoryRestore restored = restoreHistory(m_files.folder());
    if (restored.status == HistoryRestore::Status::Restored) {
        m_history->setLines(std::move(restored.lines));
    } else if (restored.error) {
        m_services.dialogs->message(this, Dialogs::Severity::Error,
                                    u"履歴を元に戻せませんでした。\n「%1」: %2"_s.arg(
                                        restored.error->fileName, restored.error->reason),
                                    u"履歴を元に戻す"_s);
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
    if (watched == Label2 && event->type() == QEvent::MouseButtonDblClick) {
        Label2_DblClick();
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        auto* w = static_cast<QWidget*>(watched);
        const auto band = std::find(Shape1.begin(), Shape1.begin() + 6, watched);
        w->setToolTip(band != Shape1.begin() + 6
                          ? bandTooltip(int(band - Shape1.begin()) + 1, Height, Weight, m_locale)
                          : meterTooltip(Height, Weight, m_locale));
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
    if (!Height)
        QMetaObject::invokeMethod(this, &frmMain::askForFirstHeight, Qt::QueuedConnection);
}

void frmMain::askForFirstHeight()
{
    if (!Height)
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
