#include "ui/formbuilder.h"

#include "assets/pictures.h"
#include "measure/arithmetic.h"
#include "measure/bands.h"
#include "ui/framebox.h"
#include "ui/historylist.h"
#include "ui/labels.h"
#include "ui/layout.h"
#include "ui/meter.h"
#include "ui/picturecontrols.h"
#include "ui/shapes.h"

#include <QFontMetrics>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QToolButton>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// Everything a control may draw with its font.
QString drawnText(const layout::Control& c, const QLocale& locale)
{
    using enum layout::Content;
    switch (c.content) {
    case Caption:
    case FileText:
        break;
    case Number:
        return c.text + u"0123456789+-E"_s + locale.decimalPoint() + locale.negativeSign();
    case Judgement: {
        QString words = c.text;
        for (const Band& band : bands())
            words += band.caption;
        return words;
    }
    }
    return c.text;
}

// The control's font, named by the families its face is mapped to (installFontSubstitutions):
// Qt matches the first at once, where for the face's own name it would first fail, and ask
// fontconfig for that name's fallbacks once for every family and script, which at start-up cost
// more than painting all the captions. Where the font's own face has every character the control
// will draw, the font is used alone: Qt then skips its search for fallback fonts, too. Text from
// a file keeps the fallbacks.
QFont controlFont(const layout::Control& c, const QLocale& locale)
{
    const QString& face =
        c.face == layout::Face::Mincho ? layout::kMinchoFamily : layout::kGothicFamily;
    QFont font(face);
    if (const QStringList mapped = QFont::substitutes(face); !mapped.isEmpty())
        font.setFamilies(mapped);
    font.setPointSizeF(c.pointSize);
    if (c.content == layout::Content::FileText)
        return font;
    QFont alone = font;
    alone.setStyleStrategy(QFont::NoFontMerging);
    const QString text = drawnText(c, locale);
    if (!text.isEmpty()) {
        const QFontMetrics metrics(alone);
        for (const char32_t ch : text.toUcs4()) {
            if (!metrics.inFontUcs4(ch))
                return font;
        }
    }
    return alone;
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

// One function per kind of control: each makes the control with what every control of its kind
// shares, and what this one's row of the table says.

QWidget* createButton(const layout::Control& c, QWidget* container)
{
    auto* b = new PictureButton(container);
    b->setText(c.text);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(32, 32));
    b->setPictures(pictures::icon(c.picture), pictures::icon(pictures::onDarkPath(c.picture)));
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

QWidget* createFrame(const layout::Control& c, QWidget* container, const QFont& font)
{
    // The caption is measured as it is set: in the frame's own font, not the window's.
    auto* g = new FrameBox(QString(), container);
    g->setFont(font);
    g->setTitle(c.text);
    g->setFocusPolicy(Qt::NoFocus);
    return g;
}

QWidget* createList(QWidget* container)
{
    auto* l = new HistoryList(container);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Lays out a long history a batch at a time, so the window paints before it is done.
    l->setLayoutMode(QListView::Batched);
    l->setBatchSize(1000);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    l->setTextElideMode(Qt::ElideNone);
    l->setFocusPolicy(Qt::StrongFocus);
    return l;
}

QWidget* createScrollBar(QWidget* container)
{
    auto* s = new MeterBar(kMeterPositionsPerBmi, container);
    s->setRange(kMeterMin, kMeterMax);
    s->setSingleStep(1);
    s->setPageStep(5);
    s->setValue(layout::kMeterStartPosition);
    // Right and Up add, Left and Down subtract, as on any desktop.
    s->setInvertedControls(false);
    // The scroll bar paints all of itself: nothing behind it is drawn again on every step.
    s->setAutoFillBackground(true);
    s->setFocusPolicy(Qt::StrongFocus);
    return s;
}

// The colour of an OLE colour value of the table, or of `fallback` for the kind's default.
QColor colorOr(quint32 ole, quint32 fallback, const QPalette& palette)
{
    return oleColor(ole == layout::ole::kDefault ? fallback : ole, palette);
}

QWidget* createLabel(const layout::Control& c, QWidget* container)
{
    QLabel* l =
        c.activates ? new ActionLabel(c.text, container) : new FittingLabel(c.text, container);
    l->setAlignment(Qt::AlignTop | (c.alignLeft ? Qt::AlignLeft : Qt::AlignHCenter));
    l->setIndent(0);
    l->setFocusPolicy(Qt::NoFocus);
    if (c.boxed)
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAutoFillBackground(!c.transparent);
    const QPalette& pal = container->palette();
    setLabelColors(l, colorOr(c.background, layout::ole::buttonFace, pal),
                   colorOr(c.foreground, layout::ole::buttonText, pal));
    return l;
}

QWidget* createScale(const layout::Control& c, QWidget* container)
{
    // Figure n is centred at x(n) - 5 twips in the panel, that is 195 + (n - 15) * 300 twips
    // from the label's own left edge.
    const double first =
        (layout::scaleX(ScaleLabel::kFirstFigure) - 5.0 - c.left) / layout::kTwipsPerPixel;
    auto* s =
        new ScaleLabel(first, double(layout::kTwipsPerBmi) / layout::kTwipsPerPixel, container);
    s->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    s->setAutoFillBackground(true);
    QPalette p = s->palette();
    p.setColor(QPalette::Window, oleColor(c.background, container->palette()));
    p.setColor(QPalette::WindowText, oleColor(c.foreground, container->palette()));
    s->setPalette(p);
    return s;
}

QWidget* createLine(const layout::Control& c, QWidget* container)
{
    auto* l = new LineControl(container);
    l->setColor(oleColor(c.foreground, container->palette()));
    return l;
}

QWidget* createShape(const layout::Control& c, QWidget* container)
{
    auto* s = new ShapeControl(container);
    s->setColors(oleColor(c.background, container->palette()),
                 oleColor(c.foreground, container->palette()));
    return s;
}

QWidget* createPicture(const layout::Control& c, QWidget* container)
{
    auto* l = new PictureLabel(c.picture, container);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    l->setFocusPolicy(Qt::NoFocus);
    return l;
}

QWidget* createKind(const layout::Control& c, QWidget* container, const QFont& font)
{
    using enum layout::Kind;
    switch (c.kind) {
    case Button:
        return createButton(c, container);
    case Frame:
        return createFrame(c, container, font);
    case List:
        return createList(container);
    case ScrollBar:
        return createScrollBar(container);
    case Label:
        return createLabel(c, container);
    case Scale:
        return createScale(c, container);
    case Line:
        return createLine(c, container);
    case Shape:
        return createShape(c, container);
    case Picture:
        return createPicture(c, container);
    }
    Q_UNREACHABLE();
    return nullptr;
}

// Creates one control of the table inside its container.
QWidget* createControl(const layout::Control& c, QWidget* container, const QLocale& locale)
{
    // Every control has its own font: a frame's font is its caption's, not its contents'.
    const QFont font = controlFont(c, locale);
    QWidget* w = createKind(c, container, font);
    w->setFont(font);
    w->setObjectName(c.name);
    w->setGeometry(pixelRect(c));
    if (!c.toolTip.isEmpty())
        w->setToolTip(c.toolTip);
    if (!c.accessibleName.isEmpty())
        w->setAccessibleName(c.accessibleName);
    if (!c.description.isEmpty())
        w->setAccessibleDescription(c.description);
    return w;
}

// The controls made so far, by name.
using Made = QHash<QString, QWidget*>;

// The control of that name and kind. A layout table without it is a fault of the program,
// found on its first start: stop at once, naming the control.
template <class T> T* take(const Made& made, const QString& name)
{
    T* control = qobject_cast<T*>(made.value(name));
    if (!control)
        qFatal("The layout table has no control %s of the kind the window uses", qPrintable(name));
    return control;
}

} // namespace

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

