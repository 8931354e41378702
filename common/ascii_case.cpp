#include "common/ascii_case.h"

std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view needle,
                                  std::size_t from) {
    if (from > text.size() || needle.size() > text.size() - from) {
        return std::string_view::npos;
    }
    const std::size_t last = text.size() - needle.size();
    for (std::size_t at = from; at <= last; ++at) {
        std::size_t matched = 0;
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
