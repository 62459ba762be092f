#pragma once
// Picture loading facility: a picture file becomes a picture object the image
// control can show, or an error.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pictavo::platform {

// A decoded picture. Backends subclass it to carry their own pixels.
class Picture {
public:
    virtual ~Picture() = default;
    virtual int widthPx() const = 0;   // the picture's natural size
    virtual int heightPx() const = 0;
};

class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // Null when the file is missing, damaged or of a format the loader does
    // not decode.
    virtual std::shared_ptr<const Picture> load(const std::string& path) = 0;
    // The pictures likely to be loaded next, the likeliest first. A loader
    // may prepare them meanwhile and hold them until a later list leaves
    // them out; each list replaces the one before, and an empty list lets go
    // of everything held.
    virtual void prefetch(std::vector<std::string> paths) = 0;
    // Whether load(path) returns without waiting for a decode. When it would
    // wait, path is asked for before anything else, and `wake` is called,
    // from any thread, whenever a decode ends, until a later call finds the
    // picture ready or a later list of pictures ahead replaces the request.
    virtual bool ready(const std::string& path, std::function<void()> wake) = 0;
    // A show is about to start: the loader may get ready to decode
    // meanwhile, so that the first picture does not wait for it.
    virtual void prepare() = 0;
};

}  // namespace pictavo::platform
