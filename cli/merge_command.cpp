// "merge": joins a new forum base into an old one, as the merge button does.
#include "cli/commands.h"
#include "cli/console.h"

#include "builder/files/file_system.h"
#include "builder/merge/merge_bases.h"
#include "builder/outcomes/outcomes.h"

#include <cstdio>

int RunMerge(const Arguments& arguments) {
    if (arguments.size() != 2) {
        return UsageError("merge takes the new base's .DAT and the old base's .DAT");
    }
    const Outcome outcome = MergeBases(PlatformFileSystem(), arguments[0], arguments[1]);
    std::printf("%s (%d)\n", ConsoleOutcomeText(outcome).c_str(), OutcomeCode(outcome));
    return OutcomeExitStatus(outcome);
}
