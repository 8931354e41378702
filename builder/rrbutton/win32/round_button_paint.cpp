// Drawing of the RRBUTTON control: colours, frame, hit test and the
// double-buffered paint.
#include <cstring>

#include "builder/rrbutton/button_colors.h"
#include "builder/rrbutton/win32/round_button.h"
#include "builder/rrbutton/win32/round_button_data.h"
#include "common/win32/gdi_handles.h"

namespace {

// Captions are drawn up to this many characters.
constexpr int kCaptionBuffer = 1024;
// How far inside the edge the keyboard focus cue runs, in pixels at 96 DPI.
constexpr int kFocusCueInset = 3;

// The sizes of one paint: a pixel of the classic look becomes `unit` pixels
// on a denser screen.
struct PaintScale {
    int dpi;
    int unit;
};

PaintScale ScaleOf(HDC dc) {
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const int known = dpi > 0 ? dpi : kBaseDpi;
    return {known, ScaledPixels(1, known)};
}

// One rounded outline of the frame, `width` pixels thick and drawn inside
// its rectangle, filled with the DC's brush, with its own pen for the one
// call.
void DrawRing(HDC dc, const RECT& client, int offset, int inset, int width, COLORREF color,
              int32_t cornerDiameter) {
    GdiObject<HPEN> pen(CreatePen(width > 1 ? PS_INSIDEFRAME : PS_SOLID, width, color));
    SelectedObject selected(dc, pen.get());
    RoundRect(dc, offset, offset, client.right - inset, client.bottom - inset, cornerDiameter,
              cornerDiameter);
}

RECT Moved(RECT rectangle, int by) {
    OffsetRect(&rectangle, by, by);
    return rectangle;
}

void DrawCaption(HDC dc, const char* caption, RECT rectangle, UINT format) {
    DrawTextA(dc, caption, -1, &rectangle, format);
}

// The embossed copy: the caption in the highlight colour one (scaled)
// pixel right and down.
void DrawHighlightCopy(HDC dc, const char* caption, const RECT& rectangle, UINT format, int unit) {
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawCaption(dc, caption, Moved(rectangle, unit), format);
}

void DrawImage(HDC dc, const RoundButtonData& data, HANDLE image, int x, int y) {
    if (image == nullptr) {
        return;
    }
    if (data.imageType == IMAGE_BITMAP) {
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(image), 0, x, y, 0, 0,
                   DST_BITMAP);
    } else {
        DrawIconEx(dc, x, y, static_cast<HICON>(image), data.imageWidth, data.imageHeight, 0,
                   nullptr, DI_NORMAL);
    }
}

HANDLE FirstImage(HANDLE first, HANDLE second, HANDLE third) {
    if (first != nullptr) {
        return first;
    }
    return second != nullptr ? second : third;
}

struct CaptionLayout {
    const char* caption;
    RECT text;        // T
    RECT pressedText; // Tp
    ImagePosition image;
    int unit; // one pixel of the classic look
};

void DrawContent(HDC dc, const RoundButtonData& data, const PaintColors& colors,
                 const CaptionLayout& layout) {
    const UINT format = data.textFormat;
    const int unit = layout.unit;
    switch (data.look) {
    case kLookPressed: {
        if (data.embossText != 0) {
            DrawHighlightCopy(dc, layout.caption, layout.pressedText, format, unit);
        }
        SetTextColor(dc, colors.pressedText);
        DrawCaption(dc, layout.caption, layout.pressedText, format);
        const int shift = data.latch == kLatchNone && data.imageNoShift == 0 ? unit : 0;
        DrawImage(dc, data, FirstImage(data.pressedImage, data.hotImage, data.image),
                  layout.image.x + shift, layout.image.y + shift);
        break;
    }
    case kLookHot:
        if (data.embossText != 0) {
            DrawHighlightCopy(dc, layout.caption, layout.text, format, unit);
        }
        SetTextColor(dc, colors.hotText);
        DrawCaption(dc, layout.caption, layout.text, format);
        DrawImage(dc, data, FirstImage(data.hotImage, data.pressedImage, data.image),
                  layout.image.x, layout.image.y);
        break;
    default: {
        const bool enabled = IsWindowEnabled(data.hwnd) != FALSE;
        // A disabled control shows etched text whatever the emboss flag says.
        if (!enabled || data.embossText != 0) {
            DrawHighlightCopy(dc, layout.caption, layout.text, format, unit);
        }
        SetTextColor(dc, enabled ? colors.text : colors.disabledText);
        DrawCaption(dc, layout.caption, layout.text, format);
        if (data.image != nullptr) {
            HANDLE image =
                enabled || data.disabledImage == nullptr ? data.image : data.disabledImage;
            DrawImage(dc, data, image, layout.image.x, layout.image.y);
        }
        break;
    }
    }
}

