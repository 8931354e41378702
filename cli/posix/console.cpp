#include "cli/console.h"

#include "builder/outcomes/outcomes.h"
#include "cli/stop_request.h"

#include <csignal>
#include <unistd.h>

namespace {

void OnInterrupt(int) {
    RequestStop();
}

} // namespace

void InstallStopHandler() {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

// Standard output never translates bytes here.
void UseBinaryStandardOutput() {}

std::string ConsoleOutcomeText(Outcome outcome) {
    return OutcomeText(outcome);
}
