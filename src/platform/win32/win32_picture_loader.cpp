#include "platform/win32/win32_picture_loader.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_picture.h"

namespace pictavo::platform::win32 {

namespace {
// Larger pictures are decoded scaled down to this many pixels, so that a huge
// file does not exhaust a 32-bit address space.
constexpr double kMaxPixels = 48.0 * 1024 * 1024;
}  // namespace

IWICImagingFactory* Win32PictureLoader::factory() {
    if (!factory_)
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory_));
    return factory_.Get();
}

std::shared_ptr<const Picture> Win32PictureLoader::load(const std::string& path) {
    IWICImagingFactory* wic = factory();
    if (!wic || path.empty()) return nullptr;

    com_ptr<IWICBitmapDecoder> decoder;
    if (FAILED(wic->CreateDecoderFromFilename(apiPath(path).c_str(), nullptr, GENERIC_READ,
                                              WICDecodeMetadataCacheOnDemand, &decoder)))
        return nullptr;
    com_ptr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, &frame))) return nullptr;
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return nullptr;

    com_ptr<IWICBitmapSource> source = frame;
    UINT bitmapWidth = width, bitmapHeight = height;
    const double pixels = static_cast<double>(width) * static_cast<double>(height);
    if (pixels > kMaxPixels) {
        const double factor = std::sqrt(kMaxPixels / pixels);
        bitmapWidth = std::max(1u, static_cast<UINT>(width * factor));
        bitmapHeight = std::max(1u, static_cast<UINT>(height * factor));
        com_ptr<IWICBitmapScaler> scaler;
        if (FAILED(wic->CreateBitmapScaler(&scaler)) ||
            FAILED(scaler->Initialize(source.Get(), bitmapWidth, bitmapHeight, WICBitmapInterpolationModeFant)))
            return nullptr;
        source = scaler;
    }

    com_ptr<IWICFormatConverter> converter;
    if (FAILED(wic->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(source.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom)))
        return nullptr;

    void* bits = nullptr;
    auto picture = Win32Picture::create(static_cast<int>(bitmapWidth), static_cast<int>(bitmapHeight),
                                        static_cast<int>(width), static_cast<int>(height), &bits);
    if (!picture) return nullptr;
    const UINT stride = bitmapWidth * 4;
    const UINT size = stride * bitmapHeight;
    if (FAILED(converter->CopyPixels(nullptr, stride, size, static_cast<BYTE*>(bits)))) return nullptr;
    GdiFlush();
    return picture;
}

}  // namespace pictavo::platform::win32
