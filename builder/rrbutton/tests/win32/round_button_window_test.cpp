// RRBUTTON controls hosted in a real dialog, driven the way a user drives
// them: the cursor is really moved (the hit test reads it), messages go to
// the control, and the painted pixels are read back from the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "builder/rrbutton/button_colors.h"
#include "builder/rrbutton/win32/round_button.h"
#include "builder/rrbutton/win32/round_button_data.h"
#include "builder/rrbutton/win32/screen_metrics.h"

namespace {

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr COLORREF kRed = RGB(200, 0, 0);
// Somewhere on the screen far from the dialog.
constexpr POINT kAway{1000, 740};

struct Notice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

bool IsRecorded(UINT message) {
    return message == WM_COMMAND || message == RBN_RAISED || message == RBN_SUNKEN ||
           message == RBN_FLAT;
}

// The host destroys `control` from inside the first `notice` it sends.
struct Doom {
    HWND control;
    UINT notice;
};
Doom gDoom{};

INT_PTR CALLBACK HostProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return FALSE;
    }
    auto* notices = reinterpret_cast<std::vector<Notice>*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (notices != nullptr && IsRecorded(message)) {
        notices->push_back({message, wParam, lParam});
        const auto sender = reinterpret_cast<HWND>(message == WM_COMMAND ? lParam : wParam);
        if (message == gDoom.notice && sender == gDoom.control) {
            DestroyWindow(sender);
        }
        return message == WM_COMMAND;
    }
    return FALSE;
}

// A control's record moved onto a page of its own, which closes when the
// control is destroyed (the control's own record, swapped back in, is freed
// as usual). A handler that touches the record after that is counted, and
// the page opens again so that it can go on.
constexpr SIZE_T kPageSize = 4096;
void* gGuardPage = nullptr;
RoundButtonData* gOwnRecord = nullptr;
int gTouchesAfterDestroy = 0;

LONG CALLBACK CountTouchAfterDestroy(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    const auto page = reinterpret_cast<ULONG_PTR>(gGuardPage);
    if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2 ||
        record.ExceptionInformation[1] - page >= kPageSize) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    ++gTouchesAfterDestroy;
    DWORD previous;
    VirtualProtect(gGuardPage, kPageSize, PAGE_READWRITE, &previous);
    return EXCEPTION_CONTINUE_EXECUTION;
}

LRESULT CALLBACK GuardedButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_DESTROY) {
        return RoundButtonProc(hwnd, message, wParam, lParam);
    }
    std::memcpy(gOwnRecord, gGuardPage, sizeof(RoundButtonData));
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(gOwnRecord));
    const LRESULT result = RoundButtonProc(hwnd, message, wParam, lParam);
    DWORD previous;
    VirtualProtect(gGuardPage, kPageSize, PAGE_NOACCESS, &previous);
    return result;
}

void GuardRecord(HWND button) {
    gOwnRecord = ButtonData(button);
    gGuardPage = VirtualAlloc(nullptr, kPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    std::memcpy(gGuardPage, gOwnRecord, sizeof(RoundButtonData));
    SetWindowLongPtrA(button, 0, reinterpret_cast<LONG_PTR>(gGuardPage));
    SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GuardedButtonProc));
    gTouchesAfterDestroy = 0;
}

void ReleaseGuard(HWND button) {
    if (IsWindow(button)) {
        DestroyWindow(button);
    }
    VirtualFree(gGuardPage, 0, MEM_RELEASE);
    gGuardPage = nullptr;
}

// A dialog template with no controls, in "MS Sans Serif" 8 pt.
std::vector<WORD> HostTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD));
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT | DS_MODALFRAME;
    header->x = 10;
    header->y = 10;
    header->cx = 300;
    header->cy = 200;
    words.insert(words.end(), {0, 0, 0, 8}); // no menu, default class, no title, 8 pt
    for (const wchar_t* c = L"MS Sans Serif"; *c != 0; ++c) {
        words.push_back(static_cast<WORD>(*c));
    }
    words.push_back(0);
    return words;
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

COLORREF SystemFace() {
    return GetSysColor(COLOR_BTNFACE);
}

struct Box {
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN; // inclusive
    int bottom = INT_MIN;
    int count = 0;
};

