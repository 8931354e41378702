#include "parser/link_text.h"

namespace {

char AsciiLower(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// First position at or after `from` where `pattern` (lower case) occurs in
// `text` with ASCII letters compared without case; npos when none.
std::size_t FindIgnoringCase(std::string_view text, std::string_view pattern,
                             std::size_t from = 0) {
    if (pattern.size() > text.size()) {
        return std::string_view::npos;
    }
    for (std::size_t at = from; at + pattern.size() <= text.size(); ++at) {
        std::size_t matched = 0;
        while (matched < pattern.size() && AsciiLower(text[at + matched]) == pattern[matched]) {
            ++matched;
        }
        if (matched == pattern.size()) {
            return at;
        }
    }
    return std::string_view::npos;
}

void CaptureThreadLink(std::string_view span, std::string& threadLink) {
    constexpr std::string_view marker = "&thread=http://";
    constexpr std::string_view pageEnd = ".html&";
    const std::size_t markerAt = FindIgnoringCase(span, marker);
    if (markerAt == std::string_view::npos) {
        return;
    }
    const std::size_t endAt = FindIgnoringCase(span, pageEnd, markerAt);
    if (endAt == std::string_view::npos) {
        return;
    }
    // From the "http://" after "&thread=" through the "l" of ".html".
    constexpr std::size_t linkOffset = 8;
    const std::size_t linkEnd = endAt + 5;
    threadLink.assign(span.substr(markerAt + linkOffset, linkEnd - (markerAt + linkOffset)));
}

} // namespace

std::string LinkText(std::string_view span, std::string& threadLink) {
    if (threadLink.empty()) {
        CaptureThreadLink(span, threadLink);
    }
    const std::size_t addressAt = FindIgnoringCase(span, "http://");
    if (addressAt == std::string_view::npos) {
        return {};
    }
    // The address ends at the first double quote or space.
    for (std::size_t end = addressAt; end < span.size(); ++end) {
        if (span[end] == '"' || span[end] == ' ') {
            return std::string(span.substr(addressAt, end - addressAt + 1));
        }
    }
    return {};
}
