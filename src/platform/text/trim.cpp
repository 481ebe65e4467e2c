#include "platform/text/trim.h"

namespace kelvarin::platform {

std::string_view TrimTrailingBlanks(std::string_view text) {
  size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ') --n;
  return text.substr(0, n);
}

std::string_view TrimTrailingPadding(std::string_view text) {
  size_t n = text.size();
  while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0')) --n;
  return text.substr(0, n);
}

void TrimTrailingBlanksInPlace(std::string& text) { text.resize(TrimTrailingBlanks(text).size()); }

void TrimTrailingPaddingInPlace(std::string& text) { text.resize(TrimTrailingPadding(text).size()); }

}  // namespace kelvarin::platform