// One dialog hosts the controls of every test: creating a top-level window
// under Wine costs seconds.
class RoundButtonTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const std::vector<WORD> words = HostTemplate();
        dialog_ = CreateDialogIndirectParamA(
            GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()), nullptr,
            HostProc, reinterpret_cast<LPARAM>(&notices_));
        SetForegroundWindow(dialog_);
    }

    static void TearDownTestSuite() { DestroyWindow(dialog_); }

    void SetUp() override {
        ASSERT_NE(dialog_, nullptr);
        SetCursorPos(kAway.x, kAway.y);
        Pump();
        notices_.clear();
    }

    void TearDown() override {
        while (HWND child = GetWindow(dialog_, GW_CHILD)) {
            DestroyWindow(child);
        }
        Pump();
    }

    HWND Make(int id, const char* caption, int x, int y, int width, int height,
              DWORD style = kButtonStyle) {
        HWND button = CreateRoundButton(dialog_, id, caption, x, y, width, height, style, 0, 0);
        EXPECT_NE(button, nullptr);
        UpdateWindow(button);
        return button;
    }

    // Puts the real cursor at a client point of the control.
    static void PutCursor(HWND button, int x, int y) {
        POINT point{x, y};
        ClientToScreen(button, &point);
        SetCursorPos(point.x, point.y);
    }

    static void Press(HWND button) { SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, 0); }
    static void Release(HWND button) { SendMessageA(button, WM_LBUTTONUP, 0, 0); }
    static void Move(HWND button) { SendMessageA(button, WM_MOUSEMOVE, 0, 0); }

    int Clicks(HWND button) const {
        int clicks = 0;
        const int id = GetDlgCtrlID(button);
        for (const Notice& notice : notices_) {
            if (notice.message == WM_COMMAND && notice.lParam == reinterpret_cast<LPARAM>(button)) {
                EXPECT_EQ(LOWORD(notice.wParam), id);
                EXPECT_EQ(HIWORD(notice.wParam), BN_CLICKED);
                ++clicks;
            }
        }
        return clicks;
    }

    // The look notification of the control's last paint, 0 if none.
    UINT LastLook(HWND button) const {
        for (auto notice = notices_.rbegin(); notice != notices_.rend(); ++notice) {
            if (notice->message != WM_COMMAND &&
                notice->wParam == reinterpret_cast<WPARAM>(button)) {
                EXPECT_EQ(notice->lParam, GetDlgCtrlID(button));
                return notice->message;
            }
        }
        return 0;
    }

    bool SawLook(HWND button, UINT look) const {
        for (const Notice& notice : notices_) {
            if (notice.message == look && notice.wParam == reinterpret_cast<WPARAM>(button)) {
                return true;
            }
        }
        return false;
    }

    // Every pixel of the control, row by row.
    static std::vector<COLORREF> Pixels(HWND button) {
        RECT client;
        GetClientRect(button, &client);
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(button);
        for (int y = 0; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) {
                pixels.push_back(GetPixel(dc, x, y));
            }
        }
        ReleaseDC(button, dc);
        return pixels;
    }

    static COLORREF Pixel(HWND button, int x, int y) {
        HDC dc = GetDC(button);
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(button, dc);
        return color;
    }

    // Where the pixels of exactly `color` are, inside the given rectangle.
    static Box Find(HWND button, COLORREF color, RECT area) {
        Box box;
        HDC dc = GetDC(button);
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (GetPixel(dc, x, y) == color) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x);
                    box.bottom = std::max(box.bottom, y);
                    ++box.count;
                }
            }
        }
        ReleaseDC(button, dc);
        return box;
    }

    static inline HWND dialog_ = nullptr;
    static inline std::vector<Notice> notices_;
};

TEST_F(RoundButtonTest, NewControlHasTheDocumentedDefaults) {
    HWND button = CreateRoundButton(dialog_, 101, "OK", 10, 10, 80, 30, kButtonStyle, 0, 0);
    ASSERT_NE(button, nullptr);
    const COLORREF system = SystemFace();
    const COLORREF face = system == 0 || system == 0xFFFFFF ? system : system + 0x080808;
    const auto faceValue = static_cast<LRESULT>(face);
    const auto text = static_cast<LRESULT>(GetSysColor(COLOR_BTNTEXT));
    struct Case {
        UINT query;
        LRESULT expected;
    };
    const Case cases[] = {
        {RBM_GETCORNER, 20},
        {RBM_GETFACECOLOR, faceValue},
        {RBM_GETFACEBRUSH, 0},
        {RBM_GETTEXTBKMODE, TRANSPARENT},
        {RBM_GETTEXTBKCOLOR, faceValue},
        {RBM_GETTEXTCOLOR, text},
        {RBM_GETPRESSEDTEXTCOLOR, text},
        {RBM_GETHOTTEXTCOLOR, text},
        {RBM_GETEMBOSS, 0},
        {RBM_GETRAISED, 0},
        {RBM_GETLATCH, 0},
        {RBM_GETINTERACTIVE, 1},
        {RBM_GETTEXTFORMAT, 0x25},
        {RBM_GETTEXTMARGINLEFT, 0},
        {RBM_GETTEXTMARGINTOP, 0},
        {RBM_GETTEXTMARGINRIGHT, 0},
        {RBM_GETTEXTMARGINBOTTOM, 0},
        {RBM_GETIMAGEPOS, -4},
        {RBM_GETIMAGEWIDTH, 16},
        {RBM_GETIMAGEHEIGHT, 16},
        {RBM_GETIMAGEMARGINLEFT, 0},
        {RBM_GETIMAGEMARGINTOP, 0},
        {RBM_GETIMAGEMARGINRIGHT, 0},
        {RBM_GETIMAGEMARGINBOTTOM, 0},
        {RBM_GETSYSTEMCOLORS, HighContrastOn() ? 1 : 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendMessageA(button, c.query, 0, 0), c.expected) << std::hex << c.query;
    }

    // The face brush is made by the first paint, in the face colour.
    UpdateWindow(button);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(button, RBM_GETFACEBRUSH, 0, 0));
    LOGBRUSH brushInfo{};
    ASSERT_EQ(GetObjectA(brush, sizeof(brushInfo), &brushInfo),
              static_cast<int>(sizeof(brushInfo)));
    EXPECT_EQ(brushInfo.lbColor, face);
}

