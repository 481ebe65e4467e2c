// Code page conversions. Text lives in memory as Windows-1252 bytes; catalog
// files hold code page 437 (the OEM code page), and the GUI wants Unicode.
// Each conversion maps byte for byte (or character for character), so fixed
// field lengths survive. Characters the target code page lacks take a
// best-fit substitute (accents dropped, box drawing to + - |), as the old
// OEM/ANSI conversion did, so a conversion never fails.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace kelvarin::platform {

// Windows-1252 → code page 437, in place or as a copy.
void AnsiToOemInPlace(std::string& text);
std::string AnsiToOem(std::string_view text);
// Code page 437 → Windows-1252.
void OemToAnsiInPlace(std::string& text);
std::string OemToAnsi(std::string_view text);
// The table of OemToAnsi: code page 437 byte b is Windows-1252 byte table[b].
const unsigned char* OemToAnsiTable();
// The n bytes at in, converted by that table into out (which must not
// overlap them). Inline: entries are decoded text by text by the million.
inline void OemToAnsiCopy(const unsigned char* in, size_t n, char* out, const unsigned char* table) {
  // Eight bytes at a time, ASCII ones (the same in both code pages) copied
  // whole; the last eight overlap the word before, which the source, left
  // as it is, gives alike again.
  auto convert = [&](size_t at) {
    uint64_t word;
    std::memcpy(&word, in + at, 8);
    if ((word & 0x8080808080808080ull) == 0) {
      std::memcpy(out + at, &word, 8);
    } else {
      for (size_t j = at; j < at + 8; ++j) out[j] = static_cast<char>(table[in[j]]);
    }
  };
  if (n < 8) {
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(table[in[i]]);
    return;
  }
  for (size_t i = 0; i + 8 < n; i += 8) convert(i);
  convert(n - 8);
}

// Windows-1252 ↔ UTF-8 for the GUI. Unicode characters outside
// Windows-1252 become "?".
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view utf8);

// The Unicode code point of a Windows-1252 or code page 437 byte.
char32_t AnsiToUnicode(unsigned char byte);
char32_t OemToUnicode(unsigned char byte);

// Upper and lower case of a Windows-1252 byte (letters with accents too),
// as the platform's case-insensitive comparisons use.
unsigned char AnsiUpper(unsigned char byte);
unsigned char AnsiLower(unsigned char byte);
std::string AnsiUpperString(std::string_view text);
std::string AnsiLowerString(std::string_view text);
bool AnsiIsAlpha(unsigned char byte);

}  // namespace kelvarin::platform
