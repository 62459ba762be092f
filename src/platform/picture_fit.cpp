#include "platform/picture_fit.h"

#include <cmath>

namespace pictavo::platform {

FittedSize fitToScreen(float pictureWidth, float pictureHeight, float screenWidth, float screenHeight) {
    if (!(pictureWidth > 0) || !(pictureHeight > 0)) return {screenWidth, screenHeight};
    const float ratio = pictureWidth / pictureHeight;
    const float heightAtFullWidth = std::trunc(screenWidth / ratio);
    const float widthAtFullHeight = std::trunc(screenHeight * ratio);
    if (heightAtFullWidth <= screenHeight) return {screenWidth, heightAtFullWidth};
    return {widthAtFullHeight, screenHeight};
}

}  // namespace pictavo::platform
