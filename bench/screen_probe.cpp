// Times a key from the outside, as a user sees it: types the key on the X
// keyboard (XTEST, into whichever window has the focus) and reads a few
// pixels of the screen until they show what is expected. Used by
// bench/screen-keys; built natively, needs only Xlib and XTest.
//
//   screen_probe sample X,Y ...
//       prints "R G B" of each pixel, one a line
//   screen_probe key KEYSYM [-t MS] [-d TOL] X,Y,R,G,B ...
//       types KEYSYM and waits until every pixel is within TOL (default 40)
//       of its colour in every channel; prints the milliseconds from the key
//       to that, and to the first moment any pixel left its colour of before
//       the key ("-" when none did first); status 1 after MS (default 10000)
//   screen_probe wait [-t MS] [-d TOL] X,Y,R,G,B ...
//       the same without a key; prints the milliseconds waited

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Point {
    int x = 0, y = 0;
    int rgb[3] = {0, 0, 0};
};

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

bool parsePoint(const char* text, bool withColour, Point& p) {
    const int want = withColour ? 5 : 2;
    return std::sscanf(text, "%d,%d,%d,%d,%d", &p.x, &p.y, &p.rgb[0], &p.rgb[1], &p.rgb[2]) == want;
}

// One pixel of the root window, which is what is on the screen.
void readPixel(Display* display, Window root, int x, int y, int rgb[3]) {
    XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        rgb[0] = rgb[1] = rgb[2] = -1;
        return;
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);
    auto channel = [pixel](unsigned long mask) {
        if (!mask) return 0;
        int shift = 0;
        while (!((mask >> shift) & 1)) ++shift;
        const unsigned long max = mask >> shift;
        return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
    };
    rgb[0] = channel(image->red_mask);
    rgb[1] = channel(image->green_mask);
    rgb[2] = channel(image->blue_mask);
    XDestroyImage(image);
}

bool near(const int a[3], const int b[3], int tolerance) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > tolerance) return false;
    return true;
}

int usage() {
    std::fprintf(stderr,
                 "usage: screen_probe sample X,Y ...\n"
                 "       screen_probe key KEYSYM [-t MS] [-d TOL] X,Y,R,G,B ...\n"
                 "       screen_probe wait [-t MS] [-d TOL] X,Y,R,G,B ...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string command = argv[1];
    int arg = 2;
    KeySym keysym = NoSymbol;
    if (command == "key") {
        keysym = XStringToKeysym(argv[arg++]);
        if (keysym == NoSymbol) {
            std::fprintf(stderr, "screen_probe: unknown key %s\n", argv[arg - 1]);
            return 2;
        }
    } else if (command != "sample" && command != "wait") {
        return usage();
    }
    double timeoutMs = 10000;
    int tolerance = 40;
    for (; arg + 1 < argc && argv[arg][0] == '-'; arg += 2) {
        if (!std::strcmp(argv[arg], "-t")) timeoutMs = std::atof(argv[arg + 1]);
        else if (!std::strcmp(argv[arg], "-d")) tolerance = std::atoi(argv[arg + 1]);
        else return usage();
    }
    std::vector<Point> points;
    for (; arg < argc; ++arg) {
        Point p;
        if (!parsePoint(argv[arg], command != "sample", p)) return usage();
        points.push_back(p);
    }
    if (points.empty()) return usage();

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "screen_probe: cannot open the display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);

    if (command == "sample") {
        for (const Point& p : points) {
            int rgb[3];
            readPixel(display, root, p.x, p.y, rgb);
            std::printf("%d %d %d\n", rgb[0], rgb[1], rgb[2]);
        }
        XCloseDisplay(display);
        return 0;
    }

    std::vector<Point> before = points;
    for (Point& p : before) readPixel(display, root, p.x, p.y, p.rgb);
    int dummy1, dummy2, dummy3, dummy4;
    if (keysym != NoSymbol && !XTestQueryExtension(display, &dummy1, &dummy2, &dummy3, &dummy4)) {
        std::fprintf(stderr, "screen_probe: the display has no XTEST\n");
        return 2;
    }
    const KeyCode code = keysym != NoSymbol ? XKeysymToKeycode(display, keysym) : 0;
    const double start = nowMs();
    if (code) {
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XSync(display, False);
    }
    double firstChange = -1;
    const timespec pause{0, 500000};
    for (;;) {
        const double at = nowMs();
        bool all = true;
        for (std::size_t i = 0; i < points.size(); ++i) {
            int rgb[3];
            readPixel(display, root, points[i].x, points[i].y, rgb);
            if (firstChange < 0 && !near(rgb, before[i].rgb, tolerance)) firstChange = at - start;
            if (!near(rgb, points[i].rgb, tolerance)) all = false;
        }
        // Counted to the start of the look that found them: they came between
        // the last look and this one, and looks are under a millisecond apart.
        if (all) {
            if (firstChange >= 0) std::printf("%.1f %.1f\n", at - start, firstChange);
            else std::printf("%.1f -\n", at - start);
            break;
        }
        if (at - start > timeoutMs) {
            std::printf("timeout\n");
            XCloseDisplay(display);
            return 1;
        }
        nanosleep(&pause, nullptr);
    }
    XCloseDisplay(display);
    return 0;
}
