#pragma once

#include <string>

namespace pictavo {

class App;

// Shows one picture fitted and centred on the picture window, with its
// caption, and waits until the waiting window hides itself. A picture that
// cannot be loaded leaves the screen black and adds an error line to the
// caption. upcoming names the picture the show will most likely need next.
void DispPic(App& app, const std::string& QD, std::string& TextOut, const std::string& upcoming);

}  // namespace pictavo
