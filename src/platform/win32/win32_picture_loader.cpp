#include "platform/win32/win32_picture_loader.h"

#include <objbase.h>

#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

// Runs on the prefetcher's thread with a COM apartment and a WIC factory of
// its own, or on the caller's thread when no worker could start.
class Win32PictureLoader::WorkerDecoder final : public PicturePrefetcher::Decoder {
public:
    WorkerDecoder(Options options, std::shared_ptr<LastTimes> lastTimes)
        : options_(std::move(options)), lastTimes_(std::move(lastTimes)) {
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
        if (!factory_ || path.empty()) return nullptr;
        const DecodeOptions options{options_.screen.value_or(primaryScreen()), options_.resampler,
                                    options_.maxSourcePixels};
        DecodeTimes times;
        auto picture = decodeFile(factory_.Get(), path, options, &cancel, &times);
        std::lock_guard lock(lastTimes_->mutex);
        lastTimes_->times = times;
        return picture;
    }

private:
    Options options_;
    std::shared_ptr<LastTimes> lastTimes_;
    bool ownsCom_ = false;
    com_ptr<IWICImagingFactory> factory_;
};

Win32PictureLoader::Win32PictureLoader() : Win32PictureLoader(Options{}) {}

Win32PictureLoader::Win32PictureLoader(Options options)
    : prefetcher_([options, times = lastTimes_] { return std::make_unique<WorkerDecoder>(options, times); }) {}

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

Win32PictureLoader::Stats Win32PictureLoader::stats() const {
    std::lock_guard lock(lastTimes_->mutex);
    return {prefetcher_.counts(), lastTimes_->times};
}

}  // namespace pictavo::platform::win32
