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

// One rounded outline of the frame, filled with the DC's brush, with its own
// pen for the one call.
void DrawRing(HDC dc, const RECT& client, int offset, int inset, COLORREF color,
              int32_t cornerDiameter) {
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
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

// The embossed copy: the caption in the highlight colour one pixel right
// and down.
void DrawHighlightCopy(HDC dc, const char* caption, const RECT& rectangle, UINT format) {
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawCaption(dc, caption, Moved(rectangle, 1), format);
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
};

void DrawContent(HDC dc, const RoundButtonData& data, const CaptionLayout& layout) {
    const UINT format = data.textFormat;
    switch (data.look) {
    case kLookPressed: {
        if (data.embossText != 0) {
            DrawHighlightCopy(dc, layout.caption, layout.pressedText, format);
        }
        SetTextColor(dc, data.pressedTextColor);
        DrawCaption(dc, layout.caption, layout.pressedText, format);
        const int shift = data.latch == kLatchNone && data.imageNoShift == 0 ? 1 : 0;
        DrawImage(dc, data, FirstImage(data.pressedImage, data.hotImage, data.image),
                  layout.image.x + shift, layout.image.y + shift);
        break;
    }
    case kLookHot:
        if (data.embossText != 0) {
            DrawHighlightCopy(dc, layout.caption, layout.text, format);
        }
        SetTextColor(dc, data.hotTextColor);
        DrawCaption(dc, layout.caption, layout.text, format);
        DrawImage(dc, data, FirstImage(data.hotImage, data.pressedImage, data.image),
                  layout.image.x, layout.image.y);
        break;
    default: {
        const bool enabled = IsWindowEnabled(data.hwnd) != FALSE;
        // A disabled control shows etched text whatever the emboss flag says.
        if (!enabled || data.embossText != 0) {
            DrawHighlightCopy(dc, layout.caption, layout.text, format);
        }
        SetTextColor(dc, enabled ? data.textColor : GetSysColor(COLOR_BTNSHADOW));
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
    SetBkMode(memory.get(), data.textBkMode);
    SetBkColor(memory.get(), data.textBkColor);
    FillRect(memory.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
    SelectedObject selectedBrush(memory.get(), data.faceBrush);

    CaptionLayout layout;
    layout.caption = caption;
    layout.image = ImagePositionOf(data, client);
    layout.text = {data.textMarginLeft, data.textMarginTop, client.right - data.textMarginRight,
                   client.bottom - data.textMarginBottom};
    layout.pressedText = data.latch == kLatchNone ? Moved(layout.text, 1) : layout.text;

    const UINT look = DrawButtonFrame(hwnd, memory.get(), client);
    DrawContent(memory.get(), data, layout);
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
    const bool focused = GetFocus() == hwnd;
    const bool live = data.latch == kLatchNone;
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const bool raised =
        data.latch == kLatchRaised ||
        (live && (data.look == kLookHot || (data.raised == 1 && data.look == kLookNormal)));
    const bool sunken = data.latch == kLatchSunken || (live && data.look == kLookPressed);
    if (raised) {
        DrawRing(dc, client, 0, 1, highlight, corner);
        DrawRing(dc, client, 1, 0, shadow, corner);
        DrawRing(dc, client, 1, 1, data.faceColor, corner);
        if (data.interactive != 0 && focused && (data.raised != 0 || !live)) {
            DrawRing(dc, client, 2, 2, data.colorTable.shadowShade, corner);
        }
        return RBN_RAISED;
    }
    if (sunken) {
        DrawRing(dc, client, 1, 0, highlight, corner);
        DrawRing(dc, client, 0, 1, shadow, corner);
        DrawRing(dc, client, 1, 1, data.faceColor, corner);
        if (data.interactive != 0 && !live && focused) {
            DrawRing(dc, client, 2, 2, GetSysColor(COLOR_INFOBK), corner);
        }
        return RBN_SUNKEN;
    }
    DrawRing(dc, client, 0, live ? 1 : 0, data.faceColor, corner);
    if (data.interactive != 0 && data.raised == 0 && focused) {
        const COLORREF ring = live ? GetSysColor(COLOR_INFOBK) : data.colorTable.shadowShade;
        DrawRing(dc, client, 0, 1, ring, corner);
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
