// The three paths of the main window, kept between runs in prog.ini in the
// program folder (section PATH, keys gDir, gFilesours, gFileDist), through
// the private-profile functions.
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
// window from prog.ini.
void LoadSettings(MainWindowState& state);

// Writes the three path fields of the main window to prog.ini.
void SaveSettings(MainWindowState& state);
