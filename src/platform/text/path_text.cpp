#include "platform/text/path_text.h"

#include "platform/text/codepage.h"
#include "platform/text/utf8.h"

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

}  // namespace

std::string PathText(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size();) {
    char32_t u = 0;
    const size_t len = Utf8CharAt(path, i, &u);
    if (len <= 1) {
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
    const size_t len = Utf8CharAt(text, i + 1, &u);
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
