// The file operations that building and merging forum bases need, behind a
// small interface: the platform's own (Win32 calls with byte-string paths,
// or POSIX), and in tests a wrapper that makes a chosen operation fail.
//
// Paths are byte strings in the system's code page; nothing is converted.
// The one exception is a listed file whose name that code page cannot hold:
// it is reached by a path of bytes of its own (ListedFile).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A file on the disk, open for reading or for writing; closed when destroyed.
class DiskFile {
  public:
    virtual ~DiskFile() = default;

    // Reads up to `size` bytes at the current position; returns the count
    // read, 0 at the end of the file, -1 on failure.
    virtual int64_t Read(char* buffer, std::size_t size) = 0;
    // Writes all `size` bytes at the current position, or fails.
    virtual bool Write(const char* data, std::size_t size) = 0;
    // Pushes written bytes through to the disk.
    virtual bool Flush() = 0;
    // Cuts (or extends) the file to `size` bytes and moves to its end.
    virtual bool Truncate(uint64_t size) = 0;
    // The file's size in bytes, -1 on failure.
    virtual int64_t Size() = 0;
    // Copies the rest of this file, from its position, to `target` at its
    // position; returns the count copied, -1 on failure. This one moves the
    // bytes through a buffer of its own; a platform's file may let the
    // system copy them instead.
    virtual int64_t CopyRestTo(DiskFile& target);
};

enum class OpenMode {
    Read,           // existing file, reading
    CreateTruncate, // new or emptied file, writing
    CreateNew,      // a name nothing holds yet, not even a link; writing
};

enum class Sharing {
    Shared,    // other processes may read and write the file meanwhile
    Exclusive, // nobody else may open the file while it is open
};

enum class RenameMode {
    KeepExisting, // fails when the target exists
    Replace,      // an existing target is replaced in the same step
};

// What a path leads to, links and aliases followed: two paths name the same
// file exactly when their identities are equal.
struct FileIdentity {
    uint64_t volume;
    uint64_t file;
    bool operator==(const FileIdentity&) const = default;
};

// Held by a run that changes files in a folder (a build, a merge), so that a
// second run there refuses instead of interleaving with it; released when
// destroyed, and by the system when the process dies.
class FolderLock {
  public:
    virtual ~FolderLock() = default;
};

// What an attempt to hold a folder gave: the lock, or why there is none.
struct FolderLockAttempt {
    std::unique_ptr<FolderLock> lock; // null when the folder is not held
    bool busy = false;                // another run holds the folder
};

// A plain file that a folder search found.
struct ListedFile {
    // The name to sort by and to show: the file's name in the system's code
    // page or, on Windows, its UTF-8 bytes where that code page cannot hold
    // it (then `nameOutsideCodePage` is set).
    std::string name;
    bool nameOutsideCodePage = false;
    // A path of bytes that opens the file: the folder joined with the name,
    // or on Windows the file's short path where that one does not fit the
    // code page or the length a path may have. Empty when the file has no
    // such path (a volume without short names): CopyUnderPlainName reaches
    // it then.
    std::string path;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Null when the file cannot be opened.
    virtual std::unique_ptr<DiskFile> Open(const std::string& path, OpenMode mode,
                                           Sharing sharing) = 0;
    // True when a directory search for `path` finds a file (read-only or
    // not) or a folder; hidden and system files do not count.
    virtual bool Exists(const std::string& path) = 0;
    // The plain files in `folder` whose names match `pattern` ("*.html"),
    // letter case ignored, in the order the search delivers them. Folders
    // and hidden or system files are left out; natively a name beginning
    // with "." counts as hidden. Every name the folder holds is listed,
    // whatever its characters.
    virtual std::vector<ListedFile> ListFiles(const std::string& folder,
                                              const std::string& pattern) = 0;
    // For a file of `folder` that ListFiles found without a path: copies it
    // under a plain temporary name and returns the copy's path, which the
    // caller deletes when done; "" when no copy can be made. Natively every
    // listed file has its path, and there is nothing to copy.
    virtual std::string CopyUnderPlainName(const std::string& folder, const ListedFile& file) {
        (void)folder;
        (void)file;
        return {};
    }
    virtual bool Delete(const std::string& path) = 0;
    // Renames `from` to `to` and makes the change durable on the disk before
    // it returns, so that renames reach the disk in the order they were made.
    virtual bool Rename(const std::string& from, const std::string& to, RenameMode mode) = 0;
    // Nothing when `path` leads to no file or folder.
    virtual std::optional<FileIdentity> Identity(const std::string& path) = 0;
    // No lock, and busy, when another run holds `folder`; no lock and not
    // busy when the folder cannot be locked for another reason. A folder
    // that does not exist has nothing to guard, and its lock holds nothing.
    virtual FolderLockAttempt LockFolder(const std::string& folder) = 0;
};

// The folder part of `path`, with its final separator ("" for a bare name).
std::string FolderOfPath(const std::string& path);

// `folder` ready to have a file name appended: unchanged when it ends in a
// path separator, else with the platform's separator added.
std::string FolderWithSeparator(const std::string& folder);

// `path` with its last three characters replaced by `suffix`: how the names
// beside a base (its index, backups and work files) are made from its .DAT.
std::string WithExtensionReplaced(const std::string& path, const char* suffix);

// True when a dot and three characters end `path`, so that the names made
// by WithExtensionReplaced stay in its folder.
bool HasThreeCharacterExtension(const std::string& path);

// A new file under `path` for writing: a file left there by an interrupted
// run goes first, and a link planted under the name is removed, never
// written through. Null when it cannot be made.
std::unique_ptr<DiskFile> CreateFreshFile(FileSystem& files, const std::string& path);

// Reads exactly `size` bytes; false at the end of the file or a failed read.
bool ReadExactly(DiskFile& file, char* buffer, std::size_t size);

// The whole file in `bytes`, read in one piece of its size; false when it
// cannot be opened or read, or holds more than its size said.
bool ReadWholeFile(FileSystem& files, const std::string& path, Sharing sharing, std::string& bytes);

// The platform's file system.
FileSystem& PlatformFileSystem();
