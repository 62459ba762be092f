#include "program/scan.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <optional>

#include "core/file_size.h"
#include "core/index_file_name.h"
#include "core/scan_text.h"
#include "platform/utf8.h"
#include "program/app.h"
#include "program/frm_run_now.h"
#include "program/list_procedures.h"
#include "program/shared_state.h"

namespace pictavo {

namespace {

constexpr int kPollMilliseconds = 50;
// The waiting bar of "|" starts again at this length, which fits the label it
// grows in: the main window's status line, or the narrower progress window's.
constexpr int kMainBarWrap = 41;
constexpr int kProgressBarWrap = 16;

// Where the scan's texts go: the main window, or the progress window of an
// automatic start.
struct StatusTexts {
    platform::Control& label;
    platform::Form* window;  // repainted after each text, in the progress window only
    const char* start;
    const char* tick;
    const char* reading;
    int wrap;  // the bar's length at which it starts again

    void show(const std::string& text) {
        label.setText(text);
        label.refresh();
        if (window) window->refresh();
    }
};

StatusTexts statusTexts(App& app) {
    if (app.shared().startMode != StartMode::Automatic)
        return {app.mainControls().Linfo, nullptr, "Suche Bilder ...", "Suche Bilder ... ",
                "Lese Index, bitte warten ...", kMainBarWrap};
    FrmRunNow& progress = app.frmRunNow();
    return {progress.Linfo,
            &progress.form,
            "Suche Bilder, bitte warten ...",
            "Suche Bilder, bitte warten ... ",
            "Erstelle Index, bitte warten ...",
            kProgressBarWrap};
}

std::string quotedProgram(const std::string& program) {
    if (program.find(' ') == std::string::npos || program.front() == '"') return program;
    return "\"" + program + "\"";
}

struct WrittenBatchFile {
    std::string name;
    platform::EnvironmentVariables variables;  // for the interpreter's environment
};

// Writes the batch file; nothing when the source cannot be listed safely or
// the file could not be written anywhere (the root of the system drive
// refuses new files for a standard user; then it goes to the temporary
// directory).
std::optional<WrittenBatchFile> writeBatchFile(App& app, const std::string& source, bool subdirectories) {
    const SharedState& shared = app.shared();
    platform::Platform& p = app.platform;
    const std::string fallback =
        temporaryDirectory(p.system.environment("TMP"), p.system.environment("TEMP")) + "PTAV-DIR.BAT";
    for (const std::string& batch : {shared.BatchFile, fallback}) {
        if (!safeInBatchLine(source) || !safeInBatchLine(shared.IndexFile) || !safeInBatchLine(batch)) {
            p.system.trace("no batch file for " + source + ": a name holds a quote or a control character");
            return std::nullopt;
        }
        EncodedBatchFile file =
            encodeBatchFile(batchFileText(source, subdirectories, shared.IndexFile, batch), p.system);
        deleteIfPresent(p, batch);
        if (p.files.writeFile(batch, file.bytes)) return WrittenBatchFile{batch, std::move(file.variables)};
        p.system.trace("batch file " + batch + " not written");
    }
    return std::nullopt;
}

}  // namespace

void ReadDir(App& app) {
    MainControls& main = app.mainControls();
    SharedState& shared = app.shared();
    platform::Platform& p = app.platform;
    PicListState& list = shared.list;

    list.prepareScan();
    TempStr(app);
    StatusTexts status = statusTexts(app);
    status.show(status.start);
    const bool subdirectories = main.CkSub.value() == 1;

    std::string batch = shared.BatchFile;
    std::unique_ptr<platform::ChildProcess> interpreter;
    if (main.CkIndex.value() == 0 || FileSize(p, shared.IndexFile) == -1) {
        std::string comspec = p.system.environment("COMSPEC");
        if (comspec.empty()) comspec = "COMMAND.COM";
        // A listing that never comes must not leave an old index to be read as new.
        deleteIfPresent(p, shared.IndexFile);
        // The interpreter's Unicode switch keeps names of every script intact
        // in the index.
        if (const auto written = writeBatchFile(app, main.TQD.text(), subdirectories)) {
            batch = written->name;
            const std::string command = quotedProgram(comspec) + " /U /C \"" + batch + "\"";
            interpreter = p.system.startHidden(command, written->variables);
            if (!interpreter) p.system.trace("not started: " + command);
        }
    }

    // Wait for the batch file to delete itself, ticking once a second. The
    // interpreter may never start or die early; then nobody deletes it.
    std::string lastTime;
    int scanTicks = 0;
    bool batchExists = false;
    do {
        const std::string now = p.clock.timeOfDay();
        if (now == lastTime) {
            p.clock.pause(kPollMilliseconds);
            continue;
        }
        lastTime = now;
        if (++scanTicks == status.wrap) scanTicks = 0;
        status.show(status.tick + std::string(static_cast<std::size_t>(scanTicks), '|'));
        const bool interpreterGone = !(interpreter && interpreter->running());
        batchExists = p.files.exists(batch);
        p.windows.doEvents();
        if (batchExists && interpreterGone) {
            p.system.trace(batch + " left behind by no running interpreter; deleted");
            p.files.deleteFile(batch);
            batchExists = false;
        }
    } while (batchExists && !p.windows.quitting());
    if (p.windows.quitting()) return;

    main.LKill.setVisible(true);
    status.show(status.reading);

    // An index of a whole drive may not fit in memory; the pictures read
    // until then make the list.
    try {
        const auto bytes = p.files.readFile(shared.IndexFile);
        if (!bytes) p.system.trace("index " + shared.IndexFile + " not read");
        // Status and events once per ten pictures: after the line that makes
        // the count a multiple of ten, and after every line until the first
        // picture, not again for the lines that leave the count where it was.
        int shownAt = -1;
        const bool read = !bytes || forEachIndexLine(*bytes, p.system, [&](std::string_view line) {
            if (isPictureLine(line)) AddPic(app, line, list.PicCount);
            if (list.PicCount % 10 != 0 || (list.PicCount == shownAt && list.PicCount != 0)) return true;
            shownAt = list.PicCount;
            list.PicStatus = list.statusText();
            p.windows.doEvents();
            return !p.windows.quitting();
        });
        if (!read) return;
    } catch (const std::bad_alloc&) {
        p.system.trace("index " + shared.IndexFile + " too large; " + std::to_string(list.PicCount) + " pictures kept");
    }
    list.PicStatus = list.statusText();
    p.windows.doEvents();
    status.show("");
}

}  // namespace pictavo
