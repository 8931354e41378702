#include "builder/base/base_text.h"

#include "builder/base/message_record.h"
#include "common/ascii_case.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes kept in front of the block being searched: what a record's end
// or a probe looks back at.
constexpr std::size_t kLookBehind = 16;

// The CR LF pairs right in front of a position (none, or a merge's joint),
// and whether LF LF precedes them.
struct Joint {
    int64_t start;  // the first pair; the position itself when none
    bool afterLfLf; // bytes start-2 and start-1 are LF LF
};
// A record start is known only with all of "'MESSAGE " in the buffer.
constexpr std::size_t kLookAhead = kMessageLabel.size();
// Where the byte the search looks for sits in "'MESSAGE ".
constexpr int64_t kMarkAt = 6;

// The state of one pass over the text: each block is searched with one
// memchr pass, for apostrophes (record starts). Joints are looked for only
// in front of a record start, backwards.
class TextScan {
  public:
    TextScan(std::vector<EndProbe>& probes, const RecordVisitor& visit, DataTextSummary& summary,
             std::size_t blockSize)
        : probes_(probes), visit_(visit), summary_(summary),
          buffer_(kLookBehind + blockSize + kLookAhead) {}

    bool Run(DiskFile& data) {
        for (;;) {
            KeepTail();
            const int64_t count = data.Read(buffer_.data() + filled_, buffer_.size() - filled_);
            if (count < 0) {
                return false;
            }
            filled_ += static_cast<std::size_t>(count);
            const bool atEnd = count == 0;
            const int64_t end = bufferStart_ + static_cast<int64_t>(filled_);
            const int64_t limit =
                atEnd ? end : std::max(at_, end - static_cast<int64_t>(kLookAhead - 1));
            if (leadingJointOpen_) {
                ExtendLeadingJoint(end, atEnd);
            }
            if (!Search(limit, end)) {
                return false;
            }
            at_ = limit;
            if (haveRecord_) {
                AppendHeaderUpTo(limit);
                headerInString_ = true;
            }
            AnswerProbes(limit);
            if (atEnd) {
                break;
            }
        }
        const int64_t size = at_;
        summary_.size = size;
        if (!haveRecord_) {
            summary_.firstRecord = size;
            return true;
        }
        return CompleteRecord(size);
    }

  private:
    const char* ByteAt(int64_t position) const {
        return buffer_.data() + (position - bufferStart_);
    }

    // Moves the bytes still needed (the look-behind and an unsearched tail)
    // to the front of the buffer. What a joint reaching back past them
    // would need is worked out first, for the two positions a backward walk
    // over pairs can stop at.
    void KeepTail() {
        const int64_t keepFrom = std::max(bufferStart_, at_ - static_cast<int64_t>(kLookBehind));
        const Joint kept[] = {JointBefore(keepFrom), JointBefore(keepFrom + 1)};
        joints_[0] = kept[0];
        joints_[1] = kept[1];
        const std::size_t drop = static_cast<std::size_t>(keepFrom - bufferStart_);
        std::memmove(buffer_.data(), buffer_.data() + drop, filled_ - drop);
        filled_ -= drop;
        bufferStart_ = keepFrom;
    }

    // The CR LF pairs the file begins with, as far as the buffer shows them.
    void ExtendLeadingJoint(int64_t end, bool atEnd) {
        int64_t& jointEnd = summary_.leadingJointEnd;
        while (jointEnd + 1 < end && ByteAt(jointEnd)[0] == '\r' && ByteAt(jointEnd)[1] == '\n') {
            jointEnd += 2;
        }
        leadingJointOpen_ = jointEnd + 1 >= end && !atEnd;
    }

    // The joint that ends at `position`, walking back over CR LF pairs; one
    // that reaches in front of the buffer continues as worked out before
    // the buffer moved on.
    Joint JointBefore(int64_t position) const {
        while (position - 2 >= bufferStart_ && ByteAt(position)[-2] == '\r' &&
               ByteAt(position)[-1] == '\n') {
            position -= 2;
        }
        if (bufferStart_ > 0 && position < bufferStart_ + 2) {
            return joints_[position - bufferStart_];
        }
        return {position,
                position >= 2 && ByteAt(position)[-2] == '\n' && ByteAt(position)[-1] == '\n'};
    }

    // Handles every record start in [at_, limit), in file order. The search
    // stops at the "G" of "'MESSAGE ": the label's only byte that the other
    // header lines lack and that forum text seldom holds, while apostrophes
    // begin every header line and every reply's author line.
    bool Search(int64_t limit, int64_t end) {
        const char* const stop = ByteAt(std::min(limit + kMarkAt, end));
        for (const char* mark = Find(ByteAt(at_ + kMarkAt), stop, kMessageLabel[kMarkAt]);
             mark != nullptr; mark = Find(mark + 1, stop, kMessageLabel[kMarkAt])) {
            const char* const label = mark - kMarkAt;
            const int64_t position = Position(label);
            if ((position == 0 || label[-1] == '\n') &&
                position + static_cast<int64_t>(kLookAhead) <= end &&
                std::memcmp(label, kMessageLabel.data(), kLookAhead) == 0 &&
                !OnRecordStart(position)) {
                return false;
            }
        }
        return true;
    }

