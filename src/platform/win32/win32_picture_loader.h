#pragma once
// Picture files decoded through the Windows Imaging Component straight to the
// size they take on the screen, in a worker process of the program's own,
// driven from the prefetcher's thread: the one the show needs now first, the
// ones it may need next meanwhile.

#include <mutex>
#include <optional>

#include "platform/picture.h"
#include "platform/pictures/picture_prefetcher.h"
#include "platform/win32/isolated_decoder.h"
#include "platform/win32/wic_decode.h"

namespace pictavo::platform::win32 {

class Win32PictureLoader final : public PictureLoader {
public:
    struct Options {
        std::optional<ScreenSize> screen;  // the primary screen when empty, read at every decode
        Resampler resampler = Resampler::Automatic;
        double maxSourcePixels = defaultMaxSourcePixels();
        bool isolated = true;  // decode in a worker process rather than in this one
        IsolatedDecoder::Limits limits;
    };

    Win32PictureLoader();
    explicit Win32PictureLoader(Options options);

    std::shared_ptr<const Picture> load(const std::string& path) override;
    void prefetch(std::vector<std::string> paths) override;
    bool ready(const std::string& path, std::function<void()> wake) override;
    void prepare() override;

    struct Stats {
        PicturePrefetcher::Counts worker;
        DecodeTimes lastDecode;            // of the latest picture decoded
        IsolatedDecoder::Stats isolation;  // of the worker processes
    };
    Stats stats() const;

private:
    class WorkerDecoder;
    // Written on the prefetcher's thread, read on the caller's.
    struct LastStats {
        std::mutex mutex;
        DecodeTimes times;
        IsolatedDecoder::Stats isolation;
    };

    std::shared_ptr<LastStats> lastStats_ = std::make_shared<LastStats>();
    PicturePrefetcher prefetcher_;
};

}  // namespace pictavo::platform::win32
