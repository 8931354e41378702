// The arithmetic behind a rounded button's look: its colours, its sizes on
// screens of any pixel density and where its image goes. Pure functions, free of any platform call,
// so that they can be checked on every build.
//
// Colours are packed COLORREF values 0x00BBGGRR. Sums and differences are
// plain 32-bit integer arithmetic on the packed value: a channel that
// overflows carries into its neighbour. Owners and saved settings rely on
// exactly these values, so no per-channel clamping is done.
#pragma once

#include "builder/rrbutton/round_button_messages.h"

#include <array>
#include <cstdint>

// Added to the system button-face colour for the default face: a shade
// lighter than the dialog around the button.
inline constexpr uint32_t kFaceLift = 0x080808;
// Taken from the system button-face colour for the focus-ring shade.
inline constexpr uint32_t kShadowDrop = 0x101010;
// Marks a colour as an index into the control's own palette (the
// PALETTERGB form).
inline constexpr uint32_t kPaletteRelative = 0x02000000;
// The LOGPALETTE header of the control's palette: version 0x300, 4 entries.
inline constexpr uint32_t kPaletteHeader = 0x00040300;

// The face colour of a new control: the system face lifted by kFaceLift,
// except on a pure black or pure white system face, which is kept.
uint32_t InitialFaceColor(uint32_t systemFace);

// The face colour after the system face changed from lastSystemFace to
// systemFace: a face derived from the old system colour follows the new one,
// a colour the owner chose stays.
uint32_t FollowSystemFace(uint32_t faceColor, uint32_t lastSystemFace, uint32_t systemFace);

// The face colour a recomputation starts from. On a palette display the
// last computation made the face palette-relative; taking it as it is would
// add the palette flag once more at every recomputation and lose the system
// colour it follows. A face the owner set since is taken unchanged.
uint32_t FaceBeforeUpdate(uint32_t faceColor, uint32_t lastComputedFace, bool paletteMade);

// The shade used for focus rings.
uint32_t ShadowShade(uint32_t systemFace);

// A palette display is one that reports a colour count and palette support.
bool IsPaletteDevice(int32_t numColors, int32_t rasterCaps);

// The palette block of a control: the LOGPALETTE header followed by the
// four entries face, shadow shade, info background and scroll bar, each a
// PALETTEENTRY in the byte order of a COLORREF.
std::array<uint32_t, 5> PaletteBlock(const std::array<uint32_t, 4>& colors);

// a / 2 + margin, rounded to the nearest integer with an exact half going to
// the even neighbour: a centred image sits where the classic layout put it.
int32_t HalfToEven(int32_t a, int32_t margin);

struct ImageGeometry {
    int32_t placement = kImageMiddleLeft; // a placement code, anything else is absolute
    int32_t x = 0;                        // absolute position
    int32_t y = 0;
    int32_t width = 16;
    int32_t height = 16;
    int32_t marginLeft = 0;
    int32_t marginTop = 0;
    int32_t marginRight = 0;
    int32_t marginBottom = 0;
};

struct ImagePosition {
    int32_t x = 0;
    int32_t y = 0;
};

// Where the image goes in a client area of clientWidth x clientHeight. The
// placement codes count like a phone keypad read backwards: -1 top left,
// -2 top centre, ... -9 bottom right.
ImagePosition PlaceImage(const ImageGeometry& image, int32_t clientWidth, int32_t clientHeight);

// The colours one paint uses.
struct PaintColors {
    uint32_t face;
    uint32_t text;
    uint32_t hotText;
    uint32_t pressedText;
    uint32_t textBackground; // behind opaque text
    uint32_t disabledText;
    uint32_t shadeFocusRing; // raised controls and latched flat ones
    uint32_t infoFocusRing;  // sunken controls and live flat ones
};

// The system colours a high-contrast paint takes its colours from.
struct SystemColors {
    uint32_t buttonFace;
    uint32_t buttonText;
    uint32_t grayText;
    uint32_t highlight;
};

// With high contrast on, every colour of the paint comes from the user's
// scheme, whatever the owner chose; with it off, the control's own colours
// stay as they are.
PaintColors ChoosePaintColors(const PaintColors& own, const SystemColors& system,
                              bool highContrast);

// The pixel density every length is given for: 100 %.
inline constexpr int32_t kBaseDpi = 96;

// `pixels` at kBaseDpi, scaled to `dpi` and rounded to the nearest pixel, a
// half going up; never below 1 for a positive length, so that a one-pixel
// line stays visible.
int32_t ScaledPixels(int32_t pixels, int32_t dpi);

// The side of the square icon image to load for an icon drawn `side`
// pixels wide: the smallest of `available` (ascending) that is at least as
// large, so that the image is only ever scaled down; the largest if none is.
int32_t FittingIconSide(int32_t side, const int32_t* available, int32_t count);
