// A FileSystem for tests that passes every operation on to another one,
// counts them, and makes one chosen operation fail: the way to check that a
// routine survives any single failed file operation.
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
    Rename
};

class FaultyFileSystem : public FileSystem {
  public:
    // Operation number `failingOperation` (counted from 1, over the file
    // system and every file it opened) fails; 0 lets all succeed. A failing
    // write stores the first half of its bytes, as a full disk would.
    explicit FaultyFileSystem(FileSystem& inner, int failingOperation = 0)
        : inner_(inner), failingOperation_(failingOperation) {}

    // The operations so far, in order.
    const std::vector<FileOperation>& operations() const { return operations_; }

    std::unique_ptr<OpenFile> Open(const std::string& path, OpenMode mode,
                                   Sharing sharing) override {
        if (!Proceed(FileOperation::Open)) {
            return nullptr;
        }
        std::unique_ptr<OpenFile> file = inner_.Open(path, mode, sharing);
        if (!file) {
            return nullptr;
        }
        return std::make_unique<FaultyFile>(*this, std::move(file));
    }

    bool Exists(const std::string& path) override {
        return Proceed(FileOperation::Exists) && inner_.Exists(path);
    }

    std::vector<std::string> ListFiles(const std::string& folder,
                                       const std::string& pattern) override {
        if (!Proceed(FileOperation::ListFiles)) {
            return {};
        }
        return inner_.ListFiles(folder, pattern);
    }

    bool Delete(const std::string& path) override {
        return Proceed(FileOperation::Delete) && inner_.Delete(path);
    }

    bool Rename(const std::string& from, const std::string& to) override {
        return Proceed(FileOperation::Rename) && inner_.Rename(from, to);
    }

  private:
    class FaultyFile : public OpenFile {
      public:
        FaultyFile(FaultyFileSystem& owner, std::unique_ptr<OpenFile> inner)
            : owner_(owner), inner_(std::move(inner)) {}

        int64_t Read(char* buffer, std::size_t size) override {
            return owner_.Proceed(FileOperation::Read) ? inner_->Read(buffer, size) : -1;
        }
        bool Write(const char* data, std::size_t size) override {
            if (!owner_.Proceed(FileOperation::Write)) {
                inner_->Write(data, size / 2);
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

      private:
        FaultyFileSystem& owner_;
        std::unique_ptr<OpenFile> inner_;
    };

    // Records the operation; false when it is the one that fails.
    bool Proceed(FileOperation operation) {
        operations_.push_back(operation);
        return static_cast<int>(operations_.size()) != failingOperation_;
    }

    FileSystem& inner_;
    int failingOperation_;
    std::vector<FileOperation> operations_;
};
