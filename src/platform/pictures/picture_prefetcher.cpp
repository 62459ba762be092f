#include "platform/pictures/picture_prefetcher.h"

#include <algorithm>

namespace pictavo::platform {

PicturePrefetcher::PicturePrefetcher(MakeDecoder makeDecoder, int maxPictures)
    : makeDecoder_(std::move(makeDecoder)), schedule_(maxPictures) {}

PicturePrefetcher::~PicturePrefetcher() {
    {
        std::lock_guard lock(ledger_->mutex);
        stopping_ = true;
        cancel_ = true;
    }
    ledger_->changed.notify_all();
    if (worker_.joinable()) worker_.join();
}

bool PicturePrefetcher::startWorker() {
    if (worker_.joinable()) return true;
    if (failed_) return false;
    try {
        worker_ = std::thread([this] { run(); });
        ledger_->workerRuns = true;
        return true;
    } catch (...) {
        failed_ = true;
        return false;
    }
}

void PicturePrefetcher::stopIfStale() {
    if (schedule_.runningIsStale()) cancel_ = true;
}

void PicturePrefetcher::prepare() {
    std::lock_guard lock(ledger_->mutex);
    if (!stopping_) startWorker();
}

void PicturePrefetcher::want(std::vector<std::string> paths) {
    PictureSchedule::Released released;  // let go after the lock
    {
        std::lock_guard lock(ledger_->mutex);
        if (stopping_) return;
        if (!paths.empty()) startWorker();
        wake_ = nullptr;
        released = schedule_.want(std::move(paths));
        stopIfStale();
    }
    ledger_->changed.notify_all();
}

std::shared_ptr<const Picture> PicturePrefetcher::load(const std::string& path) {
    PictureSchedule::Released released;  // let go after the lock
    std::unique_lock lock(ledger_->mutex);
    if (stopping_) return nullptr;
    if (const auto* held = schedule_.held(path)) {
        if (path != awaited_) ++counts_.served;
        awaited_.clear();
        return *held;
    }
    if (!startWorker()) {
        // Without a worker the caller decodes the picture itself.
        lock.unlock();
        try {
            const std::atomic<bool> never{false};
            const std::unique_ptr<Decoder> decoder = makeDecoder_();
            return decoder ? decoder->decode(path, never) : nullptr;
        } catch (...) {
            return nullptr;
        }
    }
    ++counts_.waited;
    released = schedule_.need(path);
    stopIfStale();
    ledger_->changed.notify_all();
    ledger_->changed.wait(lock, [&] { return stopping_ || schedule_.held(path); });
    const auto* held = schedule_.held(path);
    return held ? *held : nullptr;
}

bool PicturePrefetcher::ready(const std::string& path, std::function<void()> wake) {
    PictureSchedule::Released released;  // let go after the lock
    {
        std::lock_guard lock(ledger_->mutex);
        // Without a worker, load decodes the picture itself.
        if (stopping_ || schedule_.held(path) || !startWorker()) {
            wake_ = nullptr;
            return true;
        }
        released = schedule_.need(path);
        stopIfStale();
        wake_ = std::move(wake);
        if (path != awaited_) ++counts_.waited;
        awaited_ = path;
    }
    ledger_->changed.notify_all();
    return false;
}

PicturePrefetcher::Counts PicturePrefetcher::counts() const {
    std::lock_guard lock(ledger_->mutex);
    Counts counts = counts_;
    counts.peakAlive = ledger_->peak;
    return counts;
}

std::shared_ptr<const Picture> PicturePrefetcher::tracked(std::shared_ptr<const Picture> picture) {
    {
        std::lock_guard lock(ledger_->mutex);
        ledger_->peak = std::max(ledger_->peak, ++ledger_->alive);
    }
    const Picture* raw = picture.get();
    return {raw, [picture = std::move(picture), ledger = ledger_](const Picture*) mutable {
                std::unique_lock lock(ledger->mutex);
                if (ledger->workerRuns) {
                    ledger->released.push_back(std::move(picture));
                } else {
                    lock.unlock();
                    picture.reset();
                    lock.lock();
                    --ledger->alive;
                }
                lock.unlock();
                ledger->changed.notify_all();
            }};
}

bool PicturePrefetcher::freeReleased(std::unique_lock<std::mutex>& lock) {
    std::vector<std::shared_ptr<const Picture>> released;
    released.swap(ledger_->released);
    if (released.empty()) return false;
    lock.unlock();
    const auto freed = static_cast<int>(released.size());
    released.clear();
    lock.lock();
    ledger_->alive -= freed;
    ledger_->changed.notify_all();
    return true;
}

void PicturePrefetcher::run() {
    std::unique_ptr<Decoder> decoder;
    try {
        decoder = makeDecoder_();
        if (decoder) decoder->prepare();
    } catch (...) {
        // Without a decoder every job ends empty: the pictures cannot be shown.
    }
    for (;;) {
        std::string path;
        {
            std::unique_lock lock(ledger_->mutex);
            ledger_->changed.wait(lock, [&] {
                return stopping_ || !ledger_->released.empty() || schedule_.nextJob(ledger_->alive);
            });
            if (freeReleased(lock)) continue;
            if (stopping_) break;
            path = *schedule_.nextJob(ledger_->alive);
            schedule_.start(path);
            cancel_ = false;
            ++counts_.started;
        }
        std::shared_ptr<const Picture> picture;
        try {
            if (decoder) picture = decoder->decode(path, cancel_);
            if (picture) picture = tracked(std::move(picture));
        } catch (...) {
            picture = nullptr;
        }
        std::function<void()> wake;
        {
            std::shared_ptr<const Picture> unkept;  // let go after the lock
            std::lock_guard lock(ledger_->mutex);
            if (cancel_ && !picture) ++counts_.stopped;
            unkept = schedule_.finish(std::move(picture), cancel_);
            wake = wake_;
        }
        ledger_->changed.notify_all();
        if (wake) wake();
    }
    decoder.reset();
    std::unique_lock lock(ledger_->mutex);
    ledger_->workerRuns = false;
    freeReleased(lock);
}

}  // namespace pictavo::platform
