// Sends keys through XTEST, as xdotool does, and says when each reached
// the X server: reads lines "down KEY" or "up KEY" (KEY an X keysym name
// such as Right) on standard input and, for each, writes the wall-clock
// time in seconds just after the server has taken the event (XSync), so
// that a key's time does not include starting a program.
//
//   DISPLAY=... zultmirax-xtest-keys
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

double NowS() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

}  // namespace

int main() {
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "zultmirax-xtest-keys: cannot open the display\n");
        return 1;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (XTestQueryExtension(display, &event, &error, &major, &minor) == 0) {
        std::fprintf(stderr, "zultmirax-xtest-keys: the X server has no XTEST\n");
        return 1;
    }
    char line[256];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        char what[16] = {};
        char name[128] = {};
        if (std::sscanf(line, "%15s %127s", what, name) != 2 ||
            (std::strcmp(what, "down") != 0 && std::strcmp(what, "up") != 0)) {
            std::fprintf(stderr, "zultmirax-xtest-keys: not 'down KEY' or 'up KEY': %s", line);
            return 2;
        }
        const KeySym sym = XStringToKeysym(name);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
        if (code == 0) {
            std::fprintf(stderr, "zultmirax-xtest-keys: no key '%s'\n", name);
            return 2;
        }
        XTestFakeKeyEvent(display, code, std::strcmp(what, "down") == 0 ? True : False, CurrentTime);
        XSync(display, False);
        std::printf("%.6f\n", NowS());
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
