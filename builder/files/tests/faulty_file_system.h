// A FileSystem for tests that passes every operation on to another one,
// counts them, and makes one chosen operation fail, or stops at it as a
// killed process or a power cut would: the way to check that a routine
// survives any single failed file operation, and that its work can be taken
// up again after it stopped anywhere.
#pragma once

#include "builder/files/file_system.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class FileOperation {
    Open,
    Read,
    Write,
    Flush,
    Truncate,
    Size,
    Exists,
    ListFiles,
    Delete,
    Rename,
    Identity,
    LockFolder,
    Copy
};

enum class Fault {
    Fail, // the chosen operation fails; later ones work
    Stop, // the chosen operation and every later one fail and change nothing
};

class FaultyFileSystem : public FileSystem {
  public:
    // Operation number `failingOperation` (counted from 1, over the file
    // system and every file it opened) fails; 0 lets all succeed. A failing
    // write stores the first half of its bytes, as a full disk would.
    explicit FaultyFileSystem(FileSystem& inner, int failingOperation = 0,
                              Fault fault = Fault::Fail)
        : inner_(inner), failingOperation_(failingOperation), fault_(fault) {}

    // The operations so far, in order.
    const std::vector<FileOperation>& operations() const { return operations_; }

    std::unique_ptr<DiskFile> Open(const std::string& path, OpenMode mode,
                                   Sharing sharing) override {
        if (!Proceed(FileOperation::Open)) {
            return nullptr;
        }
        std::unique_ptr<DiskFile> file = inner_.Open(path, mode, sharing);
        if (!file) {
            return nullptr;
        }
        return std::make_unique<FaultyFile>(*this, std::move(file));
    }

    bool Exists(const std::string& path) override {
        return Proceed(FileOperation::Exists) && inner_.Exists(path);
    }

    std::vector<ListedFile> ListFiles(const std::string& folder,
                                      const std::string& pattern) override {
        if (!Proceed(FileOperation::ListFiles)) {
            return {};
        }
        return inner_.ListFiles(folder, pattern);
    }

    std::string CopyUnderPlainName(const std::string& folder, const ListedFile& file) override {
        if (!Proceed(FileOperation::Copy)) {
            return {};
        }
        return inner_.CopyUnderPlainName(folder, file);
    }

    bool Delete(const std::string& path) override {
        return Proceed(FileOperation::Delete) && inner_.Delete(path);
    }

    bool Rename(const std::string& from, const std::string& to, RenameMode mode) override {
        return Proceed(FileOperation::Rename) && inner_.Rename(from, to, mode);
    }

    std::optional<FileIdentity> Identity(const std::string& path) override {
        if (!Proceed(FileOperation::Identity)) {
            return std::nullopt;
        }
        return inner_.Identity(path);
    }

    // A failing lock is one that could not be made, never a busy folder.
    FolderLockAttempt LockFolder(const std::string& folder) override {
        if (!Proceed(FileOperation::LockFolder)) {
            return {};
        }
        return inner_.LockFolder(folder);
    }

  private:
    class FaultyFile : public DiskFile {
      public:
        FaultyFile(FaultyFileSystem& owner, std::unique_ptr<DiskFile> inner)
            : owner_(owner), inner_(std::move(inner)) {}

        int64_t Read(char* buffer, std::size_t size) override {
            return owner_.Proceed(FileOperation::Read) ? inner_->Read(buffer, size) : -1;
        }
        bool Write(const char* data, std::size_t size) override {
            if (!owner_.Proceed(FileOperation::Write)) {
                if (!owner_.stopped()) {
                    inner_->Write(data, size / 2);
                }
                return false;
            }
            return inner_->Write(data, size);
        }
        bool Flush() override { return owner_.Proceed(FileOperation::Flush) && inner_->Flush(); }
        bool Truncate(uint64_t size) override {
            return owner_.Proceed(FileOperation::Truncate) && inner_->Truncate(size);
        }
        int64_t Size() override {
            return owner_.Proceed(FileOperation::Size) ? inner_->Size() : -1;
        }
        // Files of one FaultyFileSystem copy between the files they wrap.
        int64_t CopyRestTo(DiskFile& target) override {
            if (!owner_.Proceed(FileOperation::Copy)) {
                return -1;
            }
            return inner_->CopyRestTo(*static_cast<FaultyFile&>(target).inner_);
        }

      private:
        FaultyFileSystem& owner_;
        std::unique_ptr<DiskFile> inner_;
    };

    // Records the operation; false when it is the one that fails, or one
    // after the stop.
    bool Proceed(FileOperation operation) {
        operations_.push_back(operation);
        return !stopped() && static_cast<int>(operations_.size()) != failingOperation_;
    }

    bool stopped() const {
        return fault_ == Fault::Stop && failingOperation_ > 0 &&
               static_cast<int>(operations_.size()) >= failingOperation_;
    }

    FileSystem& inner_;
    int failingOperation_;
    Fault fault_;
    std::vector<FileOperation> operations_;
};
