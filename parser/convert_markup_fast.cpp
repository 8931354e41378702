// The conversion rules applied in one pass over the tags of a table.
//
// Applied one after another, the rules cost a pass over the whole table
// each. In markup whose tags are closed ("<" ... ">" with no "<" between),
// every tag rule matches whole tags only, so each tag can be taken through
// all rules at once, in rule order, as a chain of stages: tag rules and
// references, images, anchors, row and cell tags, paragraphs, fonts and
// tables, forms, markers. Three things could still make the result differ
// from the rules applied one by one, and the pass gives up on them (the
// caller then converts rule by rule): a tag that is not closed or holds a
// reference the rules would decode, a decoded
// "<" that a later rule could read as the start of a tag, and an anchor
// whose replacement contains a "<". Everything else that one rule's result
// could form with its neighbours is handled in the stage that would see it:
// references are decoded over the text that removed emphasis tags join, and
// the end of a paragraph is searched byte by byte in the text as it is when
// paragraphs are removed.
//
// Where the pass gives up, what it wrote up to its last resume point stays:
// a point between two tags where nothing is pending and no anchor,
// paragraph or form is open. Up to there its result is what the rules give
// for the text before the point, and the rules give for the text after it
// the same whether or not the text before is there, so the rest is
// converted rule by rule from that point on.
//
// The result can be written into the page's own block, over the table text
// that the pass has read: a resume point is set after every write, and a
// write never reaches the first byte still to be read, so the text from the
// last resume point on is always intact.
#include "parser/convert_markup.h"

#include "parser/link_text.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

// Comparisons with literals, whose lengths are known when compiled: they
// come down to a few integer compares, for every tag of the page.
template <std::size_t N> bool StartsWith(std::string_view text, const char (&prefix)[N]) {
    return text.size() >= N - 1 && std::memcmp(text.data(), prefix, N - 1) == 0;
}

template <std::size_t N> bool Is(std::string_view tag, const char (&literal)[N]) {
    return tag.size() == N - 1 && std::memcmp(tag.data(), literal, N - 1) == 0;
}

template <std::size_t... N> bool IsOneOf(std::string_view tag, const char (&... literals)[N]) {
    return (Is(tag, literals) || ...);
}

// Tags of a page are upper case, so a reference the rules decode can stand
// in one only when the converter is handed other text.
bool HasReference(std::string_view tag) {
    for (std::size_t at = tag.find('&'); at != std::string_view::npos; at = tag.find('&', at + 1)) {
        const std::string_view rest = tag.substr(at);
        if (StartsWith(rest, "&nbsp;") || StartsWith(rest, "&lt;") || StartsWith(rest, "&gt;")) {
            return true;
        }
    }
    return false;
}

// Where converted text goes: into a string, or into the page's block behind
// the text still to be read. A write into the block never reaches `limit`,
// the first byte the conversion has yet to read; a write that would moves
// the text written so far into a string, where the rest follows.
//
// It also keeps the cell index of what it holds, as the one pass writes
// line breaks and markers: page text holds no CR, so those are all the
// line ends there are, unless an anchor's address takes one in.
class Output {
  public:
    explicit Output(std::size_t expected) : expected_(expected) { own_.reserve(expected); }
    Output(char* at, std::size_t expected)
        : begin_(at), next_(at), limit_(at), inBlock_(true), expected_(expected) {}

    void SetLimit(const char* limit) { limit_ = limit; }

    void Append(std::string_view bytes) {
        if (bytes.empty()) {
            return;
        }
        if (inBlock_) {
            if (limit_ - next_ >= static_cast<std::ptrdiff_t>(bytes.size())) {
                std::memmove(next_, bytes.data(), bytes.size());
                next_ += bytes.size();
                return;
            }
            own_.reserve(std::max(expected_, 2 * Size()));
            own_.assign(begin_, next_);
            inBlock_ = false;
        }
        own_.append(bytes);
    }

    void AppendLineBreak() {
        Append("\r\n");
        LineEnded(Size());
    }

