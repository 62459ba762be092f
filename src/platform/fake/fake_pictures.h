#pragma once
// Picture loader for tests: reads the size from a BMP, GIF, PNG or JPEG
// header of a real file; anything else is an error.

#include <string>
#include <vector>

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

// Schedules like the real loader, without a worker: what it decodes ahead it
// decodes when a test says the show has waited long enough for it.
class FakePictureLoader final : public PictureLoader {
public:
    explicit FakePictureLoader(FakeFiles& files) : files_(files) {}
    std::shared_ptr<const Picture> load(const std::string& path) override;
    void prefetch(std::vector<std::string> paths) override;
    void prepare() override {}
    // Decodes up to count of the pictures asked for ahead, in the order a
    // worker would.
    void decodeAhead(int count = 1000);

    std::vector<std::string> loaded;                   // paths, in order
    std::vector<std::vector<std::string>> prefetched;  // lists, in order
    std::vector<std::string> decoded;                  // paths read, on request or ahead, in order

private:
    std::shared_ptr<const Picture> decode(const std::string& path);
    void decodeNow(const std::string& path);

    FakeFiles& files_;
    PictureSchedule schedule_{PicturePrefetcher::kMaxPictures};
};

}  // namespace pictavo::platform::fake
