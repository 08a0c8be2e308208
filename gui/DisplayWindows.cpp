#include "gui/DisplayWindows.h"

#include <X11/Xlib.h>

#include <chrono>

#include "tests/support/TestSupport.h"

namespace gui {

namespace {

// A window may go between finding it and asking about it; Xlib's own
// handler would end the test for that.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

struct TAtoms {
    Atom NetWmName, Utf8String, WmProtocols, WmDeleteWindow;
};

std::string Caption(Display* display, Window window, const TAtoms& atoms) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, atoms.NetWmName, 0, 1024, False, atoms.Utf8String, &type, &format, &count,
                           &after, &data) != Success ||
        !data)
        return {};
    std::string caption(reinterpret_cast<const char*>(data), count);
    XFree(data);
    return caption;
}

// The topmost shown window of that caption under `parent`; a window
// manager's frames put the program's windows a level or two down.
Window FindShown(Display* display, Window parent, const std::string& caption, const TAtoms& atoms, int depth) {
    Window root = 0, parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &parentOfParent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = count; i-- > 0 && found == 0;) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        if (Caption(display, children[i], atoms) == caption) {
            found = children[i];
        } else if (depth > 0) {
            found = FindShown(display, children[i], caption, atoms, depth - 1);
        }
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

bool CloseWindowByCaption(const std::string& caption, int ms, const std::function<void()>& idle) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const XErrorHandler previous = XSetErrorHandler(IgnoreError);
    const TAtoms atoms{XInternAtom(display, "_NET_WM_NAME", False), XInternAtom(display, "UTF8_STRING", False),
                       XInternAtom(display, "WM_PROTOCOLS", False), XInternAtom(display, "WM_DELETE_WINDOW", False)};
    Window window = 0;
    testsupport::WaitUntil(
        [&] { return (window = FindShown(display, DefaultRootWindow(display), caption, atoms, 2)) != 0; },
        std::chrono::milliseconds(ms), idle);
    if (window != 0) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = atoms.WmProtocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(atoms.WmDeleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
    }
    XCloseDisplay(display);
    XSetErrorHandler(previous);
    return window != 0;
}

}  // namespace gui
