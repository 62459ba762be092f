// Benchmark of the picture pipeline on the Windows backend (run under Wine):
// from a picture requested to it on the screen, decoded when asked for, in a
// worker process or in the program itself; the memory it takes; and the
// show's navigation keys, cold and decoded ahead; and the kept index read as
// bench_scan.exe reads it, so that one run gives all figures of one machine.
//
//   bench/make-bench-pictures /tmp/bench-pictures
//   wine build/win64/bench/bench_pictures.exe 'Z:\tmp\bench-pictures'
// PICTAVO_BENCH_KEYS_ONLY=1 times the show's keys alone.

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/win32/decode_worker.h"
#include "platform/win32/text_conv.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_picture.h"
#include "platform/win32/win32_platform.h"
#include "program/disp_pic.h"
#include "scan_bench.h"
#include "win32_show_keys.h"

namespace {

namespace platform = pictavo::platform;
namespace win32 = pictavo::platform::win32;
using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Memory {
    double peakWorkingSetMb = 0, peakPagefileMb = 0;
};

Memory memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return {static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20),
            static_cast<double>(counters.PeakPagefileUsage) / (1 << 20)};
}

std::vector<std::string> picturesIn(const std::string& folder, const wchar_t* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((win32::widen(folder) + L"\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        names.push_back(folder + "\\" + win32::narrow(data.cFileName));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// The picture window as the program has it: black, borderless, the whole
// screen, with the image control the picture goes into.
platform::FormLayout pictureWindow() {
    platform::FormLayout layout{.name = "FrmPic", .border = platform::Border::None, .backColor = platform::rgb(0, 0, 0)};
    layout.controls = {{.name = "Image1", .kind = platform::ControlKind::Image, .width = 15, .height = 15}};
    return layout;
}

// The steps the program takes with a loaded picture, then a synchronous
// repaint of the whole window.
void present(platform::Form& form, const std::shared_ptr<const platform::Picture>& picture,
             const platform::ScreenMetrics& screen) {
    platform::Control& image = form["Image1"];
    const float sw = static_cast<float>(screen.widthPx * screen.twipsPerPixelX);
    const float sh = static_cast<float>(screen.heightPx * screen.twipsPerPixelY);
    image.setVisible(false);
    pictavo::placeFitted(image, picture, sw, sh);
    image.setVisible(true);
    form.refresh();
    GdiFlush();
}

struct Sample {
    double total = 0, decode = 0, scale = 0, load = 0, present = 0;
};

// Whether the image control is exactly as large as the decoded bitmap, so
// that it is drawn 1:1.
bool drawnOneToOne(platform::Form& form, const std::shared_ptr<const platform::Picture>& picture) {
    const auto* bitmap = dynamic_cast<const win32::Win32Picture*>(picture.get());
    RECT client{};
    if (!bitmap || !GetClientRect(static_cast<win32::Win32Form&>(*form.native()).controlWindow(0), &client))
        return false;
    return client.right == bitmap->bitmapWidth() && client.bottom == bitmap->bitmapHeight();
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double worst(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

void report(const char* title, const std::vector<Sample>& samples) {
    auto column = [&](double Sample::*field) {
        std::vector<double> values;
        for (const Sample& s : samples) values.push_back(s.*field);
        return values;
    };
    std::printf("%s: %zu pictures\n", title, samples.size());
    std::printf("  requested -> on screen: median %.1f ms, worst %.1f ms\n", median(column(&Sample::total)),
                worst(column(&Sample::total)));
    std::printf("  load():  median %.1f ms, worst %.1f ms (decode median %.1f ms, scale median %.1f ms)\n",
                median(column(&Sample::load)), worst(column(&Sample::load)), median(column(&Sample::decode)),
                median(column(&Sample::scale)));
    std::printf("  present: median %.1f ms, worst %.1f ms\n", median(column(&Sample::present)),
                worst(column(&Sample::present)));
}

// Each picture decoded when it is asked for, as nothing was decoded ahead.
void goThrough(const char* title, platform::Form& form, const std::vector<std::string>& files,
               const platform::ScreenMetrics& screen, bool isolated) {
    win32::Win32PictureLoader::Options options;
    options.isolated = isolated;
    win32::Win32PictureLoader loader(options);
    std::vector<Sample> samples;
    int oneToOne = 0;
    for (const std::string& file : files) {
        const Clock::time_point requested = Clock::now();
        const auto picture = loader.load(file);
        const Clock::time_point loaded = Clock::now();
        present(form, picture, screen);
        const Clock::time_point shown = Clock::now();
        if (!picture) std::printf("  could not load %s\n", file.c_str());
        if (drawnOneToOne(form, picture)) ++oneToOne;
        const win32::DecodeTimes times = loader.stats().lastDecode;
        samples.push_back({msBetween(requested, shown), times.decodeMs, times.scaleMs, msBetween(requested, loaded),
                           msBetween(loaded, shown)});
    }
    report(title, samples);
    std::printf("  drawn 1:1 (control as large as the bitmap): %d of %zu\n", oneToOne, files.size());
    const win32::IsolatedDecoder::Stats isolation = loader.stats().isolation;
    if (isolated && isolation.started)
        std::printf("  decoding worker ready %.0f ms after its start, its peak memory %.0f MB\n",
                    isolation.firstStartMs, isolation.peakMemoryMb);
}

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(win32::widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::string readFile(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileW(win32::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) bytes.clear();
    CloseHandle(file);
    return bytes;
}

// A real JPEG whose frame header is changed to claim 30,000 x 30,000 pixels.
std::string hugeJpeg(std::string bytes) {
    for (std::size_t i = 2; i + 9 < bytes.size(); ++i) {
        const auto marker = static_cast<unsigned char>(bytes[i + 1]);
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            const char size[] = {0x75, 0x30, 0x75, 0x30};  // 30000, 30000
            std::memcpy(&bytes[i + 5], size, 4);
            return bytes;
        }
    }
    return {};
}

// A PNG whose header claims 30,000 x 30,000 pixels of RGBA, then one tiny
// compressed row and the end.
std::string hugePng() {
    std::string png("\x89PNG\r\n\x1a\n", 8);
    auto chunk = [&](const char* type, const std::string& data) {
        const auto length = static_cast<std::uint32_t>(data.size());
        for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<char>(length >> shift));
        const std::string body = std::string(type, 4) + data;
        png += body;
        const std::uint32_t crc = crc32(reinterpret_cast<const unsigned char*>(body.data()), body.size());
        for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<char>(crc >> shift));
    };
    chunk("IHDR", std::string("\x00\x00\x75\x30\x00\x00\x75\x30\x08\x06\x00\x00\x00", 13));
    chunk("IDAT", std::string("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9));
    chunk("IEND", "");
    return png;
}

void tryHuge(const char* what, const std::string& path) {
    win32::Win32PictureLoader loader;
    const Clock::time_point start = Clock::now();
    const auto picture = loader.load(path);
    const double ms = msBetween(start, Clock::now());
    const Memory m = memory();
    if (picture)
        std::printf("%s: loaded, natural %d x %d, in %.1f ms; peak working set %.0f MB, peak pagefile %.0f MB\n",
                    what, picture->widthPx(), picture->heightPx(), ms, m.peakWorkingSetMb, m.peakPagefileMb);
    else
        std::printf("%s: refused (null picture) in %.1f ms; peak working set %.0f MB, peak pagefile %.0f MB\n", what,
                    ms, m.peakWorkingSetMb, m.peakPagefileMb);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (const auto served = win32::serveDecodeWorkerIfAsked()) return *served;
    if (argc < 2) {
        std::printf("usage: bench_pictures FOLDER (made by bench/make-bench-pictures)\n");
        return 2;
    }
    const std::string folder = win32::narrow(argv[1]);
    const std::vector<std::string> photos = picturesIn(folder, L"*.jpg");
    const std::vector<std::string> overlays = picturesIn(folder, L"*.png");
    if (photos.empty()) {
        std::printf("no JPEGs in %s\n", folder.c_str());
        return 1;
    }

    win32::Win32Platform real(GetModuleHandleW(nullptr));
    const platform::ScreenMetrics screen = real.windows.screen();
    std::printf("screen %d x %d, %zu JPEGs and %zu PNGs in %s, %s\n", screen.widthPx, screen.heightPx,
                photos.size(), overlays.size(), folder.c_str(), sizeof(void*) == 8 ? "64-bit" : "32-bit");
    const Memory start = memory();
    std::printf("at start: peak working set %.0f MB, peak pagefile %.0f MB\n", start.peakWorkingSetMb,
                start.peakPagefileMb);

    if (GetEnvironmentVariableW(L"PICTAVO_BENCH_KEYS_ONLY", nullptr, 0) > 0) {
        pictavo::bench::showKeys(real, photos);
        return 0;
    }

    // The oversized files first, while the peaks still say what they cost.
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    const std::string hugeDir = win32::narrow(std::wstring_view(temp, length));
    const std::string jpegPath = hugeDir + "pictavo-bench-30000x30000.jpg";
    const std::string pngPath = hugeDir + "pictavo-bench-30000x30000.png";
    if (writeFile(jpegPath, hugeJpeg(readFile(photos.front()))))
        tryHuge("JPEG claiming 30000 x 30000", jpegPath);
    if (writeFile(pngPath, hugePng())) tryHuge("PNG claiming 30000 x 30000", pngPath);
    DeleteFileW(win32::widen(jpegPath).c_str());
    DeleteFileW(win32::widen(pngPath).c_str());

    // Before the pictures: the windows and memory they leave behind slow it down.
    platform::Platform p = real.platform();
    pictavo::bench::readKeptIndex(p, hugeDir.substr(0, hugeDir.size() - 1), 100000, 500,
                                  "win32 backend, kept index");

    platform::Form form(real.windows, pictureWindow());
    form.move(0, 0, screen.widthPx * screen.twipsPerPixelX, screen.heightPx * screen.twipsPerPixelY);
    form.show();
    real.windows.doEvents();

    goThrough("24-MP JPEGs, decoded when asked for, in the program itself", form, photos, screen, false);
    goThrough("24-MP JPEGs, decoded when asked for, in the worker", form, photos, screen, true);
    if (!overlays.empty()) {
        goThrough("12-MP PNGs with alpha, decoded when asked for, in the program itself", form, overlays, screen,
                  false);
        goThrough("12-MP PNGs with alpha, decoded when asked for, in the worker", form, overlays, screen, true);
    }
    form.unload();
    const Memory afterPictures = memory();
    std::printf("after these: peak working set %.0f MB, peak pagefile %.0f MB\n\n", afterPictures.peakWorkingSetMb,
                afterPictures.peakPagefileMb);

    pictavo::bench::showKeys(real, photos);
    return 0;
}
