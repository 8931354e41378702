#include "builder/shell/user_messages.h"

#include "builder/outcomes/outcomes.h"
#include "builder/shell/shell_values.h"

void ShowUserMessage(int code) {
    const std::string text = OutcomeTextWindows1251(code);
    if (text.empty()) {
        return;
    }
    MessageBoxA(gMainWindow, text.c_str(), gWindowTitle.c_str(), MB_OK | MB_ICONEXCLAMATION);
}
