#include "platform/win32/wic_decode.h"

#include <shlwapi.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/pictures/picture_header.h"
#include "platform/pictures/picture_orientation.h"
#include "platform/pictures/picture_scaler.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wic_source_transform.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_files.h"
#include "platform/picture_fit.h"

namespace pictavo::platform::win32 {

namespace {

// Newer than MinGW's headers; factories before Windows 10 refuse it.
constexpr auto kHighQualityCubic = static_cast<WICBitmapInterpolationMode>(4);
constexpr UINT kBandRows = 64;

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

std::optional<SourceLayout> layoutOf(const WICPixelFormatGUID& format) {
    if (format == GUID_WICPixelFormat24bppBGR) return SourceLayout::Bgr24;
    if (format == GUID_WICPixelFormat32bppBGR) return SourceLayout::Bgrx32;
    if (format == GUID_WICPixelFormat32bppBGRA) return SourceLayout::Bgra32;
    if (format == GUID_WICPixelFormat32bppPBGRA) return SourceLayout::Pbgra32;
    return std::nullopt;
}

bool hasAlpha(SourceLayout layout) { return layout == SourceLayout::Bgra32 || layout == SourceLayout::Pbgra32; }

com_ptr<IWICBitmapSource> convertTo(IWICImagingFactory* factory, IWICBitmapSource* source,
                                    const WICPixelFormatGUID& format) {
    com_ptr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(source, format, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return nullptr;
    return converter;
}

com_ptr<IWICBitmapSource> scaleWithWic(IWICImagingFactory* factory, IWICBitmapSource* source, PixelSize size) {
    for (WICBitmapInterpolationMode mode : {kHighQualityCubic, WICBitmapInterpolationModeFant}) {
        com_ptr<IWICBitmapScaler> scaler;
        if (FAILED(factory->CreateBitmapScaler(&scaler))) return nullptr;
        if (SUCCEEDED(scaler->Initialize(source, size.width, size.height, mode))) return scaler;
    }
    return nullptr;
}

// The source transform's scaled decode, held in a WIC bitmap.
com_ptr<IWICBitmapSource> decodeScaled(IWICImagingFactory* factory, IWICBitmapSource* source, PixelSize natural,
                                       PixelSize target, double maxPixels) {
    com_ptr<WicSourceTransform> transform;
    if (FAILED(source->QueryInterface(kIidWicSourceTransform, reinterpret_cast<void**>(transform.GetAddressOf()))) ||
        !transform)
        return nullptr;
    BOOL plain = FALSE;
    if (FAILED(transform->DoesSupportTransform(WICBitmapTransformRotate0, &plain)) || !plain) return nullptr;
    const PixelSize size = transformSize(natural, target, [&](PixelSize request) {
        UINT width = request.width, height = request.height;
        if (FAILED(transform->GetClosestSize(&width, &height))) return PixelSize{};
        return PixelSize{width, height};
    });
    if (size == natural || static_cast<double>(size.width) * size.height > maxPixels) return nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(transform->GetClosestPixelFormat(&format))) return nullptr;

    com_ptr<IWICBitmap> bitmap;
    if (FAILED(factory->CreateBitmap(size.width, size.height, format, WICBitmapCacheOnLoad, &bitmap))) return nullptr;
    const WICRect all{0, 0, static_cast<INT>(size.width), static_cast<INT>(size.height)};
    com_ptr<IWICBitmapLock> lock;
    if (FAILED(bitmap->Lock(&all, WICBitmapLockWrite, &lock))) return nullptr;
    UINT stride = 0, bufferSize = 0;
    BYTE* buffer = nullptr;
    if (FAILED(lock->GetStride(&stride)) || FAILED(lock->GetDataPointer(&bufferSize, &buffer)) || !buffer)
        return nullptr;
    if (FAILED(transform->CopyPixels(nullptr, size.width, size.height, &format, WICBitmapTransformRotate0, stride,
                                     bufferSize, buffer)))
        return nullptr;
    lock.Reset();
    return bitmap;
}

bool drawWithOwnResampler(IWICImagingFactory* factory, com_ptr<IWICBitmapSource> source, PixelSize size,
                          PixelSize target, void* bits, const std::atomic<bool>* cancel) {
    WICPixelFormatGUID format{};
    if (FAILED(source->GetPixelFormat(&format))) return false;
    std::optional<SourceLayout> layout = layoutOf(format);
    if (!layout) {
        source = convertTo(factory, source.Get(), GUID_WICPixelFormat32bppPBGRA);
        if (!source) return false;
        layout = SourceLayout::Pbgra32;
    }
    ResampleJob job;
    job.sourceWidth = static_cast<int>(size.width);
    job.sourceHeight = static_cast<int>(size.height);
    job.layout = *layout;
    job.targetWidth = static_cast<int>(target.width);
    job.targetHeight = static_cast<int>(target.height);
    job.target = static_cast<std::uint8_t*>(bits);
    job.targetStride = static_cast<std::size_t>(target.width) * 4;
    IWICBitmapSource* rows = source.Get();
    return resample(
        job,
        [&](int first, int count, int column, int width, std::uint8_t* buffer, std::size_t stride) {
            const WICRect band{column, first, width, count};
            return SUCCEEDED(rows->CopyPixels(&band, static_cast<UINT>(stride),
                                              static_cast<UINT>(stride * static_cast<std::size_t>(count)), buffer));
        },
        cancel);
}

bool drawWithWicScaler(IWICImagingFactory* factory, com_ptr<IWICBitmapSource> source, PixelSize size,
                       PixelSize target, void* bits, const std::atomic<bool>* cancel) {
    WICPixelFormatGUID format{};
    if (FAILED(source->GetPixelFormat(&format))) return false;
    const std::optional<SourceLayout> layout = layoutOf(format);
    // Straight alpha must be premultiplied before neighbouring pixels mix.
    const bool convertFirst = !layout || hasAlpha(*layout);
    if (convertFirst && !(source = convertTo(factory, source.Get(), GUID_WICPixelFormat32bppPBGRA))) return false;
    if (!(size == target) && !(source = scaleWithWic(factory, source.Get(), target))) return false;
    if (!convertFirst && !(source = convertTo(factory, source.Get(), GUID_WICPixelFormat32bppPBGRA))) return false;
    const UINT stride = target.width * 4;
    auto* out = static_cast<BYTE*>(bits);
    for (UINT y = 0; y < target.height; y += kBandRows) {
        if (cancelled(cancel)) return false;
        const UINT rows = std::min(kBandRows, target.height - y);
        const WICRect band{0, static_cast<INT>(y), static_cast<INT>(target.width), static_cast<INT>(rows)};
        if (FAILED(source->CopyPixels(&band, stride, stride * rows, out + static_cast<std::size_t>(y) * stride)))
            return false;
    }
    return true;
}

// The picture is resampled in its stored orientation to the size it takes on
// the screen upright, and only then turned: never a copy of the source.
bool render(IWICImagingFactory* factory, IWICBitmapSource* frame, int orientation, const DecodeOptions& options,
            const Canvas& canvas, const std::atomic<bool>* cancel, DecodeTimes* times, Clock::time_point start) {
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return false;
    if (width > INT_MAX / 4 || height > INT_MAX / 4) return false;
    const bool swapped = swapsAxes(orientation);
    const PixelSize natural{width, height};
    const PixelSize upright = swapped ? PixelSize{height, width} : natural;
    const PixelSize shown = fittedSize(upright, options.screen);
    const PixelSize target = swapped ? PixelSize{shown.height, shown.width} : shown;

    com_ptr<IWICBitmapSource> source = frame;
    PixelSize size = natural;
    if (target.width < natural.width && target.height < natural.height) {
        if (auto scaled = decodeScaled(factory, frame, natural, target, options.maxSourcePixels)) {
            source = scaled;
            if (FAILED(source->GetSize(&size.width, &size.height))) return false;
        }
    }
    if (static_cast<double>(size.width) * size.height > options.maxSourcePixels) return false;
    if (cancelled(cancel)) return false;
    const Clock::time_point scaling = Clock::now();
    if (times) times->decodeMs = std::chrono::duration<double, std::milli>(scaling - start).count();

    void* bits = canvas(static_cast<int>(shown.width), static_cast<int>(shown.height),
                        static_cast<int>(upright.width), static_cast<int>(upright.height));
    if (!bits) return false;
    std::vector<std::uint32_t> stored(turnsPixels(orientation) ? std::size_t{target.width} * target.height : 0);
    void* drawTo = stored.empty() ? bits : stored.data();
    // Wine: its scaler picks the nearest pixels for every mode; our own
    // resampler then smooths.
    const bool wic = options.resampler == Resampler::Wic ||
                     (options.resampler == Resampler::Automatic && wicScalerIsSmooth(factory));
    const bool drawn = wic ? drawWithWicScaler(factory, source, size, target, drawTo, cancel)
                           : drawWithOwnResampler(factory, source, size, target, drawTo, cancel);
    if (!drawn || cancelled(cancel)) return false;
    if (!stored.empty())
        turnUpright(stored.data(), static_cast<int>(target.width), static_cast<int>(target.height), orientation,
                    static_cast<std::uint32_t*>(bits));
    if (times) times->scaleMs = msSince(scaling);
    return true;
}

// A canvas that makes the picture's own bitmap.
struct BitmapCanvas {
    std::shared_ptr<Win32Picture> picture;
    Canvas canvas() {
        return [this](int bitmapWidth, int bitmapHeight, int naturalWidth, int naturalHeight) -> void* {
            void* bits = nullptr;
            picture = Win32Picture::create(bitmapWidth, bitmapHeight, naturalWidth, naturalHeight, &bits);
            return picture ? bits : nullptr;
        };
    }
    std::shared_ptr<Win32Picture> result(bool drawn) {
        if (!drawn) return nullptr;
        GdiFlush();
        return std::move(picture);
    }
};

std::optional<PictureKind> kindOf(const GUID& container) {
    if (container == GUID_ContainerFormatBmp) return PictureKind::Bmp;
    if (container == GUID_ContainerFormatGif) return PictureKind::Gif;
    if (container == GUID_ContainerFormatJpeg) return PictureKind::Jpeg;
    if (container == GUID_ContainerFormatPng) return PictureKind::Png;
    return std::nullopt;
}

// The first bytes of a file, read with a handle of our own before any decoder
// sees it.
std::optional<HeaderSize> headerOf(HANDLE file) {
    return readHeaderSize([file](std::uint64_t offset, void* buffer, std::size_t size) -> std::size_t {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        return ReadFile(file, buffer, static_cast<DWORD>(size), &read, &at) ? read : 0;
    });
}

// The orientation WIC's metadata reader finds, if any.
std::optional<int> recordedOrientation(IWICBitmapFrameDecode* frame) {
    com_ptr<IWICMetadataQueryReader> reader;
    if (FAILED(frame->GetMetadataQueryReader(&reader)) || !reader) return std::nullopt;
    PROPVARIANT value;
    PropVariantInit(&value);
    std::optional<int> orientation;
    if (SUCCEEDED(reader->GetMetadataByName(L"/app1/ifd/{ushort=274}", &value)) && value.vt == VT_UI2)
        orientation = value.uiVal;
    PropVariantClear(&value);
    return orientation;
}

bool hasMiddleTones(const BYTE* pixels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (pixels[i * 4] > 24 && pixels[i * 4] < 232) return true;
    return false;
}

bool scalerSmooths(IWICImagingFactory* factory, UINT from, UINT to) {
    std::vector<BYTE> board(static_cast<std::size_t>(from) * from * 4, 255);
    for (UINT y = 0; y < from; ++y)
        for (UINT x = 0; x < from; ++x)
            if ((x + y) % 2) std::fill_n(&board[(static_cast<std::size_t>(y) * from + x) * 4], 3, BYTE{0});
    com_ptr<IWICBitmap> bitmap;
    if (FAILED(factory->CreateBitmapFromMemory(from, from, GUID_WICPixelFormat32bppPBGRA, from * 4,
                                               static_cast<UINT>(board.size()), board.data(), &bitmap)))
        return false;
    com_ptr<IWICBitmapSource> scaled = scaleWithWic(factory, bitmap.Get(), {to, to});
    std::vector<BYTE> out(static_cast<std::size_t>(to) * to * 4);
    if (!scaled || FAILED(scaled->CopyPixels(nullptr, to * 4, static_cast<UINT>(out.size()), out.data())))
        return false;
    return hasMiddleTones(out.data(), static_cast<std::size_t>(to) * to);
}

// An 8 x 8 grey JPEG.
constexpr unsigned char kTinyJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
    0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0xa0, 0x6e, 0x78, 0x8c, 0x78, 0x64, 0xa0, 0x8c, 0x82, 0x8c, 0xb4, 0xaa, 0xa0,
    0xbe, 0xf0, 0xff, 0xff, 0xf0, 0xdc, 0xdc, 0xf0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
    0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
    0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xc0, 0x00, 0x0b,
    0x08, 0x00, 0x08, 0x00, 0x08, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xda, 0x00, 0x08,
    0x01, 0x01, 0x00, 0x00, 0x3f, 0x00, 0x3f, 0xff, 0xd9};

bool jpegOffersTransform(IWICImagingFactory* factory) {
    com_ptr<IStream> stream;
    stream.Attach(SHCreateMemStream(kTinyJpeg, sizeof kTinyJpeg));
    com_ptr<IWICBitmapDecoder> decoder;
    com_ptr<IWICBitmapFrameDecode> frame;
    com_ptr<WicSourceTransform> transform;
    return stream &&
           SUCCEEDED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                      &decoder)) &&
           SUCCEEDED(decoder->GetFrame(0, &frame)) &&
           SUCCEEDED(frame->QueryInterface(kIidWicSourceTransform,
                                           reinterpret_cast<void**>(transform.GetAddressOf()))) &&
           transform;
}

}  // namespace

