#pragma once

namespace pictavo::platform {

// The largest size of a picture that fits the screen without distortion, in
// twips, computed in single precision so that it lands on the same twip as
// the classic computation does.
struct FittedSize {
    float width = 0, height = 0;
};

FittedSize fitToScreen(float pictureWidth, float pictureHeight, float screenWidth, float screenHeight);

}  // namespace pictavo::platform
