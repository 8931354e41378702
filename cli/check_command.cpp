// "check": lists what a reader of a forum base would trip over.
#include "cli/commands.h"

#include "builder/base/base_text.h"
#include "builder/base/check_base.h"
#include "builder/files/file_system.h"

#include <cstdio>

int RunCheck(const Arguments& arguments) {
    if (arguments.size() != 1) {
        return UsageError("check takes a base's .DAT");
    }
    const std::string& dataPath = arguments[0];
    const BaseCheck check = CheckBase(PlatformFileSystem(), dataPath);
    switch (check.outcome) {
    case CheckOutcome::Checked: break;
    case CheckOutcome::NotABasePath:
        return UsageError("not a base's .DAT (a name ending in a dot and three characters, "
                          "not the .IDX): " +
                          dataPath);
    case CheckOutcome::DataMissing: return NoSuchFile(dataPath);
    case CheckOutcome::IndexMissing: return NoSuchFile(*IndexPathOfData(dataPath));
    case CheckOutcome::ReadFailed:
        std::fprintf(stderr, "zeltran-cli: cannot read the base %s\n", dataPath.c_str());
        return kUsageError;
    }
    for (const BaseFault& fault : check.faults) {
        std::printf("%s\n", FaultLine(fault).c_str());
    }
    std::printf("records %lld, faults %zu\n", static_cast<long long>(check.records),
                check.faults.size());
    return check.faults.empty() ? 0 : 1;
}
