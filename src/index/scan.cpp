#include "index/scan.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <optional>

#include "dialogs/frm_run_now.h"
#include "index/file_size.h"
#include "index/index_file_name.h"
#include "index/list_procedures.h"
#include "index/shared_state.h"
#include "platform/utf8.h"
#include "shell/app.h"

namespace pictavo {

namespace {

constexpr int kPollMilliseconds = 50;

std::string doublePercent(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

std::string utf16leToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    std::size_t i = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE' ? 2 : 0;
    auto unit = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
               (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8);
    };
    for (; i + 1 < bytes.size(); i += 2) {
        unsigned code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size()) {
            const unsigned low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                code = 0xFFFD;
            }
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        platform::appendUtf8(out, code);
    }
    return out;
}

// Calls onLine for every line of text, without its CR LF or LF, until it returns false.
bool forEachLine(std::string_view text, const std::function<bool(std::string_view)>& onLine) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        if (!onLine(text.substr(start, stop - start))) return false;
        start = end + 1;
    }
    return true;
}

// Where the scan's texts go: the main window, or the progress window of an
// automatic start.
struct StatusTexts {
    platform::Control& label;
    platform::Form* window;  // repainted after each text, in the progress window only
    const char* start;
    const char* tick;
    const char* reading;
    int wrap;

    void show(const std::string& text) {
        label.setText(text);
        label.refresh();
        if (window) window->refresh();
    }
};

StatusTexts statusTexts(App& app) {
    if (app.shared().startMode != StartMode::Automatic)
        return {app.mainControls().Linfo, nullptr, "Suche Bilder ...", "Suche Bilder ... ",
                "Lese Index, bitte warten ...", 41};
    FrmRunNow& progress = app.frmRunNow();
    return {progress.Linfo,
            &progress.form,
            "Suche Bilder, bitte warten ...",
            "Suche Bilder, bitte warten ... ",
            "Erstelle Index, bitte warten ...",
            16};
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

std::string batchFileText(const std::string& source, bool subdirectories, const std::string& indexFile,
                          const std::string& batchFile) {
    return "@ECHO OFF\r\n"
           "DIR \"" + doublePercent(source) + "\" /b" + (subdirectories ? " /s" : "") + " /on >\"" +
           doublePercent(indexFile) + "\"\r\n"
           "DEL \"" + doublePercent(batchFile) + "\" >NUL\r\n";
}

EncodedBatchFile encodeBatchFile(const std::string& text, platform::System& system) {
    if (auto whole = system.utf8ToOem(text)) return {std::move(*whole), {}};
    EncodedBatchFile file;
    std::string run;
    auto endRun = [&] {
        if (run.empty()) return;
        auto same = std::find_if(file.variables.begin(), file.variables.end(),
                                 [&](const auto& variable) { return variable.second == run; });
        if (same == file.variables.end())
            same = file.variables.emplace(same, "PTAV_" + std::to_string(file.variables.size() + 1), run);
        file.bytes += "%" + same->first + "%";
        run.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::string character = text.substr(i, platform::decodeUtf8(text, i).length);
        i += character.size();
        if (auto oem = system.utf8ToOem(character)) {
            endRun();
            file.bytes += *oem;
        } else {
            run += character;
        }
    }
    endRun();
    return file;
}

bool safeInBatchLine(const std::string& text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool isPictureLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    const std::string_view name = line.substr(first, line.find_last_not_of(' ') - first + 1);
    auto endsWith = [&](std::string_view suffix) {
        return name.size() >= suffix.size() &&
               std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                          [](char wanted, char c) { return (c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) == wanted; });
    };
    return endsWith(".BMP") || endsWith(".GIF") || endsWith(".JPG") || endsWith(".PNG") || endsWith(".JPEG");
}

bool forEachIndexLine(const std::string& bytes, platform::System& system,
                      const std::function<bool(std::string_view)>& onLine) {
    // An 8-bit listing holds no NUL byte; the Unicode one has one in nearly
    // every other byte.
    const bool utf16 = bytes.find('\0') != std::string::npos || (bytes.size() >= 2 && bytes[0] == '\xFF' &&
                                                                  bytes[1] == '\xFE');
    return forEachLine(utf16 ? utf16leToUtf8(bytes) : system.oemToUtf8(bytes), onLine);
}

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
