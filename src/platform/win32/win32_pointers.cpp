#include "platform/win32/win32_pointers.h"

#include <iterator>

namespace pictavo::platform::win32 {

namespace {

constexpr std::string_view kArrow[] = {
    "B",
    "BB",
    "BWB",
    "BWWB",
    "BWWWB",
    "BWWWWB",
    "BWWWWWB",
    "BWWWWWWB",
    "BWWWWWWWB",
    "BWWWWWWWWB",
    "BWWWWWWWWWB",
    "BWWWWWWWWWWB",
    "BWWWWWWBBBBBB",
    "BWWWBWWB",
    "BWWBBWWB",
    "BWB  BWWB",
    "BB   BWWB",
    "B     BWWB",
    "      BWWB",
    "       BWWB",
    "       BWWB",
    "        BB",
};

// Hot spot on the tip of the index finger.
constexpr int kHandHotX = 5;
constexpr std::string_view kHand[] = {
    "    BBB",
    "   BWWWB",
    "   BWWWB",
    "   BWWWB",
    "   BWWWB",
    "   BWWWBBB",
    "   BWWWBWWBBB",
    "   BWWWBWWBWWBB",
    "   BWWWBWWBWWBWB",
    "BB BWWWWWWWWWBWWB",
    "BWBBWWWWWWWWWWWWB",
    "BWWBWWWWWWWWWWWWB",
    " BWWWWWWWWWWWWWWB",
    "  BWWWWWWWWWWWWWB",
    "  BWWWWWWWWWWWWWB",
    "   BWWWWWWWWWWWWB",
    "   BWWWWWWWWWWWB",
    "    BWWWWWWWWWWB",
    "    BWWWWWWWWWWB",
    "     BWWWWWWWWB",
    "     BWWWWWWWWB",
    "     BBBBBBBBBB",
};

unique_hcursor makeCursor(HINSTANCE instance, int hotX, int hotY, const std::string_view* rows, std::size_t count) {
    const CursorPlanes planes = cursorPlanes(rows, count);
    return unique_hcursor(
        CreateCursor(instance, hotX, hotY, kCursorSize, kCursorSize, planes.andMask.data(), planes.xorMask.data()));
}

}  // namespace

CursorPlanes cursorPlanes(const std::string_view* rows, std::size_t rowCount) {
    CursorPlanes planes;
    planes.andMask.fill(0xFF);
    for (std::size_t y = 0; y < rowCount && y < static_cast<std::size_t>(kCursorSize); ++y) {
        for (std::size_t x = 0; x < rows[y].size() && x < static_cast<std::size_t>(kCursorSize); ++x) {
            const char pixel = rows[y][x];
            if (pixel != 'B' && pixel != 'W') continue;
            const std::size_t byte = y * (kCursorSize / 8) + x / 8;
            const auto bit = static_cast<BYTE>(0x80u >> (x % 8));
            planes.andMask[byte] = static_cast<BYTE>(planes.andMask[byte] & ~bit);
            if (pixel == 'W') planes.xorMask[byte] = static_cast<BYTE>(planes.xorMask[byte] | bit);
        }
    }
    return planes;
}

Pointers::Pointers(HINSTANCE instance)
    : arrow_(makeCursor(instance, 0, 0, kArrow, std::size(kArrow))),
      hand_(makeCursor(instance, kHandHotX, 0, kHand, std::size(kHand))) {}

HCURSOR Pointers::get(Pointer pointer) const {
    switch (pointer) {
        case Pointer::Arrow:
            return arrow_ ? arrow_.get() : LoadCursorW(nullptr, IDC_ARROW);
        case Pointer::Hand:
            return hand_ ? hand_.get() : LoadCursorW(nullptr, IDC_HAND);
        case Pointer::IBeam:
            return LoadCursorW(nullptr, IDC_IBEAM);
        case Pointer::Default:
            break;
    }
    return nullptr;
}

}  // namespace pictavo::platform::win32