    static const char* Find(const char* from, const char* stop, char byte) {
        if (from >= stop) {
            return nullptr;
        }
        return static_cast<const char*>(std::memchr(from, byte, stop - from));
    }

    int64_t Position(const char* byte) const { return bufferStart_ + (byte - buffer_.data()); }

    bool OnRecordStart(int64_t position) {
        if (haveRecord_) {
            if (!CompleteRecord(position)) {
                return false;
            }
        } else {
            summary_.firstRecord = position;
            haveRecord_ = true;
        }
        recordOffset_ = position;
        headerEnd_ = position;
        header_.clear();
        headerInString_ = false;
        return true;
    }

    // The record runs up to `next` (a record start or the end of the file),
    // less a joint right in front of it. The joint begins behind the
    // record's "'MESSAGE ", which holds no CR or LF.
    bool CompleteRecord(int64_t next) {
        const Joint joint = JointBefore(next);
        const int64_t end = joint.start;
        const TextRecord record{recordOffset_, end - recordOffset_, joint.afterLfLf};
        const std::size_t startSize = static_cast<std::size_t>(
            std::min<int64_t>(record.length, static_cast<int64_t>(kHeaderLimit)));
        if (headerInString_) {
            AppendHeaderUpTo(end);
            return visit_(record, std::string_view(header_).substr(0, startSize));
        }
        return visit_(record, std::string_view(ByteAt(recordOffset_), startSize));
    }

    // The record's first bytes, up to kHeaderLimit, are copied out of the
    // buffer before it moves on.
    void AppendHeaderUpTo(int64_t to) {
        const int64_t stop = std::min(to, recordOffset_ + static_cast<int64_t>(kHeaderLimit));
        if (stop > headerEnd_) {
            header_.append(ByteAt(headerEnd_), static_cast<std::size_t>(stop - headerEnd_));
            headerEnd_ = stop;
        }
    }

    void AnswerProbes(int64_t limit) {
        while (nextProbe_ < probes_.size() && probes_[nextProbe_].position <= limit) {
            EndProbe& probe = probes_[nextProbe_++];
            probe.endsWithLfLf = probe.position >= 2 && ByteAt(probe.position)[-2] == '\n' &&
                                 ByteAt(probe.position)[-1] == '\n';
        }
    }

    std::vector<EndProbe>& probes_;
    const RecordVisitor& visit_;
    DataTextSummary& summary_;
    std::vector<char> buffer_;
    std::size_t filled_ = 0;
    int64_t bufferStart_ = 0; // file position of buffer_[0]
    int64_t at_ = 0;          // everything in front of it is searched
    Joint joints_[2] = {};    // those ending at bufferStart_ and one behind it
    bool leadingJointOpen_ = true;
    bool haveRecord_ = false;
    int64_t recordOffset_ = 0;
    std::string header_;
    int64_t headerEnd_ = 0; // file position behind the last byte in header_
    bool headerInString_ = false;
    std::size_t nextProbe_ = 0;
};

} // namespace

bool ScanDataText(DiskFile& data, std::vector<EndProbe>& probes, const RecordVisitor& visit,
                  DataTextSummary& summary, std::size_t blockSize) {
    summary = {};
    TextScan scan(probes, visit, summary, std::max<std::size_t>(blockSize, 1));
    return scan.Run(data);
}

std::optional<RecordHeader> ReadRecordHeader(std::string_view recordStart) {
    constexpr std::string_view kTopic = "\n'TOPIC:  ";
    constexpr std::string_view kName = "\n'NAME:   ";
    constexpr std::string_view kDate = "\n'DATE:   ";
    const std::size_t topic = recordStart.find(kTopic);
    const std::size_t name = recordStart.find(kName, topic);
    const std::size_t date = recordStart.find(kDate, name);
    if (topic == std::string_view::npos || name == std::string_view::npos ||
        date == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t dateValue = date + kDate.size();
    const std::size_t body = recordStart.find("\n\n", dateValue);
    if (body == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t topicValue = topic + kTopic.size();
    const std::size_t nameValue = name + kName.size();
    return RecordHeader{recordStart.substr(topicValue, name - topicValue),
                        recordStart.substr(nameValue, date - nameValue),
                        recordStart.substr(dateValue, body - dateValue)};
}

std::string IndexPrefixOfHeader(const RecordHeader& header) {
    return IndexPrefix(header.topic, IndexAuthorOfName(header.name), header.date);
}

std::optional<std::string> IndexPathOfData(const std::string& dataPath) {
    if (!HasThreeCharacterExtension(dataPath)) {
        return std::nullopt;
    }
    std::string index = WithExtensionReplaced(dataPath, "IDX");
    if (EqualIgnoringAsciiCase(index, dataPath)) {
        return std::nullopt;
    }
    return index;
}