namespace {

// Creates every control of the table. Containers are built before their contents. Within a
// container the table runs front to back; widgets created later are drawn on top, so each
// container is filled from the back, lightweight controls first, then the windowed ones, which
// always stay in front.
Made createControls(QWidget* form, const QLocale& locale)
{
    const auto all = layout::controls();
    Made made{{form->objectName(), form}};
    for (const QString& containerName : {u"frmMain"_s, u"Frame1"_s, u"Frame2"_s, u"Frame3"_s}) {
        QWidget* container = take<QWidget>(made, containerName);
        for (bool windowed : {false, true}) {
            for (auto it = all.rbegin(); it != all.rend(); ++it) {
                if (it->container == containerName && isWindowed(it->kind) == windowed)
                    made.insert(it->name, createControl(*it, container, locale));
            }
        }
    }
    return made;
}

FormControls bindControls(const Made& made)
{
    FormControls c;
    const auto bind = [&made]<class T>(T*& control, const QString& name) {
        control = take<T>(made, name);
    };
    bind(c.cmdTai, u"cmdTai"_s);
    bind(c.cmdClear, u"cmdClear"_s);
    bind(c.cmdHelp, u"cmdHelp"_s);
    bind(c.cmdEnd, u"cmdEnd"_s);
    bind(c.lstRireki, u"lstRireki"_s);
    bind(c.HScroll1, u"HScroll1"_s);
    bind(c.Label2, u"Label2"_s);
    bind(c.Label2Action, u"Label2"_s);
    bind(c.Label4, u"Label4"_s);
    bind(c.Label5, u"Label5"_s);
    bind(c.lblTai, u"lblTai"_s);
    for (std::size_t i = 0; i < c.lblHyojun.size(); ++i)
        bind(c.lblHyojun[i], u"lblHyojun(%1)"_s.arg(i));
    bind(c.lblHiman, u"lblHiman"_s);
    bind(c.lblHantei, u"lblHantei"_s);
    bind(c.Image1, u"Image1"_s);
    for (std::size_t i = 0; i < c.Shape1.size(); ++i)
        bind(c.Shape1[i], u"Shape1(%1)"_s.arg(i));
    bind(c.Label1, u"Label1"_s);
    return c;
}

// Keyboard focus in tab-index order among the controls that take it.
void orderFocus(const Made& made)
{
    std::vector<const layout::Control*> focusable;
    for (const layout::Control& control : layout::controls()) {
        if (control.tabIndex >= 0 && made.value(control.name)->focusPolicy() != Qt::NoFocus)
            focusable.push_back(&control);
    }
    std::sort(focusable.begin(), focusable.end(),
              [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(made.value(focusable[i - 1]->name), made.value(focusable[i]->name));
}

} // namespace

FormControls buildForm(QWidget* form, const QLocale& locale)
{
    const Made made = createControls(form, locale);
    FormControls c = bindControls(made);

    // The classic bevelled scroll bar: it suits the window, and it draws in a third of the time
    // of a gradient one, which keeps a drag of the meter smooth.
    if (QStyle* classic = QStyleFactory::create(u"Windows"_s)) {
        classic->setParent(form);
        c.HScroll1->setStyle(classic);
    }
    fitHistoryFont(c.lstRireki);
    // The list box of the layout showed lines of 225 twips, 20 to its height. A history line is
    // made of digits, separators, "Kg" and "%".
    c.lstRireki->setLineHeight(layout::px(225), u"0123456789/.,-%Kg"_s);
    orderFocus(made);
    return c;
}

} // namespace morvane
