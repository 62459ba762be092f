#include "win32_show_keys.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "core/index_file_name.h"
#include "core/settings.h"
#include "platform/key_codes.h"
#include "platform/win32/text_conv.h"
#include "platform/win32/win32_form.h"
#include "program/app.h"
#include "program/frm_pic.h"
#include "program/run_now.h"
#include "program/shared_state.h"
#include "timing_windows.h"

namespace pictavo::bench {

namespace {

namespace win32 = platform::win32;
using Clock = std::chrono::steady_clock;
using namespace platform::keys;

constexpr int kDirectories = 4;
constexpr int kPerDirectory = 5;

// From the first picture of the first directory: two steps on, one back,
// the next directory and back to the first, then past both ends of the list.
constexpr struct {
    int key;
    const char* name;
} kKeys[] = {{kRight, "Right  1 -> 2"},  {kRight, "Right  2 -> 3"}, {kLeft, "Left   3 -> 2"},
             {kDown, "Down   2 -> 6"},   {kUp, "Up     6 -> 1"},   {kLeft, "Left   1 -> 20 (first of a directory)"},
             {kRight, "Right 20 -> 1 (the last picture)"}};
constexpr std::size_t kKeyCount = std::size(kKeys);

// Gives the loader no list of pictures ahead: every picture is decoded when
// it is asked for.
class ColdLoader final : public platform::PictureLoader {
public:
    explicit ColdLoader(platform::PictureLoader& inner) : inner_(inner) {}
    std::shared_ptr<const platform::Picture> load(const std::string& path) override { return inner_.load(path); }
    void prefetch(std::vector<std::string>) override {}
    bool ready(const std::string& path, std::function<void()> wake) override {
        return inner_.ready(path, std::move(wake));
    }
    void prepare() override { inner_.prepare(); }

private:
    platform::PictureLoader& inner_;
};

// Types the key as the keyboard does: down and up, through the system's
// input queue into the window that has the keyboard focus, rather than as a
// message to a window of the benchmark's choice. Falls back to a posted
// message when no window of this program has the focus, since the key would
// otherwise be lost and the show never end; the caller counts those.
bool typeKey(int key, HWND fallback) {
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    if (process != GetCurrentProcessId()) {
        PostMessageW(fallback, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
        return false;
    }
    const bool extended = key == kLeft || key == kRight || key == kUp || key == kDown;
    INPUT input[2]{};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = static_cast<WORD>(key);
    input[0].ki.wScan = static_cast<WORD>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC));
    input[0].ki.dwFlags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
    input[1] = input[0];
    input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    return SendInput(2, input, sizeof(INPUT)) == 2;
}

// The process's peak only grows over the runs; its working set is sampled
// at every picture instead.
double workingSetMb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.WorkingSetSize) / (1 << 20);
}

void appendUtf16(std::string& out, const std::string& text) {
    for (wchar_t c : win32::widen(text)) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
}

// The tree, and its index as the interpreter's listing would keep it.
std::string makeTree(platform::Platform& p, const std::vector<std::string>& photos) {
    const std::string root = temporaryDirectory(p.system.environment("TMP"), p.system.environment("TEMP")) +
                             "PictavoBenchShow";
    CreateDirectoryW(win32::widen(root).c_str(), nullptr);
    std::string listing, pictures;
    for (int d = 0; d < kDirectories; ++d) {
        const std::string dir = root + "\\Ordner " + std::to_string(d + 1);
        CreateDirectoryW(win32::widen(dir).c_str(), nullptr);
        appendUtf16(listing, dir + "\r\n");
        for (int i = 0; i < kPerDirectory; ++i) {
            const std::string& photo = photos[static_cast<std::size_t>(d * kPerDirectory + i) % photos.size()];
            const std::string file = dir + "\\Bild " + std::to_string(i + 1) + ".jpg";
            if (!CreateHardLinkW(win32::widen(file).c_str(), win32::widen(photo).c_str(), nullptr))
                CopyFileW(win32::widen(photo).c_str(), win32::widen(file).c_str(), FALSE);
            appendUtf16(pictures, file + "\r\n");
        }
    }
    const std::string source = root + "\\*.*";
    p.files.writeFile(indexFileName(source, p.system.environment("TMP"), p.system.environment("TEMP")),
                      "\xFF\xFE" + listing + pictures);
    return source;
}

