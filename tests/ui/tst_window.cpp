// The window against its layout: every control's kind, rectangle, font, colours and content,
// the stacking and tab order, what is painted, and how the meter responds.

#include "support.h"

#include "measure/numbertext.h"
#include "ui/accessibility.h"
#include "ui/fixedsize.h"
#include "ui/fonts.h"
#include "ui/labels.h"
#include "ui/layout.h"
#include "ui/trendwindow.h"
#include "ui/windowframe.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QGroupBox>
#include <QListView>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::testing;

namespace {

// Colours named in the layout.
const QColor maroon(128, 0, 0), olive(128, 128, 0), teal(0, 128, 128), white(255, 255, 255),
    black(0, 0, 0);

constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

} // namespace

// Every text 30 % longer than its English, the way a longer language would run.
class LongerTranslation final : public QTranslator {
public:
    explicit LongerTranslation(const QTranslator& english)
        : m_english(english)
    {}
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override
    {
        QString text = m_english.translate(context, source, disambiguation, n);
        if (text.isEmpty())
            text = QString::fromUtf8(source);
        return text + text.left((text.size() * 3 + 9) / 10);
    }
    bool isEmpty() const override { return false; }

private:
    const QTranslator& m_english;
};

class tst_Window : public QObject {
    Q_OBJECT

    QTranslator m_english;
    LongerTranslation m_longer{m_english};

    WindowFixture f;

private slots:
    void initTestCase();
    void init();
    void window();
    void controlsFollowTheLayout();
    void captionsFit();
    void tabOrder();
    void fontsAreSubstituted();
    void framesLookLikeGroupBoxes();
    void bandColours_data();
    void bandColours();
    void needle_data();
    void needle();
    void scrollBarShadow();
    void meterMoves_data();
    void meterMoves();
    void showsWhatTheSessionHolds();
    void firstRunAsksForTheHeight();
    void unitLabelsOpenNothing();
    void extremeValuesAreShownWhole();
    void newestLineInSight();
    void wholeHistoryLines_data();
    void wholeHistoryLines();
    void ownLinesDrawnAsTheStyleDraws();
    void accessibleNames_data();
    void accessibleNames();
    void meterSpeaksInBmi_data();
    void meterSpeaksInBmi();
    void heightLabelCanBePressed();
    void keys_data();
    void keys();
    void keepsItsSizeWhenMaximised();
    void ownTitleBar();
};

void tst_Window::initTestCase()
{
    installFontSubstitutions();
    installAccessibility();
    // The English translation, or a pseudo-translation of it, for the captions to fit.
    const QString language = qEnvironmentVariable("MORVANE_TEST_LANGUAGE");
    if (!language.isEmpty()) {
        QVERIFY(m_english.load(u"morvane_en"_s, QStringLiteral(MORVANE_TRANSLATIONS)));
        QCoreApplication::installTranslator(language == u"pseudo" ? &m_longer : &m_english);
    }
}

void tst_Window::init()
{
    f.dialogs = ScriptedDialogs();
    f.help = CountingHelp();
    f.writeStandardFiles("05/10  68.9Kg  24.3  10.2%\r\n05/11  68.5Kg  24.1  9.6%\r\n");
}

void tst_Window::window()
{
    frmMain& w = f.create();
    QCOMPARE(w.objectName(), u"frmMain"_s);
    QCOMPARE(w.windowTitle(), u"Morvane"_s);
    QCOMPARE(w.size(), QSize(631, 452));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!w.windowIcon().isNull());
    QCOMPARE(w.font().family(), u"ＭＳ Ｐゴシック"_s);
    QCOMPARE(w.font().pointSizeF(), 9.0);
}

void tst_Window::controlsFollowTheLayout()
{
    // Every control of the layout table stands where the table puts it, inside its container,
    // with the table's font size, tooltip and a description; where two controls overlap, the one
    // the table lists first is drawn in front.
    frmMain& w = f.create();
    const auto all = layout::controls();
    for (const layout::Control& c : all) {
        QWidget* control = f.control(c.name);
        QVERIFY2(control, qPrintable(c.name));
        const QWidget* parent = control->parentWidget();
        QVERIFY2((parent == &w ? u"frmMain"_s : parent->objectName()) == c.container,
                 qPrintable(c.name));
        QCOMPARE(control->pos(), QPoint(px(c.left), px(c.top)));
        QVERIFY2(parent->rect().contains(control->geometry()), qPrintable(c.name));
        QCOMPARE(control->font().pointSizeF(), c.pointSize);
        QCOMPARE(control->toolTip(), c.toolTip);
        QVERIFY2(!control->accessibleDescription().isEmpty(), qPrintable(c.name));
    }
    for (auto a = all.begin(); a != all.end(); ++a) {
        for (auto b = a + 1; b != all.end(); ++b) {
            QWidget* front = f.control(a->name);
            QWidget* back = f.control(b->name);
            if (a->container != b->container || !front->geometry().intersects(back->geometry()))
                continue;
            const QObjectList siblings = front->parentWidget()->children(); // back to front
            QVERIFY2(siblings.indexOf(front) > siblings.indexOf(back),
                     qPrintable(a->name + u" is behind "_s + b->name));
        }
    }
}

