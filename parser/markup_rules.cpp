#include "parser/markup_rules.h"

#include "parser/link_text.h"

#include <cstring>

namespace {

enum class RuleKind {
    // Every occurrence of the pattern, found left to right, becomes the
    // replacement; inserted text is not searched again.
    ReplaceAll,
    // The first span from the pattern to the end of the first `close` at or
    // after it becomes the replacement, again and again while one is left.
    Span,
    // The same, but the span becomes LinkText of its bytes before `close`.
    SpanToLinkText,
};

struct MarkupRule {
    RuleKind kind;
    std::string_view pattern;
    std::string_view close;
    std::string_view replacement;
};

// Tags are upper case when the rules see them; text between tags keeps its
// case, so only references written exactly so are decoded.
constexpr MarkupRule kMarkupRules[] = {
    {RuleKind::ReplaceAll, "<BR>", {}, "\r\n"},
    {RuleKind::ReplaceAll, "<P>", {}, "\r\n"},
    {RuleKind::ReplaceAll, "<B>", {}, ""},
    {RuleKind::ReplaceAll, "<I>", {}, ""},
    {RuleKind::ReplaceAll, "</B>", {}, ""},
    {RuleKind::ReplaceAll, "</FONT>", {}, ""},
    {RuleKind::ReplaceAll, "</PRE>", {}, "\r\n"},
    {RuleKind::ReplaceAll, "<PRE>", {}, "\r\n"},
    {RuleKind::ReplaceAll, "<CENTER>", {}, "\r\n"},
    {RuleKind::ReplaceAll, "</CENTER>", {}, "\r\n"},
    {RuleKind::ReplaceAll, "&nbsp;", {}, " "},
    {RuleKind::ReplaceAll, "&lt;", {}, "<"},
    {RuleKind::ReplaceAll, "&gt;", {}, ">"},
    {RuleKind::ReplaceAll, "<HR>", {}, "\r\n"},
    {RuleKind::ReplaceAll, "</TABLE>", {}, ""},
    {RuleKind::ReplaceAll, "<BLOCKQUOTE>", {}, ""},
    {RuleKind::ReplaceAll, "</BLOCKQUOTE>", {}, ""},
    // An image goes only when its source is its first attribute.
    {RuleKind::Span, "<IMG SRC=", ">", ""},
    {RuleKind::SpanToLinkText, "<A HREF=", "</A>", ""},
    // Row and cell tags lose their attributes; a paragraph with attributes
    // goes with everything up to the next "/P>", a form with its content.
    {RuleKind::Span, "<TR ", ">", "<TR>"},
    {RuleKind::Span, "<TD ", ">", "<TD>"},
    {RuleKind::Span, "<P ", "/P>", ""},
    {RuleKind::Span, "<FONT ", ">", ""},
    {RuleKind::Span, "<TABLE ", ">", ""},
    {RuleKind::Span, "<FORM ", "</FORM>", ""},
    // Each marker stands on a line of its own for the cell reader.
    {RuleKind::ReplaceAll, "<TD>", {}, "\r\n<TD>\r\n"},
    {RuleKind::ReplaceAll, "<TR>", {}, "\r\n<TR>\r\n"},
    {RuleKind::ReplaceAll, "</TD>", {}, "\r\n</TD>\r\n"},
    {RuleKind::ReplaceAll, "</TR>", {}, "\r\n</TR>\r\n"},
};

// Replaces every non-overlapping occurrence of `pattern`, left to right, in
// one pass; inserted text is not searched again.
void ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement) {
    std::size_t at = text.find(pattern);
    if (at == std::string::npos) {
        return;
    }
    std::string out;
    out.reserve(replacement.size() > pattern.size() ? text.size() + text.size() / 4 : text.size());
    std::size_t copied = 0;
    do {
        out.append(text, copied, at - copied);
        out.append(replacement);
        copied = at + pattern.size();
        at = text.find(pattern, copied);
    } while (at != std::string::npos);
    out.append(text, copied);
    text.swap(out);
}

// Replaces spans from `open` to the end of the first `close` at or after it,
// again and again, each time at the first `open` left in the text, until no
// `open` is left or one has no `close` after it (which ends the rule and
// keeps the rest of the text as it is).
//
// Searching the whole text again after each replacement would be quadratic.
// Nothing before a replaced span can begin a new `open` except its last
// open.size() - 1 bytes joined to what follows, so the search resumes there.
// The text is rewritten in place: the finished part grows at `written`, the
// unread part starts at `read`, and a replacement is never longer than the
// span it replaces, so the two never collide.
template <typename MakeReplacement>
void ReplaceEachSpan(std::string& text, std::string_view open, std::string_view close,
                     MakeReplacement makeReplacement) {
    char* const buffer = text.data();
    const std::string_view whole(buffer, text.size());
    std::size_t written = 0;
    std::size_t read = 0;
    std::size_t resume = 0;
    for (;;) {
        // Move the finished bytes from `resume` on back in front of the
        // unread part, so that the search runs over contiguous text.
        const std::size_t back = written - resume;
        std::memmove(buffer + read - back, buffer + resume, back);
        written = resume;
        read -= back;

        const std::size_t openAt = whole.find(open, read);
        if (openAt == std::string_view::npos) {
            break;
        }
        const std::size_t closeAt = whole.find(close, openAt);
        if (closeAt == std::string_view::npos) {
            break;
        }
        const std::string replacement = makeReplacement(whole.substr(openAt, closeAt - openAt));
        std::memmove(buffer + written, buffer + read, openAt - read);
        written += openAt - read;
        resume = written >= open.size() - 1 ? written - (open.size() - 1) : 0;
        std::memcpy(buffer + written, replacement.data(), replacement.size());
        written += replacement.size();
        read = closeAt + close.size();
    }
    std::memmove(buffer + written, buffer + read, text.size() - read);
    text.resize(written + text.size() - read);
}

void ReplaceSpans(std::string& text, std::string_view open, std::string_view close,
                  std::string_view replacement) {
    ReplaceEachSpan(text, open, close,
                    [replacement](std::string_view) { return std::string(replacement); });
}

} // namespace

std::string ConvertMarkupByRules(std::string_view table, std::string& threadLink) {
    std::string text(table);
    for (const MarkupRule& rule : kMarkupRules) {
        switch (rule.kind) {
        case RuleKind::ReplaceAll: ReplaceAll(text, rule.pattern, rule.replacement); break;
        case RuleKind::Span: ReplaceSpans(text, rule.pattern, rule.close, rule.replacement); break;
        case RuleKind::SpanToLinkText:
            ReplaceEachSpan(text, rule.pattern, rule.close, [&threadLink](std::string_view span) {
                return LinkText(span, threadLink);
            });
            break;
        }
    }
    return text;
}
