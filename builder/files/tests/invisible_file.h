// Files that directory searches leave out, made the way the platform marks
// them.
#pragma once

#include "builder/files/tests/temp_folder.h"

#include <string>

// Makes a file named after `name` in `folder` that directory searches treat
// as hidden (or, where the platform has the mark, as a system file) and
// returns its path.
std::string MakeInvisibleFile(const TempFolder& folder, const std::string& name, bool system);
