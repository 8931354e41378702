// Small scoped owners of kernel handles and directory searches, so that every
// one a routine opens is closed in the same scope, on every way out of it.
#pragma once

#include <windows.h>

#include <string>

// A handle closed with CloseHandle: a file, a mutex, a process. Holds
// nothing when given either of the two values that name no object (null,
// INVALID_HANDLE_VALUE), as the calls that make handles fail with one or
// the other.
class OwnedHandle {
  public:
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedHandle() {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// A directory search by pattern; the first match goes into `found` when the
// search starts, each further one with Next.
class FindHandle {
  public:
    FindHandle(const std::string& pattern, WIN32_FIND_DATAA& found)
        : handle_(FindFirstFileA(pattern.c_str(), &found)) {}
    ~FindHandle() {
        if (valid()) {
            FindClose(handle_);
        }
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& found) { return FindNextFileA(handle_, &found) != 0; }

  private:
    HANDLE handle_;
};

// The same search by a UTF-16 pattern, for names the code page cannot hold.
class WideFindHandle {
  public:
    WideFindHandle(const std::wstring& pattern, WIN32_FIND_DATAW& found)
        : handle_(FindFirstFileW(pattern.c_str(), &found)) {}
    ~WideFindHandle() {
        if (valid()) {
            FindClose(handle_);
        }
    }
    WideFindHandle(const WideFindHandle&) = delete;
    WideFindHandle& operator=(const WideFindHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& found) { return FindNextFileW(handle_, &found) != 0; }

  private:
    HANDLE handle_;
};
