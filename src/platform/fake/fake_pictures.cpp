#include "platform/fake/fake_pictures.h"

#include <cstdint>

namespace pictavo::platform::fake {

namespace {
std::uint32_t le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}
std::uint32_t be(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

bool jpegSize(const std::string& b, std::uint32_t& w, std::uint32_t& h) {
    std::size_t i = 2;
    while (i + 9 < b.size()) {
        if (static_cast<unsigned char>(b[i]) != 0xFF) return false;
        const unsigned marker = static_cast<unsigned char>(b[i + 1]);
        const std::uint32_t length = be(b, i + 2, 2);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            h = be(b, i + 5, 2);
            w = be(b, i + 7, 2);
            return true;
        }
        i += 2 + length;
    }
    return false;
}
}  // namespace

std::shared_ptr<const Picture> FakePictureLoader::load(const std::string& path) {
    loaded.push_back(path);
    if (!schedule_.held(path)) {
        const PictureSchedule::Released released = schedule_.need(path);
        giveUpIfStale();
        if (!schedule_.running()) start(path);
        finish(true);
    }
    return *schedule_.held(path);
}

void FakePictureLoader::prefetch(std::vector<std::string> paths) {
    prefetched.push_back(paths);
    const PictureSchedule::Released released = schedule_.want(std::move(paths));
    giveUpIfStale();
}

bool FakePictureLoader::ready(const std::string& path, std::function<void()>) {
    if (schedule_.held(path)) return true;
    const PictureSchedule::Released released = schedule_.need(path);
    giveUpIfStale();
    if (!schedule_.running()) start(path);
    return finish() && schedule_.held(path);
}

void FakePictureLoader::decodeAhead(int count) {
    // The pictures here take no memory worth a limit.
    for (; count > 0; --count) {
        if (schedule_.running() && !finish()) return;
        const auto path = schedule_.nextJob(0);
        if (!path) return;
        start(*path);
    }
    if (schedule_.running()) finish();
}

void FakePictureLoader::start(const std::string& path) {
    schedule_.start(path);
    decoded.push_back(path);
    startedMs_ = clock_.nowMs;
}

bool FakePictureLoader::finish(bool atOnce) {
    const std::string path = *schedule_.running();
    const auto it = decodings.find(path);
    const Decoding decoding = it == decodings.end() ? Decoding{} : it->second;
    if (!atOnce && clock_.nowMs < startedMs_ + decoding.seconds * 1000) return false;
    const auto unkept = schedule_.finish(decoding.fails ? nullptr : decode(path), false);
    return true;
}

// As the real worker's job is stopped (or its worker ended) when it stands
// in the way of the picture needed now or is no longer wanted.
void FakePictureLoader::giveUpIfStale() {
    if (!schedule_.runningIsStale()) return;
    const auto unkept = schedule_.finish(nullptr, true);
}

std::shared_ptr<const Picture> FakePictureLoader::decode(const std::string& path) {
    const auto bytes = files_.readFile(path);
    if (!bytes) return nullptr;
    const std::string& b = *bytes;
    std::uint32_t w = 0, h = 0;
    if (b.size() >= 26 && b.compare(0, 2, "BM") == 0) {
        w = le(b, 18, 4);
        h = le(b, 22, 4);
        if (h > 0x7FFFFFFF) h = 0 - h;
    } else if (b.size() >= 10 && b.compare(0, 3, "GIF") == 0) {
        w = le(b, 6, 2);
        h = le(b, 8, 2);
    } else if (b.size() >= 24 && b.compare(1, 3, "PNG") == 0) {
        w = be(b, 16, 4);
        h = be(b, 20, 4);
    } else if (b.size() >= 4 && static_cast<unsigned char>(b[0]) == 0xFF &&
               static_cast<unsigned char>(b[1]) == 0xD8) {
        if (!jpegSize(b, w, h)) return nullptr;
    }
    if (w == 0 || h == 0 || w > 65535 || h > 65535) return nullptr;
    return std::make_shared<FakePicture>(path, static_cast<int>(w), static_cast<int>(h));
}

}  // namespace pictavo::platform::fake
