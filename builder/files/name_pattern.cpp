#include "builder/files/name_pattern.h"

#include "common/ascii_case.h"

#include <cstddef>

bool MatchesNamePattern(std::string_view name, std::string_view pattern) {
    // Greedy matching with one backtrack point: the last "*" seen. Linear in
    // practice and never recursive, whatever the pattern.
    std::size_t nameAt = 0;
    std::size_t patternAt = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t nameAtStar = 0;
    while (nameAt < name.size()) {
        if (patternAt < pattern.size() && pattern[patternAt] == '*') {
            starAt = patternAt++;
            nameAtStar = nameAt;
        } else if (patternAt < pattern.size() &&
                   (pattern[patternAt] == '?' ||
                    LowerAscii(pattern[patternAt]) == LowerAscii(name[nameAt]))) {
            ++patternAt;
            ++nameAt;
        } else if (starAt != std::string_view::npos) {
            patternAt = starAt + 1;
            nameAt = ++nameAtStar;
        } else {
            return false;
        }
    }
    while (patternAt < pattern.size() && pattern[patternAt] == '*') {
        ++patternAt;
    }
    return patternAt == pattern.size();
}