ScreenSize primaryScreen() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), systemDpi()}; }

PixelSize fittedSize(PixelSize natural, const ScreenSize& screen) {
    const UINT dpi = screen.dpi ? screen.dpi : 96;
    const double twipsPerPixel = kTwipsPerInch / dpi;
    const FittedSize fitted = fitToScreen(static_cast<float>(natural.width * twipsPerPixel),
                                          static_cast<float>(natural.height * twipsPerPixel),
                                          static_cast<float>(screen.widthPx * twipsPerPixel),
                                          static_cast<float>(screen.heightPx * twipsPerPixel));
    const int width = std::clamp(twipsToPixels(fitted.width, dpi), 1, std::max(1, screen.widthPx));
    const int height = std::clamp(twipsToPixels(fitted.height, dpi), 1, std::max(1, screen.heightPx));
    return {static_cast<UINT>(width), static_cast<UINT>(height)};
}

PixelSize transformSize(PixelSize natural, PixelSize target, const std::function<PixelSize(PixelSize)>& closest) {
    PixelSize request = target;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const PixelSize offered = closest(request);
        if (offered.width == 0 || offered.height == 0 || offered.width > natural.width ||
            offered.height > natural.height)
            return natural;
        if (offered.width >= target.width && offered.height >= target.height) return offered;
        if (request == natural) return natural;
        request = {std::min(natural.width, request.width * 2), std::min(natural.height, request.height * 2)};
    }
    return natural;
}

