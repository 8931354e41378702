#include "builder/rrbutton/button_colors.h"

uint32_t InitialFaceColor(uint32_t systemFace) {
    if (systemFace == 0x000000 || systemFace == 0xFFFFFF) {
        return systemFace;
    }
    return systemFace + kFaceLift;
}

uint32_t FollowSystemFace(uint32_t faceColor, uint32_t lastSystemFace, uint32_t systemFace) {
    if (faceColor == lastSystemFace + kFaceLift) {
        return systemFace + kFaceLift;
    }
    if (faceColor == lastSystemFace) {
        return systemFace;
    }
    return faceColor;
}

uint32_t FaceBeforeUpdate(uint32_t faceColor, uint32_t lastComputedFace, bool paletteMade) {
    if (paletteMade && faceColor == lastComputedFace) {
        return faceColor - kPaletteRelative;
    }
    return faceColor;
}

uint32_t ShadowShade(uint32_t systemFace) {
    return systemFace - kShadowDrop;
}

bool IsPaletteDevice(int32_t numColors, int32_t rasterCaps) {
    constexpr int32_t paletteCapability = 0x100; // RC_PALETTE
    return numColors > -1 && (rasterCaps & paletteCapability) != 0;
}

std::array<uint32_t, 5> PaletteBlock(const std::array<uint32_t, 4>& colors) {
    return {kPaletteHeader, colors[0], colors[1], colors[2], colors[3]};
}

int32_t HalfToEven(int32_t a, int32_t margin) {
    // Work with twice the value so that the half is exact.
    const int64_t twice = int64_t{a} + 2 * int64_t{margin};
    const int64_t below = twice >= 0 ? twice / 2 : (twice - 1) / 2; // floor
    if (twice % 2 == 0) {
        return static_cast<int32_t>(below);
    }
    return static_cast<int32_t>(below % 2 == 0 ? below : below + 1);
}

ImagePosition PlaceImage(const ImageGeometry& image, int32_t clientWidth, int32_t clientHeight) {
    const int32_t left = image.marginLeft;
    const int32_t centre = HalfToEven(clientWidth - image.width, image.marginLeft);
    const int32_t right = clientWidth - image.width - image.marginRight;
    const int32_t top = image.marginTop;
    const int32_t middle = HalfToEven(clientHeight - image.height, image.marginTop);
    const int32_t bottom = clientHeight - image.height - image.marginBottom;
    switch (image.placement) {
    case kImageTopLeft: return {left, top};
    case kImageTopCentre: return {centre, top};
    case kImageTopRight: return {right, top};
    case kImageMiddleLeft: return {left, middle};
    case kImageCentre: return {centre, middle};
    case kImageMiddleRight: return {right, middle};
    case kImageBottomLeft: return {left, bottom};
    case kImageBottomCentre: return {centre, bottom};
    case kImageBottomRight: return {right, bottom};
    default: return {image.x, image.y};
    }
}

PaintColors ChoosePaintColors(const PaintColors& own, const SystemColors& system,
                              bool highContrast) {
    if (!highContrast) {
        return own;
    }
    PaintColors colors;
    colors.face = system.buttonFace;
    colors.text = system.buttonText;
    colors.hotText = system.buttonText;
    colors.pressedText = system.buttonText;
    colors.textBackground = system.buttonFace;
    colors.disabledText = system.grayText;
    colors.shadeFocusRing = system.highlight;
    colors.infoFocusRing = system.highlight;
    return colors;
}

int32_t ScaledPixels(int32_t pixels, int32_t dpi) {
    const int64_t scaled = (int64_t{pixels} * dpi * 2 + kBaseDpi) / (2 * kBaseDpi);
    if (pixels > 0 && scaled < 1) {
        return 1;
    }
    return static_cast<int32_t>(scaled);
}

int32_t FittingIconSide(int32_t side, const int32_t* available, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        if (available[i] >= side) {
            return available[i];
        }
    }
    return count > 0 ? available[count - 1] : side;
}
