#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/form.h"

namespace pictavo {

class App;

// Shows one picture fitted and centred on the picture window, with its
// caption, and waits until the waiting window hides itself. A picture that
// cannot be loaded leaves the screen black and adds an error line to the
// caption. ahead names the pictures the show may need next, the likeliest
// first, in the list's form as QD.
void DispPic(App& app, const std::string& QD, std::string& TextOut, const std::vector<std::string>& ahead);

// Puts a picture into an image control at its own size, then stretches it to
// the largest size that fits a screen of sw x sh twips, centred.
void placeFitted(platform::Control& image, std::shared_ptr<const platform::Picture> picture, float sw, float sh);

}  // namespace pictavo