namespace {

// The room a label's text takes in a font: its advance across, its ink up and down, and the
// label's frame.
QSize inkSize(const QLabel* label, const QString& text, const QFont& font)
{
    const QFontMetrics metrics(font);
    const int frame = label->width() - label->contentsRect().width();
    return {metrics.horizontalAdvance(text) + frame, metrics.tightBoundingRect(text).height()};
}

// Where a frame's caption ends, as the style places it.
int titleRight(QGroupBox* frame)
{
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.lineWidth = 1;
    return frame->style()
        ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame)
        .right();
}

} // namespace

void tst_Window::captionsFit()
{
    // Every caption is drawn whole in the window's fonts, in the language the test runs in, and
    // so is each judgement word in the judgement label. A label draws a text too wide for it in a
    // smaller size of its font: Japanese never needs that, a translation at most 15 % smaller.
    // Numbers are data, not captions (extremeValuesAreShownWhole).
    const QString language = qEnvironmentVariable("MORVANE_TEST_LANGUAGE");
    const double leastScale = language.isEmpty() ? 1.0 : 0.85;
    f.create();
    QStringList tight;
    auto check = [&](QWidget* w, const QString& text, QSize needed, double scale = 1.0) {
        if (needed.width() > w->width() || needed.height() > w->height() || scale < leastScale)
            tight << u"%1 「%2」: %3x%4 in %5x%6, %7 %"_s.arg(w->objectName(), text)
                         .arg(needed.width())
                         .arg(needed.height())
                         .arg(w->width())
                         .arg(w->height())
                         .arg(qRound(scale * 100));
    };
    auto checkLabel = [&](FittingLabel* label, const QString& text) {
        label->setText(text);
        const QFont shown = label->shownFont();
        check(label, text, inkSize(label, text, shown),
              shown.pointSizeF() / label->font().pointSizeF());
    };
    for (const layout::Control& c : layout::controls()) {
        QWidget* w = f.control(c.name);
        if (auto* button = qobject_cast<QToolButton*>(w))
            check(w, button->text(), button->sizeHint());
        else if (auto* frame = qobject_cast<QGroupBox*>(w))
            check(w, frame->title(), {titleRight(frame) + 1, 0});
        else if (auto* label = qobject_cast<FittingLabel*>(w);
                 label && c.content == layout::Content::Caption && c.kind == layout::Kind::Label)
            checkLabel(label, label->text());
    }
    for (const Band& band : bands())
        checkLabel(f.control<FittingLabel>(u"lblHantei"_s), band.caption);
    // A pseudo-translation 30 % longer than the English shows which boxes have the least room
    // to spare; it is not held to fit.
    if (language == u"pseudo") {
        for (const QString& line : std::as_const(tight))
            qInfo("tight: %s", qPrintable(line));
        return;
    }
    QVERIFY2(tight.isEmpty(), qPrintable(tight.join(u'\n')));
}

void tst_Window::tabOrder()
{
    frmMain& w = f.load();
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), f.control(u"cmdTai"_s));

    QStringList chain;
    QWidget* next = f.control(u"cmdTai"_s);
    for (int i = 0; i < 6; ++i) {
        chain << next->objectName();
        do
            next = next->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus) || !next->isVisible());
    }
    QCOMPARE(chain, (QStringList{u"cmdTai"_s, u"cmdClear"_s, u"cmdHelp"_s, u"cmdEnd"_s,
                                 u"HScroll1"_s, u"lstRireki"_s}));
    QCOMPARE(next->objectName(), u"cmdTai"_s);
}

void tst_Window::fontsAreSubstituted()
{
    f.create();
    QCOMPARE(QFontInfo(f.control(u"Label9(3)"_s)->font()).family(), u"IPAPGothic"_s);
    QCOMPARE(QFontInfo(f.control(u"Label4"_s)->font()).family(), u"IPAPMincho"_s);
}