ImagePosition ImagePositionOf(const RoundButtonData& data, const RECT& client) {
    if (data.image == nullptr) {
        // Hot and pressed images alone are drawn at the origin.
        return {};
    }
    ImageGeometry geometry;
    geometry.placement = data.imagePlacement;
    geometry.x = data.imageX;
    geometry.y = data.imageY;
    geometry.width = data.imageWidth;
    geometry.height = data.imageHeight;
    geometry.marginLeft = data.imageMarginLeft;
    geometry.marginTop = data.imageMarginTop;
    geometry.marginRight = data.imageMarginRight;
    geometry.marginBottom = data.imageMarginBottom;
    return PlaceImage(geometry, client.right, client.bottom);
}

// The colours of this paint: the control's own, or the system's under a
// high-contrast scheme.
PaintColors PaintColorsOf(const RoundButtonData& data) {
    PaintColors own;
    own.face = data.faceColor;
    own.text = data.textColor;
    own.hotText = data.hotTextColor;
    own.pressedText = data.pressedTextColor;
    own.textBackground = data.textBkColor;
    own.disabledText = GetSysColor(COLOR_BTNSHADOW);
    own.shadeFocusRing = data.colorTable.shadowShade;
    own.infoFocusRing = GetSysColor(COLOR_INFOBK);
    SystemColors system;
    system.buttonFace = GetSysColor(COLOR_BTNFACE);
    system.buttonText = GetSysColor(COLOR_BTNTEXT);
    system.grayText = GetSysColor(COLOR_GRAYTEXT);
    system.highlight = GetSysColor(COLOR_HIGHLIGHT);
    return ChoosePaintColors(own, system, data.systemColors != 0);
}

// The keyboard focus cue: a dotted rectangle inside the face of the focused
// control, shown once the user works the keyboard (the owner clears
// UISF_HIDEFOCUS). Labels never have the focus and never show it.
void DrawFocusCue(HWND hwnd, HDC dc, const RoundButtonData& data, const RECT& client, int dpi) {
    const bool label = data.latch != kLatchNone && data.interactive == 0;
    if (label || (data.uiState & UISF_HIDEFOCUS) != 0 || GetFocus() != hwnd) {
        return;
    }
    RECT cue = client;
    const int inset = ScaledPixels(kFocusCueInset, dpi);
    InflateRect(&cue, -inset, -inset);
    if (cue.right > cue.left && cue.bottom > cue.top) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &cue);
    }
}

// The double-buffered drawing of the whole control; returns the look
// notification of the frame it drew.
UINT DrawButton(HWND hwnd) {
    const RoundButtonData& data = *ButtonData(hwnd);
    if (data.colorTable.lastSystemFace != GetSysColor(COLOR_BTNFACE)) {
        UpdateButtonColors(hwnd);
    }
    RECT client;
    GetClientRect(hwnd, &client);
    char caption[kCaptionBuffer];
    if (GetWindowTextA(hwnd, caption, sizeof(caption)) <= 0) {
        caption[0] = '\0';
    }

    PaintDC paint(hwnd);
    if (data.region != nullptr) {
        SelectClipRgn(paint.get(), data.region);
    }
    SelectedPalette screenPalette(paint.get(), data.colorTable.palette);
    MemoryDC memory(paint.get());
    SelectedPalette memoryPalette(memory.get(), data.colorTable.palette);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
    SelectedObject selectedBitmap(memory.get(), bitmap.get());
    if (data.region != nullptr) {
        SelectClipRgn(memory.get(), data.region);
    }
    SelectedObject selectedFont(memory.get(), data.font);
    const PaintColors colors = PaintColorsOf(data);
    const PaintScale scale = ScaleOf(memory.get());
    SetBkMode(memory.get(), data.textBkMode);
    SetBkColor(memory.get(), colors.textBackground);
    FillRect(memory.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
    // Under high contrast the face is the system's, whose brush the system
    // owns.
    SelectedObject selectedBrush(
        memory.get(), data.systemColors != 0 ? GetSysColorBrush(COLOR_BTNFACE) : data.faceBrush);

    CaptionLayout layout;
    layout.caption = caption;
    layout.image = ImagePositionOf(data, client);
    layout.text = {data.textMarginLeft, data.textMarginTop, client.right - data.textMarginRight,
                   client.bottom - data.textMarginBottom};
    layout.unit = scale.unit;
    layout.pressedText = data.latch == kLatchNone ? Moved(layout.text, scale.unit) : layout.text;

    const UINT look = DrawButtonFrame(hwnd, memory.get(), client);
    DrawContent(memory.get(), data, colors, layout);
    DrawFocusCue(hwnd, memory.get(), data, client, scale.dpi);
    BitBlt(paint.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    return look;
}

} // namespace

HPALETTE CreateButtonPalette(const ButtonColorTable& table) {
    const auto block =
        PaletteBlock({table.face, table.shadowShade, table.infoBackground, table.scrollBar});
    // LOGPALETTE declares one entry; the block carries all four.
    alignas(LOGPALETTE) unsigned char storage[sizeof(block)];
    std::memcpy(storage, block.data(), sizeof(block));
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(storage));
}

