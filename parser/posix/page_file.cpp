#include "parser/page_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

PageFile::PageFile(const char* path) : handle_(open(path, O_RDONLY | O_CLOEXEC)) {}

PageFile::~PageFile() {
    if (IsOpen()) {
        close(static_cast<int>(handle_));
    }
}

bool PageFile::IsOpen() const {
    return handle_ >= 0;
}

uint64_t PageFile::Size() const {
    struct stat status;
    if (fstat(static_cast<int>(handle_), &status) != 0 || !S_ISREG(status.st_mode)) {
        return 0;
    }
    return static_cast<uint64_t>(status.st_size);
}

void PreferLargeMemoryPages(char* bytes, std::size_t size) {
#ifdef MADV_HUGEPAGE
    // Only whole large pages inside the block can be advised.
    constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
    const uintptr_t first =
        (reinterpret_cast<uintptr_t>(bytes) + kLargePage - 1) & ~(kLargePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(bytes) + size) & ~(kLargePage - 1);
    if (end > first) {
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    }
#else
    static_cast<void>(bytes);
    static_cast<void>(size);
#endif
}

int64_t PageFile::Read(char* into, std::size_t count) {
    for (;;) {
        const ssize_t got = read(static_cast<int>(handle_), into, count);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}
