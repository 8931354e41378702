#include "parser/page_file.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace {

HANDLE Handle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

// Shared for reading and writing, as the C library opens files for reading.
PageFile::PageFile(const char* path)
    : handle_(reinterpret_cast<intptr_t>(
          CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr))) {}

PageFile::~PageFile() {
    if (IsOpen()) {
        CloseHandle(Handle(handle_));
    }
}

bool PageFile::IsOpen() const {
    return Handle(handle_) != INVALID_HANDLE_VALUE;
}

uint64_t PageFile::Size() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(Handle(handle_), &size) || size.QuadPart < 0) {
        return 0;
    }
    return static_cast<uint64_t>(size.QuadPart);
}

// Large pages on Windows need a privilege that a user's program lacks.
char* AllocatePageMemory(std::size_t size) {
    return static_cast<char*>(::operator new(size));
}

void FreePageMemory(char* bytes, std::size_t /*size*/) {
    ::operator delete(bytes);
}

// One ReadFile takes at most a DWORD's worth of bytes; a read comes back
// short only at the end of the file.
int64_t PageFile::Read(char* into, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(Handle(handle_), into + total, wanted, &got, nullptr)) {
            return -1;
        }
        total += got;
        if (got < wanted) {
            break;
        }
    }
    return static_cast<int64_t>(total);
}
