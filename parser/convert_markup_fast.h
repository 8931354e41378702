// The conversion rules applied in one pass over the tags of a table, for a
// rule table known when compiled. Everything the pass knows about the rules
// it works out from the table; a table it cannot follow fails to compile.
//
// Applied one after another, the rules cost a pass over the whole table
// each. In markup whose tags are closed ("<" ... ">" with no "<" between),
// a rule whose pattern is a whole tag matches whole tags only, a span opens
// at the start of a tag, and a rule without tag brackets (a reference)
// matches text between tags only. So each piece of the table, tag or text,
// can be taken through all rules at once, in rule order, as through a chain
// of stages, one stage a rule: a stage replaces a tag it matches and hands
// the replacement, cut into tags and text, to the next stage; a span that
// runs past its tag holds back what reaches its stage until its close.
//
// The references are decoded in one stage for all of them, over the text as
// the rules before them leave it: removed tags join the text around them,
// while a tag that stays, or becomes bytes no reference holds, splits it.
// Three things could still make the result differ from the rules applied
// one by one, and the pass gives up on them (the caller then converts rule
// by rule): a tag that is not closed or holds a reference, a decoded "<"
// that a later rule could read as the start of a tag, and an address from
// LinkText that holds a "<".
//
// Where the pass gives up, what it wrote up to its last resume point stays:
// a point between two tags where nothing is pending and no span is open. Up
// to there its result is what the rules give for the text before the point,
// and the rules give for the text after it the same whether or not the text
// before is there, so the rest is converted rule by rule from that point on.
//
// The result can be written into the page's own block, over the table text
// that the pass has read: a resume point is set after every write, and a
// write never reaches the first byte still to be read, so the text from the
// last resume point on is always intact.
#pragma once

#include "parser/cell_reader.h"
#include "parser/link_text.h"
#include "parser/markup_rules.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace one_pass {

constexpr std::size_t npos = std::string_view::npos;

// Comparisons with the rules' patterns, whose lengths are known when
// compiled: they come down to a few integer compares for every tag.
inline bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::memcmp(text.data(), prefix.data(), prefix.size()) == 0;
}

inline bool Is(std::string_view text, std::string_view literal) {
    return text.size() == literal.size() &&
           std::memcmp(text.data(), literal.data(), literal.size()) == 0;
}

// The longest close of a span.
constexpr std::size_t kMaxClose = 16;

// What a rule is to the pass, from the shape of its pattern and close.
enum class Stage {
    TagRule,     // replaces one whole tag
    TextRule,    // replaces text without tag brackets: a reference
    SpanInTag,   // a span that a tag opens and its own ">" closes
    SpanToTag,   // a span closed by a whole tag
    SpanToBytes, // a span closed by bytes that end in text or at a tag's ">"
    Unsupported,
};

constexpr bool HasBracket(std::string_view text) {
    return text.find_first_of("<>") != npos;
}

constexpr bool IsWholeTag(std::string_view text) {
    return text.size() >= 2 && text.front() == '<' && text.back() == '>' &&
           !HasBracket(text.substr(1, text.size() - 2));
}

constexpr Stage StageOf(const MarkupRule& rule) {
    if (rule.kind == RuleKind::ReplaceAll) {
        if (IsWholeTag(rule.pattern)) {
            return Stage::TagRule;
        }
        return rule.pattern.empty() || HasBracket(rule.pattern) ? Stage::Unsupported
                                                                : Stage::TextRule;
    }
    const bool opensAtATag =
        !rule.pattern.empty() && rule.pattern.front() == '<' && !HasBracket(rule.pattern.substr(1));
    // A close with one ">", its last byte, ends at a tag's end or in text.
    const bool endsAtABracket =
        !rule.close.empty() && rule.close.find('>') == rule.close.size() - 1;
    if (!opensAtATag || !endsAtABracket || rule.close.size() > kMaxClose) {
        return Stage::Unsupported;
    }
    if (rule.close == ">") {
        return Stage::SpanInTag;
    }
    return IsWholeTag(rule.close) ? Stage::SpanToTag : Stage::SpanToBytes;
}

