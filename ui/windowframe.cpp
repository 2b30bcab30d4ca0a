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

#ifdef MORVANE_HAVE_WAYLAND_CLIENT
// The parts of xdg-shell (version 1) and xdg-decoration that the question below needs, as the
// protocol files define them: requests up to the ones used, and every event, which the library
// must know to read what the compositor sends. The library looks up the interfaces of object
// arguments in `types` (none are needed here, but the array must be there).
const wl_interface* kNoTypes[] = {nullptr, nullptr, nullptr, nullptr};
const wl_message kNoMessage[] = {{"destroy", "", kNoTypes}};
const wl_message kWmBaseRequests[] = {{"destroy", "", kNoTypes},
                                      {"create_positioner", "n", kNoTypes},
                                      {"get_xdg_surface", "no", kNoTypes}};
const wl_message kWmBaseEvents[] = {{"ping", "u", kNoTypes}};
const wl_message kXdgSurfaceRequests[] = {{"destroy", "", kNoTypes},
                                          {"get_toplevel", "n", kNoTypes}};
const wl_message kXdgSurfaceEvents[] = {{"configure", "u", kNoTypes}};
const wl_message kToplevelEvents[] = {{"configure", "iia", kNoTypes}, {"close", "", kNoTypes}};
const wl_message kManagerRequests[] = {{"destroy", "", kNoTypes},
                                       {"get_toplevel_decoration", "no", kNoTypes}};
const wl_message kDecorationRequests[] = {{"destroy", "", kNoTypes}, {"set_mode", "u", kNoTypes}};
const wl_message kDecorationEvents[] = {{"configure", "u", kNoTypes}};
const wl_interface kWmBase{"xdg_wm_base", 1, 3, kWmBaseRequests, 1, kWmBaseEvents};
const wl_interface kXdgSurface{"xdg_surface", 1, 2, kXdgSurfaceRequests, 1, kXdgSurfaceEvents};
const wl_interface kToplevel{"xdg_toplevel", 1, 1, kNoMessage, 2, kToplevelEvents};
const wl_interface kManager{"zxdg_decoration_manager_v1", 1, 2, kManagerRequests, 0, nullptr};
const wl_interface kDecoration{"zxdg_toplevel_decoration_v1", 1, 2,
                               kDecorationRequests,           1, kDecorationEvents};
constexpr uint32_t kServerSide = 2; // zxdg_toplevel_decoration_v1.mode
struct DecorationListener {
    void (*configure)(void* data, wl_proxy* decoration, uint32_t mode);
};

// The Wayland client library's functions, found in it at run time.
struct WaylandClient {
    decltype(&wl_display_connect) connect = nullptr;
    decltype(&wl_display_disconnect) disconnect = nullptr;
    decltype(&wl_display_roundtrip) roundtrip = nullptr;
    decltype(&wl_proxy_marshal_flags) marshal = nullptr;
    decltype(&wl_proxy_get_version) version = nullptr;
    decltype(&wl_proxy_add_listener) addListener = nullptr;
    decltype(&wl_proxy_destroy) destroy = nullptr;
    const wl_interface* registry = nullptr;
    const wl_interface* compositor = nullptr;
    const wl_interface* surface = nullptr;

    bool find(void* library)
    {
        auto get = [library]<typename T>(T*& function, const char* name) {
            function = reinterpret_cast<T*>(::dlsym(library, name));
            return function != nullptr;
        };
        return get(connect, "wl_display_connect") && get(disconnect, "wl_display_disconnect") &&
               get(roundtrip, "wl_display_roundtrip") && get(marshal, "wl_proxy_marshal_flags") &&
               get(version, "wl_proxy_get_version") && get(addListener, "wl_proxy_add_listener") &&
               get(destroy, "wl_proxy_destroy") && get(registry, "wl_registry_interface") &&
               get(compositor, "wl_compositor_interface") && get(surface, "wl_surface_interface");
    }
};

struct Globals {
    uint32_t compositor = 0;
    uint32_t wmBase = 0;
    uint32_t manager = 0;
};

