#include "platform/win32/win32_picture_loader.h"

#include <objbase.h>

namespace pictavo::platform::win32 {

namespace {

DecodeOptions decodeOptionsOf(const Win32PictureLoader::Options& options) {
    return {options.screen.value_or(primaryScreen()), options.resampler, options.maxSourcePixels};
}

}  // namespace

// Runs on the prefetcher's thread, which gets a COM apartment and a WIC
// factory of its own.
class Win32PictureLoader::WorkerDecoder final : public PicturePrefetcher::Decoder {
public:
    explicit WorkerDecoder(Options options)
        : options_(std::move(options)),
          isolated_([this] { return decodeOptionsOf(options_); }, options_.limits,
                    [this](const std::string& path, const DecodeOptions& decodeOptions,
                           const std::atomic<bool>* cancel) {
                        return decodeFile(factory_.Get(), path, decodeOptions, cancel);
                    }) {
        com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        if (com_)
            CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory_));
    }
    ~WorkerDecoder() override {
        factory_.Reset();
        if (com_) CoUninitialize();
    }
    WorkerDecoder(const WorkerDecoder&) = delete;
    WorkerDecoder& operator=(const WorkerDecoder&) = delete;

    std::shared_ptr<const Picture> decode(const std::string& path, const std::atomic<bool>& cancel) override {
        if (options_.isolated) return isolated_.decode(path, cancel);
        if (!factory_) return nullptr;
        return decodeFile(factory_.Get(), path, decodeOptionsOf(options_), &cancel);
    }

private:
    Options options_;
    bool com_ = false;
    com_ptr<IWICImagingFactory> factory_;
    IsolatedDecoder isolated_;
};

Win32PictureLoader::Win32PictureLoader() : Win32PictureLoader(Options{}) {}

Win32PictureLoader::Win32PictureLoader(Options options)
    : options_(options),
      direct_([this] { return decodeOptions(); }, options.limits,
              [this](const std::string& path, const DecodeOptions& decodeOptions, const std::atomic<bool>* cancel) {
                  return decodeFile(factory(), path, decodeOptions, cancel);
              }),
      prefetcher_([options] { return std::make_unique<WorkerDecoder>(options); }) {}

Win32PictureLoader::~Win32PictureLoader() = default;

IWICImagingFactory* Win32PictureLoader::factory() {
    if (!factory_ &&
        FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory_))))
        factory_.Reset();
    return factory_.Get();
}

DecodeOptions Win32PictureLoader::decodeOptions() const { return decodeOptionsOf(options_); }

std::shared_ptr<const Picture> Win32PictureLoader::load(const std::string& path) {
    if (path.empty()) return nullptr;
    try {
        if (auto ahead = prefetcher_.take(path)) {
            ++prefetchHits_;
            return std::move(*ahead);
        }
        ++directDecodes_;
        lastDirect_ = {};
        if (options_.isolated) return direct_.decode(path, nullptr, &lastDirect_);
        return decodeFile(factory(), path, decodeOptions(), nullptr, &lastDirect_);
    } catch (...) {
        // Out of memory: shown like any picture that cannot be loaded.
        return nullptr;
    }
}

void Win32PictureLoader::prefetch(const std::string& path) {
    if (path.empty()) return;
    try {
        prefetcher_.request(path);
    } catch (...) {
        // Without the hint the picture is decoded when it is loaded.
    }
}

Win32PictureLoader::Stats Win32PictureLoader::stats() const {
    return {directDecodes_, prefetchHits_, prefetcher_.counts(), lastDirect_, direct_.stats()};
}

}  // namespace pictavo::platform::win32