constexpr bool IsSpan(Stage stage) {
    return stage == Stage::SpanInTag || stage == Stage::SpanToTag || stage == Stage::SpanToBytes;
}

// A replacement as the pieces the next stage takes: whole tags, and text
// without "<" between them.
struct Piece {
    std::string_view bytes;
    bool tag = false;
};

constexpr std::size_t kMaxPieces = 8;

struct Pieces {
    std::array<Piece, kMaxPieces> items{};
    std::size_t count = 0;
    bool wellFormed = true;
};

constexpr Pieces SplitPieces(std::string_view replacement) {
    Pieces pieces;
    for (std::size_t at = 0; at < replacement.size();) {
        const bool tag = replacement[at] == '<';
        std::size_t end = tag ? replacement.find('>', at) : replacement.find('<', at);
        if (tag) {
            if (end == npos || HasBracket(replacement.substr(at + 1, end - at - 1))) {
                pieces.wellFormed = false;
                return pieces;
            }
            ++end;
        } else if (end == npos) {
            end = replacement.size();
        }
        if (pieces.count == kMaxPieces) {
            pieces.wellFormed = false;
            return pieces;
        }
        pieces.items[pieces.count++] = {replacement.substr(at, end - at), tag};
        at = end;
    }
    return pieces;
}

// Where the CR LF of a replacement are; every CR in one begins a CR LF.
constexpr std::size_t CountBreaks(std::string_view bytes) {
    std::size_t count = 0;
    for (char byte : bytes) {
        count += byte == '\r';
    }
    return count;
}

template <std::size_t N> constexpr std::array<std::size_t, N> BreaksOf(std::string_view bytes) {
    std::array<std::size_t, N> breaks{};
    std::size_t count = 0;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] == '\r') {
            breaks[count++] = at;
        }
    }
    return breaks;
}

// How the search for the close of a span falls back after a partial match:
// the length of the longest proper prefix of close[0..i] that also ends it.

constexpr std::array<uint8_t, kMaxClose> CloseFallbacks(std::string_view close) {
    std::array<uint8_t, kMaxClose> fallbacks{};
    std::size_t matched = 0;
    for (std::size_t i = 1; i < close.size() && i < kMaxClose; ++i) {
        while (matched > 0 && close[i] != close[matched]) {
            matched = fallbacks[matched - 1];
        }
        if (close[i] == close[matched]) {
            ++matched;
        }
        fallbacks[i] = static_cast<uint8_t>(matched);
    }
    return fallbacks;
}

// The facts about a whole rule table that the pass relies on.
template <std::size_t N> struct RuleFacts {
    std::size_t firstText = N; // the references stand together from here
    std::size_t afterText = N;
    char lead = 0; // the byte every reference begins with
    bool decodesLessThan = false;
    // Bytes that, behind a decoded "<", make a later rule's tag start.
    std::array<bool, 256> startsTag{};
    bool shapesKnown = true;
    bool textRulesTogether = true;
    bool textRulesLeadAlike = true;
    bool textReplacementsInert = true;
    bool onePieceBeforeText = true;
    bool replacementsSplit = true;
    bool spansCloseOnce = true;
    bool replacedTagsOpenNoSpan = true;
};

constexpr bool Contains(std::string_view text, char byte) {
    return text.find(byte) != npos;
}

