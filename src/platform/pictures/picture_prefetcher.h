#pragma once
// Decodes pictures on one worker thread: the one the show needs now before
// anything else, and meanwhile the ones it may need next, the likeliest
// first, holding them until the show no longer names them. A newer list
// replaces the older one at once: work for a picture no longer wanted stops
// at the decoder's next check of its cancel flag, and so does work that
// stands in the way of the picture needed now. At most kMaxPictures decoded
// pictures are alive at once, wherever they are held.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/picture.h"
#include "platform/pictures/picture_schedule.h"

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
        // Called once, before the first decode, as soon as the worker runs.
        virtual void prepare() {}
    };
    using MakeDecoder = std::function<std::unique_ptr<Decoder>()>;

    // The picture on the screen, the four the navigation keys lead to, and
    // the one being decoded.
    static constexpr int kMaxPictures = 6;

    explicit PicturePrefetcher(MakeDecoder makeDecoder, int maxPictures = kMaxPictures);
    // Stops the job under way and joins the worker.
    ~PicturePrefetcher();
    PicturePrefetcher(const PicturePrefetcher&) = delete;
    PicturePrefetcher& operator=(const PicturePrefetcher&) = delete;

    // Starts the worker, so that its decoder is ready for the first picture.
    void prepare();

    // The pictures to decode ahead and hold, the likeliest first; an empty
    // list lets go of all.
    void want(std::vector<std::string> paths);

    // The picture for path: held, or decoded before anything else while the
    // caller waits; a path the list does not name replaces the list. Null
    // when it cannot be decoded. It is held until a later list leaves it out.
    std::shared_ptr<const Picture> load(const std::string& path);
    // Whether load(path) returns at once. If not, asks for path as load
    // does, without waiting, and calls wake from the worker whenever a job
    // ends, until a later call finds it ready or a newer list replaces it.
    bool ready(const std::string& path, std::function<void()> wake);

    struct Counts {
        int started = 0;   // jobs the worker began
        int stopped = 0;   // jobs stopped under way, their work lost
        int served = 0;    // pictures held already when first asked for
        int waited = 0;    // pictures asked for that were not
        int peakAlive = 0; // most decoded pictures alive at once
    };
    Counts counts() const;

private:
    // The decoded pictures alive, wherever they are held; shared with the
    // pictures themselves, which may outlive the prefetcher.
    struct Ledger {
        std::mutex mutex;  // also guards everything of the prefetcher
        std::condition_variable changed;
        int alive = 0;
        int peak = 0;
        // Pictures let go while the worker runs, for the worker to free: a
        // screen-size bitmap takes milliseconds to free, which the show's
        // thread should not wait for.
        std::vector<std::shared_ptr<const Picture>> released;
        bool workerRuns = false;
    };

    void run();
    bool startWorker();
    // Frees the pictures let go meanwhile; false when there were none.
    bool freeReleased(std::unique_lock<std::mutex>& lock);
    std::shared_ptr<const Picture> tracked(std::shared_ptr<const Picture> picture);
    void stopIfStale();

    MakeDecoder makeDecoder_;
    std::shared_ptr<Ledger> ledger_ = std::make_shared<Ledger>();
    PictureSchedule schedule_;
    std::function<void()> wake_;
    std::string awaited_;  // asked for by ready and not held then
    std::atomic<bool> cancel_{false};
    bool stopping_ = false;
    bool failed_ = false;
    Counts counts_;
    std::thread worker_;
};

}  // namespace pictavo::platform