struct Run {
    double first = 0;          // from Start to the first picture
    std::vector<double> keys;  // from each key to its picture
    std::string shown;         // the pictures' numbers, in order
    platform::PicturePrefetcher::Counts worker;
    platform::win32::IsolatedDecoder::Stats isolation;
    double peakMb = 0;
    double escMs = 0;  // from an Esc during a decode to the end of the show
    int posted = 0;    // keys posted, the show's windows not having the focus
};

struct Setting {
    const char* name;
    bool ahead;    // pictures decoded ahead at all
    int waitMs;    // display time before each key
    bool isolated; // decoded in the worker process
    bool escWhileDecoding = false;  // Esc as soon as the second picture is being decoded
};
constexpr int kDisplayMs = 4000;
constexpr Setting kSettings[] = {{"cold, here", false, 0, false},   {"cold, worker", false, 0, true},
                                 {"at once, worker", true, 0, true}, {"4 s, here", true, kDisplayMs, false},
                                 {"4 s, worker", true, kDisplayMs, true}};

// One show with the keys above, each pressed after the display time.
Run runShow(win32::Win32Platform& real, const std::string& source, const Setting& setting) {
    const bool ahead = setting.ahead;
    const int waitMs = setting.waitMs;
    win32::Win32PictureLoader::Options options;
    options.isolated = setting.isolated;
    win32::Win32PictureLoader loader(options);
    ColdLoader cold(loader);
    TimingWindows windows(real.windows);
    platform::Platform p{windows,    real.settings, real.system, real.files,
                         real.clock, ahead ? static_cast<platform::PictureLoader&>(loader) : cold,
                         real.effects};
    for (const auto& [key, value] : {std::pair{"SourceFile", source}, {"SubScan", "1"}, {"SaveIndex", "1"},
                                     {"Loop", "1"}, {"Wait", "0"}, {"DisplayName", "1"}, {"Shadow", "0"},
                                     {"Transparence", "0"}, {"Continue", "0"}, {"ContinueDir", ""}})
        real.settings.write(kSettingsApp, kSettingsSection, key, value);

    Run run;
    std::size_t next = 0;
    Clock::time_point pressed;
    App* show = nullptr;
    windows.beforeModalLoop = [&](platform::NativeForm& modal, const auto& forms) {
        const auto wait = forms.find("FrmWait");
        const auto picture = forms.find("FrmPic");
        if (wait == forms.end() || wait->second != &modal || picture == forms.end()) return;
        // The wait also takes keys while a picture is being decoded; the
        // caption tells when the new picture is there.
        const int position = show->shared().list.PicPos;
        if (show->frmPic().LBild1.text().find(" [" + std::to_string(position) + "/") == std::string::npos) {
            if (setting.escWhileDecoding && next == 1) {
                ++next;
                pressed = Clock::now();
                if (!typeKey(kEscape, static_cast<win32::Win32Form&>(modal).hwnd())) ++run.posted;
            }
            return;
        }
        // What the modal wait paints first: what the new picture changed in
        // the picture window, and only that, as its paint messages would.
        // Under Wine a window's pixels go to the screen when its thread next
        // waits: a wait of no time sends them now.
        RedrawWindow(static_cast<win32::Win32Form&>(*picture->second).hwnd(), nullptr, nullptr,
                     RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
        if (next == 0) run.first = ms;
        else run.keys.push_back(ms);
        run.peakMb = std::max(run.peakMb, workingSetMb());
        run.shown += ' ';
        run.shown += std::to_string(position);
        const Clock::time_point shown = Clock::now();
        while (Clock::now() - shown < std::chrono::milliseconds(waitMs)) {
            windows.doEvents();
            Sleep(5);
        }
        const int key = next < kKeyCount ? kKeys[next].key : kEscape;
        ++next;
        pressed = Clock::now();
        if (!typeKey(key, static_cast<win32::Win32Form&>(modal).hwnd())) ++run.posted;
    };

    App app(p);
    show = &app;
    app.mainControls().window.load();
    // As the user would type it: the benchmark's own command line names the
    // program's source otherwise.
    app.mainControls().TQD.setText(source);
    pressed = Clock::now();
    RunNow(app);
    if (setting.escWhileDecoding)
        run.escMs = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
    run.worker = loader.stats().worker;
    run.isolation = loader.stats().isolation;
    return run;
}

// How long hiding a shown, activated window takes. Wine leaves such a window
// to the window manager and waits up to 2 s for it to confirm each hide; on
// a display with none, every key of the show waits that long, for the user
// as for this benchmark.
double hideMs() {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) return 0;
    ShowWindow(window, SW_SHOW);
    const Clock::time_point start = Clock::now();
    ShowWindow(window, SW_HIDE);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    DestroyWindow(window);
    return ms;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

void showKeys(win32::Win32Platform& real, const std::vector<std::string>& photos) {
    if (const double ms = hideMs(); ms > 500)
        std::printf("hiding a window took %.0f ms: Wine is waiting for a window manager that does not answer, and "
                    "every key below waits as long; run under a window manager, or with Wine's windows unmanaged "
                    "(HKCU\\Software\\Wine\\X11 Driver, Managed = N) as tests/e2e/lib.sh sets up a bare desktop\n",
                    ms);
    platform::Platform p = real.platform();
    const std::string source = makeTree(p, photos);
    std::vector<Run> runs;
    for (const Setting& setting : kSettings) runs.push_back(runShow(real, source, setting));
    std::printf("the show's keys on %d directories of %d pictures, endless loop: ms from the key to its picture "
                "painted\n",
                kDirectories, kPerDirectory);
    std::printf("  keys pressed at once or after %d ms; decoded in the program itself (here) or in the worker\n",
                kDisplayMs);
    std::printf("  %-40s", "");
    for (const Setting& setting : kSettings) std::printf(" %16s", setting.name);
    std::printf("\n");
    auto row = [&](const char* name, auto value) {
        std::printf("  %-40s", name);
        for (const Run& run : runs) std::printf(" %16.1f", static_cast<double>(value(run)));
        std::printf("\n");
    };
    row("first picture of the show", [](const Run& r) { return r.first; });
    for (std::size_t k = 0; k < kKeyCount; ++k)
        row(kKeys[k].name, [k](const Run& r) { return k < r.keys.size() ? r.keys[k] : -1.0; });
    row("median of the keys", [](const Run& r) { return median(r.keys); });
    row("worst of the keys", [](const Run& r) {
        return r.keys.empty() ? 0.0 : *std::max_element(r.keys.begin(), r.keys.end());
    });
    row("decoded pictures alive at once, at most", [](const Run& r) { return r.worker.peakAlive; });
    row("working set at a picture, at most, MB", [](const Run& r) { return r.peakMb; });
    row("the worker's peak memory, MB", [](const Run& r) { return r.isolation.peakMemoryMb; });
    row("decodes started", [](const Run& r) { return r.worker.started; });
    row("decodes stopped under way", [](const Run& r) { return r.worker.stopped; });
    row("pictures shown without waiting", [](const Run& r) { return r.worker.served; });
    row("worker ready after its start, ms", [](const Run& r) { return r.isolation.firstStartMs; });
    row("workers started", [](const Run& r) { return r.isolation.started; });
    row("keys posted, no window of the show focused", [](const Run& r) { return r.posted; });
    for (const Run& run : runs) std::printf("  pictures shown:%s\n", run.shown.c_str());
    const Run esc = runShow(real, source, {"Esc", false, 0, true, true});
    std::printf("  Esc while the next picture is decoded in the worker: the show ended %.1f ms later "
                "(a cold picture takes %.1f ms)\n",
                esc.escMs, median(runs[1].keys));
}

}  // namespace pictavo::bench
