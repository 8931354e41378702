// What surrounds a build in the main window: Start locks the window, runs
// the build on the window's own thread, shows the outcome and unlocks; the
// window stays alive through a message pause between two pages.
#pragma once

#include "builder/shell/main_window_state.h"

// The command of the Start button. When the window stays, the focus goes
// back to Start once the outcome is closed.
void StartBuild(MainWindowState& state);

// Disables / enables the seven controls that must not be used while a build
// runs, and sets the wait / text cursor.
void LockControls(const MainWindowState& state);
void UnlockControls(const MainWindowState& state);

// True when `id` is one of the locked controls and a build runs or shows its
// outcome: a command that reaches the window from such a control anyway (a
// key posted by another program) must wait until the build is over.
bool LockedByBuild(const MainWindowState& state, int id);

// The exit button and the close box: ends the main window at once when no
// build is under way; during a build's run it stops the build and ends the
// window when the build returns, and while the build's outcome is shown it
// ends the window once the message is closed.
void EndMainWindow(MainWindowState& state);

// Handles at most one pending message of this thread. Never sleeps: with no
// message pending it returns at once, since a sleep lasts a whole timer tick
// and would cost minutes over thousands of pages.
void MessagePause();
