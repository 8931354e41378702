#include "cli/console.h"

#include "builder/outcomes/outcomes.h"
#include "cli/stop_request.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        RequestStop();
        return TRUE;
    }
    return FALSE;
}

} // namespace

void InstallStopHandler() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

void UseBinaryStandardOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
}

std::string ConsoleOutcomeText(Outcome outcome) {
    return OutcomeTextWindows1251(outcome);
}
