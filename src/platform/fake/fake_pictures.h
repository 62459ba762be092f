#pragma once
// Picture loader for tests: reads the size from a BMP, GIF, PNG or JPEG
// header of a real file; anything else is an error.

#include <string>
#include <vector>

#include "platform/fake/fake_files.h"
#include "platform/picture.h"

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

class FakePictureLoader final : public PictureLoader {
public:
    explicit FakePictureLoader(FakeFiles& files) : files_(files) {}
    std::shared_ptr<const Picture> load(const std::string& path) override;
    void prefetch(const std::string& path) override { prefetched.push_back(path); }
    int loads = 0;
    std::vector<std::string> loaded;      // paths, in order
    std::vector<std::string> prefetched;  // hints, in order

private:
    FakeFiles& files_;
};

}  // namespace pictavo::platform::fake
