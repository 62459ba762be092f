#pragma once
// The decoding worker: the program, started with a private switch by a
// viewer, decodes pictures for it one at a time until the viewer ends.

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "platform/win32/wic_decode.h"

namespace pictavo::platform::win32 {

// Decodes one picture, from a file the viewer opened, into canvas; false when
// it cannot. decodeOpenFileInto is the real one.
using WorkerDecode =
    std::function<bool(IWICImagingFactory* factory, HANDLE file, const DecodeOptions& options, const Canvas& canvas,
                       const std::atomic<bool>* cancel, DecodeTimes* times)>;

// How a worker ends when it cannot serve; the viewer traces the code.
enum WorkerExit : int {
    kWorkerWithoutHandles = 2,  // started with the switch but without its channel
    kWorkerWithoutChannel = 3,  // the shared memory could not be mapped
    kWorkerWithoutDecoder = 4,  // no imaging factory
};

// When this process was started as a decoding worker: serves its viewer with
// decode until the viewer ends, and gives the exit code. Nothing otherwise.
// Every program that decodes pictures calls it first.
std::optional<int> serveDecodeWorkerIfAsked(const WorkerDecode& decode = decodeOpenFileInto);

}  // namespace pictavo::platform::win32
