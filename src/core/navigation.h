#pragma once
// Where the show's keys lead from a picture: the directory steps with their
// wrap-around, and the pictures the keys may ask for next.

#include <vector>

#include "core/pic_list.h"

namespace pictavo {

// The first picture of directory d. A list without directories (a scan
// without subdirectories) is one directory that starts at picture 1.
int directoryStart(const PicListState& list, int d);
// The directory before d, from the first one the last.
int previousDirectory(const PicListState& list, int d);
// The directory after d, from the last one the first.
int nextDirectory(const PicListState& list, int d);

// The pictures the navigation keys lead to from picture `position` in
// directory `directory`, the likeliest first: the next one (past the last,
// the first in an endless loop, else none), the previous one, and the
// first pictures of the next and of the previous directory. Each once, and
// never the picture at `position` itself.
std::vector<int> picturesAhead(const PicListState& list, int position, int directory, bool loop);

}  // namespace pictavo
