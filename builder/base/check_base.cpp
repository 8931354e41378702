#include "builder/base/check_base.h"

#include "builder/base/base_text.h"
#include "builder/base/message_record.h"
#include "builder/base/sound_base.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::size_t kFieldCount = 6;
// Eighteen digits always fit, and so does the sum of an offset and a length.
constexpr std::size_t kLongestNumber = 18;

// One index line as far as it could be read.
struct IndexEntry {
    int64_t line = 0;
    int64_t offset = 0;          // 1-based as written; 0 when unreadable
    int64_t start = 0;           // 0-based
    int64_t end = 0;             // 0-based, exclusive, at most the .DAT's size
    std::string_view textFields; // topic, author and date with their TABs
    bool hasRange = false;       // offset and length read, the offset inside the .DAT
    bool pastEnd = false;        // the length reaches beyond the .DAT
    bool endsWithLfLf = false;
};

// No sign, no blank, no leading zero.
bool ReadPlainDecimal(std::string_view text, int64_t& value) {
    if (text.empty() || text.size() > kLongestNumber || (text.size() > 1 && text[0] == '0')) {
        return false;
    }
    value = 0;
    for (char digit : text) {
        if (digit < '0' || digit > '9') {
            return false;
        }
        value = value * 10 + (digit - '0');
    }
    return true;
}

// Index bytes as a report line shows them: control bytes spelled out, so
// that one fault stays one line.
std::string Shown(std::string_view text) {
    std::string shown = "'";
    for (char byte : text) {
        if (static_cast<unsigned char>(byte) < 0x20) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(byte));
            shown += escaped;
        } else {
            shown += byte;
        }
    }
    return shown + "'";
}

