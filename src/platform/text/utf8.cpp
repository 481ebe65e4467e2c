#include "platform/text/utf8.h"

namespace kelvarin::platform {

size_t Utf8CharAt(std::string_view text, size_t i, char32_t* out) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) {
    *out = lead;
    return 1;
  }
  size_t len;
  char32_t u, least;
  if (lead >= 0xC2 && lead <= 0xDF) { len = 2; u = lead & 0x1Fu; least = 0x80; }
  else if (lead >= 0xE0 && lead <= 0xEF) { len = 3; u = lead & 0x0Fu; least = 0x800; }
  else if (lead >= 0xF0 && lead <= 0xF4) { len = 4; u = lead & 0x07u; least = 0x10000; }
  else return 0;
  if (text.size() - i < len) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    u = (u << 6) | (c & 0x3Fu);
  }
  if (u < least || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return 0;
  *out = u;
  return len;
}

bool IsUtf8(std::string_view text) {
  char32_t u;
  for (size_t i = 0; i < text.size();) {
    const size_t len = Utf8CharAt(text, i, &u);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

}  // namespace kelvarin::platform
