#include "platform/win32/isolated_decoder.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "platform/pictures/decode_answer.h"
#include "platform/win32/decode_channel.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_trace.h"
#include "platform/win32/worker_sandbox.h"

namespace pictavo::platform::win32 {

enum class IsolatedDecoder::Outcome { Answered, Crashed, TimedOut, OverMemory, IgnoredCancel, Untrustworthy };

namespace {

using Clock = std::chrono::steady_clock;
constexpr DWORD kPollMs = 20;
// A worker's memory beyond the largest picture's pixels: the program itself,
// the decoder's own buffers, the screen-size bitmap.
constexpr std::uint64_t kDecoderOverheadBytes = std::uint64_t{256} << 20;
constexpr int kStartAttempts = 3;
constexpr DWORD kStartRetryMs = 100;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::wstring ownExe() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

// What the worker holds: its commit or its working set, whichever is larger.
// Wine: leaves much of a process's memory out of its commit.
std::uint64_t memoryOf(HANDLE process, bool peak) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
    return peak ? std::max(counters.PeakPagefileUsage, counters.PeakWorkingSetSize)
                : std::max(counters.PagefileUsage, counters.WorkingSetSize);
}

std::string hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

}  // namespace

// One worker process with its channel.
class IsolatedDecoder::Worker {
public:
    static std::unique_ptr<Worker> start(const std::wstring& exe, const ScreenSize& screen, const Limits& limits) {
        auto worker = std::unique_ptr<Worker>(new Worker(screen, limits));
        return worker->launch(exe) ? std::move(worker) : nullptr;
    }

    ~Worker() {
        if (process_) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), 1000);
        }
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    bool fits(const ScreenSize& screen) const {
        return screen.widthPx > 0 && screen.heightPx > 0 && screen.widthPx <= screen_.widthPx &&
               screen.heightPx <= screen_.heightPx;
    }

    // Until the worker answered or failed; the time limit counts from now.
    // The worker gets its own read-only handle of the file, and closes it.
    Outcome decode(HANDLE file, const DecodeOptions& options, const std::atomic<bool>* cancel, double* readyMs) {
        const auto timeLimit = std::chrono::milliseconds(limits_.timeMs);
        if (!ready_) {
            const Outcome ready = wait(nullptr, Clock::now() + timeLimit);
            if (ready != Outcome::Answered) return ready;
            ready_ = true;
            if (readyMs) *readyMs = msSince(started_);
        }
        // An answer set while nobody asked must not pass for the next one.
        ResetEvent(answer_.get());
        HANDLE workerFile = nullptr;
        if (!DuplicateHandle(GetCurrentProcess(), file, process_.get(), &workerFile, 0, FALSE, DUPLICATE_SAME_ACCESS))
            return Outcome::Crashed;
        channel_->cancel = false;
        channel_->framePixels = 0;
        channel_->request = ++requestNumber_;
        channel_->screenWidth = options.screen.widthPx;
        channel_->screenHeight = options.screen.heightPx;
        channel_->dpi = options.screen.dpi;
        channel_->resampler = static_cast<std::int32_t>(options.resampler);
        channel_->maxSourcePixels = options.maxSourcePixels;
        channel_->file = reinterpret_cast<std::uintptr_t>(workerFile);
        SetEvent(request_.get());
        return wait(cancel, Clock::now() + timeLimit, options.maxSourcePixels);
    }

    // The answer's bitmap, or null when the worker could not decode the
    // picture. The answer is read out of the channel once and only that copy
    // is used, since the worker may change the channel meanwhile; an answer
    // out of bounds says the worker cannot be trusted any more.
    std::shared_ptr<Win32Picture> picture(const DecodeOptions& options, DecodeTimes* times, bool& trustworthy) const {
        DecodeAnswer answer;
        copyOnce(&answer, &channel_->answer, sizeof answer);
        const AnswerBounds bounds{requestNumber_, options.screen.widthPx, options.screen.heightPx, pixelBytes(),
                                  options.maxSourcePixels};
        std::string why;
        const std::optional<CheckedAnswer> checked = checkAnswer(answer, bounds, &why);
        trustworthy = checked.has_value();
        if (!checked) {
            trace("decoding worker's answer refused: " + why);
            return nullptr;
        }
        if (times) *times = {checked->decodeMs, checked->scaleMs};
        if (!checked->decoded) return nullptr;
        void* bits = nullptr;
        auto picture = Win32Picture::create(checked->bitmapWidth, checked->bitmapHeight, checked->naturalWidth,
                                            checked->naturalHeight, &bits);
        if (!picture) return nullptr;
        std::memcpy(bits, pixels(), checked->pixelBytes);
        return picture;
    }

    // Whether the worker still runs within its memory, checked before it gets
    // a picture: one that ended or grew while idle is not the next picture's fault.
    const char* idleFault() const {
        if (WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT) return "ended";
        if (memoryOf(process_.get(), false) > limits_.memoryBytes) return "grew past its memory limit";
        return nullptr;
    }

    SandboxedWorker sandboxed() const { return {process_.get(), job_.get(), sandbox_}; }

    DWORD exitCode() const {
        DWORD code = 0;
        return GetExitCodeProcess(process_.get(), &code) ? code : 0;
    }
    double peakMemoryMb() const { return static_cast<double>(memoryOf(process_.get(), true)) / (1 << 20); }

