#include "parser/link_text.h"

#include "common/ascii_case.h"

namespace {

void CaptureThreadLink(std::string_view span, std::string& threadLink) {
    constexpr std::string_view marker = "&thread=http://";
    constexpr std::string_view pageEnd = ".html&";
    const std::size_t markerAt = FindIgnoringAsciiCase(span, marker);
    if (markerAt == std::string_view::npos) {
        return;
    }
    const std::size_t endAt = FindIgnoringAsciiCase(span, pageEnd, markerAt);
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
    const std::size_t addressAt = FindIgnoringAsciiCase(span, "http://");
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
