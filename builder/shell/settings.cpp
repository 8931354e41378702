#include "builder/shell/settings.h"

#include "builder/shell/control_ids.h"
#include "builder/shell/dialog_layer.h"
#include "common/blanks.h"

#include <windows.h>

namespace {

constexpr char kSettingsFile[] = "prog.ini";
constexpr char kPathSection[] = "PATH";

struct PathSetting {
    const char* key;
    int field;
    std::string MainWindowState::*value;
};

const PathSetting kPathSettings[] = {
    {"gDir", kPagesFolderField, &MainWindowState::pagesFolder},
    {"gFilesours", kNewBaseField, &MainWindowState::newBasePath},
    {"gFileDist", kOldBaseField, &MainWindowState::oldBasePath},
};

std::string ProgramFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

} // namespace

std::string ReadSetting(const std::string& settingsPath, const char* section, const char* key,
                        const char* defaultValue) {
    // A path cut short would point somewhere else, so the buffer holds any
    // path the platform can open.
    char value[MAX_PATH] = {};
    const DWORD length = GetPrivateProfileStringA(section, key, defaultValue, value, sizeof value,
                                                  settingsPath.c_str());
    return std::string(value, length);
}

bool WriteSetting(const std::string& settingsPath, const char* section, const char* key,
                  const std::string& value) {
    const std::string trimmed(StripBlanks(value));
    return WritePrivateProfileStringA(section, key, trimmed.c_str(), settingsPath.c_str()) != 0;
}

void LoadSettings(MainWindowState& state) {
    state.programFolder = ProgramFolder();
    const std::string settingsPath = state.programFolder + kSettingsFile;
    for (const PathSetting& setting : kPathSettings) {
        std::string& value = state.*setting.value;
        value = ReadSetting(settingsPath, kPathSection, setting.key, "");
        SetDlgItemTextA(state.window, setting.field, value.c_str());
    }
}

void SaveSettings(MainWindowState& state) {
    const std::string settingsPath = state.programFolder + kSettingsFile;
    for (const PathSetting& setting : kPathSettings) {
        std::string& value = state.*setting.value;
        value = ControlText(state.window, setting.field);
        WriteSetting(settingsPath, kPathSection, setting.key, value);
    }
}
