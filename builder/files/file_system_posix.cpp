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

class PosixFile : public OpenFile {
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

class PosixFileSystem : public FileSystem {
  public:
    std::unique_ptr<OpenFile> Open(const std::string& path, OpenMode mode,
                                   Sharing sharing) override {
        // A file being written is emptied only once it is locked, so that a
        // refused open leaves another user's bytes alone.
        const int flags = mode == OpenMode::Read ? O_RDONLY : (O_WRONLY | O_CREAT);
        DescriptorGuard file{open(path.c_str(), flags | O_CLOEXEC, 0666)};
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

    std::vector<std::string> ListFiles(const std::string& folder,
                                       const std::string& pattern) override {
        std::vector<std::string> names;
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
            struct stat status;
            if (stat((prefix + name).c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
                names.push_back(name);
            }
        }
        return names;
    }

    bool Delete(const std::string& path) override { return unlink(path.c_str()) == 0; }

    bool Rename(const std::string& from, const std::string& to) override {
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
};

} // namespace

FileSystem& PlatformFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}
