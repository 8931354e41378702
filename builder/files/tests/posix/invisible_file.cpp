#include "builder/files/tests/invisible_file.h"

#include "builder/files/tests/whole_file.h"

// A leading dot is the only mark of a hidden file here; a "system" file is
// one more hidden name.
std::string MakeInvisibleFile(const TempFolder& folder, const std::string& name, bool system) {
    const std::string path = folder.Path((system ? ".system-" : ".") + name);
    WriteWholeFile(path, "x");
    return path;
}
