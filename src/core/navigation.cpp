#include "core/navigation.h"

#include <algorithm>

namespace pictavo {

int directoryStart(const PicListState& list, int d) {
    if (list.DirCount < 1) return 1;
    d = std::clamp(d, 1, list.DirCount);
    return list.DirStart[static_cast<std::size_t>(d)];
}

int previousDirectory(const PicListState& list, int d) { return d > 1 ? d - 1 : list.DirCount; }

int nextDirectory(const PicListState& list, int d) { return d < list.DirCount ? d + 1 : 1; }

std::vector<int> picturesAhead(const PicListState& list, int position, int directory, bool loop) {
    const int next = position < list.PicCount ? position + 1 : loop ? 1 : 0;
    const int previous = position > 1 ? position - 1 : list.PicCount;
    std::vector<int> ahead;
    for (int target : {next, previous, directoryStart(list, nextDirectory(list, directory)),
                       directoryStart(list, previousDirectory(list, directory))}) {
        if (target >= 1 && target <= list.PicCount && target != position &&
            std::find(ahead.begin(), ahead.end(), target) == ahead.end())
            ahead.push_back(target);
    }
    return ahead;
}

}  // namespace pictavo
