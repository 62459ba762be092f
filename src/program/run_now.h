#pragma once

namespace pictavo {

class App;

// Runs one whole slide show from the main window's settings; returns when it
// is over.
void RunNow(App& app);

}  // namespace pictavo
