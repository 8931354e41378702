// The file operations on Windows: ANSI calls, so that paths stay byte strings
// in the system's code page. Only the folder search works in UTF-16, so that
// it finds every name, and gives each file a path of bytes that opens it.
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

std::wstring WideOf(const std::string& bytes, UINT codePage) {
    const int size = static_cast<int>(bytes.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

std::string BytesOf(const std::wstring& wide, UINT codePage) {
    const int size = static_cast<int>(wide.size());
    std::string bytes(static_cast<std::size_t>(WideCharToMultiByte(codePage, 0, wide.data(), size,
                                                                   nullptr, 0, nullptr, nullptr)),
                      '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(),
                        static_cast<int>(bytes.size()), nullptr, nullptr);
    return bytes;
}

// The code page's bytes of `wide`, or nothing when they would stand for other
// characters ("?" or a look-alike letter in place of one the code page lacks).
std::optional<std::string> CodePageBytesOf(const std::wstring& wide) {
    std::string bytes = BytesOf(wide, CP_ACP);
    if (WideOf(bytes, CP_ACP) != wide) {
        return std::nullopt;
    }
    return bytes;
}

// `path` in the form that lifts the length limit of the UTF-16 calls.
std::wstring LongPathOf(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    if (size == 0 || GetFullPathNameW(path.c_str(), size, full.data(), nullptr) >= size) {
        return path;
    }
    full.resize(wcslen(full.c_str()));
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

// A path of bytes that opens the file at `path`: its own, where the code
// page holds it and it is short enough, else its short path, where the
// volume keeps short names; "" when there is neither.
std::string CodePagePathOf(const std::wstring& path) {
    const std::optional<std::string> bytes = CodePageBytesOf(path);
    if (bytes && bytes->size() < MAX_PATH) {
        return *bytes;
    }
    const std::wstring longPath = LongPathOf(path);
    const DWORD size = GetShortPathNameW(longPath.c_str(), nullptr, 0);
    std::wstring shortPath(size, L'\0');
    if (size == 0 || GetShortPathNameW(longPath.c_str(), shortPath.data(), size) >= size) {
        return {};
    }
    shortPath.resize(wcslen(shortPath.c_str()));
    if (shortPath.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        shortPath = L"\\\\" + shortPath.substr(8);
    } else if (shortPath.rfind(L"\\\\?\\", 0) == 0) {
        shortPath.erase(0, 4);
    }
    const std::optional<std::string> shortBytes = CodePageBytesOf(shortPath);
    return shortBytes && shortBytes->size() < MAX_PATH ? *shortBytes : std::string();
}

// What a search of `prefix` + pattern is appended to: the folder, with a
// separator unless it ends in one (or is empty, the current folder).
std::string SearchPrefix(const std::string& folder) {
    const bool separated = folder.empty() || folder.back() == '\\' || folder.back() == '/';
    return separated ? folder : folder + '\\';
}

// A found file's name as the program sorts and shows it, and a path of bytes
// to open it by.
ListedFile ListedFileOf(const std::string& prefix, const std::wstring& widePrefix,
                        const std::wstring& name) {
    ListedFile file;
    if (const std::optional<std::string> bytes = CodePageBytesOf(name)) {
        file.name = *bytes;
        if (prefix.size() + bytes->size() < MAX_PATH) {
            file.path = prefix + *bytes;
            return file;
        }
    } else {
        file.name = BytesOf(name, CP_UTF8);
        file.nameOutsideCodePage = true;
    }
    file.path = CodePagePathOf(widePrefix + name);
    return file;
}

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

    std::vector<ListedFile> ListFiles(const std::string& folder,
                                      const std::string& pattern) override {
        std::vector<ListedFile> files;
        const std::string prefix = SearchPrefix(folder);
        const std::wstring widePrefix = WideOf(prefix, CP_ACP);
        WIN32_FIND_DATAW found;
        WideFindHandle search(widePrefix + WideOf(pattern, CP_ACP), found);
        if (!search.valid()) {
            return files;
        }
        do {
            if ((found.dwFileAttributes & (kInvisible | FILE_ATTRIBUTE_DIRECTORY)) == 0) {
                files.push_back(ListedFileOf(prefix, widePrefix, found.cFileName));
            }
        } while (search.Next(found));
        return files;
    }

    std::string CopyUnderPlainName(const std::string& folder, const ListedFile& file) override {
        const std::wstring source =
            LongPathOf(WideOf(SearchPrefix(folder), CP_ACP) +
                       WideOf(file.name, file.nameOutsideCodePage ? CP_UTF8 : CP_ACP));
        wchar_t tempFolder[MAX_PATH + 1];
        wchar_t copy[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH + 1, tempFolder);
        if (length == 0 || length > MAX_PATH ||
            GetTempFileNameW(tempFolder, L"zpg", 0, copy) == 0) {
            return {};
        }
        std::string path = CodePagePathOf(copy);
        if (path.empty() || !CopyFileW(source.c_str(), copy, FALSE)) {
            DeleteFileW(copy);
            return {};
        }
        return path;
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
