#include "platform/win32/win32_picture_loader.h"

#include <objbase.h>

#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

namespace {

DecodeOptions decodeOptionsOf(const Win32PictureLoader::Options& options) {
    return {options.screen.value_or(primaryScreen()), options.resampler, options.maxSourcePixels};
}

}  // namespace

// Runs on the prefetcher's thread with a COM apartment and a WIC factory of
// its own, or on the caller's thread when no thread could start. The factory
// decodes in this process only where the options ask for it (the benchmarks
// compare), never in place of a worker that cannot start.
class Win32PictureLoader::WorkerDecoder final : public PicturePrefetcher::Decoder {
public:
    WorkerDecoder(Options options, std::shared_ptr<LastStats> lastStats)
        : options_(std::move(options)),
          lastStats_(std::move(lastStats)),
          isolated_([this] { return decodeOptionsOf(options_); }, options_.limits) {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ownsCom_ = SUCCEEDED(com);
        // A thread whose apartment is set up otherwise already can use COM as it is.
        if (ownsCom_ || com == RPC_E_CHANGED_MODE)
            CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory_));
    }
    ~WorkerDecoder() override {
        factory_.Reset();
        if (ownsCom_) CoUninitialize();
    }
    WorkerDecoder(const WorkerDecoder&) = delete;
    WorkerDecoder& operator=(const WorkerDecoder&) = delete;

    std::shared_ptr<const Picture> decode(const std::string& path, const std::atomic<bool>& cancel) override {
        if (path.empty()) return nullptr;
        DecodeTimes times;
        std::shared_ptr<const Picture> picture;
        if (options_.isolated)
            picture = isolated_.decode(path, &cancel, &times);
        else if (factory_)
            picture = decodeFile(factory_.Get(), path, decodeOptionsOf(options_), &cancel, &times);
        std::lock_guard lock(lastStats_->mutex);
        lastStats_->times = times;
        lastStats_->isolation = isolated_.stats();
        return picture;
    }

    void prepare() override {
        if (options_.isolated) isolated_.prepare();
    }

private:
    Options options_;
    std::shared_ptr<LastStats> lastStats_;
    bool ownsCom_ = false;
    com_ptr<IWICImagingFactory> factory_;
    IsolatedDecoder isolated_;
};

Win32PictureLoader::Win32PictureLoader() : Win32PictureLoader(Options{}) {}

Win32PictureLoader::Win32PictureLoader(Options options)
    : prefetcher_([options, stats = lastStats_] { return std::make_unique<WorkerDecoder>(options, stats); }) {}

std::shared_ptr<const Picture> Win32PictureLoader::load(const std::string& path) {
    if (path.empty()) return nullptr;
    try {
        return prefetcher_.load(path);
    } catch (...) {
        // Out of memory: shown like any picture that cannot be loaded.
        return nullptr;
    }
}

void Win32PictureLoader::prefetch(std::vector<std::string> paths) {
    try {
        prefetcher_.want(std::move(paths));
    } catch (...) {
        // Without the list the pictures are decoded when they are loaded.
    }
}

bool Win32PictureLoader::ready(const std::string& path, std::function<void()> wake) {
    if (path.empty()) return true;
    try {
        return prefetcher_.ready(path, std::move(wake));
    } catch (...) {
        // Then load decodes it while the caller waits.
        return true;
    }
}

void Win32PictureLoader::prepare() {
    try {
        prefetcher_.prepare();
    } catch (...) {
        // The first picture then waits for the worker.
    }
}

Win32PictureLoader::Stats Win32PictureLoader::stats() const {
    std::lock_guard lock(lastStats_->mutex);
    return {prefetcher_.counts(), lastStats_->times, lastStats_->isolation};
}

}  // namespace pictavo::platform::win32
