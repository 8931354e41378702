#include "builder/base/post_dates.h"

#include <gtest/gtest.h>

TEST(PostDates, StartDateKeyIsYearMonthDayWithZeros) {
    EXPECT_EQ(StartDateKey(2005, 12, 5), "20051205");
    EXPECT_EQ(StartDateKey(987, 1, 31), "09870131");
}

TEST(PostDates, PostDateKeyReadsTheForumsDateText) {
    const struct {
        const char* dateText;
        const char* key;
    } cases[] = {
        {"December 05, 2005 10:41 AM", "20051205"},
        {"dec 05, 2005", "20051205"},
        {"DEC 05, 2005", "20051205"},
        {"Jan 10, 2006 04:30 PM", "20060110"},
        {"Foo 10, 2006", "2006n010"},         // no month: "n0" sorts after every month
        {"Dec 5, 2005 07:05 PM", "20051205"}, // one-digit day keeps its year
        {"Dec 5", "125"},                     // too short for a year
        {"Dec 5,", "1205"},                   // one-digit day, nothing behind it
        {"Dec 5x", "1205"},
        {"Dec 5, 20", "201205"}, // the year as far as it goes
        {"December", "12"},      // no blank: no day, no year
        {"", "01"},              // "-" alone is found at the table's start
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PostDateKey(c.dateText), c.key) << c.dateText;
    }
}

TEST(PostDates, CheckPostDateAcceptsTheStartDateAndLater) {
    const std::string start = StartDateKey(2005, 12, 5);
    const struct {
        const char* dateText;
        int accepted;
    } cases[] = {
        {"December 05, 2005 10:41 AM", 1},
        {"Dec 04, 2005", 0},
        {"Jan 10, 2006", 1},
        {"Dec 5, 2005", 1},
        {"Dec 4, 2005", 0},
        {"Dec 5,", 0},
        {"Xyz 01, 2005", 1}, // "n0" month in the start year
        {"Xyz 01, 2004", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckPostDate(c.dateText, start), c.accepted) << c.dateText;
    }
}
