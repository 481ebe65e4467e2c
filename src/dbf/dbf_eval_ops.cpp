#include "dbf/dbf_eval_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "dbf/dbf_dates.h"
#include "dbf/dbf_eval_arith.h"
#include "dbf/dbf_eval_codes.h"
#include "dbf/dbf_number_text.h"
#include "dbf/dbf_text.h"
#include "platform/text/codepage.h"

namespace kelvarin::dbf {
namespace {

constexpr int16_t kFail = kEvalErrFunction;

struct Args {
  std::string_view a;
  std::string_view b;
  std::string_view c;
};

bool ReadValue(std::string_view text, double& value) {
  const platform::LeadingNumberResult r = platform::ReadLeadingNumber(text);
  value = r.value;
  return !r.overflow;
}

bool ReadInt(std::string_view text, int32_t& out) {
  double value = 0;
  return ReadValue(text, value) && RoundToInt32(value, out);
}

// A count of characters to produce: not negative and within the text limit.
bool ReadLength(std::string_view text, size_t& out) {
  int32_t n = 0;
  if (!ReadInt(text, n) || n < 0 || static_cast<size_t>(n) > kEvalMaxText) return false;
  out = static_cast<size_t>(n);
  return true;
}

// The fill character: code n(fillText), or the first character of fillText when
// n(fillText) is 0.
bool ReadFill(std::string_view fillText, char& out) {
  double value = 0;
  if (!ReadValue(fillText, value)) return false;
  if (value == 0) {
    if (fillText.empty()) return false;
    out = fillText[0];
    return true;
  }
  int32_t code = 0;
  if (!RoundToInt32(value, code) || code < 0 || code > 255) return false;
  out = static_cast<char>(code);
  return true;
}

// First occurrence of sought in text at or after from, in time linear in
// both lengths whatever the texts (a plain search can take their product).
size_t LinearFind(std::string_view text, std::string_view sought, size_t from) {
  if (sought.size() <= 16) return text.find(sought, from);
  std::vector<size_t> border(sought.size(), 0);
  for (size_t i = 1, k = 0; i < sought.size(); ++i) {
    while (k > 0 && sought[i] != sought[k]) k = border[k - 1];
    if (sought[i] == sought[k]) ++k;
    border[i] = k;
  }
  for (size_t i = from, k = 0; i < text.size(); ++i) {
    while (k > 0 && text[i] != sought[k]) k = border[k - 1];
    if (text[i] == sought[k]) ++k;
    if (k == sought.size()) return i + 1 - k;
  }
  return std::string_view::npos;
}

// Position (from 1) of sought in text from position start (at least 1); 0
// when not found. An empty sought text is found at start.
int64_t FindFrom(std::string_view text, std::string_view sought, int64_t start) {
  if (text.empty() || start > static_cast<int64_t>(text.size())) return 0;
  if (sought.empty()) return start;
  const size_t at = LinearFind(text, sought, static_cast<size_t>(start - 1));
  return at == std::string_view::npos ? 0 : static_cast<int64_t>(at) + 1;
}

std::string Logical(bool value) { return value ? "T" : "F"; }

int16_t Compare(int op, const Args& x, std::string& out) {
  // Both arguments are read as numbers before anything is decided, so a
  // number beyond a double in either one is a failed conversion.
  const platform::LeadingNumberResult na = platform::ReadLeadingNumber(x.a);
  const platform::LeadingNumberResult nb = platform::ReadLeadingNumber(x.b);
  if (na.overflow || nb.overflow) return kEvalErrOperator;
  int order = 0;
  if (DbfIsNumber(x.a) != 0 && DbfIsNumber(x.b) != 0) {
    order = na.value < nb.value ? -1 : (na.value > nb.value ? 1 : 0);
  } else {
    // char_traits<char> compares as unsigned char: by character code.
    const int c = x.a.compare(x.b);
    order = c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  bool result = false;
  switch (op) {
    case 3: result = order != 0; break;
    case 4: result = order >= 0; break;
    case 5: result = order > 0; break;
    case 6: result = order < 0; break;
    case 7: result = order <= 0; break;
    default: result = order == 0; break;
  }
  out = Logical(result);
  return 0;
}

int16_t ExprOpCalendar(const Args& x, std::string& out) {
  double value = 0;
  // A day number beyond a double is a failed conversion, not one out of range.
  if (!ReadValue(x.a, value)) return kFail;
  const double day = RoundHalfEven(value);
  if (!(day >= 2299239 && day <= 5373484)) return kEvalErrJulianRange;
  const platform::CalendarDate date = CalendarFromJulian(static_cast<int64_t>(day));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", date.year, date.month, date.day);
  out = buf;
  return 0;
}

int16_t ExprOpJulian(const Args& x, std::string& out) {
  double value = 0;
  if (!ReadValue(x.a, value)) return kFail;
  const double number = RoundHalfEven(value);
  if (!(number >= 15830101 && number <= 99991231)) return kEvalErrCalendarRange;
  const auto ymd = static_cast<int64_t>(number);
  const int year = static_cast<int>(ymd / 10000);
  const int month = static_cast<int>(ymd / 100 % 100);
  const int day = static_cast<int>(ymd % 100);
  // A month 13 or a 31 February has no day number.
  if (!IsValidCalendarDate(year, month, day)) return kEvalErrCalendarRange;
  out = NumberText(static_cast<double>(JulianFromCalendar(year, month, day)));
  return 0;
}

int16_t ExprOpSubstr(const Args& x, std::string& out) {
  int32_t start = 0;
  int32_t length = 0;
  if (!ReadInt(x.b, start) || start < 1 || !ReadInt(x.c, length) || length < 0) return kFail;
  if (static_cast<size_t>(start) > x.a.size()) {
    out.clear();
  } else {
    const size_t count = length == 0 ? std::string_view::npos : static_cast<size_t>(length);
    out = x.a.substr(static_cast<size_t>(start - 1), count);
  }
  return 0;
}

int16_t ExprOpInStr(const Args& x, std::string& out) {
  double first = 0;
  if (!ReadValue(x.a, first)) return kFail;
  int64_t position = 0;
  if (first == 0) {
    position = FindFrom(x.a, x.b, 1);
  } else {
    int32_t start = 0;
    if (!RoundToInt32(first, start) || start < 1) return kFail;
    position = FindFrom(x.b, x.c, start);
  }
  out = NumberText(static_cast<double>(position));
  return 0;
}

int16_t ExprOpProper(const Args& x, std::string& out) {
  out = platform::AnsiLowerString(x.a);
  for (size_t i = 0; i < out.size(); ++i) {
    const int before = i == 0 ? 0 : static_cast<unsigned char>(out[i - 1]);
    if (i == 0 || ((before < 65 || before > 122) && before != 39)) {
      out[i] = static_cast<char>(platform::AnsiUpper(static_cast<unsigned char>(out[i])));
    }
  }
  return 0;
}

int16_t ExprOpPadLeft(const Args& x, std::string& out) {
  size_t width = 0;
  char fill = ' ';
  if (!ReadLength(x.b, width) || width < x.a.size() || !ReadFill(x.c, fill)) return kFail;
  out.assign(width - x.a.size(), fill);
  out += x.a;
  return 0;
}

int16_t ExprOpPadRight(const Args& x, std::string& out) {
  size_t width = 0;
  char fill = ' ';
  if (!ReadLength(x.b, width) || !ReadFill(x.c, fill)) return kFail;
  out = x.a.substr(0, width);
  out.append(width - out.size(), fill);
  return 0;
}

int16_t ExprOpString(const Args& x, std::string& out) {
  size_t count = 0;
  char fill = ' ';
  if (!ReadLength(x.a, count) || !ReadFill(x.b, fill)) return kFail;
  out.assign(count, fill);
  return 0;
}

int16_t ExprOpLeftRight(bool left, const Args& x, std::string& out) {
  int32_t count = 0;
  if (!ReadInt(x.b, count) || count < 0) return kFail;
  const size_t n = std::min(static_cast<size_t>(count), x.a.size());
  out = left ? x.a.substr(0, n) : x.a.substr(x.a.size() - n);
  return 0;
}

int16_t ExprOpMaxMin(bool max, const Args& x, std::string& out) {
  double va = 0;
  double vb = 0;
  if (!ReadValue(x.a, va) || !ReadValue(x.b, vb)) return kFail;
  out = NumberText(max ? (va > vb ? va : vb) : (va < vb ? va : vb));
  return 0;
}

int16_t ExprOpReplicate(const Args& x, std::string& out) {
  size_t count = 0;
  if (x.a.empty() || !ReadLength(x.b, count)) return kFail;
  out.assign(count, x.a[0]);
  return 0;
}

int16_t ExprOpTime(const ExprOpEnv& env, std::string& out) {
  if (env.context == nullptr) return kFail;
  const double seconds = env.context->TimeOfDay();
  const int64_t s = std::isfinite(seconds) && seconds > 0
                        ? static_cast<int64_t>(std::fmod(std::floor(seconds), 86400.0))
                        : 0;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(s / 3600),
                static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
  out = buf;
  return 0;
}

int16_t NumberResult(std::string_view text, double (*f)(double), std::string& out) {
  double value = 0;
  if (!ReadValue(text, value)) return kFail;
  out = NumberText(f(value));
  return 0;
}

int16_t ExprOpChr(const Args& x, std::string& out) {
  int32_t code = 0;
  if (!ReadInt(x.a, code) || code < 0 || code > 255) return kFail;
  out.assign(1, static_cast<char>(code));
  return 0;
}

int16_t ExprOpDateFormat(const Args& x, const ExprOpEnv& env, std::string& out) {
  if (env.context == nullptr) return kEvalErrDateText;
  DateFormatRequest request;
  request.code = x.a;
  request.date = x.b;
  request.defaultCode = env.context->DateFormat();
  request.dayFirst = env.context->DayFirst();
  if (x.b.empty()) request.today = env.context->Today();
  request.locale = &env.context->Locale();
  return FormatDateByCode(request, out);
}

int16_t ExprOpArith(const Args& x, std::string& out) {
  int16_t err = 0;
  const double value = DbfEvalArithmetic(x.a, err);
  if (err != 0) return kEvalErrOperator;
  out = NumberText(value);
  return 0;
}

int16_t ExprOpStr(const Args& x, std::string& out) {
  int32_t width = 0;
  if (!ReadInt(x.b, width)) return kFail;
  if (width == 0) return kEvalErrOperator;
  if (width < 0 || static_cast<size_t>(width) > kEvalMaxText) return kFail;
  int32_t decimals = 0;
  if (!ReadInt(x.c, decimals)) return kFail;
  const std::string_view whole = TrimBlanks(x.a.substr(0, x.a.find('.')));
  const auto w = static_cast<size_t>(width);
  if (static_cast<int64_t>(whole.size()) + decimals >= static_cast<int64_t>(w)) {
    out.assign(w, '*');
    return 0;
  }
  // Only the writing of the number needs a count of decimals it can take.
  if (decimals < 0) return kFail;
  double value = 0;
  if (!ReadValue(x.a, value)) return kFail;
  const std::string text = decimals == 0 ? NumberText(value) : FixedDecimalText(value, decimals);
  // The whole-part estimate comes from the argument's text; a value written
  // wider than that (1E10, or a carry as 9.96 to 10.0) does not fit either.
  if (text.size() > w) {
    out.assign(w, '*');
    return 0;
  }
  out.assign(w - text.size(), ' ');
  out += text;
  return 0;
}

int16_t Dispatch(int op, const Args& x, const ExprOpEnv& env, std::string& out) {
  switch (op) {
    case 1: out = Logical(x.a == "T" && x.b == "T"); return 0;
    case 2: out = Logical(x.a == "T" || x.b == "T"); return 0;
    case 3: case 4: case 5: case 6: case 7: case 8: return Compare(op, x, out);
    case 9: out = Logical(x.a != "T"); return 0;
    case 10: return ExprOpCalendar(x, out);
    case 11: return ExprOpJulian(x, out);
    case 12: return ExprOpSubstr(x, out);
    case 13: return ExprOpInStr(x, out);
    case 14: return ExprOpProper(x, out);
    case 15: return ExprOpPadLeft(x, out);
    case 16: return ExprOpPadRight(x, out);
    case 17: out = NumberText(static_cast<double>(FindFrom(x.b, x.a, 1))); return 0;
    case 18: return ExprOpString(x, out);
    case 19: return ExprOpLeftRight(true, x, out);
    case 20: return ExprOpLeftRight(false, x, out);
    case 21: return ExprOpMaxMin(true, x, out);
    case 22: return ExprOpMaxMin(false, x, out);
    case 23: return ExprOpReplicate(x, out);
    case 24: out = env.record; return 0;
    case 25: out = NumberText(env.recNo); return 0;
    case 26: out = Logical(!env.record.empty() && env.record[0] == '*'); return 0;
    case 27: out = TrimBlanks(x.a); return 0;
    case 28: return ExprOpTime(env, out);
    case 29: {
      size_t count = 0;
      if (!ReadLength(x.a, count)) return kFail;
      out.assign(count, ' ');
      return 0;
    }
    case 30: out = TrimRightBlanks(x.a); return 0;
    case 31: out = TrimLeftBlanks(x.a); return 0;
    case 32: out = platform::AnsiLowerString(x.a); return 0;
    case 33: out = platform::AnsiUpperString(x.a); return 0;
    case 34: out = NumberText(static_cast<double>(x.a.size())); return 0;
    case 35: case 36: return NumberResult(x.a, [](double v) { return v; }, out);
    case 37: return NumberResult(x.a, [](double v) { return std::fabs(v); }, out);
    case 38:
      if (x.a.empty()) return kFail;
      out = NumberText(static_cast<unsigned char>(x.a[0]));
      return 0;
    case 39: return ExprOpChr(x, out);
    case 40: return NumberResult(x.a, [](double v) { return std::floor(v); }, out);
    case 41:
      if (env.context == nullptr) return kFail;
      out = MonthDayYearText(env.context->Today());
      return 0;
    case 42: return ExprOpDateFormat(x, env, out);
    case 44: return ExprOpArith(x, out);
    case 45: return ExprOpStr(x, out);
    default: return kFail;  // 43 and anything outside 1..45
  }
}

}  // namespace

int16_t RunExprOp(int op, std::string_view a, std::string_view b, std::string_view c,
                  const ExprOpEnv& env, std::string& out) {
  out.clear();
  const int16_t err = Dispatch(op, Args{a, b, c}, env, out);
  if (err != 0) {
    out.clear();
    return err;
  }
  if (out.size() > kEvalMaxText) {
    out.clear();
    return kFail;
  }
  return 0;
}

}  // namespace kelvarin::dbf
