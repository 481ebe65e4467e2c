#include "platform/text/substr.h"

#include "platform/text/codepage.h"

namespace kelvarin::platform {
namespace {

bool SameAt(const std::string& text, size_t at, const std::string& sub, bool caseSensitive) {
  if (at + sub.size() > text.size()) return false;
  for (size_t i = 0; i < sub.size(); ++i) {
    unsigned char a = static_cast<unsigned char>(text[at + i]);
    unsigned char b = static_cast<unsigned char>(sub[i]);
    if (a == b) continue;
    if (caseSensitive || AnsiUpper(a) != AnsiUpper(b)) return false;
  }
  return true;
}

size_t Find(const std::string& text, const std::string& sub, size_t from, bool caseSensitive) {
  if (sub.empty() || sub.size() > text.size()) return std::string::npos;
  for (size_t at = from; at + sub.size() <= text.size(); ++at)
    if (SameAt(text, at, sub, caseSensitive)) return at;
  return std::string::npos;
}

}  // namespace

int16_t IsSubstr(const std::string& sub, const std::string& text, bool caseSensitive) {
  return Find(text, sub, 0, caseSensitive) == std::string::npos ? 0 : -1;
}

int16_t ReplaceSubstr(const std::string& search, const std::string& replacement,
                      std::string& buffer, bool caseSensitive, size_t room) {
  if (search.empty()) return 0;
  const size_t limit = buffer.size() + room;
  std::string result;
  int16_t count = 0;
  size_t from = 0;
  while (true) {
    size_t at = Find(buffer, search, from, caseSensitive);
    if (at == std::string::npos) break;
    size_t grownTo = result.size() + (at - from) + replacement.size() + (buffer.size() - at - search.size());
    if (grownTo > limit || count == INT16_MAX) break;
    result.append(buffer, from, at - from);
    result += replacement;
    from = at + search.size();
    ++count;
  }
  if (count == 0) return 0;
  result.append(buffer, from, std::string::npos);
  buffer = std::move(result);
  return count;
}

}  // namespace kelvarin::platform
