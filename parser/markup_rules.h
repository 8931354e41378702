// The rules that turn a table's markup into text lines, in the order they
// apply, each to the result of the one before. Both conversions take them
// from here: the one that applies them one after another, and the one pass
// over the tags, which works out at compile time what it needs to know.
#pragma once

#include <span>
#include <string>
#include <string_view>

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
inline constexpr MarkupRule kMarkupRules[] = {
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

// `rules` applied one after another, each in one pass over the whole text.
// A span whose close does not follow it ends its rule and stays as it is.
std::string ApplyMarkupRules(std::span<const MarkupRule> rules, std::string_view table,
                             std::string& threadLink);