void tst_Window::framesLookLikeGroupBoxes()
{
    // The frames paint from a picture of themselves; it must show what a group box shows, in
    // the frame's own font, before and after a font change.
    f.create();
    for (const QString& frame : {u"Frame1"_s, u"Frame2"_s, u"Frame3"_s}) {
        auto* box = f.control<QGroupBox>(frame);
        for (double points : {11.25, 9.0}) {
            QFont font = box->font();
            font.setPointSizeF(points);
            box->setFont(font);
            QGroupBox plain(box->title());
            plain.setFont(box->font());
            plain.setPalette(box->palette());
            plain.setFixedSize(box->size());
            // Only the frames' own pixels: hide their contents while comparing.
            const QList<QWidget*> children =
                box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            for (QWidget* child : children)
                child->hide();
            const QImage mine = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
            for (QWidget* child : children)
                child->show();
            QVERIFY2(mine == plain.grab().toImage().convertToFormat(QImage::Format_RGB32),
                     qPrintable(frame));
        }
    }
}

void tst_Window::bandColours_data()
{
    QTest::addColumn<int>("position"); // one inside the band
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<int>("leftTwips"); // the band's shape under the scale
    QTest::addColumn<int>("rightTwips");
    const QColor blue(0, 0, 255), cyan(0, 255, 255), green(0, 255, 0), yellow(255, 255, 0),
        magenta(255, 0, 255), red(255, 0, 0);
    QTest::newRow("too thin") << 160 << u"やせ過ぎ"_s << blue << white << 150 << 930;
    QTest::newRow("slim") << 185 << u"やせ気味"_s << cyan << black << 915 << 1845;
    QTest::newRow("standard") << 220 << u"スタンダード"_s << green << black << 1830 << 3045;
    QTest::newRow("mezzo forte") << 250 << u"でぶメゾフォルテ"_s << yellow << black << 3030 << 3810;
    QTest::newRow("forte") << 280 << u"でぶフォルテ"_s << magenta << white << 3780 << 4845;
    QTest::newRow("fortissimo") << 310 << u"でぶフォルテシモ"_s << red << white << 4830 << 5640;
}

void tst_Window::bandColours()
{
    QFETCH(int, position);
    QFETCH(QString, caption);
    QFETCH(QColor, background);
    QFETCH(QColor, text);
    QFETCH(int, leftTwips);
    QFETCH(int, rightTwips);

    frmMain& w = f.load();
    // The meter on the other side of the scale: the needle is out of the band's way, and both of
    // the judgement's colours have to change when the meter comes into the band.
    w.SetMeter(position < 240 ? 300 : 170);
    const QImage image = w.grab().toImage();
    const QPoint frame = f.control(u"Frame2"_s)->pos();
    const int y = frame.y() + px(1065) + px(105) / 2;
    // Fill inside a one-pixel outline; the band to the left is drawn over the shared edge.
    const int centre = frame.x() + px((leftTwips + rightTwips) / 2);
    QCOMPARE(image.pixelColor(centre, y), background);
    QCOMPARE(image.pixelColor(frame.x() + px(leftTwips) + 2, y), background);
    QCOMPARE(image.pixelColor(centre, frame.y() + px(1065)), black);
    QCOMPARE(image.pixelColor(centre, frame.y() + px(1065) + px(105) - 1), black);

    // Every assignment runs one meter update, also to where the meter already stands.
    QSignalSpy updates(&w, &frmMain::meterUpdated);
    w.SetMeter(qint16(position));
    w.SetMeter(qint16(position));
    QCOMPARE(updates.count(), 2);
    QLabel* label = f.control<QLabel>(u"lblHantei"_s);
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->palette().color(QPalette::WindowText), text);
    QCOMPARE(label->grab().toImage().pixelColor(3, label->height() - 3), background);
}

void tst_Window::needle_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("leftTwips");
    QTest::newRow("154") << 154 << 230;
    QTest::newRow("240") << 240 << 2810;
    QTest::newRow("316") << 316 << 5090;
}

void tst_Window::needle()
{
    QFETCH(int, position);
    QFETCH(int, leftTwips);

    frmMain& w = f.load();
    w.SetMeter(qint16(position));
    QWidget* needle = f.control(u"Image1"_s);
    QCOMPARE(needle->x(), px(leftTwips));
    QCOMPARE(needle->y(), px(1125));

    const QImage image = w.grab().toImage();
    const QPoint origin = f.control(u"Frame2"_s)->pos() + needle->pos();
    // The tip: column 15, rows 0 to 2 black, reaching into the band bar.
    for (int row = 0; row <= 2; ++row)
        QCOMPARE(image.pixelColor(origin + QPoint(15, row)), black);
    // The needle's red body and white edge.
    QCOMPARE(image.pixelColor(origin + QPoint(13, 10)), black);
    QCOMPARE(image.pixelColor(origin + QPoint(14, 10)), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(origin + QPoint(15, 10)), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(origin + QPoint(16, 10)), white);
    // Transparent beside it: the band bar shows through next to the tip.
    const QColor beside = image.pixelColor(origin + QPoint(10, 1));
    QVERIFY(beside != black && beside != white);
}

