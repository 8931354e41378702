// The scan of a .DAT against a plain reading of the same bytes, on random
// texts of records, joints and stray text, with blocks so small that every
// record start, joint, header and probe falls across a block end somewhere.
#include "builder/base/base_text.h"

#include "builder/files/tests/temp_folder.h"
#include "builder/files/tests/whole_file.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct Scanned {
    std::vector<TextRecord> records;
    std::vector<std::string> starts;
    DataTextSummary summary;
    std::vector<bool> probes;
    bool operator==(const Scanned&) const = default;
};

bool HasAt(const std::string& text, std::size_t at, std::string_view bytes) {
    return at + bytes.size() <= text.size() && text.compare(at, bytes.size(), bytes) == 0;
}

// Records begin with "'MESSAGE " at a line start and end in front of the
// next one, less the CR LF pairs right in front of it.
Scanned PlainReading(const std::string& text) {
    Scanned result;
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if ((at == 0 || text[at - 1] == '\n') && HasAt(text, at, "'MESSAGE ")) {
            starts.push_back(at);
        }
    }
    for (std::size_t i = 0; i < starts.size(); ++i) {
        std::size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
        while (end >= starts[i] + 2 && HasAt(text, end - 2, "\r\n")) {
            end -= 2;
        }
        const std::size_t length = end - starts[i];
        result.records.push_back({static_cast<int64_t>(starts[i]), static_cast<int64_t>(length),
                                  HasAt(text, end - 2, "\n\n")});
        result.starts.push_back(text.substr(starts[i], std::min(length, kHeaderLimit)));
    }
    std::size_t lead = 0;
    while (HasAt(text, lead, "\r\n")) {
        lead += 2;
    }
    const int64_t size = static_cast<int64_t>(text.size());
    result.summary = {size, starts.empty() ? size : static_cast<int64_t>(starts[0]),
                      static_cast<int64_t>(lead)};
    for (std::size_t at = 0; at <= text.size() + 1; ++at) {
        result.probes.push_back(at >= 2 && at <= text.size() && HasAt(text, at - 2, "\n\n"));
    }
    return result;
}

Scanned Scan(const std::string& path, std::size_t size, std::size_t blockSize) {
    Scanned result;
    std::vector<EndProbe> probes;
    for (std::size_t at = 0; at <= size + 1; ++at) {
        probes.push_back({static_cast<int64_t>(at)});
    }
    const RecordVisitor visit = [&](const TextRecord& record, std::string_view start) {
        result.records.push_back(record);
        result.starts.emplace_back(start);
        return true;
    };
    const std::unique_ptr<DiskFile> data =
        PlatformFileSystem().Open(path, OpenMode::Read, Sharing::Shared);
    EXPECT_TRUE(data && ScanDataText(*data, probes, visit, result.summary, blockSize));
    for (const EndProbe& probe : probes) {
        result.probes.push_back(probe.endsWithLfLf);
    }
    return result;
}

std::string RandomText(std::mt19937& random) {
    static const char* const kPieces[] = {
        "'MESSAGE X\n'FORUM:  F\n'TOPIC:  t\n'NAME:   n,\n'DATE:   d\n\nbody\n\n\n\n",
        "'MESSAGE Y\n\n'TOPIC:  a\n'NAME:   b\n'DATE:   c\r\nc\n\n\n\n'FOLLOW-UP\n'r'q\n\n",
        "'MESSAGE ",
        "\r\n",
        "\r\n\r\n",
        "\n",
        "\n\n",
        "\r",
        "'",
        "x'MESSAGE ",
        "text",
    };
    std::string text;
    const int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) {
        text += kPieces[random() % std::size(kPieces)];
    }
    return text;
}

} // namespace

TEST(BaseText, ScanReadsTheRecordsAsThePlainReadingDoes) {
    TempFolder folder;
    const std::string path = folder.Path("FORUM1.DAT");
    std::mt19937 random(7);
    std::vector<std::string> texts = {"", "\r\n", "'MESSAGE ", "\r\n'MESSAGE \n\n\r\n"};
    for (int i = 0; i < 150; ++i) {
        texts.push_back(RandomText(random));
    }
    // Joints longer than what the scan keeps of a block it has searched.
    std::string longJoint;
    for (int pair = 0; pair < 30; ++pair) {
        longJoint += "\r\n";
    }
    texts.push_back(longJoint + "'MESSAGE A\n\n" + longJoint + "'MESSAGE B\n\n\r" + longJoint);
    texts.push_back(longJoint + "x" + longJoint + "'MESSAGE C\n\n\n" + longJoint + "\r");
    // A header longer than the part of a record the scan keeps.
    texts.push_back("'MESSAGE Z\n\n'TOPIC:  " + std::string(kHeaderLimit, 't') +
                    "\n'NAME:   n\n'DATE:   d\n\n\n\n\r\n");
    for (const std::string& text : texts) {
        WriteWholeFile(path, text);
        const Scanned expected = PlainReading(text);
        for (std::size_t blockSize : {1, 2, 3, 8, 9, 10, 17, 64, 256 * 1024}) {
            if (blockSize < 64 && text.size() > 4096) {
                continue;
            }
            EXPECT_TRUE(Scan(path, text.size(), blockSize) == expected)
                << "block " << blockSize << ", text '" << text << "'";
        }
    }
}

TEST(BaseText, HeaderValuesRunToTheNextHeaderLine) {
    const std::optional<RecordHeader> header = ReadRecordHeader(
        "'MESSAGE X\n\n'TOPIC:  two\nlines\n'NAME:   a,\tb\n'DATE:   d\r\ne\n\nbody\n\n");
    ASSERT_TRUE(header);
    EXPECT_EQ(header->topic, "two\nlines");
    EXPECT_EQ(header->name, "a,\tb");
    EXPECT_EQ(header->date, "d\r\ne");
    EXPECT_EQ(IndexPrefixOfHeader(*header), "twolines\ta\tde\t");
    EXPECT_FALSE(ReadRecordHeader("'MESSAGE X\n\n'TOPIC:  t\n'DATE:   d\n\n"));
    EXPECT_FALSE(ReadRecordHeader("'MESSAGE X\n\n'TOPIC:  t\n'NAME:   n\n'DATE:   d\n"));
}