template <std::size_t N> constexpr RuleFacts<N> FactsOf(std::span<const MarkupRule, N> rules) {
    RuleFacts<N> facts;
    for (std::size_t r = 0; r < N; ++r) {
        const Stage stage = StageOf(rules[r]);
        facts.shapesKnown &= stage != Stage::Unsupported;
        if (stage != Stage::TextRule) {
            continue;
        }
        if (facts.firstText == N) {
            facts.firstText = r;
            facts.lead = rules[r].pattern.front();
        } else if (facts.afterText != r) {
            facts.textRulesTogether = false;
        }
        facts.afterText = r + 1;
    }
    // No span before the references: their stage sees every piece of text.
    // A tag reaches it as one piece at most, so the tag's start is a resume
    // point when it does.
    for (std::size_t r = 0; r < facts.firstText && r < N; ++r) {
        facts.textRulesTogether &= !IsSpan(StageOf(rules[r]));
        facts.onePieceBeforeText &= SplitPieces(rules[r].replacement).count <= 1;
    }

    for (std::size_t r = facts.firstText; r < facts.afterText; ++r) {
        const std::string_view pattern = rules[r].pattern;
        // Two references cannot overlap: only their first byte is the lead.
        facts.textRulesLeadAlike &=
            pattern.front() == facts.lead && !Contains(pattern.substr(1), facts.lead);
        facts.decodesLessThan |= Contains(rules[r].replacement, '<');
    }
    const auto inTextPattern = [&](char byte) {
        for (std::size_t r = facts.firstText; r < facts.afterText; ++r) {
            if (Contains(rules[r].pattern, byte)) {
                return true;
            }
        }
        return false;
    };
    // Decoding in one pass equals decoding rule by rule when no decoded
    // text can take part in a reference; no line ends come from it.
    for (std::size_t r = facts.firstText; r < facts.afterText; ++r) {
        for (char byte : rules[r].replacement) {
            facts.textReplacementsInert &= !inTextPattern(byte) && byte != '\r';
        }
    }

    for (std::size_t r = 0; r < N; ++r) {
        const MarkupRule& rule = rules[r];
        const Stage stage = StageOf(rule);
        if (stage == Stage::TextRule) {
            continue;
        }
        const Pieces pieces = SplitPieces(rule.replacement);
        facts.replacementsSplit &=
            rule.kind == RuleKind::SpanToLinkText ? rule.replacement.empty() : pieces.wellFormed;
        for (std::size_t i = 0; i < pieces.count; ++i) {
            const Piece& piece = pieces.items[i];
            // Each CR starts a CR LF of its own piece, so the pass sees
            // every line end where it writes it; tags hold neither.
            for (std::size_t at = piece.bytes.find('\r'); at != npos;
                 at = piece.bytes.find('\r', at + 1)) {
                facts.replacementsSplit &=
                    at + 1 < piece.bytes.size() && piece.bytes[at + 1] == '\n';
            }
            if (piece.tag) {
                facts.replacementsSplit &= !Contains(piece.bytes, '\r') &&
                                           !Contains(piece.bytes, '\n') &&
                                           !Contains(piece.bytes, facts.lead);
                // A replaced tag never opens a span: the pass would have
                // written the pieces before it where the rules restart.
                for (std::size_t later = r + 1; later < N; ++later) {
                    facts.replacedTagsOpenNoSpan &=
                        !(IsSpan(StageOf(rules[later])) &&
                          piece.bytes.starts_with(rules[later].pattern));
                }
            }
        }
        if (IsSpan(stage)) {
            facts.spansCloseOnce &= rule.replacement.find(rule.pattern) == npos &&
                                    !rule.close.starts_with(rule.pattern);
        }
    }

    // A decoded "<" with one of these bytes behind it, or with nothing
    // behind it in its text, may begin what a later rule matches.
    bool anyByte = false;
    for (std::size_t r = facts.afterText; r < N; ++r) {
        for (const std::string_view bytes : {rules[r].pattern, rules[r].close}) {
            for (std::size_t at = 0; at < bytes.size(); ++at) {
                if (bytes[at] != '<') {
                    continue;
                }
                if (at + 1 == bytes.size()) {
                    anyByte = true;
                } else {
                    facts.startsTag[static_cast<unsigned char>(bytes[at + 1])] = true;
                }
            }
        }
    }
    if (anyByte) {
        facts.startsTag.fill(true);
    }
    return facts;
}

