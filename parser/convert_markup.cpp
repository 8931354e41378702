// The markup conversion in one pass over the tags of a table.
//
// The rules (markup_rules.cpp) apply one after another, each to the whole
// text. Where every tag is closed ("<" ... ">" with no "<" between), a tag
// meets the rules as a whole: it matches one of them or opens a span, and
// text between tags meets only the references. So one pass can take each
// tag through all rules at once, in their order, with the effects of one
// rule on the later ones followed by hand:
// - "<B>", "<I>", "</B>" and "</FONT>" go before the references are
//   decoded, so the text on both sides of them is decoded as one run;
// - the three spans that outlive their tag are states. An anchor collects
//   what the rules before it leave of its content, for LinkText. A
//   paragraph with attributes swallows what the rules before it leave, up to
//   the first "/P>" there, which may lie in text or in an address. A form
//   swallows everything up to its "</FORM>" tag. The span of the earlier
//   rule sees a tag first: an anchor in a paragraph is converted, and its
//   address is then searched for the paragraph's end.
//
// The pass gives up where the rules would not treat a tag as a whole: a tag
// left open, a reference inside a tag, a decoded "<" that a later rule could
// read as the start of a tag, an address holding a "<", and a span that
// never closes. The rules then convert the table from the last resume
// point: the start of a tag with no span open and no text waiting, where
// what is written so far is what the rules give for the text before it,
// and the text after it converts the same without what came before.
#include "parser/convert_markup.h"

#include "parser/link_text.h"
#include "parser/markup_rules.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t npos = std::string_view::npos;

// What a tag is to the rules, by the first rule that changes it.
enum class TagKind {
    Gone,           // "<B>", "<I>", "</B>", "</FONT>": gone before decoding
    LineBreak,      // "<BR>", "<P>", "<PRE>", "</PRE>", "<CENTER>", "</CENTER>", "<HR>"
    GoneLater,      // "</TABLE>", "<BLOCKQUOTE>", "</BLOCKQUOTE>", "<IMG SRC=" ...
    AnchorStart,    // "<A HREF=" ...
    AnchorEnd,      // "</A>"
    RowStart,       // "<TR>", or "<TR " ... which becomes it
    CellStart,      // "<TD>", or "<TD " ... which becomes it
    CellEnd,        // "</TD>"
    RowEnd,         // "</TR>"
    ParagraphStart, // "<P " ...
    GoneLast,       // "<FONT " ..., "<TABLE " ...: gone after the paragraphs
    FormStart,      // "<FORM " ...
    FormEnd,        // "</FORM>"
    Other,          // stays as it is
};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::memcmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// `tag` runs from its "<" to its ">".
TagKind KindOf(std::string_view tag) {
    using enum TagKind;
    if (tag[1] == '/') {
        switch (tag.size()) {
        case 4: return tag == "</A>" ? AnchorEnd : tag == "</B>" ? Gone : Other;
        case 5: return tag == "</TD>" ? CellEnd : tag == "</TR>" ? RowEnd : Other;
        case 6: return tag == "</PRE>" ? LineBreak : Other;
        case 7: return tag == "</FONT>" ? Gone : tag == "</FORM>" ? FormEnd : Other;
        case 8: return tag == "</TABLE>" ? GoneLater : Other;
        case 9: return tag == "</CENTER>" ? LineBreak : Other;
        case 13: return tag == "</BLOCKQUOTE>" ? GoneLater : Other;
        default: return Other;
        }
    }
    switch (tag[1]) {
    case 'A': return StartsWith(tag, "<A HREF=") ? AnchorStart : Other;
    case 'B':
        return tag == "<B>"            ? Gone
               : tag == "<BR>"         ? LineBreak
               : tag == "<BLOCKQUOTE>" ? GoneLater
                                       : Other;
    case 'C': return tag == "<CENTER>" ? LineBreak : Other;
    case 'F':
        return StartsWith(tag, "<FONT ") ? GoneLast : StartsWith(tag, "<FORM ") ? FormStart : Other;
    case 'H': return tag == "<HR>" ? LineBreak : Other;
    case 'I': return tag == "<I>" ? Gone : StartsWith(tag, "<IMG SRC=") ? GoneLater : Other;
    case 'P':
        return tag == "<P>" || tag == "<PRE>" ? LineBreak
               : StartsWith(tag, "<P ")       ? ParagraphStart
                                              : Other;
    case 'T':
        return tag == "<TR>" || StartsWith(tag, "<TR ")   ? RowStart
               : tag == "<TD>" || StartsWith(tag, "<TD ") ? CellStart
               : StartsWith(tag, "<TABLE ")               ? GoneLast
                                                          : Other;
    default: return Other;
    }
}

