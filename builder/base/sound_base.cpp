#include "builder/base/sound_base.h"

#include "builder/base/base_text.h"
#include "builder/base/message_record.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kFieldCount = 6;

// The lines of an index, each up to its CR LF, read block by block.
class IndexLines {
  public:
    IndexLines(DiskFile& file, std::size_t blockSize) : file_(file), buffer_(blockSize) {}

    // The next line without its CR LF; false at the end of the index or
    // when a read fails.
    bool Next(std::string_view& line) {
        for (;;) {
            const char* const start = buffer_.data() + start_;
            const char* const end = buffer_.data() + filled_;
            for (const char* cr = start;
                 (cr = static_cast<const char*>(std::memchr(cr, '\r', end - cr))) != nullptr;
                 ++cr) {
                if (cr + 1 < end && cr[1] == '\n') {
                    line = std::string_view(start, cr - start);
                    start_ = cr + 2 - buffer_.data();
                    return true;
                }
            }
            if (atEnd_ || !ReadMore()) {
                return false;
            }
        }
    }

    // Whether the index ended right behind its last CR LF, all of it read.
    bool EndedCleanly() const { return atEnd_ && !failed_ && start_ == filled_; }

  private:
    // Keeps the unfinished line, at the front, and reads behind it.
    bool ReadMore() {
        std::memmove(buffer_.data(), buffer_.data() + start_, filled_ - start_);
        filled_ -= start_;
        start_ = 0;
        if (filled_ == buffer_.size()) {
            buffer_.resize(buffer_.size() * 2);
        }
        const int64_t count = file_.Read(buffer_.data() + filled_, buffer_.size() - filled_);
        failed_ = count < 0;
        atEnd_ = count <= 0;
        filled_ += static_cast<std::size_t>(std::max<int64_t>(count, 0));
        return !atEnd_;
    }

    DiskFile& file_;
    std::vector<char> buffer_;
    std::size_t start_ = 0; // where the next line begins
    std::size_t filled_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

// An index line split at TAB.
struct IndexFields {
    std::string_view fields[kFieldCount];
    bool plain = true; // no CR or LF in the line
};

// False unless there are exactly six fields.
bool SplitSixFields(std::string_view line, IndexFields& split) {
    std::size_t count = 0;
    std::size_t from = 0;
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char byte = line[at];
        if (byte == '\t') {
            if (count + 1 == kFieldCount) {
                return false;
            }
            split.fields[count++] = line.substr(from, at - from);
            from = at + 1;
        } else if (byte == '\r' || byte == '\n') {
            split.plain = false;
        }
    }
    split.fields[count] = line.substr(from);
    return count + 1 == kFieldCount;
}

// A field equal to its header line's value matches unless that value holds
// a TAB, CR or LF, which a plain line cannot.
bool FieldMatches(const IndexFields& split, std::size_t field, std::string_view value) {
    return (split.plain && split.fields[field] == value) ||
           IndexFieldMatches(split.fields[field], value);
}

// Index line number `recordNumber` + 1 against the record: the numbers as
// a sound index writes them, and the first three fields as its header
// lines give them.
bool LineDescribesRecord(std::string_view line, int64_t recordNumber, const TextRecord& record,
                         std::string_view recordStart) {
    IndexFields split;
    int64_t number = 0;
    int64_t offset = 0;
    int64_t length = 0;
    if (!SplitSixFields(line, split) || !ReadPlainDecimal(split.fields[3], number) ||
        number != recordNumber || !ReadPlainDecimal(split.fields[4], offset) ||
        offset != record.offset + 1 || !ReadPlainDecimal(split.fields[5], length) ||
        length != record.length || !record.endsWithLfLf) {
        return false;
    }
    const std::optional<RecordHeader> header = ReadRecordHeader(recordStart);
    return header && FieldMatches(split, 0, header->topic) &&
           FieldMatches(split, 1, IndexAuthorOfName(header->name)) &&
           FieldMatches(split, 2, header->date);
}

} // namespace

bool ConfirmSoundBase(FileSystem& files, const std::string& dataPath, const std::string& indexPath,
                      int64_t& records, std::size_t blockSize) {
    const std::unique_ptr<DiskFile> index = files.Open(indexPath, OpenMode::Read, Sharing::Shared);
    const std::unique_ptr<DiskFile> data = files.Open(dataPath, OpenMode::Read, Sharing::Shared);
    const int64_t size = data ? data->Size() : -1;
    if (!index || size < 0) {
        return false;
    }
    IndexLines lines(*index, blockSize > 0 ? blockSize : kIndexBlockSize);
    const std::size_t textBlockSize = blockSize > 0 ? blockSize : kTextBlockSize;
    records = 0;
    const RecordVisitor visit = [&](const TextRecord& record, std::string_view start) {
        std::string_view line;
        if (!lines.Next(line) || !LineDescribesRecord(line, records, record, start)) {
            return false;
        }
        ++records;
        return true;
    };
    std::vector<EndProbe> noProbes;
    DataTextSummary summary;
    const bool scanned = ScanDataText(*data, noProbes, visit, summary, textBlockSize);
    std::string_view extraLine;
    // Text in front of the first record other than merge joints is a fault;
    // an empty base is left to the full check.
    return scanned && summary.size == size && records > 0 &&
           summary.leadingJointEnd == summary.firstRecord && !lines.Next(extraLine) &&
           lines.EndedCleanly();
}