// Where converted text goes: into a string, or into the page's block behind
// the text still to be read. A write into the block never reaches `limit`,
// the first byte the conversion has yet to read; a write that would moves
// the text written so far into a string, where the rest follows.
//
// It also keeps the cell index of what it holds, a line at a time as each
// ends: page text holds no CR, so the line ends are those it is handed as
// such, in the rules' replacements and in anchors' addresses.
class Output {
  public:
    explicit Output(std::size_t expected) : expected_(expected) { own_.reserve(expected); }
    Output(char* at, std::size_t expected)
        : begin_(at), next_(at), limit_(at), inBlock_(true), expected_(expected) {}

    void SetLimit(const char* limit) { limit_ = limit; }

    // Bytes without line ends.
    [[gnu::always_inline]] void Append(std::string_view bytes) {
        if (inBlock_ && limit_ - next_ >= static_cast<std::ptrdiff_t>(bytes.size())) {
            std::memmove(next_, bytes.data(), bytes.size());
            next_ += bytes.size();
        } else {
            AppendOwn(bytes);
        }
    }

    [[gnu::always_inline]] void AppendLineBreak() {
        const std::size_t end = Size();
        if (inBlock_ && limit_ - next_ >= 2) {
            std::memcpy(next_, "\r\n", 2);
            next_ += 2;
        } else {
            AppendOwn("\r\n");
        }
        LineEndsAt(end);
    }

    // Bytes known when compiled, with a CR LF at each of `breaks`.
    template <std::size_t N>
    [[gnu::always_inline]] void AppendLines(std::string_view bytes,
                                            const std::array<std::size_t, N>& breaks) {
        const std::size_t start = Size();
        Append(bytes);
        for (std::size_t at : breaks) {
            LineEndsAt(start + at);
        }
    }

    // Bytes in which a CR LF ends a line. A CR that begins none leaves the
    // index to a walk over the result: the next bytes might complete it.
    void AppendLines(std::string_view bytes) {
        std::size_t from = 0;
        for (std::size_t at = bytes.find('\r'); at != npos; at = bytes.find('\r', at + 1)) {
            if (at + 1 == bytes.size() || bytes[at + 1] != '\n') {
                indexKnown_ = false;
                continue;
            }
            Append(bytes.substr(from, at - from));
            AppendLineBreak();
            from = at + 2;
        }
        Append(bytes.substr(from));
    }

    bool IndexKnown() const { return indexKnown_; }
    CellIndex& Index() { return index_; }

    std::size_t Size() const { return inBlock_ ? next_ - begin_ : own_.size(); }

    void Truncate(std::size_t size) {
        if (inBlock_) {
            next_ = begin_ + size;
        } else {
            own_.resize(size);
        }
    }

    bool InBlock() const { return inBlock_; }
    std::string& Own() { return own_; }

  private:
    void AppendOwn(std::string_view bytes) {
        if (inBlock_) {
            own_.reserve(std::max(expected_, 2 * Size()));
            own_.assign(begin_, next_);
            inBlock_ = false;
        }
        own_.append(bytes);
    }

    // The line from the last line start to `end` ends with a CR LF there.
    [[gnu::always_inline]] void LineEndsAt(std::size_t end) {
        const char* const text = inBlock_ ? begin_ : own_.data();
        IndexMarkerLine(index_, std::string_view(text + lineStart_, end - lineStart_),
                        static_cast<uint32_t>(lineStart_));
        lineStart_ = end + 2;
        ++index_.lines;
        if (index_.secondLine == 0) {
            index_.secondLine = static_cast<uint32_t>(lineStart_);
        }
        index_.linesEnd = static_cast<uint32_t>(lineStart_);
    }

    char* begin_ = nullptr;
    char* next_ = nullptr;
    const char* limit_ = nullptr;
    bool inBlock_ = false;
    std::size_t expected_;
    std::string own_;
    CellIndex index_;
    std::size_t lineStart_ = 0;
    bool indexKnown_ = true;
};

