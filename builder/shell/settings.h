// The three paths of the main window, kept between runs in a settings file
// prog.ini (section PATH, keys gDir, gFilesours, gFileDist), through the
// private-profile functions.
//
// prog.ini beside the program is the settings file wherever it can be
// written, so that a copy carried on a stick takes its paths with it. Where
// it cannot (a protected program folder, a read-only or locked prog.ini),
// the paths go to prog.ini in the user's own ZELTRAN folder under
// %APPDATA%, which then wins at the next start.
#pragma once

#include "builder/shell/main_window_state.h"

#include <string>

// The stored value of `key`, or `defaultValue` when it is absent. A path
// comes back whole up to the platform's path limit.
std::string ReadSetting(const std::string& settingsPath, const char* section, const char* key,
                        const char* defaultValue);

// Stores `value` without its leading and trailing spaces.
bool WriteSetting(const std::string& settingsPath, const char* section, const char* key,
                  const std::string& value);

// Works out the program folder and fills the three path fields of the main
// window from the settings file that wins.
void LoadSettings(MainWindowState& state);

// Writes the three path fields of the main window to prog.ini beside the
// program, or else to the one in the user's folder; where neither takes
// them, tells the user so (once in the program's run).
void SaveSettings(MainWindowState& state);
