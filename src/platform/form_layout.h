#pragma once
// Windows and controls described as data. Every window of the program is one
// FormLayout; the form engine (form.h) and a backend (NativeForm) build it.

#include <cstdint>
#include <string>
#include <vector>

namespace pictavo::platform {

enum class ControlKind {
    Frame,       // group box; holds other controls
    Label,       // static text
    Button,      // push button
    CheckBox,    // three-state check box: 0, 1, 2 (grayed)
    TextBox,     // single-line edit
    HScrollBar,  // horizontal scroll bar, 16-bit range
    Line,        // a drawn line from (left, top) to (width, height) as x2, y2
    Image,       // holds a picture; optionally stretched
    ListBox,     // plain list of texts
    Timer,       // invisible; value is the interval in milliseconds
};

enum class Border { FixedSingle, ToolWindow, None };
enum class Role { None, Default, Cancel };
enum class Pointer { Default, Arrow, Hand, IBeam };

// Colours are 0x00BBGGRR like the window system's; kDefaultColor keeps the
// system's colour.
inline constexpr std::uint32_t kDefaultColor = 0xFFFFFFFFu;
constexpr std::uint32_t rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
           (static_cast<std::uint32_t>(b) << 16);
}

struct Font {
    std::string face{};     // empty: the window's default font
    double points = 0;
    bool bold = false;
};

struct ControlLayout {
    std::string name{};
    ControlKind kind = ControlKind::Label;
    std::string parent{};  // a frame's name, or empty for the window's client area
    double left = 0, top = 0, width = 0, height = 0;  // twips, relative to parent
    std::string caption{};  // caption or text; '&' marks the access key
    std::string tooltip{};
    int tabIndex = -1;    // -1: takes no focus
    Font font{};
    Role role = Role::None;
    Pointer pointer = Pointer::Default;
    bool visible = true;
    int value = 0;        // check box, scroll bar, timer interval
    int min = 0, max = 0;
    int smallChange = 1, largeChange = 1;
    std::uint32_t foreColor = kDefaultColor;
    bool transparent = false;  // label drawn without background
    bool autoSize = false;     // label sizes itself to its text
};

struct FormLayout {
    std::string name{};
    std::string caption{};
    Border border = Border::FixedSingle;
    double clientWidth = 0, clientHeight = 0;  // twips
    double left = 0, top = 0;                  // twips, screen
    bool centerOnScreen = false;
    bool closeBox = true;
    bool keyPreview = false;
    bool appIcon = false;
    bool topMost = false;
    std::uint32_t backColor = kDefaultColor;
    Pointer pointer = Pointer::Default;
    std::vector<ControlLayout> controls{};
};

}  // namespace pictavo::platform
