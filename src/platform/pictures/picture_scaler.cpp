#include "platform/pictures/picture_scaler.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <vector>

namespace pictavo::platform {

namespace {

constexpr std::size_t kBandBytes = 1u << 20;
// Horizontally resampled values keep 8 bits below the colour value.
constexpr double kFraction = 256;
constexpr double kMaxValue = 255 * kFraction;

// What one target pixel draws from along one axis: the source pixels first ..
// last, the first and the last with their own weight, those between with
// weight 1, all times norm, so that the weights add up to 1.
struct Tap {
    int first = 0, last = 0;
    double firstWeight = 1, lastWeight = 0, norm = 1;
};

std::vector<Tap> axisTaps(int source, int target) {
    std::vector<Tap> taps(static_cast<std::size_t>(target));
    const double scale = static_cast<double>(source) / target;  // source pixels per target pixel
    for (int i = 0; i < target; ++i) {
        Tap& tap = taps[static_cast<std::size_t>(i)];
        if (target < source) {
            // The target pixel covers [from, to) of the source; each source
            // pixel counts with the part of it that lies inside.
            const double from = i * scale, to = std::min<double>(source, (i + 1) * scale);
            tap.first = static_cast<int>(from);
            tap.last = std::clamp(static_cast<int>(std::ceil(to)) - 1, tap.first, source - 1);
            tap.norm = 1 / (to - from);
            if (tap.first == tap.last) {
                tap.firstWeight = to - from;
            } else {
                tap.firstWeight = tap.first + 1 - from;
                tap.lastWeight = to - tap.last;
            }
        } else {
            const double centre = (i + 0.5) * scale - 0.5;
            if (centre <= 0 || source == 1) {
                tap.first = tap.last = 0;
            } else if (centre >= source - 1) {
                tap.first = tap.last = source - 1;
            } else {
                tap.first = static_cast<int>(centre);
                tap.last = tap.first + 1;
                tap.lastWeight = centre - tap.first;
                tap.firstWeight = 1 - tap.lastWeight;
            }
        }
    }
    return taps;
}

void premultiply(std::uint8_t* row, int width) {
    for (int x = 0; x < width; ++x, row += 4) {
        const unsigned alpha = row[3];
        for (int c = 0; c < 3; ++c) row[c] = static_cast<std::uint8_t>((row[c] * alpha + 127) / 255);
    }
}

// The usual case, target pixels that draw from a few source pixels each:
// every weight in a table, 14 bits that add up to exactly one per target pixel.
constexpr int kMaxTableTaps = 32;
constexpr int kWeightBits = 14;

bool fitTable(const std::vector<Tap>& taps) {
    return std::all_of(taps.begin(), taps.end(), [](const Tap& t) { return t.last - t.first < kMaxTableTaps; });
}

std::vector<std::int32_t> tableWeights(const std::vector<Tap>& taps) {
    std::vector<std::int32_t> weights(taps.size() * kMaxTableTaps);
    for (std::size_t x = 0; x < taps.size(); ++x) {
        const Tap& tap = taps[x];
        std::int32_t* w = &weights[x * kMaxTableTaps];
        std::int32_t sum = 0;
        int largest = 0;
        for (int k = 0; k <= tap.last - tap.first; ++k) {
            const double weight = k == 0 ? tap.firstWeight : tap.first + k == tap.last ? tap.lastWeight : 1.0;
            w[k] = static_cast<std::int32_t>(std::lround(weight * tap.norm * (1 << kWeightBits)));
            sum += w[k];
            if (w[k] > w[largest]) largest = k;
        }
        w[largest] += (1 << kWeightBits) - sum;
    }
    return weights;
}

// A whole source row across, through the table.
class TableAcross {
public:
    explicit TableAcross(const std::vector<Tap>& taps) : taps_(taps), weights_(tableWeights(taps)) {}