void tst_Window::scrollBarShadow()
{
    frmMain& w = f.load();
    const QImage image = w.grab().toImage();
    const QWidget* bar = f.control(u"HScroll1"_s);
    const QPoint o = f.control(u"Frame2"_s)->pos();
    const QRect r = bar->geometry().translated(o);
    // Two black pixels beyond the right and the bottom edges, none above or left.
    for (int d : {0, 1}) {
        QCOMPARE(image.pixelColor(r.right() + 1 + d, r.center().y()), black);
        QCOMPARE(image.pixelColor(r.center().x(), r.bottom() + 1 + d), black);
    }
    QVERIFY(image.pixelColor(r.right() + 3, r.center().y()) != black);
    QVERIFY(image.pixelColor(r.left() - 1, r.center().y()) != black);
}

void tst_Window::meterMoves_data()
{
    QTest::addColumn<int>("action"); // QAbstractSlider::SliderAction, -key, or 0: a thumb drag
    QTest::addColumn<int>("change");
    QTest::newRow("drag, one step") << 0 << 1;
    QTest::newRow("drag, ten steps") << 0 << 10;
    QTest::newRow("drag to the top") << 0 << 75;
    QTest::newRow("drag to the bottom") << 0 << -87;
    QTest::newRow("right arrow button") << int(QAbstractSlider::SliderSingleStepAdd) << 1;
    QTest::newRow("left arrow button") << int(QAbstractSlider::SliderSingleStepSub) << -1;
    QTest::newRow("track right") << int(QAbstractSlider::SliderPageStepAdd) << 5;
    QTest::newRow("track left") << int(QAbstractSlider::SliderPageStepSub) << -5;
    // The keys the other way run the same actions as the arrow buttons and the track.
    QTest::newRow("Right key") << -int(Qt::Key_Right) << 1;
    QTest::newRow("Up key") << -int(Qt::Key_Up) << 1;
    QTest::newRow("Page Up key") << -int(Qt::Key_PageUp) << 5;
}

void tst_Window::meterMoves()
{
    QFETCH(int, action);
    QFETCH(int, change);
    frmMain& w = f.load();
    auto* bar = f.control<QScrollBar>(u"HScroll1"_s);
    QCOMPARE(bar->value(), 241);
    QStringList seen;
    connect(&w, &frmMain::meterUpdated, this, [&] { seen << f.text(u"Label4"_s); });
    const int step = change > 0 ? 1 : -1;
    if (action == 0) {
        bar->setSliderDown(true);
        for (int i = 1; i <= change * step; ++i)
            bar->setSliderPosition(241 + i * step);
        bar->setSliderDown(false);
    } else if (action > 0) {
        bar->triggerAction(QAbstractSlider::SliderAction(action));
    } else {
        QTest::keyClick(bar, Qt::Key(-action));
    }
    QCOMPARE(bar->value(), 241 + change);
    // A drag updates the meter at each step, reading the thumb where it is, and once more at its
    // end; anything else once.
    QCOMPARE(seen.size(), action == 0 ? change * step + 1 : 1);
    QCOMPARE(seen.first(), oneDecimalText((241 + (action == 0 ? step : change)) / 10.0, kJapan));
    QCOMPARE(seen.last(), oneDecimalText((241 + change) / 10.0, kJapan));
}

