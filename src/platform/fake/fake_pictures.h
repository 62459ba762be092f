#pragma once
// Picture loader for tests: reads the size from a BMP, GIF, PNG or JPEG
// header of a real file; anything else is an error.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_files.h"
#include "platform/picture.h"
#include "platform/pictures/picture_prefetcher.h"
#include "platform/pictures/picture_schedule.h"

namespace pictavo::platform::fake {

class FakePicture final : public Picture {
public:
    FakePicture(std::string path, int width, int height) : path(std::move(path)), width_(width), height_(height) {}
    int widthPx() const override { return width_; }
    int heightPx() const override { return height_; }
    std::string path;

private:
    int width_, height_;
};

// Schedules like the real loader, with a worker that the tests drive: what
// it decodes ahead it decodes when a test says the show has waited long
// enough for it; a picture may take time on the virtual clock, or fail as
// after a worker's crash, its time limit or its memory limit.
class FakePictureLoader final : public PictureLoader {
public:
    FakePictureLoader(FakeFiles& files, FakeClock& clock) : files_(files), clock_(clock) {}
    std::shared_ptr<const Picture> load(const std::string& path) override;
    void prefetch(std::vector<std::string> paths) override;
    bool ready(const std::string& path, std::function<void()> wake) override;
    void prepare() override {}
    // Decodes up to count of the pictures asked for ahead, in the order a
    // worker would, as far as the virtual clock allows.
    void decodeAhead(int count = 1000);

    // How the worker fares with a picture: it takes `seconds`, then gives
    // the picture or, when it fails, nothing. Other paths decode at once.
    struct Decoding {
        int seconds = 0;
        bool fails = false;
    };
    std::map<std::string, Decoding> decodings;

    std::vector<std::string> loaded;                   // paths, in order
    std::vector<std::vector<std::string>> prefetched;  // lists, in order
    std::vector<std::string> decoded;                  // paths whose decoding began, in order

private:
    std::shared_ptr<const Picture> decode(const std::string& path);
    void start(const std::string& path);
    // Ends the job under way when its time has come (or at once); false
    // while it still runs.
    bool finish(bool atOnce = false);
    void giveUpIfStale();

    FakeFiles& files_;
    FakeClock& clock_;
    PictureSchedule schedule_{PicturePrefetcher::kMaxPictures};
    std::int64_t startedMs_ = 0;
};

}  // namespace pictavo::platform::fake
