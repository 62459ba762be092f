#include "platform/pictures/picture_scaler.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace pictavo::platform {

namespace {

constexpr int kWeightBits = 14;
constexpr std::int32_t kWeightOne = 1 << kWeightBits;
// The horizontal pass keeps 8 bits below the colour value; with 14-bit
// weights the vertical sums then stay below 2^30.
constexpr int kHorizontalShift = kWeightBits - 8;
constexpr int kVerticalShift = kWeightBits + 8;
constexpr std::size_t kBandBytes = 1u << 20;

// For every target index the source indices it draws from, with weights that
// add up to kWeightOne exactly.
struct AxisWeights {
    std::vector<int> first;
    std::vector<int> offset;  // into weights; one entry more than targets
    std::vector<std::int32_t> weights;
    int maxTaps = 1;
};

void addTarget(AxisWeights& axis, int first, std::vector<double>& taps) {
    std::vector<std::int32_t> fixed(taps.size());
    std::int32_t sum = 0;
    std::size_t largest = 0;
    for (std::size_t k = 0; k < taps.size(); ++k) {
        fixed[k] = static_cast<std::int32_t>(std::lround(taps[k] * kWeightOne));
        sum += fixed[k];
        if (fixed[k] > fixed[largest]) largest = k;
    }
    fixed[largest] += kWeightOne - sum;
    axis.first.push_back(first);
    axis.weights.insert(axis.weights.end(), fixed.begin(), fixed.end());
    axis.offset.push_back(static_cast<int>(axis.weights.size()));
    axis.maxTaps = std::max(axis.maxTaps, static_cast<int>(taps.size()));
    taps.clear();
}

AxisWeights axisWeights(int source, int target) {
    AxisWeights axis;
    axis.first.reserve(static_cast<std::size_t>(target));
    axis.offset.reserve(static_cast<std::size_t>(target) + 1);
    axis.offset.push_back(0);
    std::vector<double> taps;
    const double scale = static_cast<double>(source) / target;  // source pixels per target pixel
    for (int i = 0; i < target; ++i) {
        if (target < source) {
            // The target pixel covers [from, to) of the source; each source
            // pixel counts with the part of it that lies inside.
            const double from = i * scale, to = std::min<double>(source, (i + 1) * scale);
            const int first = static_cast<int>(from);
            for (int k = first; k < to; ++k)
                taps.push_back((std::min<double>(to, k + 1) - std::max<double>(from, k)) / scale);
            addTarget(axis, first, taps);
        } else {
            const double centre = (i + 0.5) * scale - 0.5;
            if (centre <= 0 || source == 1) {
                taps.push_back(1);
                addTarget(axis, 0, taps);
            } else if (centre >= source - 1) {
                taps.push_back(1);
                addTarget(axis, source - 1, taps);
            } else {
                const int left = static_cast<int>(centre);
                const double right = centre - left;
                taps.push_back(1 - right);
                taps.push_back(right);
                addTarget(axis, left, taps);
            }
        }
    }
    return axis;
}

template <int Bytes>
void horizontal(const std::uint8_t* row, const AxisWeights& axis, std::uint16_t* out, int width) {
    const std::int32_t* w = axis.weights.data();
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* s = row + static_cast<std::size_t>(axis.first[static_cast<std::size_t>(x)]) * Bytes;
        const int taps = axis.offset[static_cast<std::size_t>(x) + 1] - axis.offset[static_cast<std::size_t>(x)];
        std::uint32_t b = 0, g = 0, r = 0;
        for (int k = 0; k < taps; ++k, s += Bytes) {
            const auto weight = static_cast<std::uint32_t>(w[k]);
            b += weight * s[0];
            g += weight * s[1];
            r += weight * s[2];
        }
        w += taps;
        constexpr std::uint32_t half = 1u << (kHorizontalShift - 1);
        out[0] = static_cast<std::uint16_t>((b + half) >> kHorizontalShift);
        out[1] = static_cast<std::uint16_t>((g + half) >> kHorizontalShift);
        out[2] = static_cast<std::uint16_t>((r + half) >> kHorizontalShift);
        out += 3;
    }
}

