#pragma once

namespace pictavo {

class App;

// The slide show: walks the picture list from the start position, one picture
// per pass, following the keys and the display time, until the end of the
// list (without endless loop) or Esc.
void Start(App& app);

}  // namespace pictavo
