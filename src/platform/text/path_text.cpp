#include "platform/text/path_text.h"

#include "platform/text/codepage.h"

namespace kelvarin::platform {
namespace {

// The Windows-1252 byte of a character; -1 when the code page lacks it. The
// five unassigned bytes hold nothing, so their C1 controls count as lacking.
int AnsiByteOf(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
  if (u < 0xA0) return -1;
  for (int b = 0x80; b < 0xA0; ++b)
    if (AnsiToUnicode(static_cast<unsigned char>(b)) == u) return b;
  return -1;
}

// The length of the well-formed UTF-8 sequence of two or more bytes that
// starts at text[i] (shortest form, no surrogates, at most U+10FFFF) and
// its character; 0 when there is none.
size_t MultiByteAt(std::string_view text, size_t i, char32_t* out) {
  const auto lead = static_cast<unsigned char>(text[i]);
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

}  // namespace

std::string PathText(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size();) {
    char32_t u = 0;
    const size_t len = MultiByteAt(path, i, &u);
    if (len == 0) {
      out += path[i++];  // ASCII, or a byte of another code page
      continue;
    }
    if (const int b = AnsiByteOf(u); b >= 0) {
      out += static_cast<char>(b);
    } else {
      out += kForeignCharMark;
      out.append(path.substr(i, len));
    }
    i += len;
  }
  return out;
}

std::string TextToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t plain = 0;  // start of the text not yet converted
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != kForeignCharMark || i + 1 >= text.size()) continue;
    char32_t u = 0;
    const size_t len = MultiByteAt(text, i + 1, &u);
    if (len == 0 || AnsiByteOf(u) >= 0) continue;
    out += AnsiToUtf8(text.substr(plain, i - plain));
    out.append(text.substr(i + 1, len));
    i += len;
    plain = i + 1;
  }
  out += AnsiToUtf8(text.substr(plain));
  return out;
}

}  // namespace kelvarin::platform
