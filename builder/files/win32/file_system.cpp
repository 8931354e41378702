// The file operations on Windows: ANSI calls, so that paths stay byte strings
// in the system's code page.
#include "builder/files/file_system.h"

#include "common/win32/kernel_handles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

// ReadFile and WriteFile take 32-bit counts.
constexpr std::size_t kLargestTransfer = 1u << 30;

class Win32File : public DiskFile {
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
    OwnedHandle file_;
};

constexpr DWORD kInvisible = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

DWORD CreationOf(OpenMode mode) {
    switch (mode) {
    case OpenMode::Read: return OPEN_EXISTING;
    case OpenMode::CreateTruncate: return CREATE_ALWAYS;
    case OpenMode::CreateNew: return CREATE_NEW;
    }
    return OPEN_EXISTING;
}

// Volume and file index of what `path` leads to; a folder too.
std::optional<FileIdentity> IdentityOf(const std::string& path) {
    const OwnedHandle file(
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &information)) {
        return std::nullopt;
    }
    return FileIdentity{information.dwVolumeSerialNumber,
                        (static_cast<uint64_t>(information.nFileIndexHigh) << 32) |
                            information.nFileIndexLow};
}

// A named object made for the folder's identity, so that every path to the
// folder finds the same one. It exists while a run holds a handle to it: the
// system closes that handle when the process ends, however it ends.
class Win32FolderLock : public FolderLock {
  public:
    explicit Win32FolderLock(HANDLE mutex) : mutex_(mutex) {}

  private:
    OwnedHandle mutex_;
};

class Win32FileSystem : public FileSystem {
  public:
    std::unique_ptr<DiskFile> Open(const std::string& path, OpenMode mode,
                                   Sharing sharing) override {
        const bool reading = mode == OpenMode::Read;
        const DWORD share = sharing == Sharing::Shared ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
        HANDLE handle = CreateFileA(path.c_str(), reading ? GENERIC_READ : GENERIC_WRITE, share,
                                    nullptr, CreationOf(mode), FILE_ATTRIBUTE_NORMAL, nullptr);
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

    bool Rename(const std::string& from, const std::string& to, RenameMode mode) override {
        const DWORD replace = mode == RenameMode::Replace ? MOVEFILE_REPLACE_EXISTING : 0;
        return MoveFileExA(from.c_str(), to.c_str(), replace | MOVEFILE_WRITE_THROUGH) != 0;
    }

    std::optional<FileIdentity> Identity(const std::string& path) override {
        return IdentityOf(path);
    }

    FolderLockAttempt LockFolder(const std::string& folder) override {
        const std::optional<FileIdentity> identity = IdentityOf(folder.empty() ? "." : folder);
        if (!identity) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                return {std::make_unique<Win32FolderLock>(nullptr)};
            }
            return {};
        }
        char name[64];
        std::snprintf(name, sizeof name, "Local\\ZeltranFolder-%llx-%llx",
                      static_cast<unsigned long long>(identity->volume),
                      static_cast<unsigned long long>(identity->file));
        HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
        if (mutex == nullptr) {
            return {};
        }
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(mutex);
            return {nullptr, true};
        }
        return {std::make_unique<Win32FolderLock>(mutex)};
    }
};

} // namespace

FileSystem& PlatformFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}

std::string FolderOfPath(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string FolderWithSeparator(const std::string& folder) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        return folder;
    }
    return folder + '\\';
}
