// The one way the program tells the user something: a modal message box
// with a fixed Russian text (an outcome's, or one of the shell's own).
#pragma once

#include "builder/outcomes/outcomes.h"
#include "builder/shell/main_window_state.h"

// Shows the text of `outcome` in a message box owned by the main window and
// captioned with its title, and returns when the user closes it. Only a
// fresh key press closes it: keys typed before it showed and the repeats
// of a held key are dropped while it is open.
void ShowUserMessage(const MainWindowState& state, Outcome outcome);

// The same box for a text of the shell's own (Windows-1251).
void ShowUserMessage(const MainWindowState& state, const char* text);
