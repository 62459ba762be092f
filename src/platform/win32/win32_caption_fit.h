#pragma once
// Fonts that let every caption of a window fit its control. A layout names
// faces that a system may lack ("Small Fonts" and "Comic Sans MS" are missing
// on many); the face the system gives instead is often wider, and a caption
// drawn in it would wrap or be cut.

#include <windows.h>

#include <vector>

#include "platform/form_layout.h"
#include "platform/win32/win32_fonts.h"

namespace pictavo::platform::win32 {

// The font of every control of the layout at dpi; controls that name the same
// font share one. A font whose captions all fit their controls is the one
// named. Otherwise, when its face is not installed, it is the installed face
// of the same kind (sans serif, serif, ...) and size in which the captions fit
// and come closest to filling their room; failing that, the named font made
// smaller by whole pixels, down to two thirds of its height, until they fit.
std::vector<HFONT> fittedFonts(FontCache& fonts, const FormLayout& layout, UINT dpi);

}  // namespace pictavo::platform::win32
