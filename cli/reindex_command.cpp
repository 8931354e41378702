// "reindex": writes a forum base's index anew from its .DAT.
#include "cli/commands.h"
#include "cli/console.h"

#include "builder/base/reindex_base.h"
#include "builder/files/file_system.h"
#include "builder/outcomes/outcomes.h"

#include <cstdio>

namespace {

constexpr int kNotReindexed = 1;

int NotReindexed(const std::string& text) {
    std::printf("%s; nothing changed\n", text.c_str());
    return kNotReindexed;
}

} // namespace

int RunReindex(const Arguments& arguments) {
    if (arguments.size() != 1) {
        return UsageError("reindex takes a base's .DAT");
    }
    const std::string& dataPath = arguments[0];
    const ReindexResult result = ReindexBase(PlatformFileSystem(), dataPath);
    const std::string at = "offset " + std::to_string(result.at) + ": ";
    const std::string record = "the record at offset " + std::to_string(result.record);
    switch (result.outcome) {
    case ReindexOutcome::Written:
        std::printf("index written, records %lld\n", static_cast<long long>(result.records));
        return 0;
    case ReindexOutcome::NotABasePath:
        return UsageError("not a base's .DAT (a name ending in a dot and three characters, "
                          "not one of the base's other files): " +
                          dataPath);
    case ReindexOutcome::DataMissing: return NoSuchFile(dataPath);
    case ReindexOutcome::FolderBusy:
        std::printf("%s (%d)\n", ConsoleOutcomeText(Outcome::FolderBusy).c_str(),
                    OutcomeCode(Outcome::FolderBusy));
        return OutcomeExitStatus(Outcome::FolderBusy);
    case ReindexOutcome::TextNotARecord:
        return NotReindexed(at + "text that is not a record where one must begin");
    case ReindexOutcome::RecordUnended:
        return NotReindexed(at + record + " does not end with LF LF in front of this");
    case ReindexOutcome::HeaderMissing:
        return NotReindexed(at + record + " lacks its topic, name or date line");
    case ReindexOutcome::ReadFailed: return NotReindexed("the base could not be read");
    case ReindexOutcome::WriteFailed:
        std::printf("the index could not be written; the old one is in place\n");
        return kNotReindexed;
    }
    return kNotReindexed;
}