double defaultMaxSourcePixels() { return sizeof(void*) >= 8 ? 400e6 : 100e6; }

DecodeOptions defaultDecodeOptions() { return {primaryScreen(), Resampler::Automatic, defaultMaxSourcePixels()}; }

std::shared_ptr<Win32Picture> decodeSource(IWICImagingFactory* factory, IWICBitmapSource* source,
                                           const DecodeOptions& options, const std::atomic<bool>* cancel,
                                           DecodeTimes* times) noexcept {
    if (!factory || !source) return nullptr;
    try {
        BitmapCanvas bitmap;
        return bitmap.result(render(factory, source, 1, options, bitmap.canvas(), cancel, times, Clock::now()));
    } catch (...) {
        return nullptr;
    }
}

bool decodeFileInto(IWICImagingFactory* factory, const std::string& path, const DecodeOptions& options,
                    const Canvas& canvas, const std::atomic<bool>* cancel, DecodeTimes* times) noexcept {
    if (path.empty()) return false;
    try {
        const unique_hfile file(CreateFileW(apiPath(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file && decodeOpenFileInto(factory, file.get(), options, canvas, cancel, times);
    } catch (...) {
        return false;
    }
}

bool decodeOpenFileInto(IWICImagingFactory* factory, HANDLE file, const DecodeOptions& options, const Canvas& canvas,
                        const std::atomic<bool>* cancel, DecodeTimes* times) noexcept {
    if (!factory || !file || file == INVALID_HANDLE_VALUE) return false;
    try {
        const Clock::time_point start = Clock::now();
        // Decoders without a source transform allocate the whole picture as
        // soon as they open it, some decode it then.
        // Wine: its JPEG decoder has no source transform.
        const std::optional<HeaderSize> header = headerOf(file);
        if (header && (header->width == 0 || header->height == 0)) return false;
        if (header && header->pixels() > options.maxSourcePixels &&
            !(header->kind == PictureKind::Jpeg && jpegDecodesScaled(factory)))
            return false;
        // The header was read at offsets, which moved the file's position.
        if (!SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return false;
        com_ptr<IWICBitmapDecoder> decoder;
        if (FAILED(factory->CreateDecoderFromFileHandle(reinterpret_cast<ULONG_PTR>(file), nullptr,
                                                        WICDecodeMetadataCacheOnDemand, &decoder)))
            return false;
        // The decoder goes by the content, not by the name: only the kinds the
        // program shows, and the kind whose header was checked.
        GUID container{};
        if (FAILED(decoder->GetContainerFormat(&container))) return false;
        const std::optional<PictureKind> kind = kindOf(container);
        if (!kind || (header && header->kind != *kind)) return false;
        com_ptr<IWICBitmapFrameDecode> frame;
        if (FAILED(decoder->GetFrame(0, &frame)) || !frame) return false;
        int orientation = 1;
        // Wine: its JPEG decoder offers a metadata reader that finds nothing;
        // the orientation in the file's own header then counts.
        if (*kind == PictureKind::Jpeg)
            orientation = recordedOrientation(frame.Get()).value_or(header ? header->orientation : 1);
        return render(factory, frame.Get(), orientation, options, canvas, cancel, times, start);
    } catch (...) {
        // Out of memory while decoding: the picture cannot be shown.
        return false;
    }
}

std::shared_ptr<Win32Picture> decodeFile(IWICImagingFactory* factory, const std::string& path,
                                         const DecodeOptions& options, const std::atomic<bool>* cancel,
                                         DecodeTimes* times) noexcept {
    try {
        BitmapCanvas bitmap;
        return bitmap.result(decodeFileInto(factory, path, options, bitmap.canvas(), cancel, times));
    } catch (...) {
        return nullptr;
    }
}

std::optional<double> claimedPixels(HANDLE file) {
    if (!file || file == INVALID_HANDLE_VALUE) return std::nullopt;
    const std::optional<HeaderSize> header = headerOf(file);
    if (!header) return std::nullopt;
    return header->pixels();
}

bool wicScalerIsSmooth(IWICImagingFactory* factory) {
    static std::once_flag once;
    static bool smooth = false;
    std::call_once(once, [&] { smooth = factory && scalerSmooths(factory, 4, 2) && scalerSmooths(factory, 2, 5); });
    return smooth;
}

bool jpegDecodesScaled(IWICImagingFactory* factory) {
    static std::once_flag once;
    static bool scaled = false;
    std::call_once(once, [&] { scaled = factory && jpegOffersTransform(factory); });
    return scaled;
}

}  // namespace pictavo::platform::win32
