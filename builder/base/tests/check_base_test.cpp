// The check of a forum base: one damaged base per kind of fault, and the
// exact report lines it gives.
#include "builder/base/check_base.h"

#include "builder/base/sound_base.h"

#include "builder/files/tests/temp_folder.h"
#include "builder/files/tests/whole_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Three records of different lengths; the first has a two-line topic (the
// index leaves out its LF), the second a two-line author.
const std::string kRecords[] = {
    "'MESSAGE HTTP://F/1.HTML\n'FORUM:  Reports\n'TOPIC:  Fir\nst\n'NAME:   ann,\n"
    "'DATE:   May 1\n\nbody one\n\n\n\n",
    "'MESSAGE HTTP://F/2.HTML\n\n'TOPIC:  Second topic\n'NAME:   bob, Member\n"
    "'DATE:   May 2\n\nbody\n\n'FOLLOW-UP\n'ann'May 3\n\nreply\n\n\n",
    "'MESSAGE HTTP://F/3.HTML\n'FORUM:  Reports\n'TOPIC:  Third\n'NAME:   cy,\n"
    "'DATE:   May 4\n\n\n\n\n",
};
const std::string kFields[] = {"First\tann\tMay 1", "Second topic\tbob\tMay 2", "Third\tcy\tMay 4"};

std::string Number(std::size_t value) {
    return std::to_string(value);
}

// 1-based offsets of the three records in a base that holds them in a row.
const std::size_t kOffset1 = 1;
const std::size_t kOffset2 = kOffset1 + kRecords[0].size();
const std::size_t kOffset3 = kOffset2 + kRecords[1].size();
const std::size_t kDataSize = kOffset3 - 1 + kRecords[2].size();

std::string Line(std::size_t record, std::size_t number, const std::string& offset,
                 const std::string& length) {
    return kFields[record] + "\t" + Number(number) + "\t" + offset + "\t" + length + "\r\n";
}

std::string Line(std::size_t record, std::size_t number, std::size_t offset, std::size_t length) {
    return Line(record, number, Number(offset), Number(length));
}

std::string SoundData() {
    return kRecords[0] + kRecords[1] + kRecords[2];
}

std::string SoundLine(std::size_t record) {
    const std::size_t offsets[] = {kOffset1, kOffset2, kOffset3};
    return Line(record, record, offsets[record], kRecords[record].size());
}

std::string SoundIndex() {
    return SoundLine(0) + SoundLine(1) + SoundLine(2);
}

struct Report {
    int64_t records;
    std::vector<std::string> lines;
};

Report CheckFiles(const std::string& data, const std::string& index) {
    TempFolder folder;
    WriteWholeFile(folder.Path("FORUM3.DAT"), data);
    WriteWholeFile(folder.Path("FORUM3.IDX"), index);
    const BaseCheck check = CheckBase(PlatformFileSystem(), folder.Path("FORUM3.DAT"));
    EXPECT_EQ(check.outcome, CheckOutcome::Checked);
    Report report{check.records, {}};
    for (const BaseFault& fault : check.faults) {
        report.lines.push_back(FaultLine(fault));
    }
    return report;
}

// The records the quick pass confirms, read in blocks of `blockSize` bytes;
// -1 when it gives up.
int64_t QuickPassRecords(const std::string& data, const std::string& index, std::size_t blockSize) {
    TempFolder folder;
    WriteWholeFile(folder.Path("FORUM3.DAT"), data);
    WriteWholeFile(folder.Path("FORUM3.IDX"), index);
    int64_t records = -1;
    if (!ConfirmSoundBase(PlatformFileSystem(), folder.Path("FORUM3.DAT"),
                          folder.Path("FORUM3.IDX"), records, blockSize)) {
        return -1;
    }
    return records;
}

} // namespace

