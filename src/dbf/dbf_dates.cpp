#include "dbf/dbf_dates.h"

#include <array>
#include <cstdio>

#include "dbf/dbf_eval_codes.h"
#include "dbf/dbf_text.h"
#include "platform/dates.h"

namespace kelvarin::dbf {
namespace {

struct CodePattern {
  std::string_view code;
  std::string_view pattern;
};

constexpr std::array<CodePattern, 16> kPatterns{{
    {"A0", "yyyymmdd"},
    {"A1", "mm dd, yyyy"},
    {"A2", "dddd mm dd, yyyy"},
    {"A3", "dddd mm dd"},
    {"A4", "mm dd"},
    {"A5", "dd mm, yyyy"},
    {"A6", "mm yyyy"},
    {"A7", "mm/dd/yy"},
    {"A8", "mm dd, yyyy"},
    {"A9", "yy/mm/dd"},
    {"A10", "mm-dd-yyyy"},
    {"A11", "yy mm dd"},
    {"A12", "dd/mm/yy"},
    {"A13", "dd mm yy"},
    {"A14", "dd-mm-yy"},
    {"A15", "mmmm dd, yyyy"},
}};

std::string Digits(int64_t value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", width, static_cast<long long>(value));
  return buf;
}

bool TwoDigits(std::string_view text, size_t at, int& out) {
  const char a = text[at];
  const char b = text[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return false;
  out = (a - '0') * 10 + (b - '0');
  return true;
}

// Reads "mm-dd-yyyy" (or "dd-mm-yyyy" when dayFirst), the form the steps
// before arrange.
std::optional<platform::CalendarDate> ReadArrangedDate(std::string_view text, bool dayFirst) {
  if (text.size() != 10 || text[2] != '-' || text[5] != '-') return std::nullopt;
  int first = 0;
  int second = 0;
  int high = 0;
  int low = 0;
  if (!TwoDigits(text, 0, first) || !TwoDigits(text, 3, second) || !TwoDigits(text, 6, high) ||
      !TwoDigits(text, 8, low)) {
    return std::nullopt;
  }
  platform::CalendarDate date;
  date.year = high * 100 + low;
  date.month = dayFirst ? second : first;
  date.day = dayFirst ? first : second;
  if (!IsValidCalendarDate(date.year, date.month, date.day)) return std::nullopt;
  return date;
}

}  // namespace

int64_t JulianFromCalendar(int64_t year, int64_t month, int64_t day) {
  const int64_t a = (month - 14) / 12;
  return day - 32075 + 1461 * (year + 4800 + a) / 4 + 367 * (month - 2 - a * 12) / 12 -
         3 * ((year + 4900 + a) / 100) / 4;
}

platform::CalendarDate CalendarFromJulian(int64_t julian) {
  int64_t l = julian + 68569;
  const int64_t n = 4 * l / 146097;
  l = l - (146097 * n + 3) / 4;
  const int64_t i = 4000 * (l + 1) / 1461001;
  l = l - 1461 * i / 4 + 31;
  const int64_t j = 80 * l / 2447;
  const int64_t day = l - 2447 * j / 80;
  l = j / 11;
  const int64_t month = j + 2 - 12 * l;
  const int64_t year = 100 * (n - 49) + i + l;
  return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

int WeekdayFromJulian(int64_t julian) { return static_cast<int>(((julian + 1) % 7 + 7) % 7); }

bool IsValidCalendarDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= platform::DaysInMonth(year, month);
}

std::optional<std::string_view> DateFormatPattern(std::string_view code) {
  for (const CodePattern& entry : kPatterns) {
    if (entry.code.size() != code.size()) continue;
    bool same = true;
    for (size_t k = 0; k < code.size() && same; ++k) {
      char c = code[k];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      same = c == entry.code[k];
    }
    if (same) return entry.pattern;
  }
  return std::nullopt;
}

std::string WriteDatePattern(std::string_view pattern, const platform::CalendarDate& date,
                             const platform::LocaleSettings& locale) {
  std::string out;
  size_t i = 0;
  auto run = [&](char letter) {
    size_t k = i;
    while (k < pattern.size() && pattern[k] == letter) ++k;
    return k - i;
  };
  while (i < pattern.size()) {
    const char c = pattern[i];
    size_t len = 1;
    if (c == 'y') {
      len = run('y');
      out += len >= 4 ? Digits(date.year, 4) : Digits(((date.year % 100) + 100) % 100, 2);
    } else if (c == 'm') {
      len = run('m');
      if (len >= 4) {
        out += locale.monthNames[static_cast<size_t>(date.month - 1)];
      } else {
        out += Digits(date.month, 2);
      }
    } else if (c == 'd') {
      len = run('d');
      if (len >= 4) {
        const int weekday = WeekdayFromJulian(JulianFromCalendar(date.year, date.month, date.day));
        out += locale.dayNames[static_cast<size_t>(weekday)];
      } else {
        out += Digits(date.day, 2);
      }
    } else if (c == '/') {
      out += locale.dateSeparator;
    } else {
      out += c;
    }
    i += len;
  }
  return out;
}

std::string MonthDayYearText(const platform::CalendarDate& date) {
  return Digits(date.month, 2) + "-" + Digits(date.day, 2) + "-" + Digits(date.year, 4);
}

int16_t FormatDateByCode(const DateFormatRequest& request, std::string& out) {
  out.clear();
  const std::string_view code = request.code.empty() ? request.defaultCode : request.code;

  std::string arranged;
  if (!request.date.empty()) {
    const std::string_view date = TrimBlanks(request.date);
    if (date.size() != 8) return kEvalErrDateLength;
    arranged = std::string(date.substr(4, 2)) + "-" + std::string(date.substr(6, 2)) + "-" +
               std::string(date.substr(0, 4));
  } else {
    arranged = MonthDayYearText(request.today);
  }
  if (request.dayFirst) {
    std::swap(arranged[0], arranged[3]);
    std::swap(arranged[1], arranged[4]);
  }

  const std::optional<std::string_view> pattern = DateFormatPattern(code);
  if (!pattern) return kEvalErrDateFormat;

  const std::optional<platform::CalendarDate> date = ReadArrangedDate(arranged, request.dayFirst);
  if (!date) return kEvalErrDateText;
  static const platform::LocaleSettings kDefaultLocale;
  out = WriteDatePattern(*pattern, *date, request.locale ? *request.locale : kDefaultLocale);

  // A11 and A13 are the only codes with these patterns.
  if ((*pattern == "yy mm dd" || *pattern == "dd mm yy") && out.size() >= 6) {
    out[2] = '.';
    out[5] = '.';
  }
  return 0;
}

}  // namespace kelvarin::dbf