void tst_Window::showsWhatTheSessionHolds()
{
    frmMain& w = f.load();
    QVERIFY(f.loaded);
    QCOMPARE(f.lines().size(), 2);
    auto* list = f.control<QListView>(u"lstRireki"_s);
    QCOMPARE(list->model()->rowCount(), 2);
    QVERIFY(!list->selectionModel()->hasSelection());
    const QStringList names{u"Label2"_s,       u"Label5"_s,       u"Label4"_s,   u"lblTai"_s,
                            u"lblHyojun(0)"_s, u"lblHyojun(1)"_s, u"lblHiman"_s, u"lblHantei"_s};
    auto captions = [&] {
        QStringList texts;
        for (const QString& name : names)
            texts << f.text(name);
        return texts;
    };
    QCOMPARE(captions(), (QStringList{u"1.685"_s, u"68.5"_s, u"24.1"_s, u"68.5"_s, u"62.5"_s,
                                      u"62.5"_s, u"9.6"_s, u"でぶメゾフォルテ"_s}));
    QCOMPARE(f.control<QScrollBar>(u"HScroll1"_s)->value(), 241);

    // An entry at the meter's position refreshes the panel all the same, in one meter update.
    QSignalSpy updates(&w, &frmMain::meterUpdated);
    f.dialogs.answers = {u"68.4"_s};
    f.click(u"cmdTai"_s);
    QCOMPARE(updates.count(), 1);
    QCOMPARE(f.control<QScrollBar>(u"HScroll1"_s)->value(), 241);
    QCOMPARE(captions(), (QStringList{u"1.685"_s, u"68.4"_s, u"24.1"_s, u"68.4"_s, u"62.5"_s,
                                      u"62.5"_s, u"9.4"_s, u"でぶメゾフォルテ"_s}));
    QCOMPARE(list->model()->rowCount(), 3);

    // The meter dragged to 22.0 shows the weight it stands for, and stores nothing.
    auto* bar = f.control<QScrollBar>(u"HScroll1"_s);
    bar->setSliderDown(true);
    for (int v = 240; v >= 220; --v)
        bar->setSliderPosition(v);
    bar->setSliderDown(false);
    QCOMPARE(captions(), (QStringList{u"1.685"_s, u"62.5"_s, u"22.0"_s, u"62.5"_s, u"62.5"_s,
                                      u"62.5"_s, u"0.0"_s, u"スタンダード"_s}));
    QCOMPARE(f.read(kWeightFileName), QByteArray("68.4\r\n"));
}

void tst_Window::firstRunAsksForTheHeight()
{
    // No files: labels that need the height stay empty, and the height box opens once the window
    // is on screen.
    WindowFixture empty;
    frmMain& w = empty.load();
    QVERIFY(empty.loaded);
    QCOMPARE(empty.text(u"Label2"_s), QString());
    QCOMPARE(empty.text(u"lblHantei"_s), QString());
    // A screen reader hears with the meter what its tooltip says: a height is needed.
    QVERIFY(
        empty.control(u"HScroll1"_s)->accessibleDescription().endsWith(u"身長の登録が必要です"_s));
    empty.dialogs.answers = {u"1.685"_s};
    QVERIFY(empty.dialogs.inputs.isEmpty());
    w.show();
    QTRY_COMPARE(empty.dialogs.inputs.size(), 1);
    QCOMPARE(empty.dialogs.inputs[0].title, u"身長登録"_s);
    QCOMPARE(empty.text(u"Label2"_s), u"1.685"_s);
    QCOMPARE(empty.text(u"lblHyojun(0)"_s), u"62.5"_s);
    QCOMPARE(empty.text(u"Label5"_s), QString());
}

void tst_Window::unitLabelsOpenNothing()
{
    // Only the height label opens the height box, not the unit labels beside it.
    f.load();
    for (const QString& label : {u"Label3(4)"_s, u"Label3(5)"_s})
        QTest::mouseDClick(f.control(label), Qt::LeftButton);
    QVERIFY(f.dialogs.inputs.isEmpty());
}

void tst_Window::extremeValuesAreShownWhole()
{
    // Both values are accepted: a BMI of 11111.1 and an obesity degree of 49900.0 must not read
    // as ".1111.1" or "9900.0" in a box made for "24.1".
    f.write(kHeightFileName, "0.3\r\n");
    f.write(kWeightFileName, "1000\r\n");
    f.load();
    QCOMPARE(f.text(u"Label4"_s), u"11111.1"_s);
    for (const QString& name : {u"Label4"_s, u"lblHiman"_s, u"lblTai"_s, u"Label2"_s}) {
        const auto* label = f.control<FittingLabel>(name);
        QVERIFY2(label, qPrintable(name));
        const QFont shown = label->shownFont();
        QVERIFY(QFontMetrics(shown).horizontalAdvance(label->text()) <=
                label->contentsRect().width());
        QCOMPARE(shown.pointSizeF() < label->font().pointSizeF(), name != u"Label2"_s);
    }
}

