// The read floor of a build: opens, reads and closes every page named on
// the command line, as the parser does (the file's size, one read into a
// block of that size and one byte more), with nothing else done. The build
// can be no faster than this on the same pages.
//   read_pages FILE...
#include "parser/page_file.h"

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    std::vector<char> block;
    unsigned long long total = 0;
    for (int page = 1; page < argc; ++page) {
        PageFile file(argv[page]);
        if (!file.IsOpen()) {
            std::fprintf(stderr, "read_pages: cannot open %s\n", argv[page]);
            return 1;
        }
        block.resize(static_cast<std::size_t>(file.Size()) + 1);
        const int64_t got = file.Read(block.data(), block.size());
        if (got < 0) {
            std::fprintf(stderr, "read_pages: cannot read %s\n", argv[page]);
            return 1;
        }
        total += static_cast<unsigned long long>(got);
    }
    std::printf("%llu bytes\n", total);
    return 0;
}
