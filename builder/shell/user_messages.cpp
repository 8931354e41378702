#include "builder/shell/user_messages.h"

#include "builder/outcomes/outcomes.h"

void ShowUserMessage(const MainWindowState& state, Outcome outcome) {
    const std::string text = OutcomeTextWindows1251(outcome);
    MessageBoxA(state.window, text.c_str(), state.windowTitle.c_str(), MB_OK | MB_ICONEXCLAMATION);
}
