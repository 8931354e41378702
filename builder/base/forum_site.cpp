#include "builder/base/forum_site.h"

#include <algorithm>
#include <cctype>

const char* const kSectionTitles[kSectionCount] = {
    "General Discussion", "Installation and Setup", "Databases", "Reports",     "Networking",
    "Scripting",          "User Interface",         "Printing",  "Performance", "Security",
    "Bug Reports",        "Announcements",
};

namespace {

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return upper;
}

} // namespace

std::string_view SectionTitle(int sectionIndex) {
    if (sectionIndex < 0 || sectionIndex >= kSectionCount) {
        return {};
    }
    return kSectionTitles[sectionIndex];
}

bool IsForumThreadLink(std::string_view threadLink) {
    constexpr std::string_view kScheme = "http://";
    static const std::string addressKey = UpperAscii(kForumAddress.substr(kScheme.size()));
    return UpperAscii(threadLink).find(addressKey) != std::string::npos;
}
