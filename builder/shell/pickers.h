// The path fields cannot be typed into: the "..." buttons fill them through
// the shell's folder browser and the common open-file dialog. Cancelling
// leaves everything as it was.
#pragma once

#include "builder/shell/main_window_state.h"

#include <windows.h>

#include <string>

// The folder the user confirms in the folder browser, starting at
// `startFolder`; empty when cancelled or not a file-system folder.
std::string BrowseForFolder(HWND owner, const char* instruction, const std::string& startFolder);

// The common open-file dialog. `filter` separates description and pattern
// with "|"; an empty `initialFolder` means the current directory. Returns
// nonzero when the user confirmed a file; `fileSpec` then holds its path
// (else it is empty) and `flags` the dialog's flags.
int OpenFileDialog(HWND owner, const std::string& caption, std::string& fileSpec,
                   const std::string& initialFolder, const std::string& filter,
                   const std::string& defaultExtension, DWORD& flags);

// The commands of the three "..." buttons.
void PickPagesFolder(MainWindowState& state);
void PickBaseFile(const MainWindowState& state, int field);