    // A whole source row into values with 8 bits below the colour value.
    template <int Bytes>
    void row(const std::uint8_t* pixels, std::uint16_t* out) const {
        constexpr std::uint32_t half = 1u << (kWeightBits - 9);
        for (std::size_t x = 0; x < taps_.size(); ++x, out += 3) {
            const Tap& tap = taps_[x];
            const std::int32_t* w = &weights_[x * kMaxTableTaps];
            const std::uint8_t* p = pixels + static_cast<std::size_t>(tap.first) * Bytes;
            std::uint32_t b = 0, g = 0, r = 0;
            for (int k = 0; k <= tap.last - tap.first; ++k, p += Bytes) {
                const auto weight = static_cast<std::uint32_t>(w[k]);
                b += weight * p[0];
                g += weight * p[1];
                r += weight * p[2];
            }
            out[0] = static_cast<std::uint16_t>((b + half) >> (kWeightBits - 8));
            out[1] = static_cast<std::uint16_t>((g + half) >> (kWeightBits - 8));
            out[2] = static_cast<std::uint16_t>((r + half) >> (kWeightBits - 8));
        }
    }

private:
    const std::vector<Tap>& taps_;
    std::vector<std::int32_t> weights_;
};

// Otherwise one source row resampled across, piece by piece, in whole numbers: the
// first and the last source pixel of a target pixel weigh their share in
// 1/4096, those between 4096/4096; the sum is divided by the weights' own sum,
// so that a uniform row stays exactly its colour.
class RowAcross {
public:
    RowAcross(const std::vector<Tap>& taps, int bytes) : taps_(taps), bytes_(bytes), sums_(taps.size() * 3) {
        scale_.reserve(taps.size());
        for (const Tap& tap : taps) {
            first_.push_back(fixed(tap.firstWeight));
            last_.push_back(tap.last == tap.first ? 0 : fixed(tap.lastWeight));
            const double total = first_.back() + last_.back() +
                                 static_cast<double>(kOne) * std::max(0, tap.last - tap.first - 1);
            scale_.push_back(total > 0 ? kFraction / total : 0);
        }
    }

    void begin() {
        std::fill(sums_.begin(), sums_.end(), 0);
        cursor_ = 0;
    }

    // Adds columns column .. column + width - 1, which start at pixels, to
    // the target pixels that draw from them.
    void add(const std::uint8_t* pixels, int column, int width) {
        if (bytes_ == 3)
            addPiece<3>(pixels, column, column + width);
        else
            addPiece<4>(pixels, column, column + width);
    }

    void end(std::uint16_t* out) const {
        for (std::size_t x = 0; x < taps_.size(); ++x)
            for (std::size_t c = 0; c < 3; ++c)
                out[x * 3 + c] = static_cast<std::uint16_t>(
                    std::min(kMaxValue, static_cast<double>(sums_[x * 3 + c]) * scale_[x] + 0.5));
    }

private:
    static constexpr std::uint32_t kOne = 4096;
    static std::uint32_t fixed(double weight) { return static_cast<std::uint32_t>(weight * kOne + 0.5); }

    template <int Bytes>
    void addPiece(const std::uint8_t* pixels, int begin, int end) {
        const int targets = static_cast<int>(taps_.size());
        while (cursor_ < targets && taps_[static_cast<std::size_t>(cursor_)].last < begin) ++cursor_;
        for (int x = cursor_; x < targets && taps_[static_cast<std::size_t>(x)].first < end; ++x) {
            const auto at = static_cast<std::size_t>(x);
            const Tap& tap = taps_[at];
            auto pixel = [&](int column) { return pixels + static_cast<std::ptrdiff_t>(column - begin) * Bytes; };
            int from = std::max(tap.first, begin);
            int to = std::min(tap.last + 1, end);
            // Edge pixels in 1/4096, those between counted whole.
            std::uint64_t edges[3] = {0, 0, 0};
            if (from == tap.first) {
                const std::uint8_t* p = pixel(from++);
                for (int c = 0; c < 3; ++c) edges[c] += std::uint64_t{first_[at]} * p[c];
            }
            const bool lastHere = tap.last != tap.first && to == tap.last + 1;
            if (lastHere) {
                const std::uint8_t* p = pixel(--to);
                for (int c = 0; c < 3; ++c) edges[c] += std::uint64_t{last_[at]} * p[c];
            }
            std::uint32_t whole[3] = {0, 0, 0};  // at most kBandBytes / 3 pixels of 255
            for (const std::uint8_t* p = pixel(from); from < to; ++from, p += Bytes)
                for (int c = 0; c < 3; ++c) whole[c] += p[c];
            std::uint64_t* sum = &sums_[at * 3];
            for (int c = 0; c < 3; ++c) sum[c] += edges[c] + std::uint64_t{whole[c]} * kOne;
        }
    }

