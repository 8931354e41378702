// The file operations natively, for the command-line tool and the tests.
#include "builder/files/file_system.h"
#include "builder/files/name_pattern.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One request of a copy between files: large, yet within what a 32-bit
// count can tell.
constexpr std::size_t kLargestCopy = 1u << 30;

class PosixFile : public DiskFile {
  public:
    explicit PosixFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixFile() override { close(descriptor_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    int64_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t count = read(descriptor_, buffer, size);
            if (count >= 0 || errno != EINTR) {
                return count;
            }
        }
    }

    bool Write(const char* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t count = write(descriptor_, data, size);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count <= 0) {
                return false;
            }
            data += count;
            size -= static_cast<std::size_t>(count);
        }
        return true;
    }

    bool Flush() override { return fsync(descriptor_) == 0; }

    bool Truncate(uint64_t size) override {
        return ftruncate(descriptor_, static_cast<off_t>(size)) == 0 &&
               lseek(descriptor_, 0, SEEK_END) >= 0;
    }

    int64_t Size() override {
        struct stat status;
        return fstat(descriptor_, &status) == 0 ? static_cast<int64_t>(status.st_size) : -1;
    }

    // The kernel copies between two files without the bytes passing
    // through the process, and shares their blocks where the file system
    // can. Where it cannot copy at all, the buffered copy runs.
    int64_t CopyRestTo(DiskFile& target) override {
        auto* const file = dynamic_cast<PosixFile*>(&target);
        int64_t copied = 0;
        while (file != nullptr) {
            const ssize_t count =
                copy_file_range(descriptor_, nullptr, file->descriptor_, nullptr, kLargestCopy, 0);
            if (count > 0) {
                copied += count;
            } else if (count == 0) {
                return copied;
            } else if (errno != EINTR) {
                const bool unsupported =
                    errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL;
                if (copied > 0 || !unsupported) {
                    return -1;
                }
                break;
            }
        }
        return DiskFile::CopyRestTo(target);
    }

  private:
    int descriptor_;
};

// Closes a descriptor unless it is handed on.
struct DescriptorGuard {
    int descriptor;
    ~DescriptorGuard() {
        if (descriptor >= 0) {
            close(descriptor);
        }
    }
    int Release() {
        const int released = descriptor;
        descriptor = -1;
        return released;
    }
};

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

bool IsHiddenName(const std::string& name) {
    return !name.empty() && name[0] == '.';
}

std::string LastPathComponent(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int OpenFlags(OpenMode mode) {
    switch (mode) {
    case OpenMode::Read: return O_RDONLY;
    case OpenMode::CreateTruncate: return O_WRONLY | O_CREAT;
    case OpenMode::CreateNew: return O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
    }
    return O_RDONLY;
}

int OpenFolder(const std::string& folder) {
    return open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// A rename lives in its folder's entries: flushing the folder makes it stay.
// Where that cannot be done the rename has happened all the same, and says
// so.
void FlushFolderOf(const std::string& path) {
    const DescriptorGuard directory{OpenFolder(FolderOfPath(path))};
    if (directory.descriptor >= 0) {
        fsync(directory.descriptor);
    }
}

bool RenameKeepingExisting(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // File systems without RENAME_NOREPLACE: a hard link fails when the
    // target exists, just as the rename must.
    if (link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    if (unlink(from.c_str()) != 0) {
        unlink(to.c_str());
        return false;
    }
    return true;
}

// An advisory lock on the folder itself: every run of this program takes
// it, nothing else sees it, and it goes with the descriptor.
class PosixFolderLock : public FolderLock {
  public:
    explicit PosixFolderLock(int descriptor) : descriptor_(descriptor) {}
    ~PosixFolderLock() override {
        if (descriptor_ >= 0) {
            close(descriptor_);
        }
    }
    PosixFolderLock(const PosixFolderLock&) = delete;
    PosixFolderLock& operator=(const PosixFolderLock&) = delete;

  private:
    int descriptor_;
};

class PosixFileSystem : public FileSystem {
  public:
    std::unique_ptr<DiskFile> Open(const std::string& path, OpenMode mode,
                                   Sharing sharing) override {
        // A file being written is emptied only once it is locked, so that a
        // refused open leaves another user's bytes alone.
        DescriptorGuard file{open(path.c_str(), OpenFlags(mode) | O_CLOEXEC, 0666)};
        if (file.descriptor < 0) {
            return nullptr;
        }
        // Advisory locks stand in for Windows share modes: an exclusive open
        // and any other open of the same file exclude each other.
        const int lock = sharing == Sharing::Exclusive ? LOCK_EX : LOCK_SH;
        if (flock(file.descriptor, lock | LOCK_NB) != 0) {
            return nullptr;
        }
        if (mode == OpenMode::CreateTruncate && ftruncate(file.descriptor, 0) != 0) {
            return nullptr;
        }
        return std::make_unique<PosixFile>(file.Release());
    }

    bool Exists(const std::string& path) override {
        struct stat status;
        if (IsHiddenName(LastPathComponent(path)) || stat(path.c_str(), &status) != 0) {
            return false;
        }
        return S_ISREG(status.st_mode) || S_ISDIR(status.st_mode);
    }

    std::vector<ListedFile> ListFiles(const std::string& folder,
                                      const std::string& pattern) override {
        std::vector<ListedFile> names;
        const std::unique_ptr<DIR, DirectoryCloser> directory(opendir(folder.c_str()));
        if (!directory) {
            return names;
        }
        const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + '/';
        while (const dirent* entry = readdir(directory.get())) {
            const std::string name = entry->d_name;
            if (IsHiddenName(name) || !MatchesNamePattern(name, pattern)) {
                continue;
            }
            // The entry's type comes with it on most file systems; only a
            // link, or a type the file system does not give, costs a stat.
            struct stat status;
            if (entry->d_type == DT_REG ||
                ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
                 stat((prefix + name).c_str(), &status) == 0 && S_ISREG(status.st_mode))) {
                names.push_back({name, false, prefix + name});
            }
        }
        return names;
    }

    bool Delete(const std::string& path) override { return unlink(path.c_str()) == 0; }

    bool Rename(const std::string& from, const std::string& to, RenameMode mode) override {
        const bool renamed = mode == RenameMode::Replace ? rename(from.c_str(), to.c_str()) == 0
                                                         : RenameKeepingExisting(from, to);
        if (renamed) {
            FlushFolderOf(to);
        }
        return renamed;
    }

    std::optional<FileIdentity> Identity(const std::string& path) override {
        struct stat status;
        if (stat(path.c_str(), &status) != 0) {
            return std::nullopt;
        }
        return FileIdentity{static_cast<uint64_t>(status.st_dev),
                            static_cast<uint64_t>(status.st_ino)};
    }

    FolderLockAttempt LockFolder(const std::string& folder) override {
        DescriptorGuard directory{OpenFolder(folder)};
        if (directory.descriptor < 0) {
            if (errno == ENOENT || errno == ENOTDIR) {
                return {std::make_unique<PosixFolderLock>(-1)};
            }
            return {};
        }
        if (flock(directory.descriptor, LOCK_EX | LOCK_NB) != 0) {
            return {nullptr, errno == EWOULDBLOCK};
        }
        return {std::make_unique<PosixFolderLock>(directory.Release())};
    }
};

} // namespace

FileSystem& PlatformFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

std::string FolderOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FolderWithSeparator(const std::string& folder) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        return folder;
    }
    return folder + '/';
}