TEST_F(RoundButtonTest, EverySetterIsReadBackByItsQuery) {
    HWND button = Make(101, "OK", 10, 10, 80, 30);
    struct Case {
        UINT set;
        WPARAM value;
        UINT query;
        LRESULT expected;
    };
    const Case cases[] = {
        {RBM_SETCORNER, 7, RBM_GETCORNER, 7},
        {RBM_SETCORNER, static_cast<WPARAM>(-5), RBM_GETCORNER, 0},
        {RBM_SETFACECOLOR, 0x123456, RBM_GETFACECOLOR, 0x123456},
        {RBM_SETTEXTBKMODE, OPAQUE, RBM_GETTEXTBKMODE, OPAQUE},
        {RBM_SETTEXTBKCOLOR, 0x00BBFFFF, RBM_GETTEXTBKCOLOR, 0x00BBFFFF},
        {RBM_SETTEXTCOLOR, 0x800000, RBM_GETTEXTCOLOR, 0x800000},
        {RBM_SETPRESSEDTEXTCOLOR, 0x0000FF, RBM_GETPRESSEDTEXTCOLOR, 0x0000FF},
        {RBM_SETHOTTEXTCOLOR, 0x800000, RBM_GETHOTTEXTCOLOR, 0x800000},
        {RBM_SETEMBOSS, 1, RBM_GETEMBOSS, 1},
        {RBM_SETRAISED, 5, RBM_GETRAISED, 1},
        {RBM_SETRAISED, 0, RBM_GETRAISED, 0},
        {RBM_SETTEXTFORMAT, 0x21, RBM_GETTEXTFORMAT, 0x21},
        {RBM_SETTEXTMARGINLEFT, 10, RBM_GETTEXTMARGINLEFT, 10},
        {RBM_SETTEXTMARGINTOP, 5, RBM_GETTEXTMARGINTOP, 5},
        {RBM_SETTEXTMARGINRIGHT, 3, RBM_GETTEXTMARGINRIGHT, 3},
        {RBM_SETTEXTMARGINBOTTOM, 2, RBM_GETTEXTMARGINBOTTOM, 2},
        {RBM_SETIMAGEPOS, static_cast<WPARAM>(-9), RBM_GETIMAGEPOS, -9},
        {RBM_SETIMAGEPOS, 10, RBM_GETIMAGEPOS, 0},
        {RBM_SETIMAGEMARGINLEFT, 4, RBM_GETIMAGEMARGINLEFT, 4},
        {RBM_SETIMAGEMARGINTOP, 6, RBM_GETIMAGEMARGINTOP, 6},
        {RBM_SETIMAGEMARGINRIGHT, 8, RBM_GETIMAGEMARGINRIGHT, 8},
        {RBM_SETIMAGEMARGINBOTTOM, 9, RBM_GETIMAGEMARGINBOTTOM, 9},
        {RBM_SETLATCH, 3, RBM_GETLATCH, 3},
        {RBM_SETINTERACTIVE, 1, RBM_GETINTERACTIVE, 1},
        {RBM_SETSYSTEMCOLORS, 7, RBM_GETSYSTEMCOLORS, 1},
        {RBM_SETSYSTEMCOLORS, 0, RBM_GETSYSTEMCOLORS, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendMessageA(button, c.set, c.value, 1), 0) << std::hex << c.set;
        EXPECT_EQ(SendMessageA(button, c.query, 0, 0), c.expected) << std::hex << c.set;
    }

    SendMessageA(button, RBM_SETIMAGESIZE, 25, 30);
    EXPECT_EQ(SendMessageA(button, RBM_GETIMAGEWIDTH, 0, 0), 25);
    EXPECT_EQ(SendMessageA(button, RBM_GETIMAGEHEIGHT, 0, 0), 30);

    // A new face colour gets a new brush of that colour.
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(button, RBM_GETFACEBRUSH, 0, 0));
    LOGBRUSH brushInfo{};
    ASSERT_NE(GetObjectA(brush, sizeof(brushInfo), &brushInfo), 0);
    EXPECT_EQ(brushInfo.lbColor, 0x123456u);
}

TEST_F(RoundButtonTest, LatchFixesTheLookAndTurnsInteractionOff) {
    HWND button = Make(101, "", 10, 10, 80, 30);
    SendMessageA(button, RBM_SETLATCH, 3, 1);
    EXPECT_EQ(SendMessageA(button, RBM_GETINTERACTIVE, 0, 0), 0);
    EXPECT_EQ(LastLook(button), RBN_SUNKEN);
    SendMessageA(button, RBM_SETLATCH, 2, 1);
    EXPECT_EQ(LastLook(button), RBN_RAISED);
    SendMessageA(button, RBM_SETLATCH, 1, 1);
    EXPECT_EQ(LastLook(button), RBN_FLAT);

    // Unlatching leaves the control passive until the owner says otherwise.
    SendMessageA(button, RBM_SETLATCH, 0, 1);
    EXPECT_EQ(SendMessageA(button, RBM_GETINTERACTIVE, 0, 0), 0);
    SendMessageA(button, RBM_SETINTERACTIVE, 1, 0);
    EXPECT_EQ(SendMessageA(button, RBM_GETINTERACTIVE, 0, 0), 1);
}

TEST_F(RoundButtonTest, HandedInImagesStayTheCallersAndAreSizedSixteen) {
    HWND button = Make(101, "", 10, 10, 80, 30);
    HBITMAP first = CreateBitmap(40, 20, 1, 32, nullptr);
    HBITMAP second = CreateBitmap(8, 8, 1, 32, nullptr);
    EXPECT_EQ(SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)), 0);
    EXPECT_EQ(SendMessageA(button, RBM_GETIMAGEWIDTH, 0, 0), 16);
    EXPECT_EQ(SendMessageA(button, RBM_GETIMAGEHEIGHT, 0, 0), 16);
    EXPECT_EQ(SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(second)),
              reinterpret_cast<LRESULT>(first));
    DestroyWindow(button);
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BITMAP));

    button = Make(102, "", 10, 10, 80, 30);
    EXPECT_EQ(SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(SendMessageA(button, RBM_GETIMAGEWIDTH, 0, 0), 0);
    EXPECT_EQ(SendMessageA(button, RBM_GETIMAGEHEIGHT, 0, 0), 0);
    DeleteObject(first);
    DeleteObject(second);
}

// A 24-bit bottom-up bitmap file of one colour.
std::string WriteBitmapFile(int width, int height) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    const std::string path = std::string(folder) + "rrbutton_test.bmp";
    const int rowBytes = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + rowBytes * height;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const std::vector<unsigned char> pixels(rowBytes * height, 0x40);
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
    return path;
}