    const std::vector<Tap>& taps_;
    int bytes_;
    std::vector<std::uint32_t> first_, last_;
    std::vector<double> scale_;
    std::vector<std::uint64_t> sums_;
    int cursor_ = 0;
};

class Resampler {
public:
    Resampler(const ResampleJob& job, const ReadRows& read, const std::atomic<bool>* cancel)
        : job_(job),
          read_(read),
          cancel_(cancel),
          bytes_(bytesPerPixel(job.layout)),
          across_(axisTaps(job.sourceWidth, job.targetWidth)),
          down_(axisTaps(job.sourceHeight, job.targetHeight)),
          row_(across_, bytes_),
          table_(job.sourceWidth * static_cast<std::size_t>(bytes_) <= kBandBytes && fitTable(across_)
                     ? std::make_optional<TableAcross>(across_)
                     : std::nullopt),
          values_(static_cast<std::size_t>(job.targetWidth) * 3),
          ring_(values_ * 2),
          sums_(values_),
          downWeights_(fitTable(down_) ? tableWeights(down_) : std::vector<std::int32_t>{}),
          wholeSums_(downWeights_.empty() ? 0 : values_) {
        const std::size_t stride = static_cast<std::size_t>(job.sourceWidth) * bytes_;
        if (stride <= kBandBytes) {
            bandRows_ = static_cast<int>(std::min<std::size_t>(kBandBytes / stride, job.sourceHeight));
            pieceColumns_ = job.sourceWidth;
        } else {
            bandRows_ = 1;
            pieceColumns_ = static_cast<int>(kBandBytes / bytes_);
        }
        band_.resize(static_cast<std::size_t>(pieceColumns_) * bytes_ * bandRows_);
    }

    bool run() {
        for (int y = 0; y < job_.targetHeight; ++y)
            if (!(downWeights_.empty() ? targetRow(y) : tableTargetRow(y))) return false;
        return true;
    }

private:
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }

    std::uint8_t* targetRowStart(int y) const { return job_.target + static_cast<std::size_t>(y) * job_.targetStride; }

    bool tableTargetRow(int y) {
        const Tap& tap = down_[static_cast<std::size_t>(y)];
        const std::int32_t* w = &downWeights_[static_cast<std::size_t>(y) * kMaxTableTaps];
        std::fill(wholeSums_.begin(), wholeSums_.end(), 0u);
        for (int r = tap.first; r <= tap.last; ++r) {
            const std::uint16_t* across = rowAcross(r);
            if (!across) return false;
            const auto weight = static_cast<std::uint32_t>(w[r - tap.first]);
            for (std::size_t i = 0; i < values_; ++i) wholeSums_[i] += weight * across[i];
        }
        constexpr int shift = kWeightBits + 8;
        constexpr std::uint32_t half = 1u << (shift - 1);
        std::uint8_t* out = targetRowStart(y);
        for (std::size_t x = 0; x < static_cast<std::size_t>(job_.targetWidth); ++x, out += 4) {
            for (std::size_t c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (wholeSums_[x * 3 + c] + half) >> shift));
            out[3] = 255;
        }
        return true;
    }

