// The file operations on Windows: ANSI calls, so that paths stay byte strings
// in the system's code page.
#include "builder/files/file_system.h"

// <windows.h> declares a function OpenFile, which hides the class of that
// name from here on.
using FileBase = OpenFile;

#include <windows.h>

#include <algorithm>

namespace {

// Owns a file handle.
class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// Owns a directory search.
class FindHandle {
  public:
    FindHandle(const std::string& pattern, WIN32_FIND_DATAA& found)
        : handle_(FindFirstFileA(pattern.c_str(), &found)) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
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

// ReadFile and WriteFile take 32-bit counts.
constexpr std::size_t kLargestTransfer = 1u << 30;

class Win32File : public FileBase {
  public:
    explicit Win32File(HANDLE handle) : file_(handle) {}

    int64_t Read(char* buffer, std::size_t size) override {
        DWORD count = 0;
        const DWORD wanted = static_cast<DWORD>(std::min(size, kLargestTransfer));
        if (!ReadFile(file_.get(), buffer, wanted, &count, nullptr)) {
            return -1;
        }
        return count;
    }

    bool Write(const char* data, std::size_t size) override {
        while (size > 0) {
            DWORD count = 0;
            const DWORD wanted = static_cast<DWORD>(std::min(size, kLargestTransfer));
            if (!WriteFile(file_.get(), data, wanted, &count, nullptr) || count == 0) {
                return false;
            }
            data += count;
            size -= count;
        }
        return true;
    }

    bool Flush() override { return FlushFileBuffers(file_.get()) != 0; }

    bool Truncate(uint64_t size) override {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(size);
        return SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN) &&
               SetEndOfFile(file_.get());
    }

    int64_t Size() override {
        LARGE_INTEGER size;
        return GetFileSizeEx(file_.get(), &size) ? size.QuadPart : -1;
    }

  private:
    FileHandle file_;
};

constexpr DWORD kInvisible = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

class Win32FileSystem : public FileSystem {
  public:
    std::unique_ptr<FileBase> Open(const std::string& path, OpenMode mode,
                                   Sharing sharing) override {
        const bool reading = mode == OpenMode::Read;
        const DWORD share = sharing == Sharing::Shared ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
        HANDLE handle =
            CreateFileA(path.c_str(), reading ? GENERIC_READ : GENERIC_WRITE, share, nullptr,
                        reading ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        return std::make_unique<Win32File>(handle);
    }

    bool Exists(const std::string& path) override {
        WIN32_FIND_DATAA found;
        FindHandle search(path, found);
        if (!search.valid()) {
            return false;
        }
        do {
            if ((found.dwFileAttributes & kInvisible) == 0) {
                return true;
            }
        } while (search.Next(found));
        return false;
    }

    std::vector<std::string> ListFiles(const std::string& folder,
                                       const std::string& pattern) override {
        std::vector<std::string> names;
        const bool separated = folder.empty() || folder.back() == '\\' || folder.back() == '/';
        WIN32_FIND_DATAA found;
        FindHandle search(separated ? folder + pattern : folder + '\\' + pattern, found);
        if (!search.valid()) {
            return names;
        }
        do {
            if ((found.dwFileAttributes & (kInvisible | FILE_ATTRIBUTE_DIRECTORY)) == 0) {
                names.push_back(found.cFileName);
            }
        } while (search.Next(found));
        return names;
    }

    bool Delete(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }

    // MoveFileA refuses an existing target.
    bool Rename(const std::string& from, const std::string& to) override {
        return MoveFileA(from.c_str(), to.c_str()) != 0;
    }
};

} // namespace

FileSystem& PlatformFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}
