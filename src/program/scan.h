#pragma once
// The picture scan: the command interpreter lists the source into the search
// index through a three-line batch file, and the index is read back into the
// picture list.

namespace pictavo {

class App;

// Builds (or reuses) the search index for the main window's source and fills
// the picture list from it.
void ReadDir(App& app);

}  // namespace pictavo