// How the compositor decorates a window that asks to be decorated by it: it may offer
// xdg-decoration and still answer that the window draws its own title bar (KWin does without a
// decoration plugin), and Qt 6.4 then draws none at all. Asked for a toplevel that is never
// shown, over a connection of its own.
bool answersServerSide(const WaylandClient& wl, wl_display* display, const Globals& globals)
{
    auto* registry =
        wl.marshal(reinterpret_cast<wl_proxy*>(display), WL_DISPLAY_GET_REGISTRY, wl.registry,
                   wl.version(reinterpret_cast<wl_proxy*>(display)), 0, nullptr);
    auto bind = [&](uint32_t name, const wl_interface* interface) {
        return wl.marshal(registry, WL_REGISTRY_BIND, interface, 1, 0, name, interface->name, 1,
                          nullptr);
    };
    wl_proxy* compositor = bind(globals.compositor, wl.compositor);
    wl_proxy* wmBase = bind(globals.wmBase, &kWmBase);
    wl_proxy* manager = bind(globals.manager, &kManager);
    wl_proxy* surface =
        wl.marshal(compositor, WL_COMPOSITOR_CREATE_SURFACE, wl.surface, 1, 0, nullptr);
    wl_proxy* xdgSurface = wl.marshal(wmBase, 2, &kXdgSurface, 1, 0, nullptr, surface);
    wl_proxy* toplevel = wl.marshal(xdgSurface, 1, &kToplevel, 1, 0, nullptr);
    wl_proxy* decoration = wl.marshal(manager, 1, &kDecoration, 1, 0, nullptr, toplevel);
    uint32_t mode = kServerSide; // a compositor that does not answer is taken at its offer
    static const DecorationListener listener{
        [](void* data, wl_proxy*, uint32_t answered) { *static_cast<uint32_t*>(data) = answered; }};
    wl.addListener(decoration,
                   reinterpret_cast<void (**)(void)>(const_cast<DecorationListener*>(&listener)),
                   &mode);
    wl.marshal(decoration, 1, nullptr, 1, 0, kServerSide);
    wl.marshal(surface, WL_SURFACE_COMMIT, nullptr, 1, 0);
    wl.roundtrip(display);
    for (wl_proxy* proxy : {decoration, toplevel, xdgSurface, surface, manager, wmBase})
        wl.marshal(proxy, 0, nullptr, 1, WL_MARSHAL_FLAG_DESTROY);
    wl.destroy(compositor);
    wl.destroy(registry);
    wl.roundtrip(display);
    return mode == kServerSide;
}
#endif

// Whether the compositor draws title bars itself: it offers xdg-decoration, as KDE's KWin and
// wlroots compositors do, and answers so when asked (Qt asks it too). Asked over a connection of
// its own, before any window is shown. The Wayland client library is found when the question is
// asked, on Wayland only, where Qt's platform plugin has loaded it already: linked into the
// program it would cost every start, on X11 too, a lookup in one more library for each of Qt's
// symbols. Without the library's headers at build time, or the library, the answer is no.
bool compositorDecoratesWindows()
{
#ifdef MORVANE_HAVE_WAYLAND_CLIENT
    void* library = ::dlopen("libwayland-client.so.0", RTLD_LAZY | RTLD_LOCAL);
    if (!library)
        return false;
    WaylandClient wl;
    wl_display* display = nullptr;
    bool decorates = false;
    if (wl.find(library) && (display = wl.connect(nullptr))) {
        Globals globals;
        const wl_registry_listener listener{
            [](void* data, wl_registry*, uint32_t name, const char* interface, uint32_t) {
                auto* g = static_cast<Globals*>(data);
                if (std::strcmp(interface, "wl_compositor") == 0)
                    g->compositor = name;
                else if (std::strcmp(interface, kWmBase.name) == 0)
                    g->wmBase = name;
                else if (std::strcmp(interface, kManager.name) == 0)
                    g->manager = name;
            },
            [](void*, wl_registry*, uint32_t) {},
        };
        // wl_display_get_registry and wl_registry_add_listener, spelled out.
        auto* proxy = reinterpret_cast<wl_proxy*>(display);
        wl_proxy* registry =
            wl.marshal(proxy, WL_DISPLAY_GET_REGISTRY, wl.registry, wl.version(proxy), 0, nullptr);
        wl.addListener(
            registry,
            reinterpret_cast<void (**)(void)>(const_cast<wl_registry_listener*>(&listener)),
            &globals);
        wl.roundtrip(display);
        wl.destroy(registry);
        decorates = globals.manager != 0 && (globals.compositor == 0 || globals.wmBase == 0 ||
                                             answersServerSide(wl, display, globals));
        wl.disconnect(display);
    }
    ::dlclose(library);
    return decorates;
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
