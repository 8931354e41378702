// The program's two own colours, and the control-colour reply that paints a
// control's background in one of them.
#pragma once

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
