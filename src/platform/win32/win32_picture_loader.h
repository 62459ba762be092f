#pragma once
// Picture files decoded through the Windows Imaging Component. Needs COM
// initialised on the calling thread.

#include <wincodec.h>

#include "platform/picture.h"
#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

class Win32PictureLoader final : public PictureLoader {
public:
    std::shared_ptr<const Picture> load(const std::string& path) override;
    // Decoding ahead is left to a later loader; the hint is ignored.
    void prefetch(const std::string&) override {}

private:
    IWICImagingFactory* factory();
    com_ptr<IWICImagingFactory> factory_;
};

}  // namespace pictavo::platform::win32
