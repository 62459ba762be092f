#pragma once
// Picture files decoded through the Windows Imaging Component straight to the
// size they take on the screen, on the prefetcher's worker thread: the one
// the show needs now first, the ones it may need next meanwhile.

#include <mutex>
#include <optional>

#include "platform/picture.h"
#include "platform/pictures/picture_prefetcher.h"
#include "platform/win32/wic_decode.h"

namespace pictavo::platform::win32 {

class Win32PictureLoader final : public PictureLoader {
public:
    struct Options {
        std::optional<ScreenSize> screen;  // the primary screen when empty, read at every decode
        Resampler resampler = Resampler::Automatic;
        double maxSourcePixels = defaultMaxSourcePixels();
    };

    Win32PictureLoader();
    explicit Win32PictureLoader(Options options);

    std::shared_ptr<const Picture> load(const std::string& path) override;
    void prefetch(std::vector<std::string> paths) override;

    struct Stats {
        PicturePrefetcher::Counts worker;
        DecodeTimes lastDecode;  // of the latest picture the worker decoded
    };
    Stats stats() const;

private:
    class WorkerDecoder;
    struct LastTimes {
        std::mutex mutex;
        DecodeTimes times;
    };

    std::shared_ptr<LastTimes> lastTimes_ = std::make_shared<LastTimes>();
    PicturePrefetcher prefetcher_;
};

}  // namespace pictavo::platform::win32
