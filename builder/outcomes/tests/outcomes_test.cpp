#include "builder/outcomes/outcomes.h"

#include <gtest/gtest.h>

#include <set>

TEST(Outcomes, TextsInWindows1251) {
    struct Case {
        Outcome outcome;
        std::string bytes;
    };
    const Case cases[] = {
        {Outcome::MergeFinished,
         "\xCE\xE1\xFA\xE5\xE4\xE8\xED\xE5\xED\xE8\xE5 \xEE\xEA\xEE\xED\xF7\xE5\xED\xEE."},
        {Outcome::FileMissing, "\xCE\xF8\xE8\xE1\xEA\xE0! \xF4\xE0\xE9\xEB \xED\xE5 "
                               "\xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2"},
        {Outcome::MergeFailed, "\xCE\xF8\xE8\xE1\xEA\xE0! \xE1\xE0\xE7\xFB \xED\xE5 "
                               "\xEE\xE1\xFA\xE5\xE4\xE8\xED\xE5\xED\xFB"},
        {Outcome::BaseBuilt, "\xD4\xEE\xF0\xEC\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5 \xE1\xE0\xE7\xFB "
                             "\xE7\xE0\xEA\xEE\xED\xF7\xE5\xED\xEE"},
        {Outcome::AlreadyMerged,
         "\xDD\xF2\xE0 \xED\xEE\xE2\xE0\xFF \xE1\xE0\xE7\xE0 \xF3\xE6\xE5 \xE5\xF1\xF2\xFC "
         "\xE2 \xF1\xF2\xE0\xF0\xEE\xE9. \xC1\xE0\xE7\xFB \xED\xE5 "
         "\xEE\xE1\xFA\xE5\xE4\xE8\xED\xE5\xED\xFB."},
        {Outcome::PagesUnread,
         "\xD4\xEE\xF0\xEC\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5 \xE1\xE0\xE7\xFB "
         "\xE7\xE0\xEA\xEE\xED\xF7\xE5\xED\xEE, \xED\xEE \xED\xE5 \xE2\xF1\xE5 "
         "\xF1\xF2\xF0\xE0\xED\xE8\xF6\xFB \xEF\xF0\xEE\xF7\xE8\xF2\xE0\xED\xFB"},
        {Outcome::FolderBusy,
         "\xCF\xE0\xEF\xEA\xE0 \xE7\xE0\xED\xFF\xF2\xE0 \xE4\xF0\xF3\xE3\xEE\xE9 "
         "\xF1\xE1\xEE\xF0\xEA\xEE\xE9 \xE8\xEB\xE8 \xEE\xE1\xFA\xE5\xE4\xE8\xED\xE5\xED\xE8"
         "\xE5\xEC. \xCF\xEE\xE2\xF2\xEE\xF0\xE8\xF2\xE5 \xEF\xEE\xE7\xE6\xE5."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutcomeTextWindows1251(c.outcome), c.bytes) << OutcomeCode(c.outcome);
    }
}

// A script tells the outcomes apart by exit status: every outcome that is
// not plain success has a status of its own, except the failures that
// earlier versions already reported as 1.
TEST(Outcomes, ExitStatusesTellTheNewOutcomesApart) {
    EXPECT_EQ(OutcomeExitStatus(Outcome::BaseBuilt), 0);
    EXPECT_EQ(OutcomeExitStatus(Outcome::NothingToWrite), 0);
    EXPECT_EQ(OutcomeExitStatus(Outcome::MergeFinished), 0);
    EXPECT_EQ(OutcomeExitStatus(Outcome::BaseWriteFailed), 1);
    EXPECT_EQ(OutcomeExitStatus(Outcome::MergeFailed), 1);
    EXPECT_EQ(OutcomeExitStatus(Outcome::NoForumSelected), 2);
    EXPECT_EQ(OutcomeExitStatus(Outcome::BuildStopped), 130);
    const std::set<int> distinct = {0,
                                    1,
                                    2,
                                    130,
                                    OutcomeExitStatus(Outcome::AlreadyMerged),
                                    OutcomeExitStatus(Outcome::PagesUnread),
                                    OutcomeExitStatus(Outcome::FolderBusy)};
    EXPECT_EQ(distinct.size(), 7u);
}

TEST(Outcomes, ConvertsYoAndLeavesOtherCharactersMarked) {
    EXPECT_EQ(Utf8ToWindows1251("Ёжик ёлка"), "\xA8\xE6\xE8\xEA \xB8\xEB\xEA\xE0");
    EXPECT_EQ(Utf8ToWindows1251("a€b"), "a?b");
}