std::string Count(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

class Checker {
  public:
    explicit Checker(BaseCheck& result) : result_(result) {}

    // Lines end at CR LF; their fields are split at TAB.
    void ReadIndex(std::string_view index) {
        // An index line of a built base is some 45 bytes long.
        entries_.reserve(index.size() / 32);
        constexpr std::string_view kLineEnd = "\r\n";
        std::string_view fields[kFieldCount + 1];
        int64_t line = 0;
        std::size_t lineStart = 0;
        for (std::size_t lineEnd;
             (lineEnd = index.find(kLineEnd, lineStart)) != std::string_view::npos;
             lineStart = lineEnd + kLineEnd.size()) {
            const std::string_view text = index.substr(lineStart, lineEnd - lineStart);
            std::size_t count = 0;
            for (std::size_t from = 0;; ++count) {
                const std::size_t tab = text.find('\t', from);
                if (count < std::size(fields)) {
                    fields[count] = text.substr(from, tab - from);
                }
                if (tab == std::string_view::npos) {
                    break;
                }
                from = tab + 1;
            }
            ReadIndexLine(++line, text, fields, count + 1);
        }
        result_.indexLines = line;
        if (lineStart < index.size()) {
            Fault(line + 1, 0,
                  Count(static_cast<int64_t>(index.size() - lineStart), "byte", "bytes") +
                      " behind the last CR LF of the index");
        }
    }

    // Offsets and lengths against the size of the .DAT; then the ranges in
    // file order and the probes for their ends.
    std::vector<EndProbe> PrepareRanges(int64_t size) {
        size_ = size;
        for (IndexEntry& entry : entries_) {
            if (!entry.hasRange) {
                continue;
            }
            if (entry.start >= size) {
                Fault(entry,
                      "begins behind the end of the .DAT (" + Count(size, "byte", "bytes") + ")");
                entry.hasRange = false;
            } else if (entry.end > size) {
                Fault(entry, "runs " + Count(entry.end - size, "byte", "bytes") +
                                 " past the end of the .DAT");
                entry.end = size;
                entry.pastEnd = true;
            }
        }
        byStart_.reserve(entries_.size());
        records_.reserve(entries_.size());
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].hasRange) {
                byStart_.push_back(i);
            }
        }
        // A sound index is in file order already.
        const auto startOrder = [&](std::size_t a, std::size_t b) {
            return entries_[a].start < entries_[b].start;
        };
        if (!std::is_sorted(byStart_.begin(), byStart_.end(), startOrder)) {
            std::stable_sort(byStart_.begin(), byStart_.end(), startOrder);
        }
        byEnd_ = byStart_;
        const auto endOrder = [&](std::size_t a, std::size_t b) {
            return entries_[a].end < entries_[b].end;
        };
        if (!std::is_sorted(byEnd_.begin(), byEnd_.end(), endOrder)) {
            std::stable_sort(byEnd_.begin(), byEnd_.end(), endOrder);
        }
        std::vector<EndProbe> probes;
        probes.reserve(byEnd_.size());
        for (std::size_t i : byEnd_) {
            probes.push_back({entries_[i].end});
        }
        return probes;
    }

    // Called by the scan for each record: the index lines that begin at it
    // compare their first three fields with its header.
    bool OnRecord(const TextRecord& record, std::string_view start) {
        records_.push_back(record);
        while (nextByStart_ < byStart_.size() &&
               entries_[byStart_[nextByStart_]].start < record.offset) {
            ++nextByStart_;
        }
        if (nextByStart_ < byStart_.size() &&
            entries_[byStart_[nextByStart_]].start == record.offset) {
            const std::optional<RecordHeader> header = ReadRecordHeader(start);
            for (std::size_t at = nextByStart_;
                 at < byStart_.size() && entries_[byStart_[at]].start == record.offset; ++at) {
                CompareHeader(entries_[byStart_[at]], header);
            }
        }
        return true;
    }

    void TakeProbes(const std::vector<EndProbe>& probes) {
        for (std::size_t i = 0; i < byEnd_.size(); ++i) {
            entries_[byEnd_[i]].endsWithLfLf = probes[i].endsWithLfLf;
        }
    }

    void CheckRanges(const DataTextSummary& summary) {
        summary_ = summary;
        result_.records = static_cast<int64_t>(records_.size());
        int64_t covered = 0; // everything in front is covered by a line
        int64_t coveringLine = 0;
        auto record = records_.cbegin(); // the first at or behind the entry's start
        for (std::size_t i : byStart_) {
            const IndexEntry& entry = entries_[i];
            while (record != records_.end() && record->offset < entry.start) {
                ++record;
            }
            CheckRecordOf(entry, record);
            if (entry.start < covered) {
                Fault(entry,
                      "overlaps the record of line " + std::to_string(coveringLine) + " by " +
                          Count(std::min(covered, entry.end) - entry.start, "byte", "bytes"));
            } else if (entry.start > covered) {
                ReportUncovered(covered, entry.start);
            }
            if (entry.end > covered) {
                covered = entry.end;
                coveringLine = entry.line;
            }
        }
        ReportUncovered(covered, size_);
        std::stable_sort(result_.faults.begin(), result_.faults.end(),
                         [](const BaseFault& a, const BaseFault& b) {
                             if ((a.line == 0) != (b.line == 0)) {
                                 return b.line == 0;
                             }
                             return a.line == 0 ? a.offset < b.offset : a.line < b.line;
                         });
    }

  private:
    void Fault(int64_t line, int64_t offset, std::string text) {
        result_.faults.push_back({line, offset, std::move(text)});
    }

    void Fault(const IndexEntry& entry, std::string text) {
        Fault(entry.line, entry.offset, std::move(text));
    }

    void ReadIndexLine(int64_t line, std::string_view text, const std::string_view* fields,
                       std::size_t count) {
        IndexEntry entry;
        entry.line = line;
        // Record number, offset and length.
        int64_t numbers[3] = {};
        bool read[3] = {};
        for (std::size_t field = 3; field < std::min(count, kFieldCount); ++field) {
            read[field - 3] = ReadPlainDecimal(fields[field], numbers[field - 3]);
        }
        const bool offsetRead = read[1] && numbers[1] > 0;
        entry.offset = offsetRead ? numbers[1] : 0;
        if (count != kFieldCount) {
            Fault(entry, Count(static_cast<int64_t>(count), "field", "fields") + ", not 6");
            entries_.push_back(entry);
            return;
        }
        static const char* const kNumberFields[] = {"record number", "offset", "length"};
        for (std::size_t field = 3; field < kFieldCount; ++field) {
            if (!read[field - 3]) {
                Fault(entry, std::string(kNumberFields[field - 3]) + " " + Shown(fields[field]) +
                                 " is not a plain decimal number");
            }
        }
        if (read[1] && numbers[1] == 0) {
            Fault(entry, "offset 0 is in front of the first byte");
        }
        if (read[0] && numbers[0] != line - 1) {
            Fault(entry, "record number " + std::to_string(numbers[0]) + ", expected " +
                             std::to_string(line - 1));
        }
        entry.textFields = text.substr(0, fields[3].data() - text.data() - 1);
        if (offsetRead && read[2]) {
            entry.hasRange = true;
            entry.start = numbers[1] - 1;
            entry.end = entry.start + numbers[2];
        }
        entries_.push_back(entry);
    }

    // The index keeps a field as the build wrote it: without TAB, CR and LF.
    static bool FieldMatches(std::string_view field, std::string_view value) {
        for (char byte : value) {
            if (byte == '\t' || byte == '\r' || byte == '\n') {
                return field == IndexField(value);
            }
        }
        return field == value;
    }

    void CompareHeader(const IndexEntry& entry, const std::optional<RecordHeader>& header) {
        if (!header) {
            Fault(entry, "the record has no topic, name and date lines");
            return;
        }
        const struct {
            std::string_view value;
            const char* line;
        } lines[] = {{header->topic, "topic"},
                     {IndexAuthorOfName(header->name), "name"},
                     {header->date, "date"}};
        const std::string_view text = entry.textFields;
        const std::size_t firstTab = text.find('\t');
        const std::size_t secondTab = text.find('\t', firstTab + 1);
        const std::string_view fields[] = {text.substr(0, firstTab),
                                           text.substr(firstTab + 1, secondTab - firstTab - 1),
                                           text.substr(secondTab + 1)};
        for (std::size_t field = 0; field < 3; ++field) {
            if (!FieldMatches(fields[field], lines[field].value)) {
                Fault(entry, "field " + std::to_string(field + 1) + " " + Shown(fields[field]) +
                                 " does not match the " + lines[field].line + " line's " +
                                 Shown(IndexField(lines[field].value)));
            }
        }
    }

    // The first record at or behind `position`.
    std::vector<TextRecord>::const_iterator RecordFrom(int64_t position) const {
        return std::lower_bound(
            records_.begin(), records_.end(), position,
            [](const TextRecord& record, int64_t at) { return record.offset < at; });
    }

    // `first` is the first record at or behind the entry's start.
    void CheckRecordOf(const IndexEntry& entry, std::vector<TextRecord>::const_iterator first) {
        const bool startsRecord = first != records_.end() && first->offset == entry.start;
        if (!startsRecord) {
            Fault(entry, "no record begins here");
        }
        const auto inside = startsRecord ? first + 1 : first;
        // Mostly none: a look at the next record before a search.
        const int64_t others = inside == records_.end() || inside->offset >= entry.end
                                   ? 0
                                   : std::lower_bound(inside, records_.cend(), entry.end,
                                                      [](const TextRecord& record, int64_t at) {
                                                          return record.offset < at;
                                                      }) -
                                         inside;
        if (others > 0) {
            Fault(entry, "reaches into " + Count(others, "more record", "more records"));
        }
        if (!entry.pastEnd && !entry.endsWithLfLf) {
            Fault(entry, "does not end with LF LF");
        }
    }

    // Text in [from, to) that no index line covers. CR LF pairs behind a
    // record are a joint and belong to no record.
    void ReportUncovered(int64_t from, int64_t to) {
        if (from >= to) {
            return;
        }
        int64_t at = from;
        if (from == 0) {
            at = summary_.leadingJointEnd;
        } else {
            const auto next = RecordFrom(from);
            if (next != records_.begin()) {
                const TextRecord& before = *(next - 1);
                if (before.offset + before.length == from) {
                    at = next == records_.end() ? size_ : next->offset;
                }
            }
        }
        if (at >= to) {
            return;
        }
        auto record = RecordFrom(at);
        const int64_t firstRecord = record == records_.end() ? to : std::min(record->offset, to);
        if (firstRecord > at) {
            Fault(0, at + 1, Count(firstRecord - at, "byte", "bytes") + " no index line covers");
        }
        for (; record != records_.end() && record->offset < to; ++record) {
            Fault(0, record->offset + 1, "a record no index line covers");
        }
    }

    BaseCheck& result_;
    std::vector<IndexEntry> entries_;
    std::vector<std::size_t> byStart_; // entries with a range, in file order
    std::vector<std::size_t> byEnd_;   // the same by their ends
    std::size_t nextByStart_ = 0;
    std::vector<TextRecord> records_;
    DataTextSummary summary_;
    int64_t size_ = 0;
};

} // namespace

