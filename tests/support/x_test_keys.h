#pragma once

// A person's keyboard on an X display, through the XTEST extension: the server makes the
// key events, auto-repeat included, as it does for a real keyboard. Also a second client
// listening to a window's keys, as other input libraries do.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

class XTestKeys {
public:
    explicit XTestKeys(const std::string& display) : m_display(XOpenDisplay(display.c_str())) {}
    ~XTestKeys()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    XTestKeys(const XTestKeys&) = delete;
    XTestKeys& operator=(const XTestKeys&) = delete;

    bool available()
    {
        int event = 0;
        int error = 0;
        int major = 0;
        int minor = 0;
        return m_display && XTestQueryExtension(m_display, &event, &error, &major, &minor);
    }
    Display* display() const { return m_display; }

    void press(KeySym key) { send(key, true); }
    void release(KeySym key) { send(key, false); }
    // Presses and releases the keys in order, the releases in reverse, holding the last.
    void chord(const std::vector<KeySym>& keys, std::chrono::milliseconds hold = std::chrono::milliseconds(50))
    {
        for (KeySym key : keys)
            press(key);
        std::this_thread::sleep_for(hold);
        for (auto key = keys.rbegin(); key != keys.rend(); ++key)
            release(*key);
    }

    // The top-level windows on show (without a window manager: the programs' own).
    std::vector<Window> shownWindows()
    {
        std::vector<Window> shown;
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
            return shown;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(m_display, children[i], &attributes) && attributes.map_state == IsViewable)
                shown.push_back(children[i]);
        }
        if (children)
            XFree(children);
        return shown;
    }
    // The keyboard's focus to the window.
    void focus(Window window)
    {
        XSetInputFocus(m_display, window, RevertToPointerRoot, CurrentTime);
        XSync(m_display, False);
    }
    // This connection asks for the window's key events too: a second client on it.
    void listenToKeys(Window window)
    {
        XSelectInput(m_display, window, KeyPressMask | KeyReleaseMask);
        XSync(m_display, False);
    }
    // Key events this connection received so far (as a second client): presses, releases.
    std::pair<int, int> drainKeyEvents()
    {
        std::pair<int, int> counts;
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            counts.first += event.type == KeyPress;
            counts.second += event.type == KeyRelease;
        }
        return counts;
    }

private:
    void send(KeySym key, bool down)
    {
        XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, key), down ? True : False, CurrentTime);
        XSync(m_display, False);
    }

    Display* m_display;
};
