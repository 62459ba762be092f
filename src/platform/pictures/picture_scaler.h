#pragma once
// Resampling of decoded rows to the size a picture takes on the screen:
// averaging over the covered area when reducing (no aliasing), linear
// interpolation when enlarging (no blocks). Source rows are pulled in bands
// from top to bottom, a row wider than a band in pieces, so the source never
// has to be in memory as a whole, and the memory a job takes depends on the
// target's size: a picture of 400,000,000 x 1 costs no more than a square one.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace pictavo::platform {

// Byte order in memory. Bgra32 has straight alpha, Pbgra32 premultiplied.
enum class SourceLayout { Bgr24, Bgrx32, Bgra32, Pbgra32 };

int bytesPerPixel(SourceLayout layout);

// Fills columns column .. column + width - 1 of rows first .. first + count - 1
// into buffer, stride bytes apart.
using ReadRows = std::function<bool(int first, int count, int column, int width, std::uint8_t* buffer,
                                    std::size_t stride)>;

struct ResampleJob {
    int sourceWidth = 0, sourceHeight = 0;
    SourceLayout layout = SourceLayout::Bgr24;
    int targetWidth = 0, targetHeight = 0;
    // 32-bit BGRX rows: colours composited over black, the fourth byte 255.
    std::uint8_t* target = nullptr;
    std::size_t targetStride = 0;
};

// False when a read failed, memory ran out or cancel was set meanwhile.
bool resample(const ResampleJob& job, const ReadRows& read, const std::atomic<bool>* cancel = nullptr) noexcept;

}  // namespace pictavo::platform