void tst_Window::newestLineInSight()
{
    f.writeStandardFiles(dailyHistory(150));
    frmMain& w = f.load();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* list = f.control<QListView>(u"lstRireki"_s);
    const QScrollBar* bar = list->verticalScrollBar();
    auto inSight = [&](int row) {
        return list->viewport()->rect().contains(list->visualRect(list->model()->index(row, 0)));
    };
    // Start-up shows the newest lines; an entry brings its line into view, selecting nothing.
    QTRY_VERIFY(inSight(149));
    list->scrollToTop();
    f.dialogs.answers = {u"68.6"_s};
    f.click(u"cmdTai"_s);
    QTRY_VERIFY(inSight(150));
    QVERIFY(!list->selectionModel()->hasSelection());

    // A line another program adds, and a deletion in sight, leave the view where the user left it.
    list->scrollTo(list->model()->index(60, 0), QAbstractItemView::PositionAtTop);
    const int top = bar->value();
    QFile file(f.path(kHistoryFileName));
    QVERIFY(file.open(QIODevice::Append) && file.write("05/12  68.7Kg  24.2  9.9%\r\n") > 0);
    file.close();
    QTRY_COMPARE(f.lines().size(), 152);
    QCOMPARE(bar->value(), top);
    list->setCurrentIndex(list->model()->index(70, 0));
    f.dialogs.confirmations = {true};
    QVERIFY(f.choose(u"この記録を削除"_s));
    QCOMPARE(f.lines().size(), 151);
    QCOMPARE(bar->value(), top);
}

void tst_Window::wholeHistoryLines_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("scrolledTo"); // the row scrolled to the top, -1: to the bottom
    QTest::newRow("five") << 5 << 0;
    QTest::newRow("twenty") << 20 << 0;
    QTest::newRow("twenty-one, at the top") << 21 << 0;
    QTest::newRow("twenty-one, at the bottom") << 21 << -1;
    QTest::newRow("a thousand, in the middle") << 1000 << 500;
    QTest::newRow("a thousand, at the bottom") << 1000 << -1;
}

void tst_Window::wholeHistoryLines()
{
    QFETCH(int, lines);
    QFETCH(int, scrolledTo);

    f.writeStandardFiles(dailyHistory(lines));
    frmMain& w = f.load();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* list = f.control<QListView>(u"lstRireki"_s);
    if (scrolledTo < 0)
        list->scrollToBottom();
    else
        list->scrollTo(list->model()->index(scrolledTo, 0), QAbstractItemView::PositionAtTop);
    QApplication::processEvents();

    // Every line on show is whole: twenty lines of 15 pixels fill the list as the layout has it.
    const QRect view = list->viewport()->rect();
    int shown = 0;
    for (int row = 0; row < lines; ++row) {
        const QRect r = list->visualRect(list->model()->index(row, 0));
        if (!r.intersects(view))
            continue;
        QVERIFY2(view.contains(r), qPrintable(u"row %1 is cut"_s.arg(row)));
        QCOMPARE(r.height(), 15);
        ++shown;
    }
    QCOMPARE(shown, qMin(lines, 20));

    // Nor is the ink of a line cut: from the top of its figures to the tail of the g in "Kg"
    // it fills its 15 pixels, the last line on show as well as the first.
    const QImage image = list->viewport()->grab().toImage();
    const QColor paper = list->palette().color(QPalette::Base);
    auto inkRows = [&](int top) {
        QList<int> rows;
        for (int y = top; y < top + 15 && y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != paper) {
                    rows.append(y - top);
                    break;
                }
            }
        }
        return rows;
    };
    const QList<int> full{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    QCOMPARE(inkRows(0), full);
    QCOMPARE(inkRows((shown - 1) * 15), full);
}

void tst_Window::ownLinesDrawnAsTheStyleDraws()
{
    // A line of the program's own is drawn in one pass, where and as the style draws any other
    // line: the same line ending in a no-break space, which the style draws, looks the same.
    const QByteArray line = "05/11  68.5Kg  24.1  9.6%";
    f.writeStandardFiles(line + "\r\n" + line + "\xc2\xa0\r\n");
    frmMain& w = f.load();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* list = f.control<QListView>(u"lstRireki"_s);
    const QRect own = list->visualRect(list->model()->index(0, 0));
    QVERIFY(!own.isEmpty());
    const QImage image = list->viewport()->grab().toImage();
    QCOMPARE(image.copy(own), image.copy(list->visualRect(list->model()->index(1, 0))));
}

