// The one platform piece of the parser core: opening a page file, asking
// its size and reading it, and the memory that a large page is read into.
#pragma once

#include <cstddef>
#include <cstdint>

// A page file open for reading, shared with writers, closed when it goes.
class PageFile {
  public:
    explicit PageFile(const char* path);
    ~PageFile();
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    bool IsOpen() const;
    // The size the file has now; 0 when the platform cannot tell.
    uint64_t Size() const;
    // Reads up to `count` bytes into `into`: the number read, 0 at the end
    // of the file, -1 when reading fails.
    int64_t Read(char* into, std::size_t count);

  private:
    intptr_t handle_;
};

// Asks for the block `bytes` to be backed by large memory pages where the
// platform gives them on request: a page of many megabytes then costs a few
// page faults instead of thousands. Only a hint; nothing changes otherwise.
void PreferLargeMemoryPages(char* bytes, std::size_t size);