TEST_F(RoundButtonTest, ImagesLoadedByNameAreSizedSixteenOrZero) {
    HWND button = Make(101, "", 10, 10, 80, 30);
    const std::string path = WriteBitmapFile(40, 24);
    SendMessageA(button, RBM_LOADIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(path.c_str()));
    EXPECT_EQ(SendMessageA(button, RBM_GETIMAGEWIDTH, 0, 0), 16);
    EXPECT_EQ(SendMessageA(button, RBM_GETIMAGEHEIGHT, 0, 0), 16);

    // Handing in another image gives the loaded one to the caller.
    auto loaded = reinterpret_cast<HGDIOBJ>(SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, 0));
    BITMAP bitmap{};
    ASSERT_NE(GetObjectA(loaded, sizeof(bitmap), &bitmap), 0);
    EXPECT_EQ(bitmap.bmWidth, 40);
    EXPECT_EQ(bitmap.bmHeight, 24);
    DeleteObject(loaded);

    SendMessageA(button, RBM_LOADIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>("no_such_image_file.bmp"));
    EXPECT_EQ(SendMessageA(button, RBM_GETIMAGEWIDTH, 0, 0), 0);
    EXPECT_EQ(SendMessageA(button, RBM_GETIMAGEHEIGHT, 0, 0), 0);
    DeleteFileA(path.c_str());
}

TEST_F(RoundButtonTest, ControlInDialogUnitsIsPlacedByTheDialogsUnits) {
    HWND button = CreateRoundButton(dialog_, 1001, "Start", 10, 164, 55, 16, kButtonStyle, 2, 1);
    ASSERT_EQ(button, GetDlgItem(dialog_, 1001));
    RECT expected{10, 164, 65, 180};
    MapDialogRect(dialog_, &expected);
    RECT actual;
    GetWindowRect(button, &actual);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST_F(RoundButtonTest, ClickInsideNotifiesTheParentOnce) {
    HWND button = Make(101, "OK", 10, 10, 80, 30);
    PutCursor(button, 40, 15);
    Press(button);
    EXPECT_EQ(LastLook(button), RBN_SUNKEN);
    EXPECT_EQ(Clicks(button), 0);
    Release(button);
    EXPECT_EQ(Clicks(button), 1);
    EXPECT_EQ(LastLook(button), RBN_RAISED); // hot: the cursor is still over it
}

TEST_F(RoundButtonTest, DraggingOutCancelsAndDraggingBackInRearms) {
    HWND button = Make(101, "OK", 10, 10, 80, 30);
    PutCursor(button, 40, 15);
    Press(button);
    SetCursorPos(kAway.x, kAway.y);
    Move(button);
    EXPECT_EQ(LastLook(button), RBN_FLAT);
    Release(button);
    EXPECT_EQ(Clicks(button), 0);

    PutCursor(button, 40, 15);
    Press(button);
    SetCursorPos(kAway.x, kAway.y);
    Move(button);
    PutCursor(button, 40, 15);
    Move(button);
    EXPECT_EQ(LastLook(button), RBN_SUNKEN);
    Release(button);
    EXPECT_EQ(Clicks(button), 1);
}

TEST_F(RoundButtonTest, DoubleClickIsTwoClicks) {
    HWND button = Make(101, "OK", 10, 10, 80, 30);
    PutCursor(button, 40, 15);
    Press(button);
    Release(button);
    SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    Release(button);
    EXPECT_EQ(Clicks(button), 2);
}

TEST_F(RoundButtonTest, PressInACornerOutsideTheRoundingIsIgnored) {
    HWND button = Make(101, "OK", 10, 10, 80, 30);
    PutCursor(button, 1, 1);
    Press(button);
    Release(button);
    EXPECT_FALSE(SawLook(button, RBN_SUNKEN));
    EXPECT_EQ(Clicks(button), 0);

    // With square corners the same point is inside.
    SendMessageA(button, RBM_SETCORNER, 0, 0);
    Press(button);
    Release(button);
    EXPECT_EQ(Clicks(button), 1);
}

TEST_F(RoundButtonTest, EnterClicksAtOnceAndSpaceClicksAtKeyUp) {
    HWND button = Make(101, "OK", 10, 10, 80, 30);
    SendMessageA(button, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Clicks(button), 1);
    EXPECT_FALSE(SawLook(button, RBN_SUNKEN));

    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(LastLook(button), RBN_SUNKEN);
    EXPECT_EQ(Clicks(button), 1);
    // Enter during a Space press does nothing.
    SendMessageA(button, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Clicks(button), 1);
    // Any key released ends the Space press.
    SendMessageA(button, WM_KEYUP, 'A', 0);
    EXPECT_EQ(Clicks(button), 2);
    EXPECT_EQ(LastLook(button), RBN_FLAT);
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(Clicks(button), 2);
}

// Keys as the keyboard delivers them when held: a first key-down, key-downs
// with the repeat flag (bit 30) every auto-repeat period, then a key-up.
// They are posted and go through the dialog's keyboard handling and
// TranslateMessage (which makes WM_CHAR of them) as in a program.
TEST_F(RoundButtonTest, AHeldKeyClicksOnceAndRepeatsAloneNever) {
    HWND button = Make(101, "OK", 10, 10, 80, 30);
    SetFocus(button);
    constexpr LPARAM kFirst = 1;
    constexpr LPARAM kRepeat = 1 | (LPARAM{1} << 30);
    constexpr LPARAM kRelease = 1 | (LPARAM{3} << 30);
    const auto hold = [&](WPARAM key, bool firstKeyDown) {
        if (firstKeyDown) {
            PostMessageA(button, WM_KEYDOWN, key, kFirst);
        }
        for (int repeat = 0; repeat < 8; ++repeat) {
            PostMessageA(button, WM_KEYDOWN, key, kRepeat);
        }
        PostMessageA(button, WM_KEYUP, key, kRelease);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog_, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    };
    struct Case {
        const char* name;
        WPARAM key;
        bool firstKeyDown;
        int clicks;
    };
    // Repeats alone: the key went down elsewhere before the focus came here.
    const Case cases[] = {
        {"held Enter", VK_RETURN, true, 1},
        {"held Space", VK_SPACE, true, 1},
        {"Enter repeats alone", VK_RETURN, false, 0},
        {"Space repeats alone", VK_SPACE, false, 0},
    };
    for (const Case& c : cases) {
        notices_.clear();
        hold(c.key, c.firstKeyDown);
        EXPECT_EQ(GetFocus(), button) << c.name;
        EXPECT_EQ(Clicks(button), c.clicks) << c.name;
    }
}

TEST_F(RoundButtonTest, DisabledAtReleaseSendsNoClickButResetsTheLook) {
    HWND button = Make(101, "OK", 10, 10, 80, 30);
    PutCursor(button, 40, 15);
    Press(button);
    EnableWindow(button, FALSE);
    Release(button);
    EXPECT_EQ(Clicks(button), 0);
    EXPECT_NE(LastLook(button), RBN_SUNKEN);

    EnableWindow(button, TRUE);
    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(LastLook(button), RBN_SUNKEN);
    EnableWindow(button, FALSE);
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(Clicks(button), 0);
    EXPECT_EQ(LastLook(button), RBN_FLAT);
}

TEST_F(RoundButtonTest, HoverLookGoesAtTheFirstTimerTickAfterTheCursorLeft) {
    HWND button = Make(101, "OK", 10, 10, 80, 30);
    PutCursor(button, 40, 15);
    Move(button);
    EXPECT_EQ(LastLook(button), RBN_RAISED);
    SetCursorPos(kAway.x, kAway.y);
    // No mouse message tells the control; only its timer can notice.
    for (int wait = 0; wait < 500 && LastLook(button) != RBN_FLAT; ++wait) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    EXPECT_EQ(LastLook(button), RBN_FLAT);
}

TEST_F(RoundButtonTest, PassiveLabelIgnoresPressesAndPassesTheFocusOn) {
    HWND label = Make(101, "Banner", 10, 10, 80, 30, WS_CHILD | WS_VISIBLE);
    HWND next = Make(102, "OK", 10, 50, 80, 30);
    SendMessageA(label, RBM_SETLATCH, 2, 1);
    PutCursor(label, 40, 15);
    Press(label);
    Release(label);
    EXPECT_EQ(Clicks(label), 0);
    EXPECT_EQ(LastLook(label), RBN_RAISED);
    EXPECT_EQ(SendMessageA(label, WM_GETDLGCODE, 0, 0), 0);

    SetFocus(label);
    EXPECT_EQ(GetFocus(), next);

    // Made interactive again, the latched control takes presses and focus.
    SendMessageA(label, RBM_SETINTERACTIVE, 1, 0);
    Press(label);
    EXPECT_EQ(GetFocus(), label);
    Release(label);
    EXPECT_EQ(Clicks(label), 1);
}

TEST_F(RoundButtonTest, DialogCodeAsksForEnterAndActsAsAButton) {
    HWND button = Make(101, "OK", 10, 10, 80, 30);
    MSG enter{};
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)),
              DLGC_WANTALLKEYS);
    EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
}

