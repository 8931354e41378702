// The values the program keeps for its whole run. The stop request, the one
// other process-wide value, lives with the build run (stop_request.h).
#pragma once

#include <windows.h>

#include <string>

extern HWND gMainWindow;
extern std::string gWindowTitle;   // also the caption of every user message
extern std::string gAboutText;     // the usage note shown by the about box
extern std::string gPagesFolder;   // field 1005
extern std::string gNewBasePath;   // field 1013
extern std::string gOldBasePath;   // field 1014
extern std::string gProgramFolder; // ends in a backslash

// The window text of control `id` of `window`, whole.
std::string ControlText(HWND window, int id);
