#include "common/blanks.h"

std::string_view StripBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return StripTrailingBlanks(text.substr(first));
}

std::string_view StripTrailingBlanks(std::string_view text) {
    return text.substr(0, text.find_last_not_of(' ') + 1);
}
