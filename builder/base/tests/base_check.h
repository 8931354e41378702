// Checks of a forum base as tests read its two files, beside (not through)
// the code that writes them; for the native tests and the Windows end-to-end
// driver alike.
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

// The TAB-separated fields of each index line; a line ends with CR LF, and
// bytes behind the last CR LF make no line.
inline std::vector<std::vector<std::string>> IndexLines(const std::string& index) {
    std::vector<std::vector<std::string>> lines;
    for (std::size_t start = 0, end; (end = index.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        std::vector<std::string> fields;
        for (std::size_t from = start;;) {
            const std::size_t tab = index.find('\t', from);
            if (tab >= end) {
                fields.push_back(index.substr(from, end - from));
                break;
            }
            fields.push_back(index.substr(from, tab - from));
            from = tab + 1;
        }
        lines.push_back(std::move(fields));
    }
    return lines;
}

// A base as a build leaves it: each index line has its six fields and points,
// by number, offset and length, at the next record of the data file, numbered
// from 0, starting with "'MESSAGE " and ending with LF LF; the records cover
// the data file without gap or overlap, and the index ends with its last line.
inline void ExpectBaseConsistent(const std::string& data, const std::string& index) {
    ASSERT_TRUE(index.empty() || index.ends_with("\r\n")) << "the index ends inside a line";
    int64_t number = 0;
    int64_t nextOffset = 1;
    for (const std::vector<std::string>& fields : IndexLines(index)) {
        SCOPED_TRACE("index line " + std::to_string(number));
        ASSERT_EQ(fields.size(), 6u);
        ASSERT_EQ(fields[3], std::to_string(number));
        ASSERT_EQ(fields[4], std::to_string(nextOffset));
        int64_t length = -1;
        std::from_chars(fields[5].data(), fields[5].data() + fields[5].size(), length);
        // Plain decimal digits: no sign, no blank, no leading zero.
        ASSERT_EQ(fields[5], std::to_string(length));
        ASSERT_GE(length, 0);
        ASSERT_LE(nextOffset - 1 + length, static_cast<int64_t>(data.size()));
        const std::string record =
            data.substr(static_cast<std::size_t>(nextOffset - 1), static_cast<std::size_t>(length));
        EXPECT_TRUE(record.starts_with("'MESSAGE ")) << record.substr(0, 40);
        EXPECT_TRUE(record.ends_with("\n\n"));
        nextOffset += length;
        ++number;
    }
    EXPECT_EQ(nextOffset - 1, static_cast<int64_t>(data.size())) << "data behind the last record";
}