// The references the rules decode.
struct Reference {
    std::string_view written;
    char decoded;
};
constexpr Reference kReferences[] = {{"&nbsp;", ' '}, {"&lt;", '<'}, {"&gt;", '>'}};

// The decoded reference at the start of `text`, and its length; 0 when
// none starts there.
char ReferenceAt(std::string_view text, std::size_t& length) {
    for (const Reference& reference : kReferences) {
        if (StartsWith(text, reference.written)) {
            length = reference.written.size();
            return reference.decoded;
        }
    }
    return 0;
}

// A reference cut short by the end of its text, which a tag that goes
// before decoding may join to the rest.
bool BeginsReference(std::string_view text) {
    for (const Reference& reference : kReferences) {
        if (text.size() < reference.written.size() && reference.written.starts_with(text)) {
            return true;
        }
    }
    return false;
}

// Bytes that, after a "<", begin a pattern of a rule after the references.
bool StartsLaterTag(char byte) {
    return std::string_view("ABFHIPT/").find(byte) != npos;
}

// Where converted text goes: into the page's block, never at or after
// `limit` (the table text still to be read), or, once that is too little
// room, into memory of its own. Keeps the cell index as lines end.
class Output {
  public:
    explicit Output(std::size_t expected) : own_(expected, '\0') {
        base_ = own_.data();
        room_ = own_.size();
    }
    Output(char* block, std::size_t at, std::size_t limit, std::size_t expected)
        : block_(block), at_(at), base_(block + at), room_(limit - at), expected_(expected) {}

    void SetLimit(std::size_t limit) {
        if (block_ != nullptr) {
            room_ = limit > at_ ? limit - at_ : 0;
        }
    }

    void Append(std::string_view bytes) {
        if (bytes.size() > room_ - size_) {
            MoveToOwnMemory(bytes.size());
        }
        std::memcpy(base_ + size_, bytes.data(), bytes.size());
        size_ += bytes.size();
    }

    void LineBreak() {
        IndexMarkerLine(index_, {base_ + lineStart_, size_ - lineStart_},
                        static_cast<uint32_t>(lineStart_));
        Append("\r\n");
        lineStart_ = size_;
        ++index_.lines;
        if (index_.secondLine == 0) {
            index_.secondLine = static_cast<uint32_t>(size_);
        }
        index_.linesEnd = static_cast<uint32_t>(size_);
    }

    // Bytes whose CR LF end lines (an address may take them in).
    void AppendLines(std::string_view bytes) {
        for (std::size_t cr = bytes.find('\r'); cr != npos; cr = bytes.find('\r')) {
            if (cr + 1 == bytes.size() || bytes[cr + 1] != '\n') {
                indexKnown_ = false;
                break;
            }
            Append(bytes.substr(0, cr));
            LineBreak();
            bytes.remove_prefix(cr + 2);
        }
        Append(bytes);
    }

    void Truncate(std::size_t size) { size_ = size; }
    std::size_t Size() const { return size_; }
    bool InBlock() const { return block_ != nullptr; }
    std::string_view Text() const { return {base_, size_}; }
    bool IndexKnown() const { return indexKnown_; }
    CellIndex& Index() { return index_; }

    std::string& Own() {
        own_.resize(size_);
        return own_;
    }

