#pragma once
// Procedures on the main window's picture list that also touch its controls.

#include <string_view>

namespace pictavo {

class App;

// Names the search index for the current source text.
void TempStr(App& app);
// Appends a picture and shows the running count.
void AddPic(App& app, std::string_view path, int& count);
// Deletes the search index file and forgets the list and the last position.
void DelFile(App& app);

}  // namespace pictavo