BaseCheck CheckBase(FileSystem& files, const std::string& dataPath) {
    BaseCheck result;
    const std::optional<std::string> indexPath = IndexPathOfData(dataPath);
    if (!indexPath) {
        result.outcome = CheckOutcome::NotABasePath;
        return result;
    }
    if (!files.Exists(dataPath)) {
        result.outcome = CheckOutcome::DataMissing;
        return result;
    }
    if (!files.Exists(*indexPath)) {
        result.outcome = CheckOutcome::IndexMissing;
        return result;
    }
    if (ConfirmSoundBase(files, dataPath, *indexPath, result.records)) {
        return result;
    }
    result.records = 0;
    Checker checker(result);
    {
        std::string index;
        if (!ReadWholeFile(files, *indexPath, Sharing::Shared, index)) {
            result.outcome = CheckOutcome::ReadFailed;
            return result;
        }
        checker.ReadIndex(index);
        const std::unique_ptr<DiskFile> data =
            files.Open(dataPath, OpenMode::Read, Sharing::Shared);
        const int64_t size = data ? data->Size() : -1;
        if (size < 0) {
            result.outcome = CheckOutcome::ReadFailed;
            return result;
        }
        std::vector<EndProbe> probes = checker.PrepareRanges(size);
        DataTextSummary summary;
        const RecordVisitor visit = [&](const TextRecord& record, std::string_view start) {
            return checker.OnRecord(record, start);
        };
        if (!ScanDataText(*data, probes, visit, summary) || summary.size != size) {
            result.outcome = CheckOutcome::ReadFailed;
            return result;
        }
        checker.TakeProbes(probes);
        checker.CheckRanges(summary);
    }
    return result;
}

std::string FaultLine(const BaseFault& fault) {
    return "line " + (fault.line > 0 ? std::to_string(fault.line) : std::string("-")) +
           ", offset " + (fault.offset > 0 ? std::to_string(fault.offset) : std::string("-")) +
           ": " + fault.text;
}
