#pragma once
// A form's controls as a backend places them: the tree of frames, the
// visibility and enabling that a frame passes on to what it holds, which
// control lies above which, and every control's rectangle in pixels at a
// given resolution. A backend keeps here what the engine pushes about these,
// and asks here what follows from it.

#include <vector>

#include "platform/form_layout.h"
#include "platform/window_system.h"

namespace pictavo::platform {

inline constexpr double kTwipsPerInch = 1440.0;

// To the nearest pixel at dpi dots per inch.
int twipsToPixels(double twips, unsigned dpi);
double pixelsToTwips(int pixels, unsigned dpi);

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelSize {
    int width = 0, height = 0;
};

// Whether a control of this kind can have the keyboard focus.
bool takesFocus(ControlKind kind);

class FormGeometry {
public:
    explicit FormGeometry(FormLayout layout);

    const FormLayout& form() const { return layout_; }
    int count() const { return static_cast<int>(controls_.size()); }
    bool has(int index) const { return index >= 0 && index < count(); }
    const ControlLayout& layout(int index) const { return layout_.controls[at(index)]; }
    // The frame the control lies in, or kFormItself.
    int parent(int index) const { return controls_[at(index)].parent; }

    // As the engine last set them: bounds relative to the parent frame.
    const TwipRect& bounds(int index) const { return controls_[at(index)].bounds; }
    bool visible(int index) const { return controls_[at(index)].visible; }
    bool enabled(int index) const { return controls_[at(index)].enabled; }
    void setBounds(int index, const TwipRect& rect) { controls_[at(index)].bounds = rect; }
    void setVisible(int index, bool visible) { controls_[at(index)].visible = visible; }
    void setEnabled(int index, bool enabled) { controls_[at(index)].enabled = enabled; }

    // With the frames around the control: it shows (takes input) only when
    // it and every frame it lies in is visible (enabled).
    bool effectiveVisible(int index) const;
    bool effectiveEnabled(int index) const;
    // The control is the frame or lies in it, however deep.
    bool inside(int index, int frame) const;
    // The control and every control it holds, in layout order: what a change
    // of its place, visibility or enabling may alter.
    std::vector<int> withContents(int index) const;

    // Top to bottom: the controls that take the focus in tab order, then the
    // others as listed, then the frames, inner before outer, so that every
    // frame lies below its contents.
    const std::vector<int>& zOrder() const { return zOrder_; }
    int zRank(int index) const { return controls_[at(index)].zRank; }  // 0: topmost
    // The controls that take the focus, in tab order.
    std::vector<int> tabOrder() const;

    // A label drawn without background shows what lies below it.
    bool transparentLabel(int index) const;
    // A label with a background of its own, which the backend paints itself.
    bool paintedLabel(int index) const;
    // A label whose size is that of its text.
    bool sizesToText(int index) const;
    // The transparent labels above the control, which must draw themselves
    // again when what it shows changes.
    std::vector<int> transparentAbove(int index) const;
    // What a transparent label shows through: the pictures and transparent
    // labels below it, bottom first.
    std::vector<int> seenThrough(int label) const;

    // The control's rectangle in the form's client area at dpi. A label that
    // sizes itself takes textSize, its text's size in pixels. A line covers
    // both its points, one pixel wider and higher for its stroke, two for an
    // etched one.
    PixelRect pixelRect(int index, unsigned dpi, PixelSize textSize = {}) const;
    // A line runs from its rectangle's top-left to its bottom-right corner,
    // otherwise from the bottom-left to the top-right.
    bool lineFromTopLeft(int index) const;

private:
    struct Control {
        int parent = kFormItself;
        int zRank = 0;
        TwipRect bounds;
        bool visible = true, enabled = true;
    };
    std::size_t at(int index) const { return static_cast<std::size_t>(index); }
    // Whether test holds for the control or a frame around it, going outward.
    template <typename Test>
    bool anyOutward(int index, Test test) const;
    int depth(int index) const;
    void arrangeZOrder();

    FormLayout layout_;
    std::vector<Control> controls_;
    std::vector<int> zOrder_;
};

}  // namespace pictavo::platform