// Converts one table by the rules `kRules`, as far as one pass can.
template <const auto& kRules> class Converter {
    static constexpr std::size_t kCount = std::size(kRules);
    static constexpr auto kFacts = FactsOf(std::span<const MarkupRule, kCount>(kRules));
    static_assert(kFacts.shapesKnown,
                  "a rule's pattern or close has a shape the pass cannot match");
    static_assert(kFacts.firstText < kCount,
                  "the pass decodes references, and the rules have none");
    static_assert(kFacts.textRulesTogether, "the references must follow each other, after no span");
    static_assert(kFacts.textRulesLeadAlike,
                  "every reference must begin with one byte that no reference holds elsewhere");
    static_assert(kFacts.textReplacementsInert,
                  "a decoded reference must hold no byte of a reference, and no CR");
    static_assert(kFacts.onePieceBeforeText,
                  "a rule before the references must replace a tag with one piece at most");
    static_assert(kFacts.replacementsSplit,
                  "a replacement must cut into text and closed tags, each CR in a CR LF");
    static_assert(kFacts.spansCloseOnce,
                  "a span's replacement must not hold its opening, nor its close begin with it");
    static_assert(kFacts.replacedTagsOpenNoSpan, "a tag in a replacement must not open a span");

    static constexpr std::size_t kFirstText = kFacts.firstText;
    static constexpr std::size_t kAfterText = kFacts.afterText;

    template <std::size_t R> static constexpr Stage kStage = StageOf(kRules[R]);
    template <std::size_t R> static constexpr Pieces kPieces = SplitPieces(kRules[R].replacement);
    template <std::size_t R>
    static constexpr std::array<uint8_t, kMaxClose> kFallbacks = CloseFallbacks(kRules[R].close);
    template <std::size_t R>
    static constexpr auto
        kBreaks = BreaksOf<CountBreaks(kRules[R].replacement)>(kRules[R].replacement);

    // The replacement of rule R goes to the output whole when no later
    // stage can hold or change any of it.
    template <std::size_t R>
    static constexpr bool kReachesOutputAsIs = [] {
        if (R < kAfterText) {
            return false;
        }
        for (std::size_t later = R + 1; later < kCount; ++later) {
            if (StageOf(kRules[later]) != Stage::TagRule) {
                return false;
            }
            for (std::size_t i = 0; i < kPieces<R>.count; ++i) {
                if (kPieces<R>.items[i].bytes == kRules[later].pattern) {
                    return false;
                }
            }
        }
        return true;
    }();

    // What is known, when compiled, of text handed to a stage.
    static constexpr unsigned kPageText = 0;
    static constexpr unsigned kLineEnds = 1;   // may hold CR LF
    static constexpr unsigned kSplitsRuns = 2; // holds no byte of a reference
    static constexpr unsigned kLineBreak = 4;  // is CR LF

  public:
    // Where the rules can take over: the table text from `input` on gives
    // the rest of the result, behind the first `output` bytes.
    struct ResumePoint {
        std::size_t input = 0;
        std::size_t output = 0;
        bool linkSet = false; // the thread link was found before it
    };

    Converter(std::string_view table, const std::string& threadLink, Output& out)
        : table_(table), threadLink_(threadLink), out_(out) {
        resume_.linkSet = !threadLink.empty();
    }

    // Converts the table; false when it meets markup that one pass cannot
    // convert, with the result written up to the last resume point.
    bool Run() {
        const char* const data = table_.data();
        const std::size_t size = table_.size();
        std::size_t at = 0;
        while (at < size) {
            if (data[at] == '<') {
                // The tag runs to the first ">"; a "<" before it leaves it open.
                std::size_t end = at + 1;
                bool lead = false;
                for (; end < size && data[end] != '>'; ++end) {
                    if (data[end] == '<') {
                        return false;
                    }
                    lead |= data[end] == kFacts.lead;
                }
                if (end == size) {
                    return false;
                }
                const std::string_view tag = table_.substr(at, end - at + 1);
                if (lead && HoldsReference(tag)) {
                    return false;
                }
                tagStart_ = at;
                tagEnd_ = end + 1;
                out_.SetLimit(data + at);
                Tag<0>(tag);
                if (failed_) {
                    return false;
                }
                at = end + 1;
                MarkIfResumable(at);
            } else {
                const void* open = std::memchr(data + at, '<', size - at);
                const std::size_t end =
                    open == nullptr ? size : static_cast<const char*>(open) - data;
                Text<0, kPageText>(table_.substr(at, end - at));
                at = end;
            }
        }
        out_.SetLimit(data + size);
        FlushRun();
        return !failed_ && openSpans_ == 0;
    }

    const std::string& threadLink() const { return threadLink_; }
    const ResumePoint& resumePoint() const { return resume_; }

  private:
    void MarkIfResumable(std::size_t at) {
        if (pending_.empty() && openSpans_ == 0) {
            resume_ = {at, out_.Size(), !threadLink_.empty()};
        }
    }

    // A reference inside a tag would be decoded there, which the pass does
    // not do.
    bool HoldsReference(std::string_view tag) const {
        for (std::size_t at = tag.find(kFacts.lead); at != npos;
             at = tag.find(kFacts.lead, at + 1)) {
            if (ReferenceAt<kFirstText>(tag.substr(at))) {
                return true;
            }
        }
        return false;
    }

    template <std::size_t R> static bool ReferenceAt(std::string_view text) {
        if constexpr (R == kAfterText) {
            return false;
        } else {
            return StartsWith(text, kRules[R].pattern) || ReferenceAt<R + 1>(text);
        }
    }

    static constexpr bool HoldsNoReferenceByte(std::string_view bytes) {
        for (char byte : bytes) {
            for (std::size_t r = kFirstText; r < kAfterText; ++r) {
                if (Contains(kRules[r].pattern, byte)) {
                    return false;
                }
            }
        }
        return true;
    }

    // A tag at the stage of rule R.
    template <std::size_t R> [[gnu::always_inline]] void Tag(std::string_view tag) {
        if constexpr (R == kCount) {
            out_.Append(tag);
        } else if constexpr (R == kFirstText) {
            // The tag ends the text that the references are decoded in.
            FlushRunBeforeTag();
            if (!failed_) {
                Tag<kAfterText>(tag);
            }
        } else {
            constexpr MarkupRule rule = kRules[R];
            if constexpr (kStage<R> == Stage::TagRule) {
                if (Is(tag, rule.pattern)) {
                    Emit<R>();
                    return;
                }
            } else if constexpr (kStage<R> == Stage::SpanInTag) {
                if (StartsWith(tag, rule.pattern)) {
                    Replace<R>(tag.substr(0, tag.size() - 1));
                    return;
                }
            } else if constexpr (kStage<R> == Stage::SpanToTag) {
                if (open_[R]) {
                    if (Is(tag, rule.close)) {
                        Close<R>();
                    } else {
                        Hold<R>(tag);
                    }
                    return;
                }
                if (StartsWith(tag, rule.pattern)) {
                    Open<R>();
                    Hold<R>(tag);
                    return;
                }
            } else if constexpr (kStage<R> == Stage::SpanToBytes) {
                if (open_[R] || StartsWith(tag, rule.pattern)) {
                    if (!open_[R]) {
                        Open<R>();
                    }
                    // The close ends with the tag's only ">" if it ends here.
                    const std::size_t end = SearchClose<R>(tag);
                    Hold<R>(tag.substr(0, end));
                    if (end != npos) {
                        Close<R>();
                    }
                    return;
                }
            }
            Tag<R + 1>(tag);
        }
    }

    // Text at the stage of rule R; `kKnown` says what is known of it.
    template <std::size_t R, unsigned kKnown>
    [[gnu::always_inline]] void Text(std::string_view text) {
        if constexpr (R == kCount) {
            if constexpr ((kKnown & kLineBreak) != 0) {
                out_.AppendLineBreak();
            } else if constexpr ((kKnown & kLineEnds) != 0) {
                out_.AppendLines(text);
            } else {
                out_.Append(text);
            }
        } else if constexpr (R == kFirstText) {
            if constexpr ((kKnown & kSplitsRuns) != 0) {
                FlushRunBeforeTag();
                if (!failed_) {
                    Text<kAfterText, kKnown>(text);
                }
            } else {
                pending_.push_back(text);
                pendingLineEnds_ |= (kKnown & kLineEnds) != 0;
            }
        } else {
            if constexpr (kStage<R> == Stage::SpanToTag) {
                if (open_[R]) {
                    Hold<R>(text);
                    return;
                }
            } else if constexpr (kStage<R> == Stage::SpanToBytes) {
                if (open_[R]) {
                    const std::size_t end = SearchClose<R>(text);
                    Hold<R>(text.substr(0, end));
                    if (end == npos) {
                        return;
                    }
                    Close<R>();
                    if (!failed_ && end < text.size()) {
                        Text<R + 1, kKnown & ~kLineBreak>(text.substr(end));
                    }
                    return;
                }
            }
            Text<R + 1, kKnown>(text);
        }
    }

    // The replacement of rule R, piece by piece, to the next stage.
    template <std::size_t R> [[gnu::always_inline]] void Emit() {
        if constexpr (kReachesOutputAsIs<R>) {
            out_.AppendLines(kRules[R].replacement, kBreaks<R>);
        } else {
            [this]<std::size_t... I>(std::index_sequence<I...>) {
                ((failed_ ? void() : EmitPiece<R, I>()), ...);
            }
            (std::make_index_sequence<kPieces<R>.count>{});
        }
    }

    template <std::size_t R, std::size_t I> [[gnu::always_inline]] void EmitPiece() {
        constexpr Piece piece = kPieces<R>.items[I];
        if constexpr (piece.tag) {
            Tag<R + 1>(piece.bytes);
        } else {
            constexpr unsigned known = (piece.bytes.find('\r') != npos ? kLineEnds : 0) |
                                       (piece.bytes == "\r\n" ? kLineBreak : 0) |
                                       (HoldsNoReferenceByte(piece.bytes) ? kSplitsRuns : 0);
            Text<R + 1, known>(piece.bytes);
        }
    }

    // Span R, whose bytes before its close are `span`, is replaced.
    template <std::size_t R> void Replace(std::string_view span) {
        if constexpr (kRules[R].kind == RuleKind::SpanToLinkText) {
            // The address may take in line breaks of the anchor's text.
            const std::string address = LinkText(span, threadLink_);
            if (address.find('<') != npos) {
                failed_ = true;
                return;
            }
            Text<R + 1, kLineEnds>(address);
        } else {
            (void)span;
            Emit<R>();
        }
    }

    template <std::size_t R> void Open() {
        open_[R] = true;
        ++openSpans_;
        held_[R].clear();
        closeMatched_[R] = 0;
    }

    template <std::size_t R> void Hold(std::string_view bytes) {
        if constexpr (kRules[R].kind == RuleKind::SpanToLinkText) {
            held_[R].append(bytes);
        } else {
            (void)bytes;
        }
    }

    template <std::size_t R> void Close() {
        open_[R] = false;
        --openSpans_;
        std::string_view span = held_[R];
        if constexpr (kStage<R> == Stage::SpanToBytes) {
            span.remove_suffix(std::min(span.size(), kRules[R].close.size()));
        }
        Replace<R>(span);
    }

    // Feeds bytes to the search for the close of span R, which goes on
    // across tags and text; returns where the close ends in them, or npos.
    template <std::size_t R> std::size_t SearchClose(std::string_view bytes) {
        constexpr std::string_view close = kRules[R].close;
        std::size_t& matched = closeMatched_[R];
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            if (matched == 0) {
                const void* first = std::memchr(bytes.data() + at, close[0], bytes.size() - at);
                if (first == nullptr) {
                    return npos;
                }
                at = static_cast<const char*>(first) - bytes.data();
            }
            while (matched > 0 && bytes[at] != close[matched]) {
                matched = kFallbacks<R>[matched - 1];
            }
            if (bytes[at] == close[matched] && ++matched == close.size()) {
                matched = 0;
                return at + 1;
            }
        }
        return npos;
    }

    // The text collected since the last tag that stayed, with its
    // references decoded, to the stage after them. Before a tag, the tag's
    // start is a resume point once the text is written.
    [[gnu::always_inline]] void FlushRunBeforeTag() {
        if (!pending_.empty()) {
            FlushRun();
        }
        if (failed_) {
            return;
        }
        if (openSpans_ == 0) {
            resume_ = {tagStart_, out_.Size(), !threadLink_.empty()};
        }
        out_.SetLimit(table_.data() + tagEnd_);
    }

    void FlushRun() {
        if (pending_.empty()) {
            return;
        }
        std::string_view run = pending_.front();
        if (pending_.size() > 1) {
            joined_.clear();
            for (std::string_view piece : pending_) {
                joined_.append(piece);
            }
            run = joined_;
        }
        pending_.clear();
        const bool lineEnds = pendingLineEnds_;
        pendingLineEnds_ = false;
        if (std::memchr(run.data(), kFacts.lead, run.size()) != nullptr) {
            Decode(run);
            if (failed_) {
                return;
            }
            run = decoded_;
        }
        if (lineEnds) {
            Text<kAfterText, kLineEnds>(run);
        } else {
            Text<kAfterText, kPageText>(run);
        }
    }

    void Decode(std::string_view text) {
        decoded_.clear();
        // References start at the lead byte: the text between two is
        // copied whole.
        for (std::size_t at = 0;;) {
            const std::size_t lead = text.find(kFacts.lead, at);
            decoded_.append(text.substr(at, lead - at));
            if (lead == npos) {
                break;
            }
            at = lead + DecodeAt<kFirstText>(text.substr(lead));
        }
        if constexpr (kFacts.decodesLessThan) {
            // A decoded "<" is plain text only while no later rule can start
            // at it: it needs a following byte (kept in place, as text bytes
            // are) that no later rule's pattern has after its "<".
            for (std::size_t at = decoded_.find('<'); at != npos; at = decoded_.find('<', at + 1)) {
                if (at + 1 == decoded_.size() ||
                    kFacts.startsTag[static_cast<unsigned char>(decoded_[at + 1])]) {
                    failed_ = true;
                    return;
                }
            }
        }
    }

    // Decodes the reference at the start of `text`, if any; returns the
    // bytes it takes.
    template <std::size_t R> std::size_t DecodeAt(std::string_view text) {
        if constexpr (R == kAfterText) {
            decoded_ += kFacts.lead;
            return 1;
        } else {
            if (StartsWith(text, kRules[R].pattern)) {
                decoded_.append(kRules[R].replacement);
                return kRules[R].pattern.size();
            }
            return DecodeAt<R + 1>(text);
        }
    }

    std::string_view table_;
    std::string threadLink_;
    Output& out_;
    ResumePoint resume_;
    bool failed_ = false;
    std::size_t tagStart_ = 0;
    std::size_t tagEnd_ = 0;

    std::vector<std::string_view> pending_;
    bool pendingLineEnds_ = false;
    std::string joined_;
    std::string decoded_;

    std::array<bool, kCount> open_{};
    int openSpans_ = 0;
    std::array<std::string, kCount> held_;
    std::array<std::size_t, kCount> closeMatched_{};
};

// One pass as far as it goes, then the rules from its last resume point;
// true when one pass did it all.
template <const auto& kRules>
bool Convert(std::string_view table, std::string& threadLink, Output& out) {
    Converter<kRules> converter(table, threadLink, out);
    if (converter.Run()) {
        threadLink = converter.threadLink();
        return true;
    }
    const auto& resume = converter.resumePoint();
    if (resume.linkSet) {
        threadLink = converter.threadLink();
    }
    out.Truncate(resume.output);
    out.SetLimit(table.data() + table.size());
    out.Append(ApplyMarkupRules(kRules, table.substr(resume.input), threadLink));
    return false;
}

} // namespace one_pass
