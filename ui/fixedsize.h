#pragma once

// Windows of a fixed size (minimum size equal to maximum size) stay at that size when the
// desktop maximises them or makes them full screen.
//
// On X11 the window manager reads the size hints and offers neither. A Wayland compositor may
// grant either all the same: Weston does, for its super+shift+M binding and for the maximise
// button that Qt 6.4's own title bar (the "bradient" decoration) draws on every window, whatever
// its flags and size. A maximised window must then fill exactly the size the compositor chose;
// Qt keeps the window at its fixed size, acknowledges the state, and the next frame it draws
// ends the connection with a protocol error, and with it the program. Asking for the normal state
// at once does not help on Weston 10: it compares the request with the last state a frame was
// drawn in, which is still the normal one, and answers nothing.
//
// keepFixedWindowsAtTheirSize() therefore draws nothing in a window the compositor has made
// maximised, and asks for full screen instead: a state that a smaller window may fill (the
// compositor centres it) and that the compositor answers with a new configuration. Once full
// screen is granted, the window draws a frame in it and asks for the normal state, which the
// compositor then grants. Elsewhere (X11) the normal state is asked for directly. Either way the
// window never leaves its size, and the program goes on.
//
// It must run after the application object exists; calling it again does nothing.

namespace morvane {

void keepFixedWindowsAtTheirSize();

} // namespace morvane