void premultiply(std::uint8_t* row, int width) {
    for (int x = 0; x < width; ++x, row += 4) {
        const unsigned alpha = row[3];
        for (int c = 0; c < 3; ++c) row[c] = static_cast<std::uint8_t>((row[c] * alpha + 127) / 255);
    }
}

bool run(const ResampleJob& job, const ReadRows& read, const std::atomic<bool>* cancel) {
    const int bytes = bytesPerPixel(job.layout);
    const AxisWeights across = axisWeights(job.sourceWidth, job.targetWidth);
    const AxisWeights down = axisWeights(job.sourceHeight, job.targetHeight);

    const std::size_t sourceStride = (static_cast<std::size_t>(job.sourceWidth) * bytes + 3) & ~std::size_t{3};
    const int bandRows = static_cast<int>(
        std::clamp<std::size_t>(kBandBytes / sourceStride, 1, static_cast<std::size_t>(job.sourceHeight)));
    std::vector<std::uint8_t> band(sourceStride * static_cast<std::size_t>(bandRows));
    int bandFirst = 0, bandCount = 0;

    // The horizontally resampled rows the current target row draws from.
    const std::size_t rowValues = static_cast<std::size_t>(job.targetWidth) * 3;
    const int ringRows = down.maxTaps;
    std::vector<std::uint16_t> ring(rowValues * static_cast<std::size_t>(ringRows));
    std::vector<std::uint32_t> sums(rowValues);
    int nextSource = 0;

    for (int y = 0; y < job.targetHeight; ++y) {
        const int first = down.first[static_cast<std::size_t>(y)];
        const int begin = down.offset[static_cast<std::size_t>(y)];
        const int taps = down.offset[static_cast<std::size_t>(y) + 1] - begin;
        while (nextSource < first + taps) {
            if (nextSource >= bandFirst + bandCount) {
                if (cancel && cancel->load(std::memory_order_relaxed)) return false;
                bandFirst = nextSource;
                bandCount = std::min(bandRows, job.sourceHeight - nextSource);
                if (!read(bandFirst, bandCount, band.data(), sourceStride)) return false;
            }
            std::uint8_t* row = band.data() + static_cast<std::size_t>(nextSource - bandFirst) * sourceStride;
            std::uint16_t* out = ring.data() + static_cast<std::size_t>(nextSource % ringRows) * rowValues;
            if (job.layout == SourceLayout::Bgra32) premultiply(row, job.sourceWidth);
            if (bytes == 3)
                horizontal<3>(row, across, out, job.targetWidth);
            else
                horizontal<4>(row, across, out, job.targetWidth);
            ++nextSource;
        }
        std::fill(sums.begin(), sums.end(), 0u);
        for (int k = 0; k < taps; ++k) {
            const auto weight = static_cast<std::uint32_t>(down.weights[static_cast<std::size_t>(begin + k)]);
            const std::uint16_t* in = ring.data() + static_cast<std::size_t>((first + k) % ringRows) * rowValues;
            for (std::size_t i = 0; i < rowValues; ++i) sums[i] += weight * in[i];
        }
        std::uint8_t* out = job.target + static_cast<std::size_t>(y) * job.targetStride;
        constexpr std::uint32_t half = 1u << (kVerticalShift - 1);
        for (int x = 0; x < job.targetWidth; ++x, out += 4) {
            const std::uint32_t* s = &sums[static_cast<std::size_t>(x) * 3];
            out[0] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (s[0] + half) >> kVerticalShift));
            out[1] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (s[1] + half) >> kVerticalShift));
            out[2] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (s[2] + half) >> kVerticalShift));
            out[3] = 255;
        }
    }
    return true;
}

}  // namespace

int bytesPerPixel(SourceLayout layout) { return layout == SourceLayout::Bgr24 ? 3 : 4; }

bool resample(const ResampleJob& job, const ReadRows& read, const std::atomic<bool>* cancel) noexcept {
    if (job.sourceWidth <= 0 || job.sourceHeight <= 0 || job.targetWidth <= 0 || job.targetHeight <= 0 ||
        !job.target || job.targetStride < static_cast<std::size_t>(job.targetWidth) * 4)
        return false;
    try {
        return run(job, read, cancel);
    } catch (...) {
        // Out of memory, or a reader that threw: no picture.
        return false;
    }
}

}  // namespace pictavo::platform