TEST(CheckBase, ReportsEachFaultWithItsLineAndOffset) {
    // Built by appending: a literal in front of a string makes GCC 12 warn
    // wrongly about overlapping copies.
    const std::string leadingZero = std::string("0").append(Number(kRecords[1].size()));
    const std::string signedOffset = std::string("+").append(Number(kOffset3));
    const std::string o1 = Number(kOffset1);
    const std::string o2 = Number(kOffset2);
    const std::string o3 = Number(kOffset3);
    const std::size_t length1 = kRecords[0].size();
    const std::size_t length2 = kRecords[1].size();
    const std::size_t length3 = kRecords[2].size();
    const std::string junk = "stray\n";
    const std::string bare = "'MESSAGE HTTP://F/2.HTML\nbody\n\n";
    const struct {
        const char* name;
        std::string data;
        std::string index;
        std::vector<std::string> lines;
    } cases[] = {
        {"sound", SoundData(), SoundIndex(), {}},
        {"merge joints",
         kRecords[0] + kRecords[1] + "\r\n" + kRecords[2] + "\r\n\r\n",
         SoundLine(0) + SoundLine(1) + Line(2, 2, kOffset3 + 2, length3),
         {}},
        {"merged empty bases before the records",
         "\r\n" + SoundData(),
         Line(0, 0, kOffset1 + 2, length1) + Line(1, 1, kOffset2 + 2, length2) +
             Line(2, 2, kOffset3 + 2, length3),
         {}},
        {"five fields",
         SoundData(),
         SoundLine(0) + kFields[1] + "\t1\t" + o2 + "\r\n" + SoundLine(2),
         {"line 2, offset " + o2 + ": 5 fields, not 6",
          "line -, offset " + o2 + ": a record no index line covers"}},
        {"numbers not plain decimal",
         SoundData(),
         SoundLine(0) + Line(1, 1, o2, leadingZero) + Line(2, 2, signedOffset, Number(length3)),
         {"line 2, offset " + o2 + ": length '0" + Number(length2) +
              "' is not a plain decimal number",
          "line 3, offset -: offset '+" + o3 + "' is not a plain decimal number",
          "line -, offset " + o2 + ": a record no index line covers",
          "line -, offset " + o3 + ": a record no index line covers"}},
        {"a leading zero alone",
         SoundData(),
         SoundLine(0) + Line(1, 1, o2, leadingZero) + SoundLine(2),
         {"line 2, offset " + o2 + ": length '0" + Number(length2) +
              "' is not a plain decimal number",
          "line -, offset " + o2 + ": a record no index line covers"}},
        {"record numbers out of order",
         SoundData(),
         SoundLine(0) + Line(1, 1, kOffset2, length2) + Line(2, 5, kOffset3, length3),
         {"line 3, offset " + o3 + ": record number 5, expected 2"}},
        {"offset 0",
         SoundData(),
         Line(0, 0, 0, length1) + SoundLine(1) + SoundLine(2),
         {"line 1, offset -: offset 0 is in front of the first byte",
          "line -, offset 1: a record no index line covers"}},
        {"offset inside a record",
         SoundData(),
         SoundLine(0) + SoundLine(1) + Line(2, 2, kOffset3 + 1, length3 - 1),
         {"line 3, offset " + Number(kOffset3 + 1) + ": no record begins here",
          "line -, offset " + o3 + ": a record no index line covers"}},
        {"length over two records",
         SoundData(),
         Line(0, 0, kOffset1, length1 + length2) + SoundLine(1) + SoundLine(2),
         {"line 1, offset " + o1 + ": reaches into 1 more record",
          "line 2, offset " + o2 + ": overlaps the record of line 1 by " + Number(length2) +
              " bytes"}},
        // A record ends with its body's LF and LF LF: one byte less still
        // ends with LF LF.
        {"length two short",
         SoundData(),
         SoundLine(0) + Line(1, 1, kOffset2, length2 - 2) + SoundLine(2),
         {"line 2, offset " + o2 + ": does not end with LF LF",
          "line -, offset " + Number(kOffset3 - 2) + ": 2 bytes no index line covers"}},
        {"record no line covers",
         SoundData(),
         SoundLine(0) + SoundLine(1),
         {"line -, offset " + o3 + ": a record no index line covers"}},
        {"text between records",
         kRecords[0] + junk + kRecords[1] + kRecords[2],
         SoundLine(0) + Line(1, 1, kOffset2 + junk.size(), length2) +
             Line(2, 2, kOffset3 + junk.size(), length3),
         {"line -, offset " + o2 + ": 6 bytes no index line covers"}},
        {"text in front of the first record",
         junk + SoundData(),
         Line(0, 0, kOffset1 + junk.size(), length1) + Line(1, 1, kOffset2 + junk.size(), length2) +
             Line(2, 2, kOffset3 + junk.size(), length3),
         {"line -, offset 1: 6 bytes no index line covers"}},
        {"cut short",
         SoundData().substr(0, kDataSize - 3),
         SoundIndex(),
         {"line 3, offset " + o3 + ": runs 3 bytes past the end of the .DAT"}},
        {"beyond the end",
         kRecords[0] + kRecords[1],
         SoundIndex(),
         {"line 3, offset " + o3 + ": begins behind the end of the .DAT (" + Number(kOffset3 - 1) +
          " bytes)"}},
        {"topic, author and date differ",
         SoundData(),
         SoundLine(0) + "Second\tbob, Member\tMay 2\t1\t" + o2 + "\t" + Number(length2) + "\r\n" +
             "Third\tcy\tMay 5\t2\t" + o3 + "\t" + Number(length3) + "\r\n",
         {"line 2, offset " + o2 +
              ": field 1 'Second' does not match the topic line's "
              "'Second topic'",
          "line 2, offset " + o2 +
              ": field 2 'bob, Member' does not match the name line's "
              "'bob'",
          "line 3, offset " + o3 + ": field 3 'May 5' does not match the date line's 'May 4'"}},
        {"index field holding the line's LF",
         SoundData(),
         "Fir\nst\tann\tMay 1\t0\t" + o1 + "\t" + Number(length1) + "\r\n" + SoundLine(1) +
             SoundLine(2),
         {"line 1, offset " + o1 +
          ": field 1 'Fir\\x0Ast' does not match the topic line's 'First'"}},
        {"record without header lines",
         kRecords[0] + bare,
         SoundLine(0) + "x\ty\tz\t1\t" + o2 + "\t" + Number(bare.size()) + "\r\n",
         {"line 2, offset " + o2 + ": the record has no topic, name and date lines"}},
        {"text behind the last CR LF",
         SoundData(),
         SoundIndex() + "Fourth\tdan",
         {"line 4, offset -: 10 bytes behind the last CR LF of the index"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Report report = CheckFiles(c.data, c.index);
        EXPECT_EQ(report.lines, c.lines);
        // The quick pass confirms the sound bases, whatever the blocks
        // split, and gives up on every faulty one.
        for (std::size_t blockSize : {1, 2, 7, 64, 4096}) {
            EXPECT_EQ(QuickPassRecords(c.data, c.index, blockSize), c.lines.empty() ? 3 : -1)
                << blockSize;
        }
    }
}

TEST(CheckBase, FindsNoFaultInLinesOutOfFileOrder) {
    const std::string index = Line(1, 0, kOffset2, kRecords[1].size()) +
                              Line(0, 1, kOffset1, kRecords[0].size()) + SoundLine(2);
    EXPECT_EQ(QuickPassRecords(SoundData(), index, 4096), -1);
    const Report report = CheckFiles(SoundData(), index);
    EXPECT_EQ(report.records, 3);
    EXPECT_EQ(report.lines, std::vector<std::string>());
}

TEST(CheckBase, CountsTheRecordsOfTheText) {
    EXPECT_EQ(CheckFiles(SoundData(), SoundIndex()).records, 3);
    EXPECT_EQ(CheckFiles("", "").records, 0);
    EXPECT_EQ(CheckFiles("\r\n", "").lines, std::vector<std::string>());
}

TEST(CheckBase, NamesWhatCannotBeChecked) {
    TempFolder folder;
    WriteWholeFile(folder.Path("FORUM1.DAT"), SoundData());
    WriteWholeFile(folder.Path("FORUM2.IDX"), SoundIndex());
    const struct {
        std::string path;
        CheckOutcome outcome;
    } cases[] = {
        {folder.Path("FORUM1.DAT"), CheckOutcome::IndexMissing},
        {folder.Path("FORUM2.DAT"), CheckOutcome::DataMissing},
        {folder.Path("FORUM2.IDX"), CheckOutcome::NotABasePath},
        {folder.Path("FORUM2.idx"), CheckOutcome::NotABasePath},
        {folder.Path("FORUM2"), CheckOutcome::NotABasePath},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckBase(PlatformFileSystem(), c.path).outcome, c.outcome) << c.path;
    }
}
