// Calendar arithmetic and the date-format codes of the expression evaluator.
//
// Julian day numbers follow the Fliegel-Van Flandern integer algorithm for
// the Gregorian calendar (divisions truncate toward zero); 2450768 is
// 15 November 1997.
//
// Date-format codes A0..A15 (letter case ignored) and their patterns:
//   A0 yyyymmdd          A4 mm dd            A8  mm dd, yyyy   A12 dd/mm/yy
//   A1 mm dd, yyyy       A5 dd mm, yyyy      A9  yy/mm/dd      A13 dd mm yy *
//   A2 dddd mm dd, yyyy  A6 mm yyyy          A10 mm-dd-yyyy    A14 dd-mm-yy
//   A3 dddd mm dd        A7 mm/dd/yy         A11 yy mm dd *    A15 mmmm dd, yyyy
// yyyy/yy the year in four or two digits, mm the month in two digits, mmmm
// its name, dd the day in two digits, dddd the weekday's name, "/" the
// user's date separator, anything else itself. * Characters 3 and 6 of the
// result become ".".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/host.h"
#include "platform/locale.h"

namespace kelvarin::dbf {

int64_t JulianFromCalendar(int64_t year, int64_t month, int64_t day);
platform::CalendarDate CalendarFromJulian(int64_t julian);
// 0 = Sunday .. 6 = Saturday.
int WeekdayFromJulian(int64_t julian);

// Years 1..9999, months 1..12, days within the month.
bool IsValidCalendarDate(int year, int month, int day);

// The pattern of a date-format code, or nullopt for another code.
std::optional<std::string_view> DateFormatPattern(std::string_view code);

// date written in pattern (notation above, without the A11/A13 dots).
std::string WriteDatePattern(std::string_view pattern, const platform::CalendarDate& date,
                             const platform::LocaleSettings& locale);

// "mm-dd-yyyy".
std::string MonthDayYearText(const platform::CalendarDate& date);

struct DateFormatRequest {
  std::string_view code;       // empty: defaultCode
  std::string_view date;       // eight characters year-month-day, or empty for today
  std::string_view defaultCode;
  bool dayFirst = false;
  platform::CalendarDate today;
  const platform::LocaleSettings* locale = nullptr;
};

// Operation 42 of the evaluator: 0 and the formatted date in out, or 110 (the
// date is not eight characters), 149 (unknown code) or 146 (not a date).
int16_t FormatDateByCode(const DateFormatRequest& request, std::string& out);

}  // namespace kelvarin::dbf
