#include "builder/files/file_system.h"

#include <algorithm>
#include <vector>

namespace {

// Measured on a 700 MB copy: 32 KiB and 128 KiB run alike, 1 MiB and more
// fall out of the processor's cache and run slower.
constexpr std::size_t kCopyBufferSize = 128 * 1024;

} // namespace

std::string WithExtensionReplaced(const std::string& path, const char* suffix) {
    return path.substr(0, path.size() - std::min<std::size_t>(3, path.size())) + suffix;
}

bool HasThreeCharacterExtension(const std::string& path) {
    return path.size() >= 4 && path[path.size() - 4] == '.' &&
           path.find_first_of("/\\", path.size() - 3) == std::string::npos;
}

std::unique_ptr<DiskFile> CreateFreshFile(FileSystem& files, const std::string& path) {
    files.Delete(path);
    return files.Open(path, OpenMode::CreateNew, Sharing::Exclusive);
}

bool ReadExactly(DiskFile& file, char* buffer, std::size_t size) {
    for (std::size_t filled = 0; filled < size;) {
        const int64_t count = file.Read(buffer + filled, size - filled);
        if (count <= 0) {
            return false;
        }
        filled += static_cast<std::size_t>(count);
    }
    return true;
}

bool ReadWholeFile(FileSystem& files, const std::string& path, Sharing sharing,
                   std::string& bytes) {
    const std::unique_ptr<DiskFile> file = files.Open(path, OpenMode::Read, sharing);
    const int64_t size = file ? file->Size() : -1;
    if (size < 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    char beyond;
    return ReadExactly(*file, bytes.data(), bytes.size()) && file->Read(&beyond, 1) == 0;
}

int64_t DiskFile::CopyRestTo(DiskFile& target) {
    std::vector<char> buffer(kCopyBufferSize);
    int64_t copied = 0;
    for (;;) {
        const int64_t count = Read(buffer.data(), buffer.size());
        if (count <= 0) {
            return count == 0 ? copied : -1;
        }
        if (!target.Write(buffer.data(), static_cast<std::size_t>(count))) {
            return -1;
        }
        copied += count;
    }
}
