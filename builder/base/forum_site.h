// The one forum site whose saved pages the builder reads, and its sections.
#pragma once

#include <string>
#include <string_view>

// The forum's base address: a page belongs to the forum when its thread
// link lies under it. The main window shows it in its label.
constexpr std::string_view kForumAddress = "http://www.example.com/support/forums/";

// The section titles; the forum number of a section is its position + 1.
constexpr int kSectionCount = 12;
extern const char* const kSectionTitles[kSectionCount];

// The title of the section at the 0-based `sectionIndex`; empty when there
// is no such section.
std::string_view SectionTitle(int sectionIndex);

// True when `threadLink` points into the forum: it holds the base address
// without its scheme, ASCII letters in either case (the parser hands links
// out upper-cased).
bool IsForumThreadLink(std::string_view threadLink);