  private:
    void MoveToOwnMemory(std::size_t more) {
        std::string larger(std::max({expected_, 2 * (size_ + more), std::size_t{64}}), '\0');
        std::memcpy(larger.data(), base_, size_);
        own_.swap(larger);
        block_ = nullptr;
        base_ = own_.data();
        room_ = own_.size();
    }

    char* block_ = nullptr;
    std::size_t at_ = 0;
    std::string own_;
    char* base_ = nullptr;
    std::size_t room_ = 0;
    std::size_t size_ = 0;
    std::size_t expected_ = 0;
    CellIndex index_;
    std::size_t lineStart_ = 0;
    bool indexKnown_ = true;
};

class OnePass {
  public:
    // Where the rules can take over: the table text from `input` on gives
    // the rest of the result, behind the first `output` bytes.
    struct Resume {
        std::size_t input = 0;
        std::size_t output = 0;
        bool linkSet = false; // the thread link was found before it
    };

    // `tableAt` is where the table lies in the output's block, if it has
    // one.
    OnePass(std::string_view table, std::size_t tableAt, std::string& threadLink, Output& out)
        : begin_(table.data()), end_(begin_ + table.size()), tableAt_(tableAt),
          threadLink_(threadLink), out_(out) {
        resume_.linkSet = !threadLink.empty();
    }

    // Converts the table, whose "<" are at `tagStarts` counted from
    // `tagOrigin` in the block; false where the pass gave up, with the result
    // written up to the resume point.
    bool Run(std::span<const uint32_t> tagStarts, std::size_t tagOrigin) {
        // From a tag start to its place in the table.
        const std::size_t shift = tagOrigin - tableAt_;
        const char* at = begin_;
        for (std::size_t next = 0; next < tagStarts.size(); ++next) {
            const char* const tag = begin_ + (tagStarts[next] + shift);
            if (tag > at) {
                Text({at, static_cast<std::size_t>(tag - at)}, true);
            }
            const char* const stop =
                next + 1 < tagStarts.size() ? begin_ + (tagStarts[next + 1] + shift) : end_;
            const char* const close = Find(tag + 1, stop, '>');
            if (failed_ || close == nullptr) {
                return false;
            }
            const std::string_view whole(tag, close + 1 - tag);
            if (NextAmpersand(tag) < close && HoldsReference(whole)) {
                return false;
            }
            Tag(whole, tag - begin_);
            if (failed_) {
                return false;
            }
            at = close + 1;
        }
        if (at < end_) {
            Text({at, static_cast<std::size_t>(end_ - at)}, true);
        }
        EndRun();
        return !failed_ && !anchorOpen_ && !paragraphOpen_ && !formOpen_;
    }

    const Resume& resume() const { return resume_; }

  private:
    static const char* Find(const char* from, const char* end, char byte) {
        return static_cast<const char*>(std::memchr(from, byte, end - from));
    }

    // The first "&" of the table at or after `from`, or its end. Found once
    // for every "&", not once for every tag and text.
    const char* NextAmpersand(const char* from) {
        if (ampersand_ == nullptr || ampersand_ < from) {
            ampersand_ = Find(from, end_, '&');
            if (ampersand_ == nullptr) {
                ampersand_ = end_;
            }
        }
        return ampersand_;
    }

    bool HoldsReference(std::string_view tag) const {
        for (std::size_t at = tag.find('&'); at != npos; at = tag.find('&', at + 1)) {
            std::size_t length = 0;
            if (ReferenceAt(tag.substr(at), length) != 0) {
                return true;
            }
        }
        return false;
    }

