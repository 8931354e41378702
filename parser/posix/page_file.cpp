#include "parser/page_file.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
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

namespace {

constexpr std::size_t kLargeBlock = std::size_t{1} << 20;
constexpr std::size_t kLargePage = std::size_t{2} << 20;

std::size_t LargePagesFor(std::size_t size) {
    return (size + kLargePage - 1) & ~(kLargePage - 1);
}

} // namespace

// A large block is mapped on its own, a large page more than it needs, and
// the ends that are not aligned to large pages are given back, so that the
// block starts on a large page. Its large pages are advised whole, the last
// one too when that costs at most an eighth more memory than the block
// needs; otherwise the block's tail takes small pages (a page of 2 MB would
// otherwise take up 4 MB).
char* AllocatePageMemory(std::size_t size) {
    if (size < kLargeBlock) {
        return static_cast<char*>(::operator new(size));
    }
    const std::size_t length = LargePagesFor(size);
    void* const mapped = mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + kLargePage - 1) & ~uintptr_t{kLargePage - 1};
    if (aligned > start) {
        munmap(mapped, aligned - start);
    }
    const std::size_t tail = start + length + kLargePage - (aligned + length);
    if (tail > 0) {
        munmap(reinterpret_cast<void*>(aligned + length), tail);
    }
#ifdef MADV_HUGEPAGE
    const std::size_t advised = length - size <= size / 8 ? length : size & ~(kLargePage - 1);
    madvise(reinterpret_cast<void*>(aligned), advised, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<char*>(aligned);
}

void FreePageMemory(char* bytes, std::size_t size) {
    if (size < kLargeBlock) {
        ::operator delete(bytes);
    } else {
        munmap(bytes, LargePagesFor(size));
    }
}

int64_t PageFile::Read(char* into, std::size_t count) {
    for (;;) {
        const ssize_t got = read(static_cast<int>(handle_), into, count);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}
