// zeltran-cli: the parsing, building and merging core from the command line.
#include "cli/commands.h"

#include "builder/resources/zeltran_version.h"
#include "cli/console.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "usage: zeltran-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "commands:\n"
    "  info PAGE          tables of a saved page: 'tables N', 'link LINK', then\n"
    "                     one line 'K ROWS COLUMNS LINES' per table\n"
    "  cell PAGE T R C    the bytes of cell (T, R, C) of the page\n"
    "  build --pages DIR --forum N [--forum-filter] [--since YYYY-MM-DD] [--report]\n"
    "                     builds FORUMn.DAT and FORUMn.IDX in DIR from its *.html\n"
    "                     pages, for forum number N (1 to 12); prints the outcome\n"
    "                     and the number of records, and the path of each page\n"
    "                     that could not be read on standard error. Exit status\n"
    "                     0 when done or nothing to write, 1 when a base file\n"
    "                     could not be written, 2 for a wrong command line or\n"
    "                     forum number, 4 when pages could not be read, 5 when\n"
    "                     another run holds DIR, 130 when stopped with Ctrl+C.\n"
    "                     --report first prints one line per page, in the order\n"
    "                     of the run: its fate, a TAB and its name. The fate is\n"
    "                     'record K' (it became record K, from 0) or why it was\n"
    "                     left out: 'no thread link' (none of the forum's\n"
    "                     section listing), 'other forum' (forum filter),\n"
    "                     'too old' (--since), 'no tables', 'unread'. Then one\n"
    "                     line 'pages P, records R, no thread link A, other\n"
    "                     forum B, too old C, no tables D, unread E'\n"
    "  merge NEW.DAT OLD.DAT\n"
    "                     joins the new forum base in front of the old one under\n"
    "                     the old one's names, keeping the old files as .DA_ and\n"
    "                     .ID_; prints the outcome; exit status 0 when merged, 1\n"
    "                     when not, 3 when the old base begins with the new one\n"
    "                     already (nothing done), 5 when another run holds the\n"
    "                     old base's folder\n"
    "  check BASE.DAT     lists what a reader of the forum base would trip over,\n"
    "                     one line each: 'line L, offset O: WHAT', then\n"
    "                     'records N, faults K'. Exit status 0 when sound, 1\n"
    "                     with faults, 2 for a wrong command line or a file\n"
    "                     missing or unreadable\n"
    "  reindex BASE.DAT   writes the base's .IDX anew from its .DAT, keeping the\n"
    "                     old index as .IXB; prints 'index written, records N'.\n"
    "                     Exit status 0 when written, 1 when the .DAT holds text\n"
    "                     that is not a record where one must begin (nothing\n"
    "                     changed) or the index could not be written, 2 for a\n"
    "                     wrong command line or a missing .DAT, 5 when a build\n"
    "                     or merge works in the folder\n"
    "  --version          the tool's name and version\n"
    "  --help             this text\n";

struct Command {
    const char* name;
    int (*run)(const Arguments&);
};

constexpr Command kCommands[] = {
    {"info", RunInfo},   {"cell", RunCell},   {"build", RunBuild},
    {"merge", RunMerge}, {"check", RunCheck}, {"reindex", RunReindex},
};

} // namespace

int UsageError(const std::string& message) {
    std::fprintf(stderr, "zeltran-cli: %s\nTry 'zeltran-cli --help'.\n", message.c_str());
    return kUsageError;
}

int NoSuchFile(const std::string& path) {
    std::fprintf(stderr, "zeltran-cli: no such file: %s\n", path.c_str());
    return kUsageError;
}

bool ParseInt32(std::string_view text, int32_t& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

int main(int argc, char** argv) {
    UseBinaryStandardOutput();
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::fputs("zeltran-cli " ZELTRAN_PRODUCT_VERSION "\n", stdout);
        return 0;
    }
    const Arguments arguments(argv + 2, argv + argc);
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0) {
            return command.run(arguments);
        }
    }
    return UsageError(std::string("unknown command: ") + argv[1]);
}
