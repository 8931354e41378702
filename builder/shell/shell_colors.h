// The program's two own colours, and the control-colour replies that paint
// with them, or with the system colours while a high-contrast scheme is on.
#pragma once

#include "builder/rrbutton/win32/screen_metrics.h"

#include <windows.h>

constexpr COLORREF kNavy = RGB(0, 0, 128);           // captions, banner and credit text
constexpr COLORREF kPaleYellow = RGB(255, 255, 187); // path fields, the usage note

// The WM_CTLCOLOR* answer for a control on `color`: the text background and
// the DC brush take the colour, and the stock DC brush is returned, so that
// no brush has to be made or freed.
inline INT_PTR SolidBackground(HDC dc, COLORREF color) {
    SetBkColor(dc, color);
    SetDCBrushColor(dc, color);
    return reinterpret_cast<INT_PTR>(GetStockObject(DC_BRUSH));
}

// A path field or the usage note: pale yellow, or the user's window colours
// under high contrast.
inline INT_PTR FieldColors(HDC dc) {
    if (HighContrastOn()) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return SolidBackground(dc, GetSysColor(COLOR_WINDOW));
    }
    return SolidBackground(dc, kPaleYellow);
}

// A navy caption on the dialog's face; under high contrast 0, which leaves
// the caption to the system's colours.
inline INT_PTR CaptionColors(HDC dc) {
    if (HighContrastOn()) {
        return 0;
    }
    SetTextColor(dc, kNavy);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}
