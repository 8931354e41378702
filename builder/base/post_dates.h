// Post dates as comparable keys: the start date of the date filter and the
// date of a thread's first post both become 8 characters yyyymmdd, compared
// as plain bytes; no calendar arithmetic.
#pragma once

#include <string>
#include <string_view>

// The start date key "yyyymmdd" of a date value (year 1 to 9999).
std::string StartDateKey(int year, int month, int day);

// The key of a post's date text as the forum writes it ("December 05, 2005
// 10:41 AM"): year, month from the first three letters of the month name
// ("n0" when they name no month), day.
std::string PostDateKey(std::string_view dateText);

// 1 when the post dated by `dateText` is not older than `startDateKey`,
// else 0.
int CheckPostDate(std::string_view dateText, std::string_view startDateKey);