void tst_Window::accessibleNames_data()
{
    QTest::addColumn<int>("role"); // QAccessible::Role
    QTest::addColumn<QString>("name");
    auto row = [](const char* control, QAccessible::Role role, const QString& name) {
        QTest::newRow(control) << int(role) << name;
    };
    // Windows by their titles; decorations by what they are, not by the frame around them.
    row("frmMain", QAccessible::Window, u"Morvane"_s);
    row("frmTrend", QAccessible::Window, u"体重の推移"_s);
    row("HScroll1", QAccessible::ScrollBar, u"BMIメーター"_s);
    row("lstRireki", QAccessible::List, u"体重の履歴"_s);
    row("Image1", QAccessible::Graphic, u"メーターの針"_s);
    row("Image2", QAccessible::Graphic, u"Morvane"_s);
    for (const Band& band : bands())
        QTest::addRow("Shape1(%d)", band.number - 1) << int(QAccessible::Client) << band.caption;
    row("Shape1(6)", QAccessible::Client, u"メーターの影"_s);
    row("Line2", QAccessible::Client, u"分数の線"_s);
    row("Line3(1)", QAccessible::Client, u"分数の線"_s);
    // Labels read their text: the scale its caption, the values what they show now.
    row("Label1", QAccessible::StaticText, layout::find(u"Label1"_s)->text);
    row("Label2", QAccessible::StaticText, u"1.685"_s);
    row("Label4", QAccessible::StaticText, u"24.1"_s);
    row("lblHantei", QAccessible::StaticText, u"でぶメゾフォルテ"_s);
}

void tst_Window::accessibleNames()
{
    QFETCH(int, role);
    QFETCH(QString, name);

    frmMain& w = f.load();
    const QString control = QString::fromLatin1(QTest::currentDataTag());
    QObject* object = &w;
    if (control == u"frmTrend") {
        QVERIFY(f.choose(u"グラフ表示"_s));
        object = w.findChild<TrendWindow*>();
    } else if (control != u"frmMain") {
        object = f.control(control);
    }
    QVERIFY(object);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Role(role));
    QCOMPARE(iface->text(QAccessible::Name), name);
    QVERIFY(!iface->text(QAccessible::Description).isEmpty());
}

void tst_Window::meterSpeaksInBmi_data()
{
    QTest::addColumn<double>("set");
    QTest::addColumn<int>("position");
    QTest::newRow("22.0") << 22.0 << 220;
    QTest::newRow("one step up") << 24.2 << 242;
    QTest::newRow("between steps") << 22.04 << 220;
    QTest::newRow("past the top") << 40.0 << 316;
    QTest::newRow("past the bottom") << 10.0 << 154;
}

void tst_Window::meterSpeaksInBmi()
{
    QFETCH(double, set);
    QFETCH(int, position);

    frmMain& w = f.load();
    auto* bar = f.control<QScrollBar>(u"HScroll1"_s);
    QAccessibleValueInterface* value = QAccessible::queryAccessibleInterface(bar)->valueInterface();
    QVERIFY(value);
    QCOMPARE(value->currentValue().toDouble(), 24.1);
    QCOMPARE(value->minimumValue().toDouble(), 15.4);
    QCOMPARE(value->maximumValue().toDouble(), 31.6);
    QCOMPARE(value->minimumStepSize().toDouble(), 0.1);

    // Setting it moves the meter as a key does: one change, one meter update.
    QSignalSpy updates(&w, &frmMain::meterUpdated);
    QSignalSpy actions(bar, &QScrollBar::actionTriggered);
    value->setCurrentValue(set);
    QCOMPARE(bar->value(), position);
    QCOMPARE(updates.count(), 1);
    QCOMPARE(actions.count(), 1);
    QCOMPARE(f.text(u"Label4"_s), oneDecimalText(position / 10.0, kJapan));
    QCOMPARE(value->currentValue().toDouble(), position / 10.0);
    // The scroll bar keeps its own range.
    QCOMPARE(bar->minimum(), 154);
    QCOMPARE(bar->maximum(), 316);
}

void tst_Window::heightLabelCanBePressed()
{
    f.load();
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(f.control(u"Label2"_s))->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    f.dialogs.answers = {u"1.7"_s};
    actions->doAction(QAccessibleActionInterface::pressAction());
    // The height box opens once the request has been answered.
    QVERIFY(f.dialogs.inputs.isEmpty());
    QTRY_COMPARE(f.dialogs.inputs.size(), 1);
    QCOMPARE(f.dialogs.inputs.front().title, u"身長登録"_s);
    QCOMPARE(f.text(u"Label2"_s), u"1.7"_s);
}

