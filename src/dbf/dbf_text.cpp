#include "dbf/dbf_text.h"

namespace kelvarin::dbf {

std::string_view TrimLeftBlanks(std::string_view text) {
  size_t b = 0;
  while (b < text.size() && text[b] == ' ') ++b;
  return text.substr(b);
}

std::string_view TrimRightBlanks(std::string_view text) {
  size_t e = text.size();
  while (e > 0 && text[e - 1] == ' ') --e;
  return text.substr(0, e);
}

std::string_view TrimBlanks(std::string_view text) { return TrimRightBlanks(TrimLeftBlanks(text)); }

}  // namespace kelvarin::dbf
