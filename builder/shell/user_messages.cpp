#include "builder/shell/user_messages.h"

#include "builder/outcomes/outcomes.h"

namespace {

// Bit 30 of a key message: the key was already down, so this key-down (or
// the character made of it) is the keyboard's auto-repeat.
constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;

bool IsKeyRepeat(const MSG& message) {
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_SYSCHAR: return (message.lParam & kKeyWasDown) != 0;
    default: return false;
    }
}

// Every message the thread takes from its queue passes here first; an
// auto-repeat becomes WM_NULL, which nothing acts on.
LRESULT CALLBACK DropKeyRepeats(int code, WPARAM removal, LPARAM message) {
    auto* taken = reinterpret_cast<MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && IsKeyRepeat(*taken)) {
        taken->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

// While it lives, this thread's key repeats are dropped.
class KeyRepeatFilter {
  public:
    KeyRepeatFilter()
        : hook_(SetWindowsHookExA(WH_GETMESSAGE, DropKeyRepeats, nullptr, GetCurrentThreadId())) {}
    ~KeyRepeatFilter() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
    }
    KeyRepeatFilter(const KeyRepeatFilter&) = delete;
    KeyRepeatFilter& operator=(const KeyRepeatFilter&) = delete;

  private:
    HHOOK hook_;
};

// Keys typed while the run worked were meant for the window, not for a
// message it had not shown yet.
void DropPendingKeys() {
    MSG pending;
    while (PeekMessageA(&pending, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
}

} // namespace

void ShowUserMessage(const MainWindowState& state, Outcome outcome) {
    ShowUserMessage(state, OutcomeTextWindows1251(outcome).c_str());
}

void ShowUserMessage(const MainWindowState& state, const char* text) {
    // A key held since before the box showed (Enter on the button that
    // started the run) repeats into the box, whose OK button takes Enter:
    // the box would close before it could be read.
    DropPendingKeys();
    const KeyRepeatFilter repeatsDropped;
    MessageBoxA(state.window, text, state.windowTitle.c_str(), MB_OK | MB_ICONEXCLAMATION);
}
