#pragma once
// Which pictures to decode, in what order, and which to hold, for a show
// that names the pictures it may need, the likeliest first. Scheduling
// only: whoever decodes asks for the next job and reports its end. Not
// thread-safe; the caller guards it.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/picture.h"

namespace pictavo::platform {

class PictureSchedule {
public:
    // At most this many pictures may be alive at once, counting the one a
    // job is making; the job for the first wanted picture goes ahead anyway.
    explicit PictureSchedule(int maxPictures) : maxPictures_(maxPictures) {}

    using Released = std::vector<std::shared_ptr<const Picture>>;

    // The pictures wanted from now on, the likeliest first, replacing the
    // earlier list. Held pictures that are no longer wanted are handed back
    // to be let go.
    [[nodiscard]] Released want(std::vector<std::string> paths);
    // Puts path first: it is needed now. A path the list does not name
    // replaces the list.
    [[nodiscard]] Released need(const std::string& path);

    // The held picture for path; it holds null when the picture could not be
    // decoded. Null when it is not held.
    const std::shared_ptr<const Picture>* held(const std::string& path) const;

    // The first wanted picture that is neither held nor being decoded, when a
    // job for it may start with `alive` pictures alive.
    std::optional<std::string> nextJob(int alive) const;
    void start(const std::string& path);
    const std::optional<std::string>& running() const { return running_; }
    // The job under way is stale: its picture is no longer wanted, or the
    // first wanted one waits behind it.
    bool runningIsStale() const;
    // The job has ended with this picture (null: it failed or gave up when
    // stopped). The picture is held while it is wanted, a failure only when
    // the job was not stopped; otherwise it is handed back to be let go.
    [[nodiscard]] std::shared_ptr<const Picture> finish(std::shared_ptr<const Picture> picture, bool stopped);

private:
    bool wanted(const std::string& path) const;

    int maxPictures_;
    std::vector<std::string> wanted_;
    std::map<std::string, std::shared_ptr<const Picture>> held_;
    std::optional<std::string> running_;
};

}  // namespace pictavo::platform