private:
    Worker(const ScreenSize& screen, const Limits& limits) : screen_(screen), limits_(limits) {}

    bool launch(const std::wstring& exe) {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        const std::uint64_t bytes = channelBytes(screen_.widthPx, screen_.heightPx);
        mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, &inheritable, PAGE_READWRITE,
                                          static_cast<DWORD>(bytes >> 32), static_cast<DWORD>(bytes), nullptr));
        request_.reset(CreateEventW(&inheritable, FALSE, FALSE, nullptr));
        answer_.reset(CreateEventW(&inheritable, FALSE, FALSE, nullptr));
        HANDLE viewer = nullptr;
        DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &viewer, SYNCHRONIZE, TRUE, 0);
        const unique_handle viewerForWorker(viewer);
        if (!mapping_ || !request_ || !answer_ || !viewerForWorker) return false;
        view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, static_cast<SIZE_T>(bytes)));
        if (!view_) return false;
        channel_ = new (view_.get()) DecodeChannel{};

        auto value = [](HANDLE h) { return std::to_wstring(reinterpret_cast<std::uintptr_t>(h)); };
        const std::wstring command = L"\"" + exe + L"\" " + kDecodeWorkerSwitch + L" " + value(mapping_.get()) + L" " +
                                     value(request_.get()) + L" " + value(answer_.get()) + L" " +
                                     value(viewerForWorker.get()) + L" " + std::to_wstring(bytes);
        job_ = workerJob(limits_.memoryBytes, sandbox_);
        PROCESS_INFORMATION info{};
        started_ = Clock::now();
        const bool created = createWorkerProcess(
            exe, command, {mapping_.get(), request_.get(), answer_.get(), viewerForWorker.get()}, info, sandbox_);
        for (HANDLE h : {mapping_.get(), request_.get(), answer_.get()}) SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
        if (!created) return false;
        process_.reset(info.hProcess);
        const unique_handle thread(info.hThread);
        // A worker outside its job could start programs and reach the desktop.
        if (!job_ || !AssignProcessToJobObject(job_.get(), process_.get())) {
            trace("decoding worker not started: no job object, error " + std::to_string(GetLastError()));
            return false;
        }
        return ResumeThread(thread.get()) != static_cast<DWORD>(-1);
    }

    // A picture's header may claim up to maxPixels (the worker's word, so no
    // more than that), and the deadline grows with what it claims.
    Outcome wait(const std::atomic<bool>* cancel, Clock::time_point deadline, double maxPixels = 0) {
        const HANDLE waits[] = {answer_.get(), process_.get()};
        std::optional<Clock::time_point> cancelledAt;
        for (;;) {
            const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kPollMs);
            if (woke == WAIT_OBJECT_0) return Outcome::Answered;
            if (woke != WAIT_TIMEOUT) return Outcome::Crashed;
            // Wine: enforces no job's memory limit; the worker is watched here.
            if (memoryOf(process_.get(), false) > limits_.memoryBytes) return Outcome::OverMemory;
            const Clock::time_point now = Clock::now();
            if (cancel && cancel->load()) {
                channel_->cancel = true;
                if (!cancelledAt) cancelledAt = now;
                if (now - *cancelledAt > std::chrono::milliseconds(limits_.cancelGraceMs))
                    return Outcome::IgnoredCancel;
            }
            const double claimed = std::min(static_cast<double>(channel_->framePixels.load()), maxPixels);
            const auto more = std::chrono::milliseconds(static_cast<long long>(claimed / 1e6 * limits_.msPerMegapixel));
            if (now > deadline + more) return Outcome::TimedOut;
        }
    }

    const std::uint8_t* pixels() const { return static_cast<const std::uint8_t*>(view_.get()) + kChannelPixelsOffset; }
    std::size_t pixelBytes() const { return channelBytes(screen_.widthPx, screen_.heightPx) - kChannelPixelsOffset; }

    ScreenSize screen_;
    Limits limits_;
    WorkerSandbox sandbox_;
    unique_handle mapping_, request_, answer_, job_, process_;
    unique_view view_;
    DecodeChannel* channel_ = nullptr;
    Clock::time_point started_;
    std::uint32_t requestNumber_ = 0;
    bool ready_ = false;
};

