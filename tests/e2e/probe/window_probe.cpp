// Reads, from outside the program, what a screenshot cannot show: whether a
// top-level window is layered, its opacity, and its class's drop shadow.
// Usage: window_probe.exe "<window title>"

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_probe <title>\n");
        return 2;
    }
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window) {
        std::printf("found=0\n");
        return 1;
    }
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    const ULONG_PTR classStyle = GetClassLongPtrW(window, GCL_STYLE);
    BYTE alpha = 255;
    DWORD flags = 0;
    COLORREF key = 0;
    const bool layered = (exStyle & WS_EX_LAYERED) != 0;
    if (layered && !GetLayeredWindowAttributes(window, &key, &alpha, &flags)) flags = 0;
    std::printf("found=1\nlayered=%d\nalpha=%u\nalphaflag=%d\nshadow=%d\nvisible=%d\n", layered ? 1 : 0,
                static_cast<unsigned>(alpha), (flags & LWA_ALPHA) ? 1 : 0, (classStyle & CS_DROPSHADOW) ? 1 : 0,
                IsWindowVisible(window) ? 1 : 0);
    return 0;
}
