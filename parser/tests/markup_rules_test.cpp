// The one-pass conversion follows whatever rule table it is given: tables
// changed the ways the program's might be changed convert the same in one
// pass (into a string or over their own text) as rule by rule.
#include "parser/cell_reader.h"
#include "parser/convert_markup_fast.h"
#include "parser/markup_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kRuleCount = std::size(kMarkupRules);

constexpr std::size_t IndexOf(std::string_view pattern) {
    for (std::size_t r = 0; r < kRuleCount; ++r) {
        if (kMarkupRules[r].pattern == pattern) {
            return r;
        }
    }
    return kRuleCount;
}

// The program's rules with `added` put in front of rule `at`.
template <std::size_t M>
constexpr std::array<MarkupRule, kRuleCount + M> With(std::size_t at,
                                                      std::array<MarkupRule, M> added) {
    std::array<MarkupRule, kRuleCount + M> rules{};
    for (std::size_t r = 0, out = 0; r <= kRuleCount; ++r) {
        if (r == at) {
            for (const MarkupRule& rule : added) {
                rules[out++] = rule;
            }
        }
        if (r < kRuleCount) {
            rules[out++] = kMarkupRules[r];
        }
    }
    return rules;
}

// The program's rules without rule `at`, or with it moved in front of `to`.
constexpr std::array<MarkupRule, kRuleCount - 1> Without(std::size_t at) {
    std::array<MarkupRule, kRuleCount - 1> rules{};
    for (std::size_t r = 0, out = 0; r < kRuleCount; ++r) {
        if (r != at) {
            rules[out++] = kMarkupRules[r];
        }
    }
    return rules;
}

constexpr std::array<MarkupRule, kRuleCount> Moved(std::size_t at, std::size_t to) {
    std::array<MarkupRule, kRuleCount> rules{};
    const auto rest = Without(at);
    for (std::size_t r = 0, out = 0; r < rest.size(); ++r) {
        if (r == to) {
            rules[out++] = kMarkupRules[at];
        }
        rules[out++] = rest[r];
    }
    return rules;
}

// Removed tags before the references join the text around them; a tag
// that becomes a blank splits it.
constexpr auto kUnderlineGoes =
    With<2>(IndexOf("<B>"),
            {{{RuleKind::ReplaceAll, "<U>", {}, ""}, {RuleKind::ReplaceAll, "</U>", {}, " "}}});
constexpr auto kQuotesDecoded =
    With<1>(IndexOf("&gt;") + 1, {{{RuleKind::ReplaceAll, "&quot;", {}, "\""}}});
constexpr auto kRulerFirst = Moved(IndexOf("<HR>"), 0);
constexpr auto kGreaterThanStays = Without(IndexOf("&gt;"));
// A span closed by a tag, one closed by bytes whose start repeats in them,
// and spans whose bytes become their address.
constexpr auto kScriptsGo =
    With<1>(IndexOf("<TR "), {{{RuleKind::Span, "<SCRIPT ", "</SCRIPT>", ""}}});
constexpr auto kCommentsGo =
    With<1>(IndexOf("<IMG SRC="), {{{RuleKind::Span, "<!-- ", "-->", ""}}});
constexpr auto kFramesAndAreasAreLinks =
    With<2>(IndexOf("<TR "), {{{RuleKind::SpanToLinkText, "<FRAME SRC=", ">", ""},
                               {RuleKind::SpanToLinkText, "<AREA HREF=", "/AREA>", ""}}});
// A replacement whose tag a later rule turns into a marker.
constexpr auto kListItemsAreCells =
    With<1>(IndexOf("<TD>"), {{{RuleKind::ReplaceAll, "<LI>", {}, "<TD>* "}}});

