#pragma once
// Decodes pictures in a worker process of the program's own (the same .exe
// with a private switch), so that a file that crashes a decoder, makes it hang
// or eat memory costs one picture, not the show. The worker is started at the
// first picture and kept warm; one that crashes, overruns the time or memory
// limit or ignores a cancel is ended, the picture counts as one that cannot be
// loaded, and a fresh worker is started for the next one.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/pictures/picture_prefetcher.h"
#include "platform/win32/wic_decode.h"
#include "platform/win32/worker_sandbox.h"

namespace pictavo::platform::win32 {

class IsolatedDecoder final : public PicturePrefetcher::Decoder {
public:
    struct Limits {
        DWORD timeMs = 5000;            // for one picture, and for a worker to get ready
        DWORD msPerMegapixel = 40;      // more for each million pixels the picture's header claims
        std::uint64_t memoryBytes = 0;  // of the worker process; 0: what the pixel limit needs
        // How long a worker may go on after a cancel: a decoder that reads a
        // whole frame at its first band of rows stops only after it.
        // Wine: its JPEG decoder does so.
        DWORD cancelGraceMs = 1000;
    };
    struct Stats {
        int started = 0;    // worker processes
        int crashed = 0;    // ended while decoding, or for an answer out of bounds
        int timedOut = 0;   // ended at the time limit, or for not heeding a cancel
        int overMemory = 0; // ended at the memory limit
        double firstStartMs = 0;  // from starting the first worker until it was ready
        double peakMemoryMb = 0;  // the largest peak of any worker
    };
    // options is asked at every picture. The worker runs workerExe (this
    // program when empty), which must call serveDecodeWorkerIfAsked first.
    // A picture is never decoded in this process: when no worker can be
    // started, it counts as one that cannot be loaded.
    IsolatedDecoder(std::function<DecodeOptions()> options, Limits limits, std::wstring workerExe = {});
    ~IsolatedDecoder() override;
    IsolatedDecoder(const IsolatedDecoder&) = delete;
    IsolatedDecoder& operator=(const IsolatedDecoder&) = delete;

    std::shared_ptr<const Picture> decode(const std::string& path, const std::atomic<bool>& cancel) override;
    // Starts the worker now rather than at the first picture.
    void prepare() override;
    // Null when the picture cannot be decoded or cancel was set.
    std::shared_ptr<Win32Picture> decode(const std::string& path, const std::atomic<bool>* cancel,
                                         DecodeTimes* times = nullptr);

    // Of the thread that decodes.
    Stats stats() const { return stats_; }

    // The running worker as started, for tests to see its restrictions from
    // outside; null handles when none runs. The handles stay the decoder's.
    struct SandboxedWorker {
        HANDLE process = nullptr, job = nullptr;
        WorkerSandbox asked;
    };
    SandboxedWorker sandboxedWorker() const;

private:
    class Worker;
    enum class Outcome;

    bool ensureWorker(const DecodeOptions& options);
    void endWorker(Outcome outcome, const std::string& path);

    std::function<DecodeOptions()> options_;
    Limits limits_;
    std::wstring workerExe_;
    std::unique_ptr<Worker> worker_;
    Stats stats_;
};

}  // namespace pictavo::platform::win32
