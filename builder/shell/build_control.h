// What surrounds a build in the main window: Start locks the window, runs
// the build on the window's own thread, shows the outcome and unlocks; the
// window stays alive through a message pause between two pages.
#pragma once

#include <windows.h>

// The command of the Start button.
void StartBuild();

// Disables / enables the seven controls that must not be used while a build
// runs, and sets the wait / text cursor.
void LockControls();
void UnlockControls();

// True while a build runs in the main window.
bool BuildRunning();

// Ends the main window once the running build has stopped (the exit button
// or the close box during a build).
void EndAfterBuild();

// Handles at most one pending message of this thread. Never sleeps: with no
// message pending it returns at once, since a sleep lasts a whole timer tick
// and would cost minutes over thousands of pages.
void MessagePause();
