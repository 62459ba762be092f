#pragma once
// Virtual-key codes of the keys the program answers. Letters are their
// upper-case character codes, 'A' ... 'Z'.

namespace pictavo::platform::keys {

inline constexpr int kBackspace = 8;
inline constexpr int kEnter = 13;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kDelete = 46;

}  // namespace pictavo::platform::keys
