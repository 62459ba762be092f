#pragma once
// The program's mouse pointers: its own arrow and pointing hand, and the
// system's text cursor.

#include <windows.h>

#include <array>
#include <string_view>

#include "platform/form_layout.h"
#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

inline constexpr int kCursorSize = 32;

// A cursor drawn as rows of text: 'B' black, 'W' white, anything else
// transparent. Rows and columns beyond the drawing are transparent.
struct CursorPlanes {
    std::array<BYTE, kCursorSize * kCursorSize / 8> andMask{};
    std::array<BYTE, kCursorSize * kCursorSize / 8> xorMask{};
};
CursorPlanes cursorPlanes(const std::string_view* rows, std::size_t rowCount);

class Pointers {
public:
    explicit Pointers(HINSTANCE instance);
    // Null for Pointer::Default: the control keeps its class cursor.
    HCURSOR get(Pointer pointer) const;

private:
    unique_hcursor arrow_;
    unique_hcursor hand_;
};

}  // namespace pictavo::platform::win32