TEST_F(RoundButtonTest, ChildButtonsClickReachesTheDialogThroughItsParent) {
    HWND outer = Make(299, "Banner", 10, 10, 200, 60, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND inner =
        CreateRoundButton(outer, 300, "Credit", 40, 20, 140, 18, WS_CHILD | WS_VISIBLE, 0, 0);
    ASSERT_NE(inner, nullptr);
    SendMessageA(inner, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Clicks(inner), 1);
}

TEST_F(RoundButtonTest, OwnerMayDestroyTheControlFromInsideAnyNotification) {
    using Step = void (*)(HWND);
    struct Case {
        const char* name;
        Step prepare;
        UINT notice; // the host destroys the control inside it
        Step act;
    };
    const Step none = [](HWND) {};
    const Step pointAt = [](HWND b) { PutCursor(b, 40, 15); };
    const Step pointAtAndPress = [](HWND b) {
        PutCursor(b, 40, 15);
        Press(b);
    };
    const Step spaceDown = [](HWND b) { SendMessageA(b, WM_KEYDOWN, VK_SPACE, 0); };
    const Step spaceUp = [](HWND b) { SendMessageA(b, WM_KEYUP, VK_SPACE, 0); };
    const Case cases[] = {
        {"click at mouse release", pointAtAndPress, WM_COMMAND, Release},
        {"click at Space release", spaceDown, WM_COMMAND, spaceUp},
        {"click at Enter", none, WM_COMMAND,
         [](HWND b) { SendMessageA(b, WM_KEYDOWN, VK_RETURN, 0); }},
        {"sunken look at mouse press", pointAt, RBN_SUNKEN, Press},
        {"raised look at mouse release", pointAtAndPress, RBN_RAISED, Release},
        {"flat look at Space release", spaceDown, RBN_FLAT, spaceUp},
        {"hover begins", pointAt, RBN_RAISED, Move},
        {"hover ends at a timer tick",
         [](HWND b) {
             PutCursor(b, 40, 15);
             Move(b);
             SetCursorPos(kAway.x, kAway.y);
         },
         RBN_FLAT,
         [](HWND b) {
             for (int wait = 0; wait < 500 && IsWindow(b); ++wait) {
                 MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
                 Pump();
             }
         }},
        {"label passing the focus on", [](HWND b) { SendMessageA(b, RBM_SETLATCH, 2, 1); },
         RBN_RAISED, [](HWND b) { SetFocus(b); }},
    };
    Make(102, "Next", 10, 50, 80, 30); // where a label passes the focus
    PVOID handler = AddVectoredExceptionHandler(1, CountTouchAfterDestroy);
    for (const Case& c : cases) {
        SetCursorPos(kAway.x, kAway.y);
        Pump();
        HWND button = Make(101, "OK", 10, 10, 80, 30);
        GuardRecord(button);
        c.prepare(button);
        gDoom = {button, c.notice};
        c.act(button);
        gDoom = {};
        EXPECT_FALSE(IsWindow(button)) << c.name;
        EXPECT_EQ(gTouchesAfterDestroy, 0) << c.name;
        ReleaseGuard(button);
    }
    RemoveVectoredExceptionHandler(handler);
}

struct Edges {
    COLORREF top, left, bottom, right, inside;
};

Edges EdgesOf(HWND button, int width, int height) {
    HDC dc = GetDC(button);
    Edges edges{GetPixel(dc, width / 2, 0), GetPixel(dc, 0, height / 2),
                GetPixel(dc, width / 2, height - 1), GetPixel(dc, width - 1, height / 2),
                GetPixel(dc, width / 2, 1)};
    ReleaseDC(button, dc);
    return edges;
}

TEST_F(RoundButtonTest, FrameShowsLightAndDarkEdgesPerLook) {
    constexpr int width = 120;
    constexpr int height = 40;
    HWND button = Make(101, "", 10, 10, width, height);
    const COLORREF face = static_cast<COLORREF>(SendMessageA(button, RBM_GETFACECOLOR, 0, 0));
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF system = SystemFace();
    ASSERT_NE(face, light);
    ASSERT_NE(face, dark);
    ASSERT_NE(face, system);

    struct Case {
        const char* name;
        UINT message;
        WPARAM value;
        Edges edges;
    };
    const Case cases[] = {
        // A live flat button leaves the right and bottom line to the background.
        {"flat", RBM_SETRAISED, 0, {face, face, system, system, face}},
        {"raised", RBM_SETRAISED, 1, {light, light, dark, dark, face}},
        {"sunken", RBM_SETLATCH, 3, {dark, dark, light, light, face}},
        {"latched raised", RBM_SETLATCH, 2, {light, light, dark, dark, face}},
        {"latched flat", RBM_SETLATCH, 1, {face, face, face, face, face}},
    };
    for (const Case& c : cases) {
        SendMessageA(button, c.message, c.value, 1);
        const Edges edges = EdgesOf(button, width, height);
        EXPECT_EQ(edges.top, c.edges.top) << c.name;
        EXPECT_EQ(edges.left, c.edges.left) << c.name;
        EXPECT_EQ(edges.bottom, c.edges.bottom) << c.name;
        EXPECT_EQ(edges.right, c.edges.right) << c.name;
        EXPECT_EQ(edges.inside, c.edges.inside) << c.name;
    }
}

TEST_F(RoundButtonTest, FocusedRaisedButtonShowsTheShadowShadeRing) {
    HWND button = Make(101, "", 10, 10, 120, 40);
    SendMessageA(button, RBM_SETRAISED, 1, 0);
    SetFocus(button);
    ASSERT_EQ(GetFocus(), button);
    SendMessageA(button, RBM_REDRAW, 0, 0);
    EXPECT_EQ(Pixel(button, 60, 2), ShadowShade(SystemFace()));
    EXPECT_EQ(Pixel(button, 60, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(RoundButtonTest, FocusCueShowsOnlyWhileTheKeyboardCuesAreShownAndTheFocusIsThere) {
    constexpr int width = 80;
    constexpr int height = 30;
    HWND button = Make(101, "OK", 10, 10, width, height);
    HWND other = Make(102, "Other", 10, 50, width, height);
    HWND label = Make(103, "Label", 10, 90, width, height, WS_CHILD | WS_VISIBLE);
    SendMessageA(label, RBM_SETLATCH, kLatchRaised, 1);
    // As the program's windows make their buttons: no focus ring of their own.
    SendMessageA(button, RBM_SETINTERACTIVE, 0, 1);
    const WPARAM hide = MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS);
    const WPARAM show = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS);
    for (HWND control : {button, other, label}) {
        SendMessageA(control, WM_UPDATEUISTATE, hide, 0);
    }
    const std::vector<COLORREF> unfocused = Pixels(button);
    const std::vector<COLORREF> labelAlone = Pixels(label);

    SetFocus(button);
    ASSERT_EQ(GetFocus(), button);
    EXPECT_EQ(SendMessageA(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, UISF_HIDEFOCUS);
    EXPECT_EQ(Pixels(button), unfocused) << "a cue while the cues are hidden";

    // Shown cues redraw the focused control at once: a dotted rectangle
    // three pixels inside its edge, and nothing else changes.
    SendMessageA(button, WM_UPDATEUISTATE, show, 0);
    EXPECT_EQ(SendMessageA(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
    const std::vector<COLORREF> cue = Pixels(button);
    int changed = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y * width + x);
            if (cue[at] != unfocused[at]) {
                ++changed;
                const bool onCue = (x == 3 || x == width - 4 || y == 3 || y == height - 4) &&
                                   x >= 3 && x <= width - 4 && y >= 3 && y <= height - 4;
                EXPECT_TRUE(onCue) << x << "," << y;
            }
        }
    }
    // Every other pixel of the rectangle's outline.
    const int outline = 2 * (width - 6) + 2 * (height - 6) - 4;
    EXPECT_NEAR(changed, outline / 2, 4);

    // The cue goes with the focus, and a label never takes or shows it.
    SetFocus(other);
    EXPECT_EQ(Pixels(button), unfocused);
    SendMessageA(label, WM_UPDATEUISTATE, show, 0);
    SetFocus(label);
    EXPECT_NE(GetFocus(), label);
    EXPECT_EQ(Pixels(label), labelAlone);
}

TEST_F(RoundButtonTest, UnderHighContrastEveryColourIsTheSystems) {
    // A high-contrast black scheme, as the user would switch it on.
    const int elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_GRAYTEXT, COLOR_HIGHLIGHT};
    const COLORREF scheme[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(63, 242, 63),
                               RGB(26, 235, 255)};
    COLORREF original[std::size(elements)];
    for (std::size_t i = 0; i < std::size(elements); ++i) {
        original[i] = GetSysColor(elements[i]);
    }
    constexpr COLORREF ownFace = 0x123456;
    HWND button = Make(101, "HH", 10, 10, 80, 30);
    SendMessageA(button, RBM_SETRAISED, 1, 0);
    SendMessageA(button, RBM_SETINTERACTIVE, 1, 0);
    SendMessageA(button, RBM_SETFACECOLOR, ownFace, 0);
    SendMessageA(button, RBM_SETTEXTCOLOR, kRed, 1);
    const RECT inside{3, 3, 77, 27};
    SetSysColors(static_cast<int>(std::size(elements)), elements, scheme);
    SendMessageA(button, RBM_SETSYSTEMCOLORS, 1, 1);
    const COLORREF face = Pixel(button, 8, 15);
    const Box ownText = Find(button, kRed, inside);
    const Box schemeText = Find(button, scheme[1], inside);
    SetFocus(button);
    SendMessageA(button, RBM_REDRAW, 0, 0);
    const COLORREF focusRing = Pixel(button, 40, 2);
    EnableWindow(button, FALSE);
    const Box grayText = Find(button, scheme[2], inside);
    EnableWindow(button, TRUE);
    SendMessageA(button, RBM_SETSYSTEMCOLORS, 0, 1);
    const COLORREF faceAfter = Pixel(button, 8, 15);
    const Box ownTextAfter = Find(button, kRed, inside);
    SetSysColors(static_cast<int>(std::size(elements)), elements, original);

    EXPECT_EQ(face, scheme[0]);
    EXPECT_EQ(ownText.count, 0);
    EXPECT_GT(schemeText.count, 0);
    EXPECT_EQ(focusRing, scheme[3]);
    EXPECT_GT(grayText.count, 0);
    // Switched off again, the owner's colours are back.
    EXPECT_EQ(faceAfter, ownFace);
    EXPECT_GT(ownTextAfter.count, 0);
}

TEST_F(RoundButtonTest, CornersOutsideTheRoundingKeepTheirBackground) {
    HWND button = Make(101, "", 10, 10, 120, 40);
    const COLORREF magenta = RGB(255, 0, 255);
    HDC dc = GetDC(button);
    RECT all{0, 0, 120, 40};
    HBRUSH brush = CreateSolidBrush(magenta);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(button, dc);

    SendMessageA(button, RBM_REDRAW, 0, 0);
    const COLORREF face = static_cast<COLORREF>(SendMessageA(button, RBM_GETFACECOLOR, 0, 0));
    EXPECT_EQ(Pixel(button, 0, 0), magenta);
    EXPECT_EQ(Pixel(button, 119, 39), magenta);
    EXPECT_EQ(Pixel(button, 60, 20), face);
}

TEST_F(RoundButtonTest, PressedTextMovesOnePixelUnlessLatched) {
    HWND button = Make(101, "H", 10, 10, 80, 30);
    SendMessageA(button, RBM_SETTEXTCOLOR, kRed, 0);
    SendMessageA(button, RBM_SETPRESSEDTEXTCOLOR, kRed, 1);
    const RECT inside{3, 3, 77, 27};
    const Box normal = Find(button, kRed, inside);
    ASSERT_GT(normal.count, 0);

    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
    const Box pressed = Find(button, kRed, inside);
    EXPECT_EQ(pressed.count, normal.count);
    EXPECT_EQ(pressed.left, normal.left + 1);
    EXPECT_EQ(pressed.top, normal.top + 1);
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0);

    SendMessageA(button, RBM_SETLATCH, 3, 1);
    const Box latched = Find(button, kRed, inside);
    EXPECT_EQ(latched.count, normal.count);
    EXPECT_EQ(latched.left, normal.left);
    EXPECT_EQ(latched.top, normal.top);
}