    // `marker` is the marker line with the line ends around it; `lines`
    // the index's list of such lines, if it keeps one.
    void AppendMarker(std::vector<uint32_t> CellIndex::*lines, std::string_view marker) {
        const std::size_t start = Size();
        Append(marker);
        LineEnded(start + 2);
        if (lines != nullptr) {
            (index_.*lines).push_back(static_cast<uint32_t>(start + 2));
        }
        LineEnded(Size());
    }

    // Text with line ends of its own was written.
    void ForgetIndex() { indexKnown_ = false; }
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
    void LineEnded(std::size_t next) {
        ++index_.lines;
        if (index_.secondLine == 0) {
            index_.secondLine = static_cast<uint32_t>(next);
        }
        index_.linesEnd = static_cast<uint32_t>(next);
    }

    char* begin_ = nullptr;
    char* next_ = nullptr;
    const char* limit_ = nullptr;
    bool inBlock_ = false;
    std::size_t expected_;
    std::string own_;
    CellIndex index_;
    bool indexKnown_ = true;
};

class WellFormedConverter {
  public:
    // Where the rules can take over: the table text from `input` on gives
    // the rest of the result, behind the first `output` bytes.
    struct ResumePoint {
        std::size_t input = 0;
        std::size_t output = 0;
        bool linkSet = false; // the thread link was found before it
    };

