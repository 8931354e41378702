// What the user's screen settings ask of the program's drawing: its pixel
// density and whether a high-contrast scheme is on.
#pragma once

#include <windows.h>

// The pixel density of the screen `window` is on, in dots per inch (96 at
// 100 %). The program declares itself aware of it, so the system does not
// stretch its windows: every length it gives in pixels must be scaled.
int WindowDpi(HWND window);

// `pixels` at 96 DPI, scaled to the DPI of `window`.
int ScaledForWindow(HWND window, int pixels);

// True while the user has a high-contrast scheme on; every colour then
// comes from the system colours.
bool HighContrastOn();
