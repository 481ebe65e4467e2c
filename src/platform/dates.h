// Reading a date text the way the user's regional settings read it.
#pragma once

#include <optional>
#include <string>

#include "platform/host.h"
#include "platform/locale.h"

namespace kelvarin::platform {

// Reads text as a date by the user's short-date settings, as the classic
// date conversion does:
// - three numbers in the order of the short-date pattern (day, month and year
//   letters of LocaleSettings::shortDate); a first number of four digits
//   always starts a year-month-day date; when the pattern's order gives an
//   impossible month but day and month swapped make a valid date, they swap;
// - two numbers are a month and day (in the pattern's order) of today's year;
// - a month name (the user's, or its first three letters) with a day and a
//   year in either order ("Nov 15, 1997", "15 November 1997");
// - separators "/", "-", ".", ",", blanks and the user's date separator;
// - a two-digit year below 30 is 20yy, else 19yy.
// nullopt for anything that is not a valid calendar date of years 100..9999.
std::optional<CalendarDate> ParseDateText(const std::string& text, const LocaleSettings& locale,
                                          const CalendarDate& today);

// Days in the month, with the Gregorian leap years.
int DaysInMonth(int year, int month);

}  // namespace kelvarin::platform