    WellFormedConverter(std::string_view table, const std::string& threadLink, Output& out)
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
                bool ampersand = false;
                for (; end < size && data[end] != '>'; ++end) {
                    if (data[end] == '<') {
                        return false;
                    }
                    ampersand |= data[end] == '&';
                }
                if (end == size) {
                    return false;
                }
                const std::string_view tag = table_.substr(at, end - at + 1);
                if (ampersand && HasReference(tag)) {
                    return false;
                }
                Tag(tag);
                if (failed_) {
                    return false;
                }
                at = end + 1;
                MarkIfResumable(at);
            } else {
                const void* open = std::memchr(data + at, '<', size - at);
                const std::size_t end =
                    open == nullptr ? size : static_cast<const char*>(open) - data;
                pendingText_.push_back(table_.substr(at, end - at));
                at = end;
            }
        }
        out_.SetLimit(data + size);
        FlushText();
        return !failed_ && !inAnchor_ && !inParagraph_ && !inForm_;
    }

    const std::string& threadLink() const { return threadLink_; }
    const ResumePoint& resumePoint() const { return resume_; }

  private:
    void MarkIfResumable(std::size_t at) {
        if (pendingText_.empty() && !inAnchor_ && !inParagraph_ && !inForm_) {
            resume_ = {at, out_.Size(), !threadLink_.empty()};
        }
    }

    // Tag rules and references. Removed emphasis tags join the text around
    // them before references are decoded, so text is collected until a tag
    // that stays or breaks the line.
    void Tag(std::string_view tag) {
        if (IsOneOf(tag, "<B>", "<I>", "</B>", "</FONT>")) {
            return;
        }
        out_.SetLimit(tag.data());
        FlushText();
        if (failed_) {
            return;
        }
        MarkIfResumable(tag.data() - table_.data());
        out_.SetLimit(tag.data() + tag.size());
        if (IsOneOf(tag, "<BR>", "<P>", "</PRE>", "<PRE>", "<CENTER>", "</CENTER>", "<HR>")) {
            ImagesText("\r\n");
        } else if (!IsOneOf(tag, "</TABLE>", "<BLOCKQUOTE>", "</BLOCKQUOTE>")) {
            ImagesTag(tag);
        }
    }

    void FlushText() {
        if (pendingText_.empty()) {
            return;
        }
        if (pendingText_.size() == 1) {
            DecodeReferences(pendingText_.front());
        } else {
            joinedText_.clear();
            for (std::string_view piece : pendingText_) {
                joinedText_.append(piece);
            }
            DecodeReferences(joinedText_);
        }
        pendingText_.clear();
    }

    void DecodeReferences(std::string_view text) {
        if (std::memchr(text.data(), '&', text.size()) == nullptr) {
            ImagesText(text);
            return;
        }
        decodedText_.clear();
        // References start at "&": the text between two is copied whole.
        for (std::size_t at = 0;;) {
            const std::size_t ampersand = text.find('&', at);
            decodedText_.append(text.substr(at, ampersand - at));
            if (ampersand == std::string_view::npos) {
                break;
            }
            const std::string_view rest = text.substr(ampersand);
            if (StartsWith(rest, "&nbsp;")) {
                decodedText_ += ' ';
                at = ampersand + 6;
            } else if (StartsWith(rest, "&lt;")) {
                // A decoded "<" is plain text only while no later rule can
                // start at it: it needs a following byte (kept in place, as
                // text bytes are) that no later rule's pattern has after
                // its "<".
                at = ampersand + 4;
                if (at == text.size() ||
                    std::string_view("/ABFHIPT").find(text[at]) != std::string_view::npos) {
                    failed_ = true;
                    return;
                }
                decodedText_ += '<';
            } else if (StartsWith(rest, "&gt;")) {
                decodedText_ += '>';
                at = ampersand + 4;
            } else {
                decodedText_ += '&';
                at = ampersand + 1;
            }
        }
        ImagesText(decodedText_);
    }

    // Images whose first attribute is the source go.
    void ImagesTag(std::string_view tag) {
        if (!StartsWith(tag, "<IMG SRC=")) {
            AnchorsTag(tag);
        }
    }
    void ImagesText(std::string_view text) { AnchorsText(text); }

    // An anchor, up to its "</A>", becomes its address.
    void AnchorsTag(std::string_view tag) {
        if (inAnchor_) {
            if (Is(tag, "</A>")) {
                inAnchor_ = false;
                const std::string address = LinkText(anchor_, threadLink_);
                if (address.find('<') != std::string::npos) {
                    failed_ = true;
                    return;
                }
                if (address.find('\r') != std::string::npos) {
                    out_.ForgetIndex();
                }
                RowsAndCellsText(address);
            } else {
                anchor_.append(tag);
            }
        } else if (StartsWith(tag, "<A HREF=")) {
            inAnchor_ = true;
            anchor_.assign(tag);
        } else {
            RowsAndCellsTag(tag);
        }
    }
    void AnchorsText(std::string_view text) {
        if (inAnchor_) {
            anchor_.append(text);
        } else {
            RowsAndCellsText(text);
        }
    }

    // Row and cell tags lose their attributes.
    void RowsAndCellsTag(std::string_view tag) {
        if (StartsWith(tag, "<TR ")) {
            ParagraphsTag("<TR>");
        } else if (StartsWith(tag, "<TD ")) {
            ParagraphsTag("<TD>");
        } else {
            ParagraphsTag(tag);
        }
    }
    void RowsAndCellsText(std::string_view text) { ParagraphsText(text); }

    // A paragraph with attributes goes with everything up to the next "/P>",
    // wherever that stands: in a tag, in text, or across both.
    void ParagraphsTag(std::string_view tag) {
        if (!inParagraph_) {
            if (!StartsWith(tag, "<P ")) {
                FontsTag(tag);
                return;
            }
            inParagraph_ = true;
            paragraphEndMatched_ = 0;
        }
        // A tag's only ">" is its last byte, so nothing of it is left over.
        SkipToParagraphEnd(tag);
    }
    void ParagraphsText(std::string_view text) {
        if (inParagraph_) {
            text = text.substr(SkipToParagraphEnd(text));
        }
        if (!text.empty()) {
            FontsText(text);
        }
    }

    // Feeds bytes to the search for "/P>"; returns how many bytes belong to
    // the paragraph (all of them while it goes on).
    std::size_t SkipToParagraphEnd(std::string_view bytes) {
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            const char byte = bytes[at];
            if (paragraphEndMatched_ == 2 && byte == '>') {
                inParagraph_ = false;
                return at + 1;
            }
            if (byte == '/') {
                paragraphEndMatched_ = 1;
            } else if (paragraphEndMatched_ == 1 && byte == 'P') {
                paragraphEndMatched_ = 2;
            } else {
                paragraphEndMatched_ = 0;
            }
        }
        return bytes.size();
    }

    // Font and table tags with attributes go.
    void FontsTag(std::string_view tag) {
        if (!StartsWith(tag, "<FONT ") && !StartsWith(tag, "<TABLE ")) {
            FormsTag(tag);
        }
    }
    void FontsText(std::string_view text) { FormsText(text); }

    // A form goes with its content.
    void FormsTag(std::string_view tag) {
        if (inForm_) {
            inForm_ = !Is(tag, "</FORM>");
        } else if (StartsWith(tag, "<FORM ")) {
            inForm_ = true;
        } else {
            MarkersTag(tag);
        }
    }
    void FormsText(std::string_view text) {
        if (inForm_) {
            return;
        }
        // Page text holds no CR: a CR LF here is a line break.
        if (Is(text, "\r\n")) {
            out_.AppendLineBreak();
        } else {
            out_.Append(text);
        }
    }

    // Row and cell markers stand on lines of their own. Each is written
    // from a constant in one piece: the tag itself may lie where the line
    // break before it goes.
    void MarkersTag(std::string_view tag) {
        if (Is(tag, "<TD>")) {
            out_.AppendMarker(&CellIndex::cellLines, "\r\n<TD>\r\n");
        } else if (Is(tag, "<TR>")) {
            out_.AppendMarker(&CellIndex::rowLines, "\r\n<TR>\r\n");
        } else if (Is(tag, "</TD>")) {
            out_.AppendMarker(&CellIndex::cellEndLines, "\r\n</TD>\r\n");
        } else if (Is(tag, "</TR>")) {
            out_.AppendMarker(nullptr, "\r\n</TR>\r\n");
        } else {
            out_.Append(tag);
        }
    }

    std::string_view table_;
    std::string threadLink_;
    Output& out_;
    ResumePoint resume_;
    bool failed_ = false;

    std::vector<std::string_view> pendingText_;
    std::string joinedText_;
    std::string decodedText_;

    bool inAnchor_ = false;
    std::string anchor_;

    bool inParagraph_ = false;
    int paragraphEndMatched_ = 0;

    bool inForm_ = false;
};

