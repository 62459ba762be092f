#pragma once
// Picture loading facility: a picture file becomes a picture object the image
// control can show, or an error.

#include <memory>
#include <string>

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
    // A hint that this picture is likely to be loaded next; a loader may
    // prepare it meanwhile. Any earlier hint is void.
    virtual void prefetch(const std::string& path) = 0;
};

}  // namespace pictavo::platform
