// What differs between the consoles zeltran-cli runs in: how Ctrl+C reaches
// a build, whether standard error is a terminal, how bytes pass through
// standard output, and the code page of the outcome texts.
#pragma once

#include "builder/outcomes/outcomes.h"

#include <string>

// From here on Ctrl+C asks a running build to stop after its current page
// (RequestStop), so that both base files end with the same complete record.
void InstallStopHandler();

bool StandardErrorIsTerminal();

// Page bytes go out unchanged: no LF to CR LF translation.
void UseBinaryStandardOutput();

// An outcome's text as the console shows it: in the system's code page on
// Windows, UTF-8 elsewhere.
std::string ConsoleOutcomeText(Outcome outcome);
