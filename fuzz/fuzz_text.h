#pragma once
// Splits a fuzzer's input into the texts a target needs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pictavo::fuzz {

// The input cut at every zero byte into exactly count texts (missing ones empty).
inline std::vector<std::string> texts(const std::uint8_t* data, std::size_t size, std::size_t count) {
    std::vector<std::string> out(count);
    std::size_t field = 0;
    for (std::size_t i = 0; i < size && field < count; ++i) {
        if (data[i] == 0)
            ++field;
        else
            out[field].push_back(static_cast<char>(data[i]));
    }
    return out;
}

// Stops the fuzzer with a finding when a property does not hold.
inline void require(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace pictavo::fuzz
