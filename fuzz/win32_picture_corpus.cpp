// Decodes every file of a picture corpus (fuzz/make-picture-corpus) the way
// the viewer does, at 1920 x 1080, and reports what happened (run under Wine).
//
//   picture_corpus.exe DIR         one loader for all files, as in a show; fails
//                                  when the process's own memory grew past 512 MB
//   picture_corpus.exe --each DIR  every file in a process of its own, ended
//                                  from outside after 30 s: crashes, hangs and
//                                  peak memory of each

#include <windows.h>

#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/decode_worker.h"
#include "platform/win32/text_conv.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_picture_loader.h"

namespace {

namespace win32 = pictavo::platform::win32;
using Clock = std::chrono::steady_clock;

constexpr DWORD kOutsideLimitMs = 30000;
constexpr double kSlowMs = 5000, kLargeMb = 1024;
constexpr double kViewerMemoryBoundMb = 512;

double mb(SIZE_T bytes) { return static_cast<double>(bytes) / (1 << 20); }

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<std::wstring> filesIn(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    win32::unique_hfind find(FindFirstFileW((dir + L"\\*").c_str(), &data));
    if (!find) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(dir + L"\\" + data.cFileName);
    } while (FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

win32::Win32PictureLoader::Options fullHd() {
    win32::Win32PictureLoader::Options options;
    options.screen = win32::ScreenSize{1920, 1080, 96};
    return options;
}

PROCESS_MEMORY_COUNTERS countersOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    return counters;
}

int decodeOne(const std::wstring& file) {
    win32::Win32PictureLoader loader(fullHd());
    return loader.load(win32::narrow(file)) ? 0 : 1;
}

int eachInAProcessOfItsOwn(const std::wstring& dir) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    int loaded = 0, refused = 0, crashed = 0, hung = 0, slow = 0, large = 0;
    double peakMb = 0, slowestMs = 0;
    std::string peakFile, slowestFile;
    const std::vector<std::wstring> files = filesIn(dir);
    for (const std::wstring& file : files) {
        std::wstring command = L"\"" + std::wstring(self) + L"\" --one \"" + file + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        const Clock::time_point start = Clock::now();
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
            return 2;
        win32::unique_handle process(info.hProcess), thread(info.hThread);
        const std::string name = win32::narrow(file.substr(file.rfind(L'\\') + 1));
        DWORD code = 0;
        if (WaitForSingleObject(process.get(), kOutsideLimitMs) == WAIT_TIMEOUT) {
            ++hung;
            std::printf("  hang: %s\n", name.c_str());
        } else if (GetExitCodeProcess(process.get(), &code) && code <= 1) {
            ++(code == 0 ? loaded : refused);
        } else {
            ++crashed;
            std::printf("  crash 0x%08lX: %s\n", static_cast<unsigned long>(code), name.c_str());
        }
        const double ms = msSince(start);
        const PROCESS_MEMORY_COUNTERS counters = countersOf(process.get());
        const double peak = mb(std::max(counters.PeakPagefileUsage, counters.PeakWorkingSetSize));
        TerminateProcess(process.get(), 3);
        WaitForSingleObject(process.get(), INFINITE);
        if (ms > kSlowMs) ++slow, std::printf("  %.1f s: %s\n", ms / 1000, name.c_str());
        if (peak > kLargeMb) ++large, std::printf("  %.0f MB: %s\n", peak, name.c_str());
        if (peak > peakMb) peakMb = peak, peakFile = name;
        if (ms > slowestMs) slowestMs = ms, slowestFile = name;
    }
    std::printf("%zu files: %d loaded, %d refused, %d crashed, %d hung past %lu s\n", files.size(), loaded, refused,
                crashed, hung, static_cast<unsigned long>(kOutsideLimitMs / 1000));
    std::printf("%d took over %.0f s, %d over %.0f MB; peak memory of one process %.0f MB (%s); slowest %.0f ms (%s)\n",
                slow, kSlowMs / 1000, large, kLargeMb, peakMb, peakFile.c_str(), slowestMs, slowestFile.c_str());
    return 0;
}

int allInOneShow(const std::wstring& dir) {
    win32::Win32PictureLoader loader(fullHd());
    int loaded = 0, refused = 0;
    double slowestMs = 0;
    std::string slowestFile;
    const std::vector<std::wstring> files = filesIn(dir);
    const Clock::time_point start = Clock::now();
    for (const std::wstring& file : files) {
        const Clock::time_point one = Clock::now();
        ++(loader.load(win32::narrow(file)) ? loaded : refused);
        const double ms = msSince(one);
        if (ms > slowestMs) slowestMs = ms, slowestFile = win32::narrow(file.substr(file.rfind(L'\\') + 1));
    }
    const win32::Win32PictureLoader::Stats stats = loader.stats();
    const PROCESS_MEMORY_COUNTERS own = countersOf(GetCurrentProcess());
    const double viewerPeakMb = mb(std::max(own.PeakPagefileUsage, own.PeakWorkingSetSize));
    std::printf("%zu files in %.1f s: %d loaded, %d refused\n", files.size(), msSince(start) / 1000, loaded, refused);
    std::printf("decoding worker: %d started (first ready after %.0f ms), %d crashed, %d stopped at the time limit, "
                "%d stopped at the memory limit, its peak memory %.0f MB\n",
                stats.isolation.started, stats.isolation.firstStartMs, stats.isolation.crashed,
                stats.isolation.timedOut, stats.isolation.overMemory, stats.isolation.peakMemoryMb);
    std::printf("viewer's peak memory %.0f MB; slowest file %.0f ms (%s)\n", viewerPeakMb, slowestMs,
                slowestFile.c_str());
    if (viewerPeakMb > kViewerMemoryBoundMb) {
        std::printf("FAILED: the viewer's memory grew past %.0f MB\n", kViewerMemoryBoundMb);
        return 1;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (const auto served = win32::serveDecodeWorkerIfAsked()) return *served;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (argc == 3 && std::wstring(argv[1]) == L"--one") return decodeOne(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"--each") return eachInAProcessOfItsOwn(argv[2]);
    if (argc == 2) return allInOneShow(argv[1]);
    std::printf("usage: picture_corpus [--each] DIR\n");
    return 2;
}
