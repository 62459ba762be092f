#pragma once
// What the viewer and its decoding worker process share: one file mapping
// that holds a request, the answer and the decoded pixels, and two events,
// one for each direction. The viewer makes them and the worker inherits them;
// their handle values travel on the worker's command line.

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/pictures/decode_answer.h"

namespace pictavo::platform::win32 {

// The private switch that turns the program into a decoding worker.
inline constexpr wchar_t kDecodeWorkerSwitch[] = L"--pictavo-decode-worker";

struct DecodeChannel {
    static_assert(std::atomic<bool>::is_always_lock_free, "the flag is shared between processes");
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free, "the count is shared between processes");

    // The request, written by the viewer before it sets the request event.
    std::atomic<bool> cancel{false};  // may be set while the worker decodes
    std::uint32_t request = 0;        // numbers the requests, for the answer to name
    std::int32_t screenWidth = 0, screenHeight = 0;
    std::uint32_t dpi = 96;
    std::int32_t resampler = 0;
    double maxSourcePixels = 0;
    // The picture file, opened read-only by the viewer: the handle's value in
    // the worker, which closes it once it has answered. No name travels, the
    // worker needs no access to files of its own.
    std::uint64_t file = 0;

    // Written by the worker once it has read the picture's header, before it
    // decodes: the pixels claimed, for the time limit to grow with. Reset by
    // the viewer with each request.
    std::atomic<std::uint64_t> framePixels{0};

    // The answer, written by the worker before it sets the answer event (which
    // it also sets once when it is ready for the first request). The viewer
    // trusts none of it: see checkAnswer.
    DecodeAnswer answer;
};

// The pixels follow the channel, page-aligned.
inline constexpr std::size_t kChannelPixelsOffset = (sizeof(DecodeChannel) + 4095) & ~std::size_t{4095};

inline std::size_t channelBytes(int screenWidth, int screenHeight) {
    return kChannelPixelsOffset + static_cast<std::size_t>(screenWidth) * static_cast<std::size_t>(screenHeight) * 4;
}

// The handles a worker gets, in the order of its command line.
struct ChannelHandles {
    HANDLE mapping = nullptr, request = nullptr, answer = nullptr, viewer = nullptr;
    std::uint64_t bytes = 0;
};

}  // namespace pictavo::platform::win32
