#include "dbf/dbf_text.h"
#include "platform/text/trim.h"

namespace kelvarin::dbf {

std::string_view TrimLeftBlanks(std::string_view text) {
  size_t b = 0;
  while (b < text.size() && text[b] == ' ') ++b;
  return text.substr(b);
}

std::string_view TrimRightBlanks(std::string_view text) { return platform::TrimTrailingBlanks(text); }

std::string_view TrimBlanks(std::string_view text) { return TrimRightBlanks(TrimLeftBlanks(text)); }

}  // namespace kelvarin::dbf
