#include "scan_bench.h"

#include <chrono>
#include <cstdio>

#include "core/index_file_name.h"
#include "core/settings.h"
#include "program/app.h"
#include "program/list_procedures.h"
#include "program/scan.h"
#include "program/shared_state.h"
#include "timing_windows.h"

namespace pictavo::bench {

namespace {
void appendUtf16(std::string& out, const std::string& ascii) {
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
}

// One scan of `source` through the real ReadDir on a program started with it,
// timed from the start of the scan.
struct TimedScan {
    Timings timings;
    std::chrono::steady_clock::time_point start;
    double seconds = 0;
    int pictures = 0;
    int directories = 0;
};

TimedScan timeScan(platform::Platform& real, const std::string& source, bool keepIndex) {
    TimingWindows windows(real.windows);
    platform::Platform p{windows, real.settings, real.system, real.files, real.clock, real.pictures, real.effects};
    // Effects reach through to the backend's own windows, which the timing
    // wrapper hides; they play no part in scanning.
    real.settings.write(kSettingsApp, kSettingsSection, "Shadow", "0");
    real.settings.write(kSettingsApp, kSettingsSection, "Transparence", "0");
    real.settings.write(kSettingsApp, kSettingsSection, "SaveIndex", keepIndex ? "1" : "0");
    real.settings.write(kSettingsApp, kSettingsSection, "SubScan", "1");
    real.settings.write(kSettingsApp, kSettingsSection, "SourceFile", source);

    App app(p);
    app.mainControls().window.load();
    // The benchmark's own command line may have named another source.
    app.mainControls().TQD.setText(source);
    TempStr(app);
    // As in a show started with Start: the status lines are on the screen.
    app.mainControls().window.show();
    p.windows.doEvents();
    windows.timings = {};
    TimedScan scan;
    scan.start = std::chrono::steady_clock::now();
    ReadDir(app);
    scan.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - scan.start).count();
    scan.timings = windows.timings;
    scan.pictures = app.shared().list.PicCount;
    scan.directories = app.shared().list.DirCount;
    return scan;
}

}  // namespace

void readKeptIndex(platform::Platform& real, const std::string& root, int lines, int directories,
                   const char* label) {
    const std::string source = root + "\\Bench\\*.*";
    const std::string index =
        indexFileName(source, real.system.environment("TMP"), real.system.environment("TEMP"));
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(lines) * 100);
    const int perDirectory = lines / directories + 1;
    for (int i = 0; i < lines; ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "%s\\Bench\\Ordner %04d\\Bild %06d.jpg\r\n", root.c_str(),
                      i / perDirectory, i);
        appendUtf16(bytes, line);
    }
    real.files.writeFile(index, bytes);

    const TimedScan scan = timeScan(real, source, true);
    const Timings& t = scan.timings;
    const double events = std::chrono::duration<double>(t.events).count();
    const double repaints = std::chrono::duration<double>(t.repaints).count();
    const double texts = std::chrono::duration<double>(t.texts).count();
    std::printf("%s: %d lines read in %.3f s (%.0f lines/s), %d pictures, %d directories\n", label, lines,
                scan.seconds, lines / scan.seconds, scan.pictures, scan.directories);
    std::printf("%s: event processing %lld calls, %.3f s (%.1f%%); repaints %lld, %.3f s (%.1f%%)\n", label,
                t.eventCalls, events, 100 * events / scan.seconds, t.repaintCalls, repaints,
                100 * repaints / scan.seconds);
    std::printf("%s: text changes %lld, %.3f s (%.1f%%)\n", label, t.textCalls, texts, 100 * texts / scan.seconds);
    real.files.deleteFile(index);
}

void scanFresh(platform::Platform& real, const std::string& source, const char* label) {
    const TimedScan scan = timeScan(real, source, false);
    const auto ready = scan.timings.firstShown.find("Lese Index, bitte warten ...");
    const double toReady = ready == scan.timings.firstShown.end()
                               ? -1
                               : std::chrono::duration<double>(ready->second - scan.start).count();
    std::printf("%s: %d pictures in %d directories; index ready after %.2f s, read after %.2f s\n", label,
                scan.pictures, scan.directories, toReady, scan.seconds);
}

}  // namespace pictavo::bench
