#include "builder/shell/user_messages.h"

#include "builder/outcomes/outcomes.h"

void ShowUserMessage(const MainWindowState& state, Outcome outcome) {
    ShowUserMessage(state, OutcomeTextWindows1251(outcome).c_str());
}

void ShowUserMessage(const MainWindowState& state, const char* text) {
    MessageBoxA(state.window, text, state.windowTitle.c_str(), MB_OK | MB_ICONEXCLAMATION);
}
