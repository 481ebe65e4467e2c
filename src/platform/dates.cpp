#include "platform/dates.h"

#include <vector>

namespace kelvarin::platform {
namespace {

struct Token {
  bool number = false;
  int value = 0;
  int digits = 0;
  std::string word;
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAll(std::string s) {
  for (char& c : s) c = Lower(c);
  return s;
}

bool IsLetter(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || u >= 0xC0;
}

// 1..12 for a month name or its three-letter abbreviation, else 0.
int MonthOf(const std::string& word, const LocaleSettings& locale) {
  const std::string w = LowerAll(word);
  for (int m = 0; m < 12; ++m) {
    const std::string name = LowerAll(locale.monthNames[static_cast<size_t>(m)]);
    if (w == name || (w.size() >= 3 && name.compare(0, w.size(), w) == 0)) return m + 1;
  }
  return 0;
}

// The order of day, month and year in the short-date pattern, as letters.
std::string PatternOrder(const std::string& pattern) {
  std::string order;
  for (char c : pattern) {
    const char l = Lower(c);
    if ((l == 'd' || l == 'm' || l == 'y') && order.find(l) == std::string::npos) order += l;
  }
  for (char l : std::string("mdy"))
    if (order.find(l) == std::string::npos) order += l;
  return order;
}

int FullYear(int value, int digits) {
  if (digits <= 2) return value < 30 ? 2000 + value : 1900 + value;
  return value;
}

std::optional<CalendarDate> Make(int year, int month, int day) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return std::nullopt;
  if (day > DaysInMonth(year, month)) return std::nullopt;
  return CalendarDate{year, month, day};
}

}  // namespace

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
  return kDays[month - 1];
}

std::optional<CalendarDate> ParseDateText(const std::string& text, const LocaleSettings& locale,
                                          const CalendarDate& today) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      Token t;
      t.number = true;
      while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (t.digits < 6) t.value = t.value * 10 + (text[i] - '0');
        ++t.digits;
        ++i;
      }
      if (t.digits > 4) return std::nullopt;
      tokens.push_back(t);
    } else if (IsLetter(c)) {
      Token t;
      while (i < text.size() && IsLetter(text[i])) t.word += text[i++];
      tokens.push_back(t);
    } else if (c == '/' || c == '-' || c == '.' || c == ',' || c == ' ' || c == '\t' ||
               (!locale.dateSeparator.empty() && c == locale.dateSeparator[0])) {
      ++i;
    } else {
      return std::nullopt;
    }
    if (tokens.size() > 3) return std::nullopt;
  }

  std::vector<Token> numbers;
  int namedMonth = 0;
  int nameAt = -1;
  for (size_t k = 0; k < tokens.size(); ++k) {
    if (tokens[k].number) {
      numbers.push_back(tokens[k]);
    } else {
      if (namedMonth != 0) return std::nullopt;
      namedMonth = MonthOf(tokens[k].word, locale);
      if (namedMonth == 0) return std::nullopt;
      nameAt = static_cast<int>(k);
    }
  }

  if (namedMonth != 0) {
    if (numbers.size() == 1) {
      // "Nov 15": day of today's year; "Nov 1997": the first of the month.
      if (numbers[0].digits > 2 || numbers[0].value > 31)
        return Make(FullYear(numbers[0].value, numbers[0].digits), namedMonth, 1);
      return Make(today.year, namedMonth, numbers[0].value);
    }
    if (numbers.size() != 2) return std::nullopt;
    Token day = numbers[0], year = numbers[1];
    const bool firstIsYear = numbers[0].digits > 2 || numbers[0].value > 31;
    if (firstIsYear) std::swap(day, year);
    (void)nameAt;
    return Make(FullYear(year.value, year.digits), namedMonth, day.value);
  }

  const std::string order = PatternOrder(locale.shortDate);
  if (numbers.size() == 2) {
    const bool dayFirst = order.find('d') < order.find('m');
    int month = dayFirst ? numbers[1].value : numbers[0].value;
    int day = dayFirst ? numbers[0].value : numbers[1].value;
    if (numbers[0].digits > 2 || numbers[1].digits > 2) return std::nullopt;
    if (auto d = Make(today.year, month, day)) return d;
    return Make(today.year, day, month);
  }
  if (numbers.size() != 3) return std::nullopt;

  if (numbers[0].digits > 2) {  // year first: y m d
    return Make(FullYear(numbers[0].value, numbers[0].digits), numbers[1].value, numbers[2].value);
  }
  int values[3] = {0, 0, 0};  // day, month, year
  int yearDigits = 2;
  for (size_t k = 0; k < 3; ++k) {
    const char which = order[k];
    const int slot = which == 'd' ? 0 : which == 'm' ? 1 : 2;
    values[slot] = numbers[k].value;
    if (slot == 2) yearDigits = numbers[k].digits;
  }
  const int year = FullYear(values[2], yearDigits);
  if (auto d = Make(year, values[1], values[0])) return d;
  if (values[1] > 12) return Make(year, values[0], values[1]);
  return std::nullopt;
}

}  // namespace kelvarin::platform