    // A tag at `at` in the table, through the rules in their order.
    void Tag(std::string_view tag, std::size_t at) {
        const TagKind kind = KindOf(tag);
        if (kind == TagKind::Gone) {
            return;
        }
        EndRun();
        if (failed_) {
            return;
        }
        if (!anchorOpen_ && !paragraphOpen_ && !formOpen_) {
            resume_ = {at, out_.Size(), !threadLink_.empty()};
            out_.SetLimit(tableAt_ + at);
        }
        switch (kind) {
        case TagKind::Gone:
        case TagKind::GoneLater: return;
        case TagKind::LineBreak: LineBreak(); return;
        case TagKind::AnchorStart:
            if (!anchorOpen_) {
                anchorOpen_ = true;
                anchor_.clear();
            }
            anchor_.append(tag);
            return;
        case TagKind::AnchorEnd:
            if (anchorOpen_) {
                anchorOpen_ = false;
                const std::string address = LinkText(anchor_, threadLink_);
                failed_ = address.find('<') != npos;
                if (!failed_) {
                    PastAnchor(address, true);
                }
                return;
            }
            break;
        default: break;
        }
        if (anchorOpen_) {
            anchor_.append(tag);
            return;
        }
        // Past the anchors, row and cell tags lose their attributes.
        switch (kind) {
        case TagKind::RowStart: Marker("<TR>"); return;
        case TagKind::CellStart: Marker("<TD>"); return;
        case TagKind::CellEnd: Marker("</TD>"); return;
        case TagKind::RowEnd: Marker("</TR>"); return;
        default: break;
        }
        if (paragraphOpen_ || kind == TagKind::ParagraphStart) {
            // The paragraph's end may be the end of this very tag.
            if (!paragraphOpen_) {
                paragraphOpen_ = true;
                paragraphEndMatched_ = 0;
            }
            paragraphOpen_ = ParagraphEnd(tag) == npos;
            return;
        }
        switch (kind) {
        case TagKind::GoneLast: return;
        case TagKind::FormStart: formOpen_ = true; return;
        case TagKind::FormEnd:
            if (formOpen_) {
                formOpen_ = false;
                return;
            }
            break;
        default: break;
        }
        if (!formOpen_) {
            out_.Append(tag);
        }
    }

    void Marker(std::string_view marker) {
        if (paragraphOpen_) {
            paragraphEndMatched_ = 0;
        } else if (!formOpen_) {
            out_.LineBreak();
            out_.Append(marker);
            out_.LineBreak();
        }
    }

    void LineBreak() {
        if (anchorOpen_) {
            anchor_.append("\r\n");
        } else if (paragraphOpen_) {
            paragraphEndMatched_ = 0;
        } else if (!formOpen_) {
            out_.LineBreak();
        }
    }

    // Text between tags (of the table, or joined from pieces of it), with
    // its references decoded. A reference cut by a tag that goes before
    // decoding waits in `carry_` for the rest of it.
    void Text(std::string_view text, bool inTable) {
        if (!carry_.empty()) {
            joined_ = carry_ + std::string(text);
            carry_.clear();
            text = joined_;
            inTable = false;
        }
        if (lessThanLast_) {
            lessThanLast_ = false;
            failed_ = StartsLaterTag(text[0]);
        }
        for (std::size_t from = 0; !failed_;) {
            const std::size_t at = inTable ? AmpersandIn(text, from) : text.find('&', from);
            Decoded(text.substr(from, at - from));
            if (at == npos) {
                return;
            }
            std::size_t length = 1;
            char decoded = ReferenceAt(text.substr(at), length);
            if (decoded == 0) {
                if (BeginsReference(text.substr(at))) {
                    carry_.assign(text.substr(at));
                    return;
                }
                decoded = '&';
            }
            if (decoded == '<') {
                // The byte after it must not let a later rule read a tag.
                if (at + length == text.size()) {
                    lessThanLast_ = true;
                } else {
                    failed_ = StartsLaterTag(text[at + length]);
                }
            }
            Decoded({&decoded, 1});
            from = at + length;
        }
    }

    std::size_t AmpersandIn(std::string_view text, std::size_t from) {
        const char* const found = NextAmpersand(text.data() + from);
        return found < text.data() + text.size() ? found - text.data() : npos;
    }