void UpdateButtonColors(HWND hwnd) {
    RoundButtonData& data = *ButtonData(hwnd);
    ButtonColorTable& table = data.colorTable;
    const COLORREF systemFace = GetSysColor(COLOR_BTNFACE);
    const COLORREF face = FaceBeforeUpdate(data.faceColor, table.face, table.palette != nullptr);
    data.faceColor = FollowSystemFace(face, table.lastSystemFace, systemFace);
    table.face = data.faceColor;
    table.shadowShade = ShadowShade(systemFace);
    table.infoBackground = GetSysColor(COLOR_INFOBK);
    table.scrollBar = GetSysColor(COLOR_SCROLLBAR);
    table.lastSystemFace = systemFace;
    {
        WindowDC dc(hwnd);
        if (IsPaletteDevice(GetDeviceCaps(dc.get(), NUMCOLORS),
                            GetDeviceCaps(dc.get(), RASTERCAPS))) {
            if (table.palette != nullptr) {
                DeleteObject(table.palette);
            }
            table.palette = CreateButtonPalette(table);
            table.face += kPaletteRelative;
            table.shadowShade += kPaletteRelative;
            table.infoBackground += kPaletteRelative;
            table.scrollBar += kPaletteRelative;
            data.faceColor = table.face;
        }
    }
    if (data.faceBrush != nullptr) {
        DeleteObject(data.faceBrush);
    }
    data.faceBrush = CreateSolidBrush(data.faceColor);
}

UINT DrawButtonFrame(HWND hwnd, HDC dc, const RECT& client) {
    const RoundButtonData& data = *ButtonData(hwnd);
    const int32_t corner = data.cornerDiameter;
    const PaintColors colors = PaintColorsOf(data);
    // Ring offsets and widths are pixels of the classic look, scaled.
    const int unit = ScaleOf(dc).unit;
    const int ring = 2 * unit; // the focus ring inside the edge
    const auto Ring = [&](int offset, int inset, COLORREF color) {
        DrawRing(dc, client, offset, inset, unit, color, corner);
    };
    const bool focused = GetFocus() == hwnd;
    const bool live = data.latch == kLatchNone;
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const bool raised =
        data.latch == kLatchRaised ||
        (live && (data.look == kLookHot || (data.raised == 1 && data.look == kLookNormal)));
    const bool sunken = data.latch == kLatchSunken || (live && data.look == kLookPressed);
    if (raised) {
        Ring(0, unit, highlight);
        Ring(unit, 0, shadow);
        Ring(unit, unit, colors.face);
        if (data.interactive != 0 && focused && (data.raised != 0 || !live)) {
            Ring(ring, ring, colors.shadeFocusRing);
        }
        return RBN_RAISED;
    }
    if (sunken) {
        Ring(unit, 0, highlight);
        Ring(0, unit, shadow);
        Ring(unit, unit, colors.face);
        if (data.interactive != 0 && !live && focused) {
            Ring(ring, ring, colors.infoFocusRing);
        }
        return RBN_SUNKEN;
    }
    Ring(0, live ? unit : 0, colors.face);
    if (data.interactive != 0 && data.raised == 0 && focused) {
        Ring(0, unit, live ? colors.infoFocusRing : colors.shadeFocusRing);
    }
    return data.raised == 0 ? RBN_FLAT : 0;
}

BOOL CursorInButton(HWND hwnd) {
    const RoundButtonData& data = *ButtonData(hwnd);
    RECT window;
    POINT cursor;
    GetWindowRect(hwnd, &window);
    GetCursorPos(&cursor);
    if (!PtInRect(&window, cursor)) {
        return FALSE;
    }
    ScreenToClient(hwnd, &cursor);
    return PtInRegion(data.region, cursor.x, cursor.y);
}

void PaintRoundButton(HWND hwnd) {
    const UINT look = DrawButton(hwnd);
    // Sent after the paint has ended, so that no DC, object or record of it
    // is left in use should the owner destroy the control from here.
    const RoundButtonData* data = ButtonData(hwnd);
    if (look != 0 && data != nullptr) {
        SendMessageA(data->parent, look, reinterpret_cast<WPARAM>(hwnd), data->id);
    }
}