    bool targetRow(int y) {
        const Tap& tap = down_[static_cast<std::size_t>(y)];
        std::fill(sums_.begin(), sums_.end(), 0.0);
        for (int r = tap.first; r <= tap.last; ++r) {
            const double weight = r == tap.first ? tap.firstWeight : r == tap.last ? tap.lastWeight : 1.0;
            const std::uint16_t* across = rowAcross(r);
            if (!across) return false;
            for (std::size_t i = 0; i < values_; ++i) sums_[i] += weight * across[i];
        }
        std::uint8_t* out = targetRowStart(y);
        const double scale = tap.norm / kFraction;
        for (std::size_t x = 0; x < static_cast<std::size_t>(job_.targetWidth); ++x, out += 4) {
            // The sums are never negative: adding a half and cutting off rounds.
            for (std::size_t c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(std::min(255.0, sums_[x * 3 + c] * scale + 0.5));
            out[3] = 255;
        }
        return true;
    }

    // Source row r resampled across; rows come in order, the last two are kept.
    const std::uint16_t* rowAcross(int r) {
        while (made_ <= r) {
            std::uint16_t* out = ring_.data() + static_cast<std::size_t>(made_ % 2) * values_;
            if (!makeRow(made_, out)) return nullptr;
            ++made_;
        }
        return ring_.data() + static_cast<std::size_t>(r % 2) * values_;
    }

    bool makeRow(int r, std::uint16_t* out) {
        if (table_) {
            if (r >= bandFirst_ + bandCount_) {
                if (cancelled()) return false;
                bandFirst_ = r;
                bandCount_ = std::min(bandRows_, job_.sourceHeight - r);
                if (!read_(bandFirst_, bandCount_, 0, job_.sourceWidth, band_.data(), stride())) return false;
            }
            std::uint8_t* pixels = band_.data() + static_cast<std::size_t>(r - bandFirst_) * stride();
            if (job_.layout == SourceLayout::Bgra32) premultiply(pixels, job_.sourceWidth);
            if (bytes_ == 3)
                table_->row<3>(pixels, out);
            else
                table_->row<4>(pixels, out);
            return true;
        }
        row_.begin();
        const std::size_t stride = static_cast<std::size_t>(pieceColumns_) * bytes_;
        for (int column = 0; column < job_.sourceWidth; column += pieceColumns_) {
            const int width = std::min(pieceColumns_, job_.sourceWidth - column);
            if (r >= bandFirst_ + bandCount_ || width < job_.sourceWidth) {
                if (cancelled()) return false;
                bandFirst_ = r;
                bandCount_ = std::min(bandRows_, job_.sourceHeight - r);
                if (!read_(bandFirst_, bandCount_, column, width, band_.data(), stride)) return false;
            }
            std::uint8_t* pixels = band_.data() + static_cast<std::size_t>(r - bandFirst_) * stride;
            if (job_.layout == SourceLayout::Bgra32) premultiply(pixels, width);
            row_.add(pixels, column, width);
        }
        row_.end(out);
        return true;
    }

    std::size_t stride() const { return static_cast<std::size_t>(pieceColumns_) * bytes_; }

    const ResampleJob& job_;
    const ReadRows& read_;
    const std::atomic<bool>* cancel_;
    int bytes_;
    std::vector<Tap> across_, down_;
    RowAcross row_;
    std::optional<TableAcross> table_;
    std::size_t values_;
    std::vector<std::uint16_t> ring_;
    std::vector<double> sums_;
    std::vector<std::int32_t> downWeights_;  // empty: too many taps for a table
    std::vector<std::uint32_t> wholeSums_;
    std::vector<std::uint8_t> band_;
    int bandRows_ = 1, pieceColumns_ = 1;
    int bandFirst_ = 0, bandCount_ = 0;
    int made_ = 0;
};

}  // namespace

int bytesPerPixel(SourceLayout layout) { return layout == SourceLayout::Bgr24 ? 3 : 4; }

bool resample(const ResampleJob& job, const ReadRows& read, const std::atomic<bool>* cancel) noexcept {
    if (job.sourceWidth <= 0 || job.sourceHeight <= 0 || job.targetWidth <= 0 || job.targetHeight <= 0 ||
        !job.target || job.targetStride < static_cast<std::size_t>(job.targetWidth) * 4)
        return false;
    try {
        return Resampler(job, read, cancel).run();
    } catch (...) {
        // Out of memory, or a reader that threw: no picture.
        return false;
    }
}

}  // namespace pictavo::platform