TEST_F(RoundButtonTest, DisabledControlShowsEtchedText) {
    HWND button = Make(101, "HH", 10, 10, 80, 30);
    EnableWindow(button, FALSE);
    const RECT inside{3, 3, 77, 27};
    const Box shadow = Find(button, GetSysColor(COLOR_BTNSHADOW), inside);
    const Box highlight = Find(button, GetSysColor(COLOR_BTNHIGHLIGHT), inside);
    ASSERT_GT(shadow.count, 0);
    ASSERT_GT(highlight.count, 0);
    EXPECT_EQ(highlight.right, shadow.right + 1);
    EXPECT_EQ(highlight.bottom, shadow.bottom + 1);
}

HICON SolidIcon(int size, COLORREF color) {
    const DWORD pixel =
        0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    const std::vector<DWORD> bits(size * size, pixel);
    const std::vector<BYTE> mask(size * size / 8, 0);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = CreateBitmap(size, size, 1, 32, bits.data());
    info.hbmMask = CreateBitmap(size, size, 1, 1, mask.data());
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return icon;
}

TEST_F(RoundButtonTest, IconIsDrawnAtItsPlacementAndSize) {
    // 103 x 61 with a 24 x 24 image: centre x = 79 / 2 = 39.5 -> 40, y =
    // 37 / 2 = 18.5 -> 18, halves going to the even neighbour.
    HWND button = Make(101, "", 10, 10, 103, 61);
    HICON icon = SolidIcon(32, kRed);
    ASSERT_NE(icon, nullptr);
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    SendMessageA(button, RBM_SETIMAGESIZE, 24, 24);
    SendMessageA(button, RBM_SETIMAGEPOS, static_cast<WPARAM>(kImageCentre), 0);
    SendMessageA(button, RBM_REDRAW, 0, 0);
    const RECT all{0, 0, 103, 61};
    const Box normal = Find(button, kRed, all);
    EXPECT_EQ(normal.left, 40);
    EXPECT_EQ(normal.top, 18);
    EXPECT_EQ(normal.right, 63);
    EXPECT_EQ(normal.bottom, 41);

    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
    const Box pressed = Find(button, kRed, all);
    EXPECT_EQ(pressed.left, 41);
    EXPECT_EQ(pressed.top, 19);
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0);

    SendMessageA(button, RBM_SETIMAGENOSHIFT, 1, 0);
    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
    const Box unshifted = Find(button, kRed, all);
    EXPECT_EQ(unshifted.left, 40);
    EXPECT_EQ(unshifted.top, 18);
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0);

    DestroyWindow(button);
    DestroyIcon(icon);
}

