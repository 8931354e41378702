#include "common/ascii_case.h"

#include <cstring>

std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view needle,
                                  std::size_t from) {
    if (from > text.size() || needle.size() > text.size() - from) {
        return std::string_view::npos;
    }
    if (needle.empty()) {
        return from;
    }
    const char first = LowerAscii(needle[0]);
    // A first byte that is no letter has one form, which memchr finds fast.
    const bool firstIsLetter = first >= 'a' && first <= 'z';
    const std::size_t last = text.size() - needle.size();
    for (std::size_t at = from; at <= last; ++at) {
        if (!firstIsLetter) {
            const void* found = std::memchr(text.data() + at, first, last - at + 1);
            if (found == nullptr) {
                return std::string_view::npos;
            }
            at = static_cast<const char*>(found) - text.data();
        } else if (LowerAscii(text[at]) != first) {
            continue;
        }
        std::size_t matched = 1;
        while (matched < needle.size() &&
               LowerAscii(text[at + matched]) == LowerAscii(needle[matched])) {
            ++matched;
        }
        if (matched == needle.size()) {
            return at;
        }
    }
    return std::string_view::npos;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t at = 0; at < a.size(); ++at) {
        if (LowerAscii(a[at]) != LowerAscii(b[at])) {
            return false;
        }
    }
    return true;
}
