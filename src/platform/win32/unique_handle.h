#pragma once
// Move-only owners of Win32 handles: each closes its handle with the one
// function that matches how it was obtained.

#include <windows.h>

#include <utility>

#include <wrl/client.h>

namespace pictavo::platform::win32 {

template <typename Traits>
class unique_any {
public:
    using pointer = typename Traits::pointer;

    unique_any() noexcept = default;
    explicit unique_any(pointer value) noexcept : value_(value) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_any() { reset(); }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) noexcept {
        pointer old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    pointer value_ = Traits::invalid();
};

namespace handle_traits {

struct Window {
    using pointer = HWND;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { DestroyWindow(p); }
};

template <typename Gdi>
struct GdiObject {
    using pointer = Gdi;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { DeleteObject(p); }
};

struct Cursor {
    using pointer = HCURSOR;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { DestroyCursor(p); }
};

struct Icon {
    using pointer = HICON;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { DestroyIcon(p); }
};

// Process, thread and mutex handles: null when missing.
struct Kernel {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { CloseHandle(p); }
};

// File handles: INVALID_HANDLE_VALUE when missing.
struct File {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer p) noexcept { CloseHandle(p); }
};

struct Find {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer p) noexcept { FindClose(p); }
};

struct RegistryKey {
    using pointer = HKEY;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { RegCloseKey(p); }
};

// Memory device contexts from CreateCompatibleDC.
struct MemoryDc {
    using pointer = HDC;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { DeleteDC(p); }
};

// Views of file mappings from MapViewOfFile.
struct MappedView {
    using pointer = void*;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { UnmapViewOfFile(p); }
};

}  // namespace handle_traits

using unique_hwnd = unique_any<handle_traits::Window>;
using unique_hfont = unique_any<handle_traits::GdiObject<HFONT>>;
using unique_hbrush = unique_any<handle_traits::GdiObject<HBRUSH>>;
using unique_hbitmap = unique_any<handle_traits::GdiObject<HBITMAP>>;
using unique_hpen = unique_any<handle_traits::GdiObject<HPEN>>;
using unique_hcursor = unique_any<handle_traits::Cursor>;
using unique_hicon = unique_any<handle_traits::Icon>;
using unique_handle = unique_any<handle_traits::Kernel>;
using unique_hfile = unique_any<handle_traits::File>;
using unique_hfind = unique_any<handle_traits::Find>;
using unique_hkey = unique_any<handle_traits::RegistryKey>;
using unique_hdc = unique_any<handle_traits::MemoryDc>;
using unique_view = unique_any<handle_traits::MappedView>;

template <typename T>
using com_ptr = Microsoft::WRL::ComPtr<T>;

// A window's device context from GetDC, given back with ReleaseDC.
class unique_window_dc {
public:
    explicit unique_window_dc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;
    ~unique_window_dc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint ... EndPaint.
class paint_scope {
public:
    explicit paint_scope(HWND window) noexcept : window_(window) { dc_ = BeginPaint(window, &paint_); }
    paint_scope(const paint_scope&) = delete;
    paint_scope& operator=(const paint_scope&) = delete;
    ~paint_scope() { EndPaint(window_, &paint_); }
    HDC dc() const noexcept { return dc_; }
    const RECT& area() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// Selects a GDI object into a DC and selects the previous one back.
class select_scope {
public:
    select_scope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    select_scope(const select_scope&) = delete;
    select_scope& operator=(const select_scope&) = delete;
    ~select_scope() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace pictavo::platform::win32