TEST_F(RoundButtonTest, CaptionIsCutAt1023Characters) {
    HWND button = Make(101, "", 10, 10, 200, 30);
    SendMessageA(button, RBM_SETTEXTCOLOR, kRed, 0);
    SendMessageA(button, RBM_SETTEXTFORMAT, DT_RIGHT | DT_VCENTER | DT_SINGLELINE, 0);
    const RECT inside{3, 3, 197, 27};

    // The last character is drawn at the right edge only when it is within
    // the first 1023.
    const std::string fits = std::string(1022, ' ') + "W";
    SetWindowTextA(button, fits.c_str());
    SendMessageA(button, RBM_REDRAW, 0, 0);
    EXPECT_GT(Find(button, kRed, inside).count, 0);

    const std::string tooLong = std::string(1023, ' ') + "W";
    SetWindowTextA(button, tooLong.c_str());
    SendMessageA(button, RBM_REDRAW, 0, 0);
    EXPECT_EQ(Find(button, kRed, inside).count, 0);
}

TEST_F(RoundButtonTest, PaletteHoldsTheFourTableColours) {
    ButtonColorTable table{};
    table.face = 0xE0F1F4;
    table.shadowShade = 0xC8D9DC;
    table.infoBackground = 0xE1FFFF;
    table.scrollBar = 0xC8D0D4;
    HPALETTE palette = CreateButtonPalette(table);
    ASSERT_NE(palette, nullptr);
    PALETTEENTRY entries[4]{};
    ASSERT_EQ(GetPaletteEntries(palette, 0, 4, entries), 4u);
    const COLORREF expected[] = {table.face, table.shadowShade, table.infoBackground,
                                 table.scrollBar};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), expected[i]) << i;
    }
    DeleteObject(palette);
}

