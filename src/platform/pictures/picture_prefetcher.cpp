#include "platform/pictures/picture_prefetcher.h"

namespace pictavo::platform {

PicturePrefetcher::PicturePrefetcher(MakeDecoder makeDecoder) : makeDecoder_(std::move(makeDecoder)) {}

PicturePrefetcher::~PicturePrefetcher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        cancel_ = true;
        queued_.reset();
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

bool PicturePrefetcher::startWorker() {
    try {
        worker_ = std::thread([this] { run(); });
        return true;
    } catch (...) {
        failed_ = true;
        return false;
    }
}

bool PicturePrefetcher::request(const std::string& path) {
    std::shared_ptr<const Picture> dropped;  // released after the lock
    {
        std::lock_guard lock(mutex_);
        if (failed_ || stopping_) return false;
        if (!worker_.joinable() && !startWorker()) return false;
        if (readyPath_ == path) return true;
        if (readyPath_) {
            dropped = std::move(ready_);
            readyPath_.reset();
            ++counts_.discarded;
        }
        if (queued_) {
            queued_.reset();
            ++counts_.discarded;
        }
        if (running_ == path) {
            // A cancel from an earlier request is taken back; if the decoder
            // has already given up, take() finds nothing and the caller
            // decodes itself.
            cancel_ = false;
            return true;
        }
        if (running_) cancel_ = true;
        queued_ = path;
    }
    changed_.notify_all();
    return true;
}

std::optional<std::shared_ptr<const Picture>> PicturePrefetcher::take(const std::string& path) {
    std::unique_lock lock(mutex_);
    if (queued_ == path) {
        // Not started yet: the caller decodes it now, without waiting for
        // the worker to finish anything else first.
        queued_.reset();
        return std::nullopt;
    }
    if (running_ == path && !cancel_) changed_.wait(lock, [&] { return running_ != path || stopping_; });
    if (readyPath_ != path) return std::nullopt;
    readyPath_.reset();
    return std::move(ready_);
}

PicturePrefetcher::Counts PicturePrefetcher::counts() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

void PicturePrefetcher::run() {
    std::unique_ptr<Decoder> decoder;
    try {
        decoder = makeDecoder_();
    } catch (...) {
        // Without a decoder every job ends empty and load() decodes itself.
    }
    for (;;) {
        std::string path;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || queued_.has_value(); });
            if (stopping_) break;
            path = std::move(*queued_);
            queued_.reset();
            running_ = path;
            cancel_ = false;
            ++counts_.started;
        }
        std::shared_ptr<const Picture> picture;
        if (decoder) {
            try {
                picture = decoder->decode(path, cancel_);
            } catch (...) {
                picture = nullptr;
            }
        }
        {
            std::lock_guard lock(mutex_);
            running_.reset();
            if (cancel_ || stopping_) {
                ++counts_.discarded;
            } else if (picture) {
                readyPath_ = path;
                ready_ = std::move(picture);
                ++counts_.finished;
            }
        }
        changed_.notify_all();
        picture.reset();
    }
    decoder.reset();
}

}  // namespace pictavo::platform
