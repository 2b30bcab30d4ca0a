# Sourced by ./run and ./test: installs the Debian packages that are missing, and nothing else.

# What building the program needs.
MORVANE_BUILD_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    qt6-l10n-tools qt6-tools-dev
    qt6-charts-dev libqt6opengl6-dev
    libmspack-dev fp-utils libwayland-dev
    fonts-ipafont-gothic fonts-ipafont-mincho
)

# What the tests need on top: a real X server and a way to drive it, Weston and Qt's Wayland
# platform for the same drive on Wayland, a private session bus with the accessibility bus and
# Python's bindings to read the accessibility tree, Qt's private headers to switch on its
# accessibility events inside a test, sanitizer and fuzzer runtimes, Google
# Benchmark, the formatting check, the desktop-file validators and the package tools. The build
# leaves out what it cannot find of these, so ./run needs none.
MORVANE_TEST_PACKAGES=(
    xvfb xauth xdotool imagemagick x11-utils weston qt6-wayland
    dbus-x11 at-spi2-core python3-gi gir1.2-atspi-2.0 python3-pyatspi qt6-base-private-dev
    clang libclang-rt-14-dev libbenchmark-dev clang-format
    appstream desktop-file-utils dpkg-dev file lintian
)

# What ./run needs: Qt's Wayland platform, which Qt 6.4 prefers to X11 on a Wayland desktop
# (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE=wayland) and passes over silently for X11 when it is
# missing; and what shows the window without a display.
MORVANE_RUN_PACKAGES=(qt6-wayland xvfb xauth xdotool imagemagick x11-utils)

ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        if [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" != "installed" ]; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "These packages are missing and sudo is not available: ${missing[*]}" >&2
            return 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends \
        "${missing[@]}"
}
