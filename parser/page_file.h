// The one platform piece of the parser core: opening a page file, asking
// its size and reading it, and the memory that a large page is read into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

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

// Memory for a page block. A block of a megabyte or more comes aligned and
// sized for large memory pages where the platform gives them on request: a
// page of many megabytes then costs a few page faults instead of thousands.
// Throws std::bad_alloc when there is none.
char* AllocatePageMemory(std::size_t size);
void FreePageMemory(char* bytes, std::size_t size);

// Owns the memory of one page block.
class PageMemory {
  public:
    PageMemory() = default;
    explicit PageMemory(std::size_t size) : bytes_(AllocatePageMemory(size)), size_(size) {}
    ~PageMemory() {
        if (bytes_ != nullptr) {
            FreePageMemory(bytes_, size_);
        }
    }
    PageMemory(PageMemory&& other) noexcept : bytes_(other.bytes_), size_(other.size_) {
        other.bytes_ = nullptr;
    }
    PageMemory& operator=(PageMemory&& other) noexcept {
        std::swap(bytes_, other.bytes_);
        std::swap(size_, other.size_);
        return *this;
    }

    char* get() const { return bytes_; }

  private:
    char* bytes_ = nullptr;
    std::size_t size_ = 0;
};
