#include "platform/form_geometry.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

namespace pictavo::platform {

int twipsToPixels(double twips, unsigned dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / kTwipsPerInch));
}

double pixelsToTwips(int pixels, unsigned dpi) {
    return static_cast<double>(pixels) * kTwipsPerInch / static_cast<double>(dpi);
}

bool takesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::TextBox:
        case ControlKind::HScrollBar:
        case ControlKind::ListBox:
            return true;
        default:
            return false;
    }
}

FormGeometry::FormGeometry(FormLayout layout) : layout_(std::move(layout)) {
    const std::vector<ControlLayout>& all = layout_.controls;
    controls_.resize(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        Control& c = controls_[i];
        c.bounds = {all[i].left, all[i].top, all[i].width, all[i].height};
        c.visible = all[i].visible;
        if (all[i].parent.empty()) continue;
        for (std::size_t p = 0; p < all.size(); ++p)
            if (p != i && all[p].name == all[i].parent && all[p].kind == ControlKind::Frame)
                c.parent = static_cast<int>(p);
    }
    arrangeZOrder();
}

template <typename Test>
bool FormGeometry::anyOutward(int index, Test test) const {
    // The guard ends a chain of frames that a faulty layout made circular.
    for (int i = index, guard = 0; i >= 0 && guard < 64; i = controls_[at(i)].parent, ++guard)
        if (test(i)) return true;
    return false;
}

int FormGeometry::depth(int index) const {
    int d = 0;
    anyOutward(parent(index), [&d](int) { return ++d, false; });
    return d;
}

bool FormGeometry::effectiveVisible(int index) const {
    return !anyOutward(index, [this](int i) { return !controls_[at(i)].visible; });
}

bool FormGeometry::effectiveEnabled(int index) const {
    return !anyOutward(index, [this](int i) { return !controls_[at(i)].enabled; });
}

bool FormGeometry::inside(int index, int frame) const {
    return anyOutward(index, [frame](int i) { return i == frame; });
}

std::vector<int> FormGeometry::withContents(int index) const {
    std::vector<int> found;
    for (int i = 0; i < count(); ++i)
        if (inside(i, index)) found.push_back(i);
    return found;
}

void FormGeometry::arrangeZOrder() {
    zOrder_.resize(controls_.size());
    std::iota(zOrder_.begin(), zOrder_.end(), 0);
    // Tab stops by tab index, frames inner first, ties in layout order.
    auto key = [this](int i) {
        const ControlLayout& s = layout(i);
        if (s.kind == ControlKind::Frame) return std::tuple(2, -depth(i), i);
        if (s.tabIndex >= 0 && takesFocus(s.kind)) return std::tuple(0, s.tabIndex, i);
        return std::tuple(1, 0, i);
    };
    std::sort(zOrder_.begin(), zOrder_.end(), [&](int a, int b) { return key(a) < key(b); });
    for (std::size_t rank = 0; rank < zOrder_.size(); ++rank)
        controls_[at(zOrder_[rank])].zRank = static_cast<int>(rank);
}

std::vector<int> FormGeometry::tabOrder() const {
    std::vector<int> order;
    for (int i : zOrder_)
        if (layout(i).tabIndex >= 0 && takesFocus(layout(i).kind)) order.push_back(i);
    return order;
}

bool FormGeometry::transparentLabel(int index) const {
    const ControlLayout& s = layout(index);
    return s.kind == ControlKind::Label && s.transparent;
}

bool FormGeometry::paintedLabel(int index) const {
    const ControlLayout& s = layout(index);
    return s.kind == ControlKind::Label && !s.transparent;
}

bool FormGeometry::sizesToText(int index) const {
    const ControlLayout& s = layout(index);
    return s.kind == ControlKind::Label && s.autoSize;
}

std::vector<int> FormGeometry::transparentAbove(int index) const {
    std::vector<int> found;
    for (int i = 0; i < count(); ++i)
        if (zRank(i) < zRank(index) && transparentLabel(i)) found.push_back(i);
    return found;
}

std::vector<int> FormGeometry::seenThrough(int label) const {
    std::vector<int> found;
    for (auto it = zOrder_.rbegin(); it != zOrder_.rend() && *it != label; ++it)
        if (layout(*it).kind == ControlKind::Image || transparentLabel(*it)) found.push_back(*it);
    return found;
}

PixelRect FormGeometry::pixelRect(int index, unsigned dpi, PixelSize textSize) const {
    const TwipRect& own = bounds(index);
    double originX = 0, originY = 0;
    anyOutward(parent(index), [&](int p) {
        originX += bounds(p).left;
        originY += bounds(p).top;
        return false;
    });
    const int left = twipsToPixels(originX + own.left, dpi);
    const int top = twipsToPixels(originY + own.top, dpi);
    const ControlLayout& s = layout(index);
    if (s.kind == ControlKind::Line) {
        // A line's width and height hold its second point.
        const int right = twipsToPixels(originX + own.width, dpi);
        const int bottom = twipsToPixels(originY + own.height, dpi);
        const int stroke = s.foreColor == kDefaultColor ? 2 : 1;
        return {std::min(left, right), std::min(top, bottom), std::max(left, right) + stroke,
                std::max(top, bottom) + stroke};
    }
    if (sizesToText(index)) return {left, top, left + textSize.width, top + textSize.height};
    return {left, top, left + std::max(0, twipsToPixels(own.width, dpi)),
            top + std::max(0, twipsToPixels(own.height, dpi))};
}

bool FormGeometry::lineFromTopLeft(int index) const {
    const TwipRect& r = bounds(index);
    return (r.width - r.left) * (r.height - r.top) >= 0;
}

}  // namespace pictavo::platform
