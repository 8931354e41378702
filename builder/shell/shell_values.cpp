#include "builder/shell/shell_values.h"

HWND gMainWindow = nullptr;
std::string gWindowTitle;
std::string gAboutText;
std::string gPagesFolder;
std::string gNewBasePath;
std::string gOldBasePath;
std::string gProgramFolder;

std::string ControlText(HWND window, int id) {
    const HWND control = GetDlgItem(window, id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}