IsolatedDecoder::IsolatedDecoder(std::function<DecodeOptions()> options, Limits limits, std::wstring workerExe)
    : options_(std::move(options)), limits_(limits), workerExe_(workerExe.empty() ? ownExe() : std::move(workerExe)) {}

IsolatedDecoder::~IsolatedDecoder() = default;

std::shared_ptr<const Picture> IsolatedDecoder::decode(const std::string& path, const std::atomic<bool>& cancel) {
    return decode(path, &cancel, nullptr);
}

void IsolatedDecoder::prepare() { ensureWorker(options_()); }

IsolatedDecoder::SandboxedWorker IsolatedDecoder::sandboxedWorker() const {
    return worker_ ? worker_->sandboxed() : SandboxedWorker{};
}

bool IsolatedDecoder::ensureWorker(const DecodeOptions& options) {
    if (worker_ && worker_->fits(options.screen)) {
        const char* fault = worker_->idleFault();
        if (!fault) return true;
        trace(std::string("decoding worker ") + fault + " while idle; a fresh one takes the next picture");
    }
    worker_.reset();
    Limits limits = limits_;
    if (!limits.memoryBytes)
        limits.memoryBytes = static_cast<std::uint64_t>(options.maxSourcePixels * 4) + kDecoderOverheadBytes;
    // A worker that cannot start now may start in a moment, when the one
    // just ended has given back its memory; pictures are never decoded here.
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        worker_ = Worker::start(workerExe_, options.screen, limits);
        if (worker_) {
            ++stats_.started;
            return true;
        }
        trace("decoding worker not started, error " + std::to_string(GetLastError()) + " (attempt " +
              std::to_string(attempt) + ")");
        if (attempt < kStartAttempts) Sleep(kStartRetryMs * attempt);
    }
    return false;
}

void IsolatedDecoder::endWorker(Outcome outcome, const std::string& path) {
    stats_.peakMemoryMb = std::max(stats_.peakMemoryMb, worker_->peakMemoryMb());
    switch (outcome) {
    case Outcome::Crashed:
        ++stats_.crashed;
        trace("decoding worker ended with " + hex(worker_->exitCode()) + " on " + path);
        break;
    case Outcome::TimedOut:
        ++stats_.timedOut;
        trace("decoding worker stopped at its time limit on " + path);
        break;
    case Outcome::OverMemory:
        ++stats_.overMemory;
        trace("decoding worker stopped at its memory limit on " + path);
        break;
    case Outcome::IgnoredCancel:
        ++stats_.timedOut;
        trace("decoding worker stopped for going on after a cancel on " + path);
        break;
    case Outcome::Untrustworthy:
        ++stats_.crashed;
        trace("decoding worker ended for an answer out of bounds on " + path);
        break;
    case Outcome::Answered:
        break;
    }
    worker_.reset();
}

std::shared_ptr<Win32Picture> IsolatedDecoder::decode(const std::string& path, const std::atomic<bool>* cancel,
                                                      DecodeTimes* times) {
    if (path.empty()) return nullptr;
    // The viewer opens the file, so that the worker needs no access to files
    // of its own.
    const unique_hfile file(CreateFileW(apiPath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    const DecodeOptions options = options_();
    if (!ensureWorker(options)) return nullptr;
    const bool first = stats_.started == 1 && stats_.firstStartMs == 0;
    double readyMs = 0;
    const Outcome outcome = worker_->decode(file.get(), options, cancel, &readyMs);
    if (first && readyMs > 0) stats_.firstStartMs = readyMs;
    if (outcome != Outcome::Answered) {
        endWorker(outcome, path);
        // A fresh worker starts now, so that it is ready for the next picture.
        ensureWorker(options);
        return nullptr;
    }
    stats_.peakMemoryMb = std::max(stats_.peakMemoryMb, worker_->peakMemoryMb());
    if (cancel && cancel->load()) return nullptr;
    bool trustworthy = true;
    auto picture = worker_->picture(options, times, trustworthy);
    if (!trustworthy) {
        endWorker(Outcome::Untrustworthy, path);
        ensureWorker(options);
    }
    return picture;
}

}  // namespace pictavo::platform::win32
