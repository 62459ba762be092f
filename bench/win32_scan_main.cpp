// Benchmarks of the scan on the Windows backend (run under Wine):
// reading a kept index of 100,000 lines, and a full scan of a tree of
// 20,000 pictures in 500 directories through the command interpreter.

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_platform.h"
#include "scan_bench.h"

namespace {

std::string temporaryRoot() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    std::string dir = pictavo::platform::win32::narrow(std::wstring_view(buffer, length));
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    return dir;
}

// 20,000 empty files named like pictures in 500 directories.
bool makeTree(const std::string& root, int directories, int perDirectory) {
    using pictavo::platform::win32::widen;
    CreateDirectoryW(widen(root).c_str(), nullptr);
    for (int d = 0; d < directories; ++d) {
        const std::string dir = root + "\\Ordner " + std::to_string(d);
        CreateDirectoryW(widen(dir).c_str(), nullptr);
        for (int i = 0; i < perDirectory; ++i) {
            const std::string file = dir + "\\Bild " + std::to_string(i) + ".jpg";
            HANDLE h = CreateFileW(widen(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (h == INVALID_HANDLE_VALUE) return false;
            CloseHandle(h);
        }
    }
    return true;
}

}  // namespace

// The program under test reads its own command line, so the benchmark takes
// no arguments; PICTAVO_BENCH_KEPT_ONLY=1 skips the full scan.
int wmain() {
    pictavo::platform::win32::Win32Platform real(GetModuleHandleW(nullptr));
    auto platform = real.platform();
    const std::string root = temporaryRoot();
    pictavo::bench::readKeptIndex(platform, root, 100000, 500, "win32 backend, kept index");
    if (GetEnvironmentVariableW(L"PICTAVO_BENCH_KEPT_ONLY", nullptr, 0) > 0) return 0;
    const std::string tree = root + "\\PictavoBenchTree";
    if (!makeTree(tree, 500, 40)) {
        std::printf("could not create the tree below %s\n", tree.c_str());
        return 1;
    }
    pictavo::bench::scanFresh(platform, tree + "\\*.*", "win32 backend, full scan through the interpreter");
    return 0;
}
