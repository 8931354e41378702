#include "builder/shell/pickers.h"

#include "builder/shell/control_ids.h"
#include "common/blanks.h"

#include <commdlg.h>
#include <shlobj.h>

#include <memory>
#include <vector>

namespace {

constexpr char kFolderInstruction[] = "Browse for Folder";
constexpr char kBaseFilter[] = "File *.dat|*.dat";
constexpr std::size_t kFileBufferSize = 8192;
constexpr UINT kFolderBrowserOptions =
    BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_STATUSTEXT;

struct PidlRelease {
    void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};
using ScopedPidl = std::unique_ptr<ITEMIDLIST, PidlRelease>;

int CALLBACK SelectStartFolder(HWND browser, UINT event, LPARAM, LPARAM startFolder) {
    if (event == BFFM_INITIALIZED) {
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, startFolder);
    }
    return 0;
}

} // namespace

std::string BrowseForFolder(HWND owner, const char* instruction, const std::string& startFolder) {
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = instruction;
    info.ulFlags = kFolderBrowserOptions;
    info.lpfn = SelectStartFolder;
    info.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
    const ScopedPidl chosen(SHBrowseForFolderA(&info));
    char path[MAX_PATH] = {};
    if (!chosen || !SHGetPathFromIDListA(chosen.get(), path)) {
        return {};
    }
    return std::string(StripTrailingBlanks(path));
}

int OpenFileDialog(HWND owner, const std::string& caption, std::string& fileSpec,
                   const std::string& initialFolder, const std::string& filter,
                   const std::string& defaultExtension, DWORD& flags) {
    std::string filterList = filter + '|';
    for (char& c : filterList) {
        if (c == '|') {
            c = '\0';
        }
    }
    filterList += '\0';
    std::string folder = initialFolder;
    if (folder.empty()) {
        char current[MAX_PATH] = {};
        folder.assign(current, GetCurrentDirectoryA(MAX_PATH, current));
    }
    std::vector<char> file(kFileBufferSize, ' ');
    const std::string given =
        fileSpec.substr(0, fileSpec.find('\0')).substr(0, kFileBufferSize - 1);
    std::copy(given.begin(), given.end(), file.begin());
    file[given.size()] = '\0';
    char fileTitle[MAX_PATH] = {};

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filterList.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrFileTitle = fileTitle;
    dialog.nMaxFileTitle = sizeof fileTitle;
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    dialog.Flags = flags;
    const int result = GetOpenFileNameA(&dialog);
    flags = dialog.Flags;
    fileSpec = result != 0 ? std::string(file.data()) : std::string();
    return result;
}

void PickPagesFolder(MainWindowState& state) {
    const std::string folder = BrowseForFolder(state.window, kFolderInstruction, state.pagesFolder);
    if (!folder.empty()) {
        state.pagesFolder = folder;
        SetDlgItemTextA(state.window, kPagesFolderField, state.pagesFolder.c_str());
    }
}

void PickBaseFile(const MainWindowState& state, int field) {
    std::string fileSpec;
    DWORD flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    OpenFileDialog(state.window, "", fileSpec, state.programFolder, kBaseFilter, "", flags);
    if (!fileSpec.empty()) {
        SetDlgItemTextA(state.window, field, fileSpec.c_str());
    }
}