std::size_t ExpectedSize(std::string_view table) {
    return table.size() + table.size() / 4 + 16;
}

// One pass as far as it goes, then the rules from its last resume point;
// true when one pass did it all.
bool Convert(std::string_view table, std::string& threadLink, Output& out) {
    WellFormedConverter converter(table, threadLink, out);
    if (converter.Run()) {
        threadLink = converter.threadLink();
        return true;
    }
    const WellFormedConverter::ResumePoint& resume = converter.resumePoint();
    if (resume.linkSet) {
        threadLink = converter.threadLink();
    }
    out.Truncate(resume.output);
    out.SetLimit(table.data() + table.size());
    out.Append(ConvertMarkupByRules(table.substr(resume.input), threadLink));
    return false;
}

} // namespace

std::string ConvertMarkup(std::string_view table, std::string& threadLink) {
    Output out(ExpectedSize(table));
    Convert(table, threadLink, out);
    return std::move(out.Own());
}

ConvertedText ConvertMarkupInBlock(char* block, std::size_t at, std::string_view table,
                                   std::string& threadLink) {
    Output out(block + at, ExpectedSize(table));
    const bool onePass = Convert(table, threadLink, out);
    ConvertedText converted;
    if (out.InBlock()) {
        converted.begin = at;
        converted.end = at + out.Size();
    } else {
        converted.inBlock = false;
        converted.own = std::move(out.Own());
    }
    if (onePass && out.IndexKnown()) {
        converted.cells = std::move(out.Index());
    } else {
        converted.cells = IndexCells(converted.inBlock ? std::string_view(block + at, out.Size())
                                                       : std::string_view(converted.own));
    }
    return converted;
}

std::optional<std::string> ConvertWellFormedMarkup(std::string_view table,
                                                   std::string& threadLink) {
    Output out(ExpectedSize(table));
    WellFormedConverter converter(table, threadLink, out);
    if (!converter.Run()) {
        return std::nullopt;
    }
    threadLink = converter.threadLink();
    return std::move(out.Own());
}
