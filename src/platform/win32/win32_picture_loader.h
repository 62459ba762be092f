#pragma once
// Picture files decoded through the Windows Imaging Component straight to the
// size they take on the screen, in a worker process of the program's own, the
// next one ahead on a worker thread. Needs COM initialised on the calling
// thread.

#include <wincodec.h>

#include <optional>

#include "platform/picture.h"
#include "platform/pictures/picture_prefetcher.h"
#include "platform/win32/isolated_decoder.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wic_decode.h"

namespace pictavo::platform::win32 {

class Win32PictureLoader final : public PictureLoader {
public:
    struct Options {
        std::optional<ScreenSize> screen;  // the primary screen when empty, read at every decode
        Resampler resampler = Resampler::Automatic;
        double maxSourcePixels = defaultMaxSourcePixels();
        bool isolated = true;  // decode in worker processes rather than in this one
        IsolatedDecoder::Limits limits;
    };

    Win32PictureLoader();
    explicit Win32PictureLoader(Options options);
    ~Win32PictureLoader() override;
    Win32PictureLoader(const Win32PictureLoader&) = delete;
    Win32PictureLoader& operator=(const Win32PictureLoader&) = delete;

    std::shared_ptr<const Picture> load(const std::string& path) override;
    void prefetch(const std::string& path) override;

    struct Stats {
        int directDecodes = 0;  // decodes on the calling thread
        int prefetchHits = 0;   // load() served from the worker
        PicturePrefetcher::Counts worker;
        DecodeTimes lastDirect;  // of the latest decode on the calling thread
        IsolatedDecoder::Stats isolation;  // of the decodes on the calling thread
    };
    Stats stats() const;

private:
    class WorkerDecoder;

    DecodeOptions decodeOptions() const;
    IWICImagingFactory* factory();

    Options options_;
    com_ptr<IWICImagingFactory> factory_;
    IsolatedDecoder direct_;
    PicturePrefetcher prefetcher_;
    int directDecodes_ = 0, prefetchHits_ = 0;
    DecodeTimes lastDirect_;
};

}  // namespace pictavo::platform::win32
