// The message interface of the RRBUTTON control, shared by the control and
// the windows that host it. Control messages take the value in wParam and
// redraw when lParam is nonzero (unless noted); query messages return the
// value and ignore both parameters.
#pragma once

inline constexpr char kRoundButtonClass[] = "RRBUTTON";

// Control messages (WM_USER + n).
inline constexpr unsigned int RBM_SETCORNER = 0x401; // negative diameters become 0
inline constexpr unsigned int RBM_SETFACECOLOR = 0x402;
// wParam nonzero: paint with the system colours only, whatever colours the
// owner set (the user's high-contrast scheme). A new control starts with
// the system's high-contrast setting.
inline constexpr unsigned int RBM_SETSYSTEMCOLORS = 0x403;
inline constexpr unsigned int RBM_SETTEXTBKMODE = 0x404; // 1 transparent, 2 opaque
inline constexpr unsigned int RBM_SETTEXTBKCOLOR = 0x405;
inline constexpr unsigned int RBM_SETTEXTCOLOR = 0x406;
inline constexpr unsigned int RBM_SETPRESSEDTEXTCOLOR = 0x407;
inline constexpr unsigned int RBM_SETHOTTEXTCOLOR = 0x408;
inline constexpr unsigned int RBM_SETEMBOSS = 0x409;
inline constexpr unsigned int RBM_SETRAISED = 0x40A;
inline constexpr unsigned int RBM_SETLATCH = 0x40B;  // a RoundButtonLatch value
inline constexpr unsigned int RBM_SETCURSOR = 0x40C; // wParam system cursor id, lParam handle
inline constexpr unsigned int RBM_SETINTERACTIVE = 0x40D;
inline constexpr unsigned int RBM_REDRAW = 0x40E;
inline constexpr unsigned int RBM_SETTEXTFORMAT = 0x414; // DrawTextA flags
inline constexpr unsigned int RBM_SETTEXTMARGINLEFT = 0x417;
inline constexpr unsigned int RBM_SETTEXTMARGINTOP = 0x418;
inline constexpr unsigned int RBM_SETTEXTMARGINRIGHT = 0x419;
inline constexpr unsigned int RBM_SETTEXTMARGINBOTTOM = 0x41A;
// wParam a placement code (< 0) or x (>= 0, then lParam is y); never redraws.
inline constexpr unsigned int RBM_SETIMAGEPOS = 0x428;
inline constexpr unsigned int RBM_SETIMAGESIZE = 0x429;    // wParam width, lParam height
inline constexpr unsigned int RBM_SETIMAGENOSHIFT = 0x42A; // never redraws
inline constexpr unsigned int RBM_SETIMAGEMARGINLEFT = 0x42B;
inline constexpr unsigned int RBM_SETIMAGEMARGINTOP = 0x42C;
inline constexpr unsigned int RBM_SETIMAGEMARGINRIGHT = 0x42D;
inline constexpr unsigned int RBM_SETIMAGEMARGINBOTTOM = 0x42E;
// wParam IMAGE_BITMAP or IMAGE_ICON, lParam a resource name, a file path
// (a name with a dot) or 0 to remove the image; never redraws.
inline constexpr unsigned int RBM_LOADIMAGE = 0x42F;
inline constexpr unsigned int RBM_LOADHOTIMAGE = 0x430;
inline constexpr unsigned int RBM_LOADPRESSEDIMAGE = 0x431;
inline constexpr unsigned int RBM_LOADDISABLEDIMAGE = 0x432;

// Query messages.
inline constexpr unsigned int RBM_GETCORNER = 0x465;
inline constexpr unsigned int RBM_GETFACECOLOR = 0x466;
inline constexpr unsigned int RBM_GETFACEBRUSH = 0x467; // still owned by the control
inline constexpr unsigned int RBM_GETTEXTBKMODE = 0x468;
inline constexpr unsigned int RBM_GETTEXTBKCOLOR = 0x469;
inline constexpr unsigned int RBM_GETTEXTCOLOR = 0x46A;
inline constexpr unsigned int RBM_GETPRESSEDTEXTCOLOR = 0x46B;
inline constexpr unsigned int RBM_GETHOTTEXTCOLOR = 0x46C;
inline constexpr unsigned int RBM_GETEMBOSS = 0x46D;
inline constexpr unsigned int RBM_GETRAISED = 0x46E;
inline constexpr unsigned int RBM_GETLATCH = 0x46F;
inline constexpr unsigned int RBM_GETINTERACTIVE = 0x470;
inline constexpr unsigned int RBM_GETSYSTEMCOLORS = 0x471;
inline constexpr unsigned int RBM_GETTEXTFORMAT = 0x478;
inline constexpr unsigned int RBM_GETTEXTMARGINLEFT = 0x47B;
inline constexpr unsigned int RBM_GETTEXTMARGINTOP = 0x47C;
inline constexpr unsigned int RBM_GETTEXTMARGINRIGHT = 0x47D;
inline constexpr unsigned int RBM_GETTEXTMARGINBOTTOM = 0x47E;
inline constexpr unsigned int RBM_GETIMAGEPOS = 0x48C;
inline constexpr unsigned int RBM_GETIMAGEWIDTH = 0x48D;
inline constexpr unsigned int RBM_GETIMAGEHEIGHT = 0x48E;
inline constexpr unsigned int RBM_GETIMAGEMARGINLEFT = 0x48F;
inline constexpr unsigned int RBM_GETIMAGEMARGINTOP = 0x490;
inline constexpr unsigned int RBM_GETIMAGEMARGINRIGHT = 0x491;
inline constexpr unsigned int RBM_GETIMAGEMARGINBOTTOM = 0x492;

// Look notifications, sent to the parent each time the frame is drawn, with
// wParam the control's window and lParam its id. Clicks arrive as
// WM_COMMAND with BN_CLICKED.
inline constexpr unsigned int RBN_RAISED = 0x4E6;
inline constexpr unsigned int RBN_SUNKEN = 0x4E7;
inline constexpr unsigned int RBN_FLAT = 0x4E8; // only when not raised

// Looks of a control.
enum RoundButtonLook : int {
    kLookNormal = 0,
    kLookHot = 1,
    kLookPressed = 2,
};

// A latched control keeps one frame whatever the mouse does.
enum RoundButtonLatch : int {
    kLatchNone = 0, // a live button
    kLatchFlat = 1,
    kLatchRaised = 2,
    kLatchSunken = 3,
};

// Image placement codes for RBM_SETIMAGEPOS.
enum RoundButtonImagePlacement : int {
    kImageTopLeft = -1,
    kImageTopCentre = -2,
    kImageTopRight = -3,
    kImageMiddleLeft = -4,
    kImageCentre = -5,
    kImageMiddleRight = -6,
    kImageBottomLeft = -7,
    kImageBottomCentre = -8,
    kImageBottomRight = -9,
};
