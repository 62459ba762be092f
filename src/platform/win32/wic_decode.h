#pragma once
// One picture file decoded through WIC straight to the size it takes on the
// screen, turned upright as a JPEG's Exif orientation says. Needs COM
// initialised on the calling thread; any thread will do, each with a factory
// of its own.

#include <windows.h>

#include <wincodec.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/win32/win32_picture.h"

namespace pictavo::platform::win32 {

struct ScreenSize {
    int widthPx = 0, heightPx = 0;
    UINT dpi = 96;
};

// The primary screen as the picture window covers it.
ScreenSize primaryScreen();

struct PixelSize {
    UINT width = 0, height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The pixel size the picture window gives a picture of this natural size:
// the program's own fit in twips, turned into pixels as its image control
// does. Never larger than the screen, never empty.
PixelSize fittedSize(PixelSize natural, const ScreenSize& screen);

// The size to ask a decoder's source transform for: the smallest it offers
// that still covers the target, else the natural size. closest answers
// GetClosestSize for a request, or {0, 0} when that fails.
PixelSize transformSize(PixelSize natural, PixelSize target, const std::function<PixelSize(PixelSize)>& closest);

enum class Resampler {
    Automatic,  // WIC's scaler where it really interpolates, else our own
    Own,
    Wic,
};

struct DecodeOptions {
    ScreenSize screen;
    Resampler resampler = Resampler::Automatic;
    // Source pixels a decode may touch at their full size.
    double maxSourcePixels = 0;
};

// A full-size decode holds up to four bytes per source pixel. 400 million
// pixels (1.6 GB) still fit a 64-bit process beside everything else; a
// 32-bit one has 2 GB of address space for all of the program, of which
// 100 million pixels (400 MB) leave enough in one piece.
double defaultMaxSourcePixels();

DecodeOptions defaultDecodeOptions();

struct DecodeTimes {
    double decodeMs = 0;  // opening the file and decoder, and any source transform
    double scaleMs = 0;   // pulling the rows through the resampler into the bitmap
};

// Where a decode puts its pixels: given the bitmap's size and the picture's
// natural size as seen upright, the first of bitmapHeight top-down rows of bitmapWidth 32-bit
// pixels; null to give up.
using Canvas = std::function<void*(int bitmapWidth, int bitmapHeight, int naturalWidth, int naturalHeight)>;

// False when the file is missing, damaged, not one of the kinds the program
// shows (whatever its name says), too large to decode, or when cancel was set
// meanwhile. Never throws.
bool decodeFileInto(IWICImagingFactory* factory, const std::string& path, const DecodeOptions& options,
                    const Canvas& canvas, const std::atomic<bool>* cancel = nullptr,
                    DecodeTimes* times = nullptr) noexcept;

// The same from a file already opened for reading, which stays open.
bool decodeOpenFileInto(IWICImagingFactory* factory, HANDLE file, const DecodeOptions& options, const Canvas& canvas,
                        const std::atomic<bool>* cancel = nullptr, DecodeTimes* times = nullptr) noexcept;

// The same into a bitmap of its own; null for what decodeFileInto refuses.
std::shared_ptr<Win32Picture> decodeFile(IWICImagingFactory* factory, const std::string& path,
                                         const DecodeOptions& options, const std::atomic<bool>* cancel = nullptr,
                                         DecodeTimes* times = nullptr) noexcept;

// The same for a source already opened, e.g. a decoder's frame.
std::shared_ptr<Win32Picture> decodeSource(IWICImagingFactory* factory, IWICBitmapSource* source,
                                           const DecodeOptions& options, const std::atomic<bool>* cancel = nullptr,
                                           DecodeTimes* times = nullptr) noexcept;

// The pixels of the largest frame a picture file's header claims, read
// before any decoder sees the file; nothing when the header cannot be read.
std::optional<double> claimedPixels(HANDLE file);

// Whether WIC's scaler smooths (Windows) or picks the nearest pixels.
// Wine: picks the nearest pixels.
bool wicScalerIsSmooth(IWICImagingFactory* factory);

// Whether the JPEG decoder can decode scaled down through a source transform.
// Wine: cannot.
bool jpegDecodesScaled(IWICImagingFactory* factory);

}  // namespace pictavo::platform::win32