void tst_Window::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("opens"); // the dialog's title, "help", "menu" or "end"

    const int none = Qt::NoModifier;
    // Enter (and Space) press the focused button.
    QTest::newRow("Enter on 体重") << u"cmdTai"_s << int(Qt::Key_Return) << none << u"体重入力"_s;
    QTest::newRow("keypad Enter on 体重")
        << u"cmdTai"_s << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << u"体重入力"_s;
    QTest::newRow("Space on 体重") << u"cmdTai"_s << int(Qt::Key_Space) << none << u"体重入力"_s;
    QTest::newRow("Enter on クリア")
        << u"cmdClear"_s << int(Qt::Key_Return) << none << u"履歴削除"_s;
    QTest::newRow("Enter on ヘルプ") << u"cmdHelp"_s << int(Qt::Key_Return) << none << u"help"_s;
    QTest::newRow("Enter on 終了") << u"cmdEnd"_s << int(Qt::Key_Return) << none << u"end"_s;
    // F1 and F2 anywhere in the window.
    QTest::newRow("F1 on 体重") << u"cmdTai"_s << int(Qt::Key_F1) << none << u"help"_s;
    QTest::newRow("F1 on the meter") << u"HScroll1"_s << int(Qt::Key_F1) << none << u"help"_s;
    QTest::newRow("F2 on 体重") << u"cmdTai"_s << int(Qt::Key_F2) << none << u"身長登録"_s;
    QTest::newRow("F2 on the meter") << u"HScroll1"_s << int(Qt::Key_F2) << none << u"身長登録"_s;
    QTest::newRow("F2 in the history")
        << u"lstRireki"_s << int(Qt::Key_F2) << none << u"身長登録"_s;
    // The history list's menu.
    QTest::newRow("Shift+F10 in the history")
        << u"lstRireki"_s << int(Qt::Key_F10) << int(Qt::ShiftModifier) << u"menu"_s;
    QTest::newRow("Menu key in the history")
        << u"lstRireki"_s << int(Qt::Key_Menu) << none << u"menu"_s;
}

void tst_Window::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, opens);

    frmMain& w = f.load();
    int ended = 0;
    w.setEndProgram([&] { ++ended; });
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QWidget* target = f.control(focus);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    // What the menu shows, and what assistive technology is told: a menu, its highlighted item
    // and the item it hears has the focus.
    QStringList menu;
    QStringList told;
    QTimer::singleShot(0, this, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : popup->actions())
                menu << action->text();
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(popup);
            told << QString::number(iface->role())
                 << (popup->activeAction() ? popup->activeAction()->text() : QString());
            for (int i = 0; i < iface->childCount(); ++i) {
                if (iface->child(i)->state().focused)
                    told << iface->child(i)->text(QAccessible::Name);
            }
            popup->close();
        }
    });
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QStringList titles;
    for (const auto& shown : f.dialogs.inputs)
        titles << shown.title;
    for (const auto& shown : f.dialogs.confirms)
        titles << shown.title;
    QCOMPARE(titles, opens.startsWith(u'体') || opens.startsWith(u'身') || opens.startsWith(u'履')
                         ? QStringList{opens}
                         : QStringList{});
    QCOMPARE(f.help.shown, opens == u"help" ? 1 : 0);
    QCOMPARE(f.help.file, opens == u"help" ? u"QuilloHelp.chm"_s : QString());
    QCOMPARE(ended, opens == u"end" ? 1 : 0);
    QCOMPARE(f.help.closed, ended); // the program's end closes the help windows
    QCOMPARE(menu.contains(u"グラフ表示"_s), opens == u"menu");
    const QStringList toldOfMenu{QString::number(QAccessible::PopupMenu), u"グラフ表示"_s,
                                 u"グラフ表示"_s};
    QCOMPARE(told, opens == u"menu" ? toldOfMenu : QStringList{});
}

void tst_Window::keepsItsSizeWhenMaximised()
{
    // The desktop maximises the window (the offscreen platform grants what is asked, as Weston
    // does): the window asks back for the normal state, keeps its size and draws again.
    keepFixedWindowsAtTheirSize();
    frmMain& w = f.load();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QSize size = w.size();
    w.windowHandle()->setWindowStates(Qt::WindowMaximized);
    QTRY_COMPARE(w.windowHandle()->windowStates(), Qt::WindowNoState);
    QCOMPARE(w.size(), size);
    QTRY_VERIFY(w.updatesEnabled());
}

void tst_Window::ownTitleBar()
{
    // The frame holds the window's client area as it is under its title bar, closes with it,
    // and gives it back whole when it goes.
    frmMain& w = f.load();
    {
        WindowFrame frame(&w);
        QCOMPARE(w.window(), &frame);
        QCOMPARE(w.geometry(), QRect(1, WindowFrame::kBarHeight, 631, 452));
        QCOMPARE(frame.size(), QSize(633, 452 + WindowFrame::kBarHeight + 1));
        frame.show();
        QVERIFY(frame.close());
        QVERIFY(!w.isVisible());
    }
    QVERIFY(w.isWindow());
}

QTEST_MAIN(tst_Window)
#include "tst_window.moc"
