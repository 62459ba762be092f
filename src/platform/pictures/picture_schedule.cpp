#include "platform/pictures/picture_schedule.h"

#include <algorithm>

namespace pictavo::platform {

PictureSchedule::Released PictureSchedule::want(std::vector<std::string> paths) {
    wanted_.clear();
    for (std::string& path : paths)
        if (!wanted(path)) wanted_.push_back(std::move(path));
    Released released;
    for (auto it = held_.begin(); it != held_.end();) {
        if (wanted(it->first)) {
            ++it;
            continue;
        }
        released.push_back(std::move(it->second));
        it = held_.erase(it);
    }
    return released;
}

PictureSchedule::Released PictureSchedule::need(const std::string& path) {
    if (!wanted(path)) return want({path});
    std::erase(wanted_, path);
    wanted_.insert(wanted_.begin(), path);
    return {};
}

const std::shared_ptr<const Picture>* PictureSchedule::held(const std::string& path) const {
    const auto it = held_.find(path);
    return it == held_.end() ? nullptr : &it->second;
}

std::optional<std::string> PictureSchedule::nextJob(int alive) const {
    for (std::size_t i = 0; i < wanted_.size(); ++i) {
        const std::string& path = wanted_[i];
        if (held_.contains(path) || running_ == path) continue;
        if (i > 0 && alive + 1 > maxPictures_) return std::nullopt;
        return path;
    }
    return std::nullopt;
}

void PictureSchedule::start(const std::string& path) { running_ = path; }

bool PictureSchedule::runningIsStale() const {
    if (!running_) return false;
    if (!wanted(*running_)) return true;
    return *running_ != wanted_.front() && !held_.contains(wanted_.front());
}

std::shared_ptr<const Picture> PictureSchedule::finish(std::shared_ptr<const Picture> picture, bool stopped) {
    const std::string path = running_.value_or(std::string());
    running_.reset();
    if (!wanted(path) || (stopped && !picture)) return picture;
    held_[path] = std::move(picture);
    return nullptr;
}

bool PictureSchedule::wanted(const std::string& path) const {
    return std::find(wanted_.begin(), wanted_.end(), path) != wanted_.end();
}

}  // namespace pictavo::platform
