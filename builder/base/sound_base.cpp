#include "builder/base/sound_base.h"

#include "builder/base/base_text.h"
#include "builder/base/message_record.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

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

// Whether `value` may hold bytes the index leaves out (TAB, CR and LF):
// true for any byte up to CR, as one comparison per byte, which an
// optimising compiler turns into vector code. Values with other control
// bytes merely take the longer way through IndexField.
bool MayHoldTabOrLineBreak(std::string_view value) {
    unsigned char lowest = 0xFF;
    for (char byte : value) {
        lowest = std::min(lowest, static_cast<unsigned char>(byte));
    }
    return lowest <= '\r';
}

// Takes `field` and the TAB behind it off the front of `rest`.
bool TakeField(std::string_view& rest, std::string_view field) {
    if (rest.size() <= field.size() || rest.compare(0, field.size(), field) != 0 ||
        rest[field.size()] != '\t') {
        return false;
    }
    rest.remove_prefix(field.size() + 1);
    return true;
}

// The index field for a header line's value: the value itself, unless it
// may hold bytes the index leaves out.
bool TakeHeaderField(std::string_view& rest, std::string_view value) {
    return MayHoldTabOrLineBreak(value) ? TakeField(rest, IndexField(value))
                                        : TakeField(rest, value);
}

// Takes `number` off the front of `rest` in plain decimal digits (no sign,
// blank or leading zero, at most 18 digits, as the full check reads them),
// with the TAB behind it, or as the rest of the line when it is the last.
bool TakeNumber(std::string_view& rest, int64_t number, bool last) {
    constexpr std::size_t kLongestNumber = 18;
    int64_t value = 0;
    std::size_t at = 0;
    for (; at < std::min(rest.size(), kLongestNumber) && rest[at] >= '0' && rest[at] <= '9'; ++at) {
        value = value * 10 + (rest[at] - '0');
    }
    if (at == 0 || (at > 1 && rest[0] == '0') || value != number) {
        return false;
    }
    if (last) {
        return at == rest.size();
    }
    if (at == rest.size() || rest[at] != '\t') {
        return false;
    }
    rest.remove_prefix(at + 1);
    return true;
}

// Index line number `recordNumber` + 1 against the record: a sound index has
// the very line the build writes for it, its first three fields from the
// record's header lines. A line that equals it byte for byte splits into
// exactly those six fields, so the full check would find no fault in it.
bool LineDescribesRecord(std::string_view line, int64_t recordNumber, const TextRecord& record,
                         std::string_view recordStart) {
    const std::optional<RecordHeader> header = ReadRecordHeader(recordStart);
    if (!header || !record.endsWithLfLf) {
        return false;
    }
    std::string_view rest = line;
    return TakeHeaderField(rest, header->topic) &&
           TakeHeaderField(rest, IndexAuthorOfName(header->name)) &&
           TakeHeaderField(rest, header->date) && TakeNumber(rest, recordNumber, false) &&
           TakeNumber(rest, record.offset + 1, false) && TakeNumber(rest, record.length, true);
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
