#include "ui/windowframe.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

#ifdef MORVANE_HAVE_WAYLAND_CLIENT
#include <wayland-client.h>

#include <cstring>

#include <dlfcn.h>
#endif

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

constexpr int kBorder = 1;
constexpr int kButtonSize = 24;
constexpr int kIconSize = 16;
constexpr int kMargin = 6;
// The room the buttons take at the right, kept free at the left too so the title is centred.
constexpr int kButtonsSide = kMargin + 2 * kButtonSize;

// Whether the compositor draws title bars itself (it offers xdg-decoration, as KDE's KWin and
// wlroots compositors do; Qt then asks it to). Asked over a connection of its own, before any
// window is shown. The Wayland client library is found when the question is asked, on Wayland
// only, where Qt's platform plugin has loaded it already: linked into the program it would cost
// every start, on X11 too, a lookup in one more library for each of Qt's symbols. Without the
// library's headers at build time, or the library, the answer is no.
bool compositorDecoratesWindows()
{
#ifdef MORVANE_HAVE_WAYLAND_CLIENT
    void* library = ::dlopen("libwayland-client.so.0", RTLD_LAZY | RTLD_LOCAL);
    if (!library)
        return false;
    auto find = [library]<typename T>(T*& function, const char* name) {
        function = reinterpret_cast<T*>(::dlsym(library, name));
        return function != nullptr;
    };
    decltype(&wl_display_connect) connect = nullptr;
    decltype(&wl_display_disconnect) disconnect = nullptr;
    decltype(&wl_display_roundtrip) roundtrip = nullptr;
    decltype(&wl_proxy_marshal_flags) marshal = nullptr;
    decltype(&wl_proxy_get_version) version = nullptr;
    decltype(&wl_proxy_add_listener) addListener = nullptr;
    decltype(&wl_proxy_destroy) destroy = nullptr;
    const wl_interface* registryInterface = nullptr;
    wl_display* display = nullptr;
    bool offered = false;
    if (find(connect, "wl_display_connect") && find(disconnect, "wl_display_disconnect") &&
        find(roundtrip, "wl_display_roundtrip") && find(marshal, "wl_proxy_marshal_flags") &&
        find(version, "wl_proxy_get_version") && find(addListener, "wl_proxy_add_listener") &&
        find(destroy, "wl_proxy_destroy") && find(registryInterface, "wl_registry_interface") &&
        (display = connect(nullptr))) {
        const wl_registry_listener listener{
            [](void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
                if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0)
                    *static_cast<bool*>(data) = true;
            },
            [](void*, wl_registry*, uint32_t) {},
        };
        // wl_display_get_registry and wl_registry_add_listener, spelled out.
        auto* proxy = reinterpret_cast<wl_proxy*>(display);
        wl_proxy* registry =
            marshal(proxy, WL_DISPLAY_GET_REGISTRY, registryInterface, version(proxy), 0, nullptr);
        addListener(registry,
                    reinterpret_cast<void (**)(void)>(const_cast<wl_registry_listener*>(&listener)),
                    &offered);
        roundtrip(display);
        destroy(registry);
        disconnect(display);
    }
    ::dlclose(library);
    return offered;
#else
    return false;
#endif
}

bool needsOwnTitleBar()
{
    return QGuiApplication::platformName().startsWith(u"wayland"_s) &&
           qEnvironmentVariableIntValue("QT_WAYLAND_DISABLE_WINDOWDECORATION") == 0 &&
           !compositorDecoratesWindows();
}

} // namespace

WindowFrame::WindowFrame(QWidget* content)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , m_content(content)
{
    setObjectName(u"WindowFrame"_s);
    content->setParent(this, Qt::Widget);
    content->move(kBorder, kBarHeight);
    setFixedSize(content->width() + 2 * kBorder, content->height() + kBarHeight + kBorder);

    auto button = [this](QStyle::StandardPixmap icon, const QString& name) {
        auto* b = new QToolButton(this);
        b->setIcon(style()->standardIcon(icon, nullptr, this));
        b->setAutoRaise(true);
        // The window's own order of focus stays as it is; the keyboard has its own ways.
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolTip(name);
        b->setAccessibleName(name);
        return b;
    };
    QToolButton* minimiseButton = button(QStyle::SP_TitleBarMinButton, tr("最小化"));
    QToolButton* closeButton = button(QStyle::SP_TitleBarCloseButton, tr("閉じる"));
    const int top = (kBarHeight - kButtonSize) / 2;
    closeButton->setGeometry(width() - kMargin - kButtonSize, top, kButtonSize, kButtonSize);
    minimiseButton->setGeometry(width() - kButtonsSide, top, kButtonSize, kButtonSize);
    connect(minimiseButton, &QToolButton::clicked, this, &QWidget::showMinimized);
    connect(closeButton, &QToolButton::clicked, this, &QWidget::close);

    setWindowTitle(content->windowTitle());
    setWindowIcon(content->windowIcon());
    setAccessibleDescription(content->accessibleDescription());
    connect(content, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    connect(content, &QWidget::windowIconChanged, this, &QWidget::setWindowIcon);
    connect(this, &QWidget::windowTitleChanged, this, qOverload<>(&QWidget::update));
}

WindowFrame::~WindowFrame()
{
    if (m_content)
        m_content->setParent(nullptr, Qt::Window);
}

void WindowFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const QRect bar(0, 0, width(), kBarHeight);
    p.fillRect(bar, pal.color(QPalette::Window).darker(108));
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawLine(kBorder, kBarHeight - 1, width() - 2 * kBorder, kBarHeight - 1);

    windowIcon().paint(&p, QRect(kMargin, (kBarHeight - kIconSize) / 2, kIconSize, kIconSize));
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(
        pal.color(isActiveWindow() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(
        bar.adjusted(kButtonsSide, 0, -kButtonsSide, 0), Qt::AlignCenter,
        p.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, width() - 2 * kButtonsSide));
}

void WindowFrame::mousePressEvent(QMouseEvent* event)
{
    // The title bar moves the window; being fixed in size, it has no edges to pull, and a
    // double-click does nothing.
    if (event->button() == Qt::LeftButton && event->position().y() < kBarHeight && windowHandle())
        windowHandle()->startSystemMove();
}

void WindowFrame::closeEvent(QCloseEvent* event)
{
    // Closing the frame is closing the window inside: it decides.
    event->setAccepted(!m_content || m_content->close());
}

void WindowFrame::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        update(0, 0, width(), kBarHeight);
}

std::unique_ptr<WindowFrame> showWindow(QWidget* window)
{
    if (!needsOwnTitleBar()) {
        window->show();
        return nullptr;
    }
    auto frame = std::make_unique<WindowFrame>(window);
    window->show();
    frame->show();
    return frame;
}

} // namespace morvane
