// The per-control record of an RRBUTTON and the drawing routines that work
// on it. Internal to the control.
#pragma once

#include <windows.h>

#include <cstdint>

// The colours of the last colour computation. The four colours are also the
// entries of the control's palette on a palette display.
struct ButtonColorTable {
    HPALETTE palette;
    COLORREF face;
    COLORREF shadowShade; // focus rings
    COLORREF infoBackground;
    COLORREF scrollBar;
    COLORREF lastSystemFace; // CLR_INVALID until the first computation
};

// Lives on the process heap, zero-filled, from WM_CREATE to WM_DESTROY,
// reached through window slot 0. On 32-bit Windows every field is one
// 32-bit word, in this order. The control owns faceBrush, region, the
// palette, the three extra images and `image` unless imageBorrowed; never
// the font.
struct RoundButtonData {
    HWND hwnd;
    int32_t id;
    HINSTANCE instance; // images are loaded by name from here
    HWND parent;        // receives every notification
    HBRUSH faceBrush;   // made at the first paint
    HFONT font;
    HRGN region; // the rounded client area: clip and hit test
    UINT_PTR hoverTimer;
    int32_t cornerDiameter;
    HCURSOR cursor;
    COLORREF faceColor;
    int32_t textBkMode;
    COLORREF textBkColor;
    COLORREF textColor;
    COLORREF pressedTextColor;
    COLORREF hotTextColor;
    int32_t embossText;
    int32_t raised;
    int32_t interactive; // 0: a latched control is a passive label
    int32_t look;        // RoundButtonLook
    int32_t pressSource; // a PressSource value
    int32_t latch;       // RoundButtonLatch
    HANDLE image;
    HANDLE hotImage;
    HANDLE pressedImage;
    HANDLE disabledImage;
    int32_t imageBorrowed; // `image` came from BM_SETIMAGE and is the caller's
    int32_t imageType;     // 0 bitmaps, otherwise icons
    int32_t imageX;
    int32_t imageY;
    int32_t imageWidth;
    int32_t imageHeight;
    int32_t imagePlacement;
    int32_t imageNoShift;
    int32_t imageMarginLeft;
    int32_t imageMarginTop;
    int32_t imageMarginRight;
    int32_t imageMarginBottom;
    UINT textFormat;
    int32_t textMarginLeft;
    int32_t textMarginTop;
    int32_t textMarginRight;
    int32_t textMarginBottom;
    ButtonColorTable colorTable;
    // The keyboard cues this control shows (UISF_HIDEFOCUS set: none), kept
    // here rather than left to the system, which does not keep them
    // everywhere.
    int32_t uiState;
    int32_t systemColors; // nonzero: paint with the system colours only
};

static_assert(sizeof(void*) != 4 || sizeof(RoundButtonData) == 51 * 4,
              "on 32-bit Windows the record is 51 words");

enum PressSource : int32_t {
    kNoPress = 0,
    kMousePress = 1,
    kSpacePress = 2,
};

// The control's record; null before WM_CREATE has stored it and once the
// control is destroyed.
//
// Anything that can run the owner's code may destroy the control and free
// its record: a click or look notification (and so every redraw, since the
// paint sends the look), SetFocus, SetCapture, ReleaseCapture, EnableWindow.
// The control therefore makes such a call its handler's last use of the
// record, or reads the record again through ButtonData afterwards and stops
// when it is null; it never keeps a reference to the record across one.
inline RoundButtonData* ButtonData(HWND hwnd) {
    return reinterpret_cast<RoundButtonData*>(GetWindowLongPtrA(hwnd, 0));
}

// Recomputes faceColor, the colour table (and palette) and faceBrush.
void UpdateButtonColors(HWND hwnd);

// Draws the rounded edge of the current look into dc, whose selected brush
// fills the face, and returns the look notification the parent gets for it
// (0 for none). The paint sends it once it has let go of every DC and object.
UINT DrawButtonFrame(HWND hwnd, HDC dc, const RECT& client);

// Nonzero when the mouse cursor is inside the control's rounded region.
BOOL CursorInButton(HWND hwnd);

// The WM_PAINT handler.
void PaintRoundButton(HWND hwnd);

// The control's four-colour palette for the colours of `table`.
HPALETTE CreateButtonPalette(const ButtonColorTable& table);
