// A small X client the window tests open windows with:
//   test_window TITLE [--keys FILE] [--modal TITLE] [--child NAME] [--class NAME]
//               [--close-after MS] [--count N]
// It shows a 300 x 200 window titled TITLE (as _NET_WM_NAME and WM_NAME),
// writes every key it receives to FILE as a line "KEYSYM MODIFIERS" (the
// keysym's name as the layout types it, modifiers Shift 1, Ctrl 4, Alt 8),
// closes on WM_DELETE_WINDOW (or after MS milliseconds), and ends by itself when the folder named by
// $CASE disappears (the case runner removes it after each case).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void SetTitle(Display* d, Window w, const std::string& title) {
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XStoreName(d, w, title.c_str());
}

Window MakeTop(Display* d, const std::string& title, const std::string& cls) {
    const int s = DefaultScreen(d);
    Window w = XCreateSimpleWindow(d, RootWindow(d, s), 50, 50, 300, 200, 0, BlackPixel(d, s), WhitePixel(d, s));
    SetTitle(d, w, title);
    XClassHint hint{const_cast<char*>("test_window"), const_cast<char*>(cls.c_str())};
    XSetClassHint(d, w, &hint);
    const long pid = getpid();
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    Atom del = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, w, &del, 1);
    XSelectInput(d, w, KeyPressMask | StructureNotifyMask | ButtonPressMask);
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: test_window TITLE [--keys FILE] [--modal TITLE] [--child NAME] [--class NAME]\n");
        return 2;
    }
    std::string title = argv[1], keys, modal, child, cls = "TestWindow";
    long closeAfter = -1;
    int count = 1;  // with more, further windows "TITLE 2" ... "TITLE N" (benchmarks)
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--keys")) keys = argv[i + 1];
        else if (!std::strcmp(argv[i], "--modal")) modal = argv[i + 1];
        else if (!std::strcmp(argv[i], "--child")) child = argv[i + 1];
        else if (!std::strcmp(argv[i], "--class")) cls = argv[i + 1];
        else if (!std::strcmp(argv[i], "--close-after")) closeAfter = std::atol(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--count")) count = std::atoi(argv[i + 1]);
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 1;
    const char* caseDir = std::getenv("CASE");
    Window main = MakeTop(d, title, cls);
    if (!child.empty()) {
        Window c = XCreateSimpleWindow(d, main, 10, 10, 80, 30, 1, BlackPixel(d, 0), WhitePixel(d, 0));
        XStoreName(d, c, child.c_str());
        XSelectInput(d, c, ButtonPressMask);
        XMapWindow(d, c);
    }
    XMapWindow(d, main);
    for (int i = 2; i <= count; ++i) XMapWindow(d, MakeTop(d, title + " " + std::to_string(i), cls));
    if (!modal.empty()) {
        Window m = MakeTop(d, modal, cls);
        XSetTransientForHint(d, m, main);
        Atom state = XInternAtom(d, "_NET_WM_STATE_MODAL", False);
        XChangeProperty(d, m, XInternAtom(d, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&state), 1);
        XMapWindow(d, m);
    }
    XFlush(d);
    const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False), del = XInternAtom(d, "WM_DELETE_WINDOW", False);
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MappingNotify) {
                XRefreshKeyboardMapping(&e.xmapping);
            } else if (e.type == KeyPress && !keys.empty()) {
                char text[16];
                KeySym sym = NoSymbol;
                XLookupString(&e.xkey, text, sizeof text, &sym, nullptr);
                const char* name = XKeysymToString(sym);
                if (FILE* f = std::fopen(keys.c_str(), "a")) {
                    std::fprintf(f, "%s %u\n", name ? name : "NoSymbol",
                                 e.xkey.state & (ShiftMask | ControlMask | Mod1Mask));
                    std::fclose(f);
                }
            } else if (e.type == ButtonPress && !keys.empty()) {
                if (FILE* f = std::fopen(keys.c_str(), "a")) {
                    std::fprintf(f, "button%u %d %d %s\n", e.xbutton.button, e.xbutton.x, e.xbutton.y,
                                 e.xbutton.window == main ? "main" : "child");
                    std::fclose(f);
                }
            } else if (e.type == ClientMessage && e.xclient.message_type == protocols &&
                       static_cast<Atom>(e.xclient.data.l[0]) == del) {
                XCloseDisplay(d);
                return 0;
            }
        }
        struct stat st;
        if (caseDir && stat(caseDir, &st) != 0) break;
        usleep(20000);
        if (closeAfter >= 0 && (closeAfter -= 20) < 0) break;
    }
    XCloseDisplay(d);
    return 0;
}