// Tags and text that the rules react to, taken from the rules themselves,
// and text around them.
std::vector<std::string> Vocabulary(std::span<const MarkupRule> rules) {
    std::vector<std::string> pieces = {"word", " ", "\"",          "&",   ">",    "\n", "&lt;b",
                                       "/",    "-", "http://x/y ", "<X>", "</X>", "<"};
    for (const MarkupRule& rule : rules) {
        pieces.emplace_back(rule.pattern);
        if (rule.kind == RuleKind::ReplaceAll) {
            continue;
        }
        pieces.push_back(std::string(rule.pattern) + "\"HTTP://H/A B\">");
        pieces.push_back(std::string(rule.pattern) + "HTTP://H/?&THREAD=HTTP://W/1.HTML&>");
        pieces.push_back(std::string(rule.pattern) + "X>");
        // A close, one begun and not finished, one that begins again inside
        // itself, and one inside a tag.
        pieces.emplace_back(rule.close);
        pieces.emplace_back(rule.close.substr(0, rule.close.size() - 1));
        pieces.push_back(rule.close.front() + std::string(rule.close));
        pieces.push_back("<Y " + std::string(rule.close));
    }
    return pieces;
}

void ExpectSameIndex(const CellIndex& actual, const CellIndex& expected) {
    EXPECT_EQ(actual.rowLines, expected.rowLines);
    EXPECT_EQ(actual.cellLines, expected.cellLines);
    EXPECT_EQ(actual.cellEndLines, expected.cellEndLines);
    EXPECT_EQ(actual.secondLine, expected.secondLine);
    EXPECT_EQ(actual.linesEnd, expected.linesEnd);
    EXPECT_EQ(actual.lines, expected.lines);
}

template <const auto& kRules> void ExpectOnePassFollows(unsigned seed) {
    const std::vector<std::string> vocabulary = Vocabulary(kRules);
    std::mt19937 random(seed);
    int onePass = 0;
    constexpr int kRounds = 1500;
    for (int round = 0; round < kRounds; ++round) {
        std::string table;
        for (std::size_t piece = random() % 24; piece > 0; --piece) {
            table += vocabulary[random() % vocabulary.size()];
        }
        std::string expectedLink;
        const std::string expected = ApplyMarkupRules(kRules, table, expectedLink);

        std::string link;
        one_pass::Output out(2 * table.size() + 16);
        const bool whole = one_pass::Convert<kRules>(table, link, out);
        ASSERT_EQ(out.Own(), expected) << table;
        ASSERT_EQ(link, expectedLink) << table;
        if (whole && out.IndexKnown()) {
            ++onePass;
            ExpectSameIndex(out.Index(), IndexCells(expected));
        }

        // Over its own text, as a page's tables are converted.
        std::string block = table;
        std::string blockLink;
        one_pass::Output inBlock(block.data(), 2 * table.size() + 16);
        one_pass::Convert<kRules>(block, blockLink, inBlock);
        ASSERT_EQ(inBlock.InBlock() ? block.substr(0, inBlock.Size()) : inBlock.Own(), expected)
            << table;
    }
    // Many such tables close their tags and spans: one pass converts them.
    EXPECT_GT(onePass, kRounds / 8);
}

TEST(MarkupRules, OnePassFollowsTheProgramsRules) {
    ExpectOnePassFollows<kMarkupRules>(1);
}

TEST(MarkupRules, OnePassFollowsChangedReferencesAndTagRules) {
    ExpectOnePassFollows<kUnderlineGoes>(2);
    ExpectOnePassFollows<kQuotesDecoded>(3);
    ExpectOnePassFollows<kRulerFirst>(4);
    ExpectOnePassFollows<kGreaterThanStays>(5);
    ExpectOnePassFollows<kListItemsAreCells>(6);
}

TEST(MarkupRules, OnePassFollowsNewSpans) {
    ExpectOnePassFollows<kScriptsGo>(7);
    ExpectOnePassFollows<kCommentsGo>(8);
    ExpectOnePassFollows<kFramesAndAreasAreLinks>(9);
}

} // namespace
