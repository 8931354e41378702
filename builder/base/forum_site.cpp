#include "builder/base/forum_site.h"

#include "common/ascii_case.h"

const char* const kSectionTitles[kSectionCount] = {
    "General Discussion", "Installation and Setup", "Databases", "Reports",     "Networking",
    "Scripting",          "User Interface",         "Printing",  "Performance", "Security",
    "Bug Reports",        "Announcements",
};

std::string_view SectionTitle(int sectionIndex) {
    if (sectionIndex < 0 || sectionIndex >= kSectionCount) {
        return {};
    }
    return kSectionTitles[sectionIndex];
}

bool IsForumThreadLink(std::string_view threadLink) {
    constexpr std::string_view kScheme = "http://";
    return FindIgnoringAsciiCase(threadLink, kForumAddress.substr(kScheme.size())) !=
           std::string_view::npos;
}
