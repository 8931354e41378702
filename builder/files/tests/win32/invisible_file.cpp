#include "builder/files/tests/invisible_file.h"

#include "builder/files/tests/whole_file.h"

#include <windows.h>

std::string MakeInvisibleFile(const TempFolder& folder, const std::string& name, bool system) {
    const std::string path = folder.Path(name);
    WriteWholeFile(path, "x");
    SetFileAttributesA(path.c_str(), system ? FILE_ATTRIBUTE_SYSTEM : FILE_ATTRIBUTE_HIDDEN);
    return path;
}
