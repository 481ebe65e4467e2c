// The user's regional settings as the program sees them: the short-date
// pattern (what the old "intl" profile section held as sShortDate), the date
// separator, month and weekday names, and the number punctuation used by the
// "Standard" number format. Hosts fill it: the Qt host from the system locale,
// the scripted host with the English defaults below unless a test changes it.
#pragma once

#include <array>
#include <string>

namespace kelvarin::platform {

struct LocaleSettings {
  // Pattern letters as Windows wrote them: d, dd, M, MM, yy, yyyy and the
  // separator. The DBF engine reads only whether it begins with the day.
  std::string shortDate = "M/d/yyyy";
  std::string dateSeparator = "/";
  std::array<std::string, 12> monthNames{"January", "February", "March",     "April",
                                         "May",     "June",     "July",      "August",
                                         "September", "October", "November", "December"};
  // Sunday first, as weeks begin on Sunday.
  std::array<std::string, 7> dayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
  char decimalPoint = '.';
  char thousandsSeparator = ',';
};

}  // namespace kelvarin::platform
