// The main window's state: everything the program keeps while its window
// runs, in one record. Start-up fills in the title and the about text and
// owns the record for the whole run; the window reaches it through its
// dialog layer (MainWindowOf) and hands it to each routine it calls.
#pragma once

#include <windows.h>

#include <string>

// Where the window's build is. A close request is decided from this, never
// from the state of a button: a running build stops first, and a build that
// shows its outcome is let finish showing it.
enum class BuildPhase { Idle, Running, ShowingOutcome };

struct MainWindowState {
    HWND window = nullptr;
    std::string windowTitle; // also the caption of every user message
    std::string aboutText;   // the usage note shown by the about box
    HICON windowIcon = nullptr;
    // The three paths as last read from or written to their fields
    // (kPagesFolderField, kNewBaseField, kOldBaseField).
    std::string pagesFolder;
    std::string newBasePath;
    std::string oldBasePath;
    std::string programFolder; // ends in a backslash
    // Settings that no file took are reported once, however often the
    // program tries to save them (at the end of the session, then of the
    // window).
    bool toldSettingsUnsaved = false;
    // Set by either Stop button; a build clears it when it starts and reads
    // it after every page.
    bool stopRequest = false;
    BuildPhase buildPhase = BuildPhase::Idle;
    // The window ends as soon as the current build is over; never outlives it.
    bool endAfterBuild = false;
};
