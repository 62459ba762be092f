#pragma once
// Decodes the picture that is likely to come next on one worker thread, while
// the current one is on the screen. It holds one job at a time: a newer
// request replaces a job not yet started, cancels one under way for another
// picture and drops a finished one for another picture.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/picture.h"

namespace pictavo::platform {

class PicturePrefetcher {
public:
    // Lives on the worker thread: made when it starts, destroyed before it
    // ends, so that it may set up per-thread state such as COM.
    class Decoder {
    public:
        virtual ~Decoder() = default;
        // Null when the picture cannot be decoded or cancel was set.
        virtual std::shared_ptr<const Picture> decode(const std::string& path, const std::atomic<bool>& cancel) = 0;
    };
    using MakeDecoder = std::function<std::unique_ptr<Decoder>()>;

    explicit PicturePrefetcher(MakeDecoder makeDecoder);
    // Cancels the job under way and joins the worker.
    ~PicturePrefetcher();
    PicturePrefetcher(const PicturePrefetcher&) = delete;
    PicturePrefetcher& operator=(const PicturePrefetcher&) = delete;

    // Decode path ahead. False when no worker could be started.
    bool request(const std::string& path);

    // The picture decoded ahead for exactly this path, waiting while it is
    // being decoded; nothing when it was not asked for or could not be made.
    // The prefetcher gives up its own hold on what it returns.
    std::optional<std::shared_ptr<const Picture>> take(const std::string& path);

    struct Counts {
        int started = 0;     // jobs the worker began
        int finished = 0;    // jobs that left a picture behind
        int discarded = 0;   // jobs replaced, cancelled or whose picture was dropped
    };
    Counts counts() const;

private:
    void run();
    bool startWorker();

    MakeDecoder makeDecoder_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<std::string> queued_;
    std::optional<std::string> running_;
    std::optional<std::string> readyPath_;
    std::shared_ptr<const Picture> ready_;
    std::atomic<bool> cancel_{false};
    bool stopping_ = false;
    bool failed_ = false;
    Counts counts_;
    std::thread worker_;
};

}  // namespace pictavo::platform