    // A tag that stays past the decoding ends the text run.
    void EndRun() {
        if (!carry_.empty()) {
            const std::string literal = std::move(carry_);
            carry_.clear();
            Decoded(literal);
        }
        if (lessThanLast_) {
            failed_ = true;
        }
    }

    void Decoded(std::string_view text) {
        if (text.empty()) {
            return;
        }
        if (anchorOpen_) {
            anchor_.append(text);
        } else {
            PastAnchor(text, false);
        }
    }

    void PastAnchor(std::string_view text, bool mayHoldLines) {
        if (paragraphOpen_) {
            const std::size_t end = ParagraphEnd(text);
            if (end == npos) {
                return;
            }
            paragraphOpen_ = false;
            text.remove_prefix(end);
        }
        if (formOpen_) {
            return;
        }
        if (mayHoldLines) {
            out_.AppendLines(text);
        } else {
            out_.Append(text);
        }
    }

    // Feeds bytes to the search for "/P>"; returns where it ends in them.
    std::size_t ParagraphEnd(std::string_view bytes) {
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            const char byte = bytes[at];
            if (byte == '>' && paragraphEndMatched_ == 2) {
                paragraphEndMatched_ = 0;
                return at + 1;
            }
            paragraphEndMatched_ = byte == '/'                                ? 1
                                   : byte == 'P' && paragraphEndMatched_ == 1 ? 2
                                                                              : 0;
        }
        return npos;
    }

    const char* const begin_;
    const char* const end_;
    const char* ampersand_ = nullptr;
    std::size_t tableAt_;
    std::string& threadLink_;
    Output& out_;
    Resume resume_;
    bool failed_ = false;

    std::string carry_;
    std::string joined_;
    bool lessThanLast_ = false; // the run so far ends in a decoded "<"

    bool anchorOpen_ = false;
    std::string anchor_;
    bool paragraphOpen_ = false;
    int paragraphEndMatched_ = 0; // bytes of "/P>" seen
    bool formOpen_ = false;
};

// One pass as far as it goes, then the rules from its resume point; true
// when one pass did it all.
bool Convert(std::string_view table, std::size_t tableAt, std::span<const uint32_t> tagStarts,
             std::size_t tagOrigin, std::string& threadLink, Output& out) {
    OnePass pass(table, tableAt, threadLink, out);
    if (pass.Run(tagStarts, tagOrigin)) {
        return true;
    }
    const OnePass::Resume& resume = pass.resume();
    if (!resume.linkSet) {
        threadLink.clear();
    }
    const std::string rest = ConvertMarkupByRules(table.substr(resume.input), threadLink);
    out.Truncate(resume.output);
    out.SetLimit(tableAt + table.size());
    out.Append(rest);
    return false;
}

std::size_t ExpectedSize(std::string_view table) {
    return table.size() + table.size() / 4 + 16;
}

} // namespace

std::string ConvertMarkup(std::string_view table, std::string& threadLink) {
    std::vector<uint32_t> tagStarts;
    for (std::size_t at = table.find('<'); at != npos; at = table.find('<', at + 1)) {
        tagStarts.push_back(static_cast<uint32_t>(at));
    }
    Output out(ExpectedSize(table));
    Convert(table, 0, tagStarts, 0, threadLink, out);
    return std::move(out.Own());
}

ConvertedText ConvertMarkupInBlock(char* block, std::size_t at, std::string_view table,
                                   std::span<const uint32_t> tagStarts, std::size_t tagOrigin,
                                   std::string& threadLink) {
    const std::size_t tableAt = table.data() - block;
    Output out(block, at, tableAt, ExpectedSize(table));
    const bool onePass = Convert(table, tableAt, tagStarts, tagOrigin, threadLink, out);
    ConvertedText converted;
    converted.inBlock = out.InBlock();
    converted.cells = onePass && out.IndexKnown() ? std::move(out.Index()) : IndexCells(out.Text());
    if (converted.inBlock) {
        converted.begin = at;
        converted.end = at + out.Size();
    } else {
        converted.own = std::move(out.Own());
    }
    return converted;
}