TEST_F(RoundButtonTest, ChangedSystemFaceIsFollowedAtTheNextPaint) {
    HWND button = Make(101, "", 10, 10, 120, 40);
    const int element = COLOR_BTNFACE;
    const COLORREF original = SystemFace();
    const COLORREF changed = 0xD8E9EC;
    SetSysColors(1, &element, &changed);
    SendMessageA(button, RBM_REDRAW, 0, 0);
    const LRESULT face = SendMessageA(button, RBM_GETFACECOLOR, 0, 0);
    const COLORREF inside = Pixel(button, 60, 20);
    SetSysColors(1, &element, &original);
    EXPECT_EQ(face, 0xE0F1F4);
    EXPECT_EQ(inside, 0xE0F1F4u);
}

TEST_F(RoundButtonTest, BlackOrWhiteSystemFaceResetsTheOwnersColours) {
    HWND button = Make(101, "", 10, 10, 120, 40);
    SendMessageA(button, RBM_SETFACECOLOR, 0x123456, 0);
    SendMessageA(button, RBM_SETTEXTCOLOR, kRed, 0);
    const int element = COLOR_BTNFACE;
    const COLORREF original = SystemFace();
    const COLORREF grey = 0xC0C0C0;
    SetSysColors(1, &element, &grey);
    SendMessageA(button, WM_SYSCOLORCHANGE, 0, 0);
    const LRESULT faceOnGrey = SendMessageA(button, RBM_GETFACECOLOR, 0, 0);
    const COLORREF white = 0xFFFFFF;
    SetSysColors(1, &element, &white);
    SendMessageA(button, WM_SYSCOLORCHANGE, 0, 0);
    const LRESULT faceOnWhite = SendMessageA(button, RBM_GETFACECOLOR, 0, 0);
    const COLORREF inside = Pixel(button, 60, 20);
    SetSysColors(1, &element, &original);
    EXPECT_EQ(faceOnGrey, 0x123456);
    EXPECT_EQ(faceOnWhite, 0xFFFFFF);
    EXPECT_EQ(inside, white);
    EXPECT_EQ(SendMessageA(button, RBM_GETTEXTCOLOR, 0, 0),
              static_cast<LRESULT>(GetSysColor(COLOR_BTNTEXT)));
}

TEST_F(RoundButtonTest, AThousandControlsLeaveNoGdiObjectBehind) {
    const DWORD objectsBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 1000; ++i) {
        HWND button = CreateRoundButton(dialog_, 500, "Leak?", 10, 10, 40, 20, kButtonStyle, 0, 0);
        ASSERT_NE(button, nullptr) << i;
        SendMessageA(button, RBM_SETRAISED, 1, 0);
        SetFocus(button); // four rings per raised paint
        for (int paint = 0; paint < 10; ++paint) {
            SendMessageA(button, RBM_REDRAW, 0, 0);
        }
        SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageA(button, WM_KEYUP, VK_SPACE, 0);
        auto brush = reinterpret_cast<HGDIOBJ>(SendMessageA(button, RBM_GETFACEBRUSH, 0, 0));
        ASSERT_NE(brush, nullptr) << i;
        DestroyWindow(button);
        ASSERT_EQ(GetObjectType(brush), 0u) << i;
    }
    Pump();
    // Where the system counts objects, the count is back where it was.
    const DWORD objectsAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (objectsBefore != 0) {
        EXPECT_EQ(objectsAfter, objectsBefore);
    }
    // Every paint above made a DC, a bitmap and pens: a leak among them
    // would have used up the handle table and left this one unpainted.
    HWND button = Make(501, "", 10, 10, 120, 40);
    const COLORREF face = static_cast<COLORREF>(SendMessageA(button, RBM_GETFACECOLOR, 0, 0));
    EXPECT_EQ(Pixel(button, 60, 20), face);
}

} // namespace
