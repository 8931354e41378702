#include "builder/base/post_dates.h"

#include "common/ascii_case.h"

#include <cstdio>

namespace {

constexpr std::string_view kMonthTable =
    "-jan01-feb02-mar03-apr04-may05-jun06-jul07-aug08-sep09-oct10-nov11-dec12";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string MonthDigits(std::string_view dateText) {
    std::string key = "-";
    for (char c : dateText.substr(0, 3)) {
        key += LowerAscii(c);
    }
    const std::size_t found = kMonthTable.find(key);
    // Not a month: the table's own "n0", which sorts after every month.
    const std::size_t digits = found == std::string_view::npos ? 3 : found + 4;
    return std::string(kMonthTable.substr(digits, 2));
}

} // namespace

std::string StartDateKey(int year, int month, int day) {
    char key[16];
    std::snprintf(key, sizeof key, "%04d%02d%02d", year, month, day);
    return key;
}

std::string PostDateKey(std::string_view dateText) {
    const std::string month = MonthDigits(dateText);
    const std::size_t blank = dateText.find(' ');
    const std::string_view rest =
        blank == std::string_view::npos ? std::string_view() : dateText.substr(blank + 1);
    // Day, separator, blank, year: "05, 2005". The forum also writes one-digit
    // days ("5, 2005"); read literally, they would shift the year by one place
    // and drop every such post from a date-filtered base.
    if (rest.size() >= 2 && IsDigit(rest[0]) && !IsDigit(rest[1])) {
        const std::string_view year = rest.size() > 3 ? rest.substr(3, 4) : std::string_view();
        return std::string(year) + month + "0" + rest[0];
    }
    const std::string_view year = rest.size() > 4 ? rest.substr(4, 4) : std::string_view();
    return std::string(year) + month + std::string(rest.substr(0, 2));
}

int CheckPostDate(std::string_view dateText, std::string_view startDateKey) {
    return PostDateKey(dateText) >= startDateKey ? 1 : 0;
}
