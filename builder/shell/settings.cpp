#include "builder/shell/settings.h"

#include "builder/shell/control_ids.h"
#include "builder/shell/dialog_layer.h"
#include "builder/shell/user_messages.h"
#include "common/blanks.h"
#include "common/win32/kernel_handles.h"

#include <windows.h>

#include <shlobj.h>

namespace {

constexpr char kSettingsFile[] = "prog.ini";
constexpr char kPathSection[] = "PATH";
constexpr char kUserFolderName[] = "ZELTRAN";
constexpr char kUnsavedMessage[] =
    "Не удалось сохранить настройки: папка программы и папка пользователя закрыты для записи.";
// A path cut short would point somewhere else, so a value is read into a
// buffer that holds any path the platform can open.
constexpr DWORD kValueCapacity = MAX_PATH;

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

// The user's own ZELTRAN folder; empty when the user has no application-data
// folder. APPDATA is set for every session (and may be pointed elsewhere on
// purpose); the shell is asked only when a process was started without it.
std::string UserSettingsFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("APPDATA", path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        path[0] = '\0';
        if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
            return {};
        }
    }
    return std::string(path) + "\\" + kUserFolderName;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether the file at `path` can be opened for writing, or made where it is
// missing; a file made only to find out goes again when closed.
bool CanWriteFile(const std::string& path) {
    const bool exists = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    const OwnedHandle file(CreateFileA(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, exists ? OPEN_EXISTING : CREATE_NEW,
        exists ? FILE_ATTRIBUTE_NORMAL : FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.valid();
}

// prog.ini beside the program whenever it can be written: a copy that
// carries its settings keeps reading its own, even where the user's folder
// holds another copy's. Where it cannot be written, the paths were saved to
// the user's folder, so that file wins; without one, the program folder's
// file is read as it is (one made read-only on purpose, say).
std::string SettingsFileToRead(const std::string& programFolder) {
    const std::string besideProgram = programFolder + kSettingsFile;
    if (CanWriteFile(besideProgram)) {
        return besideProgram;
    }
    const std::string userFolder = UserSettingsFolder();
    const std::string inUserFolder = userFolder + "\\" + kSettingsFile;
    return !userFolder.empty() && IsFile(inUserFolder) ? inUserFolder : besideProgram;
}

// Writes the three paths to `settingsPath` and reads each back: a write can
// fail, and a profile the platform keeps in memory can answer the new value
// although the file never got it.
bool WriteSettingsFile(const std::string& settingsPath, const MainWindowState& state) {
    for (const PathSetting& setting : kPathSettings) {
        if (!WriteSetting(settingsPath, kPathSection, setting.key, state.*setting.value)) {
            return false;
        }
    }
    // Lets go of a profile kept in memory, so that the values come back from
    // the file itself; its result tells nothing about the file.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsPath.c_str());
    for (const PathSetting& setting : kPathSettings) {
        const std::string_view stored =
            StripBlanks(state.*setting.value).substr(0, kValueCapacity - 1);
        // No value of a profile line holds a line break, so the default
        // never passes for a stored value.
        if (ReadSetting(settingsPath, kPathSection, setting.key, "\n") != stored) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string ReadSetting(const std::string& settingsPath, const char* section, const char* key,
                        const char* defaultValue) {
    char value[kValueCapacity] = {};
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
    const std::string settingsPath = SettingsFileToRead(state.programFolder);
    for (const PathSetting& setting : kPathSettings) {
        std::string& value = state.*setting.value;
        value = ReadSetting(settingsPath, kPathSection, setting.key, "");
        SetDlgItemTextA(state.window, setting.field, value.c_str());
    }
}

void SaveSettings(MainWindowState& state) {
    for (const PathSetting& setting : kPathSettings) {
        state.*setting.value = ControlText(state.window, setting.field);
    }
    if (WriteSettingsFile(state.programFolder + kSettingsFile, state)) {
        return;
    }
    const std::string userFolder = UserSettingsFolder();
    if (!userFolder.empty()) {
        CreateDirectoryA(userFolder.c_str(), nullptr);
        if (WriteSettingsFile(userFolder + "\\" + kSettingsFile, state)) {
            return;
        }
    }
    if (!state.toldSettingsUnsaved) {
        state.toldSettingsUnsaved = true;
        ShowUserMessage(state, kUnsavedMessage);
    }
}
