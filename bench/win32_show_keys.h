#pragma once
// The show's navigation keys on the Windows backend: the real program shows
// a tree of large pictures, and every key is timed from the moment it is
// posted to the moment the picture it leads to is painted.

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace pictavo::bench {

// Lays the photos out as four directories of five pictures below the
// temporary directory and prints the figures of the key sequence, cold, with
// keys pressed as soon as a picture is on the screen, and with the pictures
// decoded ahead during a display time.
void showKeys(platform::win32::Win32Platform& real, const std::vector<std::string>& photos);

}  // namespace pictavo::bench
