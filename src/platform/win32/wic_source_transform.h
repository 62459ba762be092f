#pragma once
// IWICBitmapSourceTransform, which MinGW's wincodec.h does not declare: a
// decoder that offers it can decode straight to a smaller size (JPEG: 1/2,
// 1/4, 1/8), so that a large picture never exists at its full size.

#include <wincodec.h>

namespace pictavo::platform::win32 {

inline constexpr IID kIidWicSourceTransform = {
    0x3B16811B, 0x6A43, 0x4EC9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};

struct WicSourceTransform : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                                 WICPixelFormatGUID* format, WICBitmapTransformOptions transform,
                                                 UINT stride, UINT bufferSize, BYTE* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;

protected:
    ~WicSourceTransform() = default;
};

}  // namespace pictavo::platform::win32
