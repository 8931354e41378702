#include "builder/outcomes/outcomes.h"

#include <gtest/gtest.h>

TEST(Outcomes, MergeTextsInWindows1251) {
    struct Case {
        int code;
        std::string bytes;
    };
    const Case cases[] = {
        {kMergeFinished,
         "\xCE\xE1\xFA\xE5\xE4\xE8\xED\xE5\xED\xE8\xE5 \xEE\xEA\xEE\xED\xF7\xE5\xED\xEE."},
        {kFileMissing, "\xCE\xF8\xE8\xE1\xEA\xE0! \xF4\xE0\xE9\xEB \xED\xE5 "
                       "\xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2"},
        {kMergeFailed, "\xCE\xF8\xE8\xE1\xEA\xE0! \xE1\xE0\xE7\xFB \xED\xE5 "
                       "\xEE\xE1\xFA\xE5\xE4\xE8\xED\xE5\xED\xFB"},
        {kBaseBuilt, "\xD4\xEE\xF0\xEC\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5 \xE1\xE0\xE7\xFB "
                     "\xE7\xE0\xEA\xEE\xED\xF7\xE5\xED\xEE"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutcomeTextWindows1251(c.code), c.bytes) << c.code;
    }
}

TEST(Outcomes, CodesOutsideTheTableHaveNoText) {
    for (int code : {-1, 0, 9, 18, 100}) {
        EXPECT_EQ(OutcomeText(code), nullptr) << code;
        EXPECT_EQ(OutcomeTextWindows1251(code), "") << code;
    }
    for (int code = kBaseBuilt; code <= kMergeFailed; ++code) {
        EXPECT_NE(OutcomeText(code), nullptr) << code;
    }
}

TEST(Outcomes, ConvertsYoAndLeavesOtherCharactersMarked) {
    EXPECT_EQ(Utf8ToWindows1251("Ёжик ёлка"), "\xA8\xE6\xE8\xEA \xB8\xEB\xEA\xE0");
    EXPECT_EQ(Utf8ToWindows1251("a€b"), "a?b");
}
