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
#include "parser/convert_markup.h"

#include "parser/link_text.h"

#include <cstring>
#include <vector>

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::memcmp(text.data(), prefix.data(), prefix.size()) == 0;
}

bool IsOneOf(std::string_view tag, std::initializer_list<std::string_view> tags) {
    for (std::string_view candidate : tags) {
        if (tag == candidate) {
            return true;
        }
    }
    return false;
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

class WellFormedConverter {
  public:
    WellFormedConverter(std::string_view table, const std::string& threadLink)
        : table_(table), threadLink_(threadLink) {
        out_.reserve(table.size() + table.size() / 4 + 16);
    }

    std::optional<std::string> Run(std::string& threadLink) {
        const char* const data = table_.data();
        const std::size_t size = table_.size();
        std::size_t at = 0;
        while (at < size && !failed_) {
            if (data[at] == '<') {
                const void* close = std::memchr(data + at + 1, '>', size - at - 1);
                if (close == nullptr) {
                    return std::nullopt;
                }
                const std::size_t end = static_cast<const char*>(close) - data;
                const std::string_view tag = table_.substr(at, end - at + 1);
                if (std::memchr(data + at + 1, '<', end - at - 1) != nullptr || HasReference(tag)) {
                    return std::nullopt;
                }
                Tag(tag);
                at = end + 1;
            } else {
                const void* open = std::memchr(data + at, '<', size - at);
                const std::size_t end =
                    open == nullptr ? size : static_cast<const char*>(open) - data;
                pendingText_.push_back(table_.substr(at, end - at));
                at = end;
            }
        }
        FlushText();
        if (failed_ || inAnchor_ || inParagraph_ || inForm_) {
            return std::nullopt;
        }
        threadLink = threadLink_;
        return std::move(out_);
    }

  private:
    // Tag rules and references. Removed emphasis tags join the text around
    // them before references are decoded, so text is collected until a tag
    // that stays or breaks the line.
    void Tag(std::string_view tag) {
        if (IsOneOf(tag, {"<B>", "<I>", "</B>", "</FONT>"})) {
            return;
        }
        FlushText();
        if (IsOneOf(tag, {"<BR>", "<P>", "</PRE>", "<PRE>", "<CENTER>", "</CENTER>", "<HR>"})) {
            ImagesText("\r\n");
        } else if (!IsOneOf(tag, {"</TABLE>", "<BLOCKQUOTE>", "</BLOCKQUOTE>"})) {
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
        for (std::size_t at = 0; at < text.size();) {
            const std::string_view rest = text.substr(at);
            if (StartsWith(rest, "&nbsp;")) {
                decodedText_ += ' ';
                at += 6;
            } else if (StartsWith(rest, "&lt;")) {
                // A decoded "<" is plain text only while no later rule can
                // start at it: it needs a following byte (kept in place, as
                // text bytes are) that no later rule's pattern has after
                // its "<".
                at += 4;
                if (at == text.size() ||
                    std::string_view("/ABFHIPT").find(text[at]) != std::string_view::npos) {
                    failed_ = true;
                    return;
                }
                decodedText_ += '<';
            } else if (StartsWith(rest, "&gt;")) {
                decodedText_ += '>';
                at += 4;
            } else {
                decodedText_ += text[at];
                ++at;
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
            if (tag == "</A>") {
                inAnchor_ = false;
                const std::string address = LinkText(anchor_, threadLink_);
                if (address.find('<') != std::string::npos) {
                    failed_ = true;
                    return;
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
            inForm_ = tag != "</FORM>";
        } else if (StartsWith(tag, "<FORM ")) {
            inForm_ = true;
        } else {
            MarkersTag(tag);
        }
    }
    void FormsText(std::string_view text) {
        if (!inForm_) {
            out_.append(text);
        }
    }

    // Row and cell markers stand on lines of their own.
    void MarkersTag(std::string_view tag) {
        if (IsOneOf(tag, {"<TD>", "<TR>", "</TD>", "</TR>"})) {
            out_.append("\r\n");
            out_.append(tag);
            out_.append("\r\n");
        } else {
            out_.append(tag);
        }
    }

    std::string_view table_;
    std::string threadLink_;
    std::string out_;
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

} // namespace

std::optional<std::string> ConvertWellFormedMarkup(std::string_view table,
                                                   std::string& threadLink) {
    WellFormedConverter converter(table, threadLink);
    return converter.Run(threadLink);
}
