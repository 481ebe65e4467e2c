#include "platform/text/codepage.h"

#include <array>
#include <cstring>

#include "platform/text/utf8.h"

namespace kelvarin::platform {
namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned ones keep their C1 code.
constexpr char32_t kAnsi80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Code page 437 bytes 0x80..0xFF.
constexpr char32_t kOem80[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8,
    0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2,
    0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1,
    0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD,
    0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562,
    0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534,
    0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560,
    0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393,
    0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6,
    0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0,
    0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

// Best-fit substitutes for Unicode characters a code page lacks.
char BestFit(char32_t u) {
  switch (u) {
    case 0x00C0: case 0x00C1: case 0x00C2: case 0x00C3: return 'A';
    case 0x00C8: case 0x00CA: case 0x00CB: return 'E';
    case 0x00CC: case 0x00CD: case 0x00CE: case 0x00CF: return 'I';
    case 0x00D0: return 'D';
    case 0x00D2: case 0x00D3: case 0x00D4: case 0x00D5: case 0x00D8: return 'O';
    case 0x00D9: case 0x00DA: case 0x00DB: return 'U';
    case 0x00DD: case 0x0178: return 'Y';
    case 0x00E3: return 'a';
    case 0x00F0: return 'd';
    case 0x00F5: case 0x00F8: return 'o';
    case 0x00FD: return 'y';
    case 0x00DE: case 0x00FE: return 't';
    case 0x00D7: return 'x';
    case 0x00A9: return 'c';
    case 0x00AE: return 'R';
    case 0x00B9: return '1';
    case 0x00B3: return '3';
    case 0x00A6: return '|';
    case 0x00A8: case 0x00B4: case 0x2018: case 0x2019: case 0x201A: return '\'';
    case 0x201C: case 0x201D: case 0x201E: return '"';
    case 0x2013: case 0x2014: return '-';
    case 0x2026: return '.';
    case 0x0160: return 'S';
    case 0x0161: return 's';
    case 0x017D: return 'Z';
    case 0x017E: return 'z';
    case 0x0152: return 'O';
    case 0x0153: return 'o';
    case 0x2039: return '<';
    case 0x203A: return '>';
    case 0x02DC: return '~';
    case 0x02C6: return '^';
    case 0x2122: return 'T';
    case 0x20AC: return 'E';
    case 0x2020: case 0x2021: return '+';
    case 0x2030: return '%';
    case 0x00A4: return 'o';
    case 0x00AF: return '-';
    case 0x00B8: return ',';
    case 0x00BE: return '3';
    // Code page 437 characters that Windows-1252 lacks.
    case 0x2502: case 0x2551: return '|';
    case 0x2500: case 0x2550: return '-';
    case 0x2591: case 0x2592: case 0x2593: case 0x2588: case 0x2584: case 0x258C: case 0x2590:
    case 0x2580: case 0x25A0: return '#';
    case 0x03B1: return 'a';
    case 0x0393: return 'G';
    case 0x03C0: return 'p';
    case 0x03A3: return 'S';
    case 0x03C3: return 's';
    case 0x03C4: return 't';
    case 0x03A6: return 'F';
    case 0x0398: return 'T';
    case 0x03A9: return 'O';
    case 0x03B4: return 'd';
    case 0x221E: return '8';
    case 0x03C6: return 'f';
    case 0x03B5: return 'e';
    case 0x2229: case 0x207F: return 'n';
    case 0x2261: return '=';
    case 0x2265: return '>';
    case 0x2264: return '<';
    case 0x2320: return '(';
    case 0x2321: return ')';
    case 0x2248: return '~';
    case 0x2219: return '.';
    case 0x221A: return 'v';
    case 0x20A7: return 'P';
    case 0x2310: return '-';
    default: break;
  }
  if (u >= 0x2500 && u <= 0x257F) return '+';  // remaining box corners and junctions
  return '?';
}

struct Tables {
  std::array<unsigned char, 256> ansiToOem{};
  std::array<unsigned char, 256> oemToAnsi{};
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};
};

int AnsiByteOf(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
  for (int i = 0; i < 32; ++i)
    if (kAnsi80[i] == u) return 0x80 + i;
  return -1;
}

int OemByteOf(char32_t u) {
  if (u < 0x80) return static_cast<int>(u);
  for (int i = 0; i < 128; ++i)
    if (kOem80[i] == u) return 0x80 + i;
  return -1;
}

Tables BuildTables() {
  Tables t;
  for (int b = 0; b < 256; ++b) {
    int oem = OemByteOf(AnsiToUnicode(static_cast<unsigned char>(b)));
    t.ansiToOem[b] = static_cast<unsigned char>(oem >= 0 ? oem : BestFit(AnsiToUnicode(static_cast<unsigned char>(b))));
    int ansi = AnsiByteOf(OemToUnicode(static_cast<unsigned char>(b)));
    t.oemToAnsi[b] = static_cast<unsigned char>(ansi >= 0 ? ansi : BestFit(OemToUnicode(static_cast<unsigned char>(b))));
    t.upper[b] = t.lower[b] = static_cast<unsigned char>(b);
  }
  for (int b = 'a'; b <= 'z'; ++b) {
    t.upper[b] = static_cast<unsigned char>(b - 32);
    t.lower[b - 32] = static_cast<unsigned char>(b);
  }
  // Latin-1 letters: lower 0xE0..0xFE (but 0xF7 ÷) pair with 0xC0..0xDE (but 0xD7 ×).
  for (int b = 0xE0; b <= 0xFE; ++b) {
    if (b == 0xF7) continue;
    t.upper[b] = static_cast<unsigned char>(b - 32);
    t.lower[b - 32] = static_cast<unsigned char>(b);
  }
  t.upper[0x9A] = 0x8A; t.lower[0x8A] = 0x9A;  // š Š
  t.upper[0x9C] = 0x8C; t.lower[0x8C] = 0x9C;  // œ Œ
  t.upper[0x9E] = 0x8E; t.lower[0x8E] = 0x9E;  // ž Ž
  t.upper[0xFF] = 0x9F; t.lower[0x9F] = 0xFF;  // ÿ Ÿ
  return t;
}

const Tables& T() {
  static const Tables tables = BuildTables();
  return tables;
}

}  // namespace

char32_t AnsiToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kAnsi80[byte - 0x80];
  return byte;
}

char32_t OemToUnicode(unsigned char byte) {
  if (byte >= 0x80) return kOem80[byte - 0x80];
  return byte;
}

void AnsiToOemInPlace(std::string& text) {
  for (char& c : text) c = static_cast<char>(T().ansiToOem[static_cast<unsigned char>(c)]);
}

std::string AnsiToOem(std::string_view text) {
  std::string out(text);
  AnsiToOemInPlace(out);
  return out;
}

void OemToAnsiInPlace(std::string& text) {
  // The table once: looked up in the loop, its first-use check would be
  // made again for every byte written. Bytes below 0x80 stand for
  // themselves in both code pages: eight of them at a time are passed over.
  const auto& table = T().oemToAnsi;
  char* p = text.data();
  const size_t n = text.size();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, p + i, 8);
    if ((word & 0x8080808080808080ull) == 0) continue;
    for (size_t j = i; j < i + 8; ++j) p[j] = static_cast<char>(table[static_cast<unsigned char>(p[j])]);
  }
  for (; i < n; ++i) p[i] = static_cast<char>(table[static_cast<unsigned char>(p[i])]);
}

const unsigned char* OemToAnsiTable() { return T().oemToAnsi.data(); }

std::string OemToAnsi(std::string_view text) {
  std::string out(text);
  OemToAnsiInPlace(out);
  return out;
}

std::string AnsiToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, AnsiToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t u = 0;
    const size_t len = Utf8CharAt(utf8, i, &u);
    if (len == 0) {
      out += '?';
      ++i;
      continue;
    }
    i += len;
    const int b = AnsiByteOf(u);
    out += b >= 0 ? static_cast<char>(b) : '?';
  }
  return out;
}

unsigned char AnsiUpper(unsigned char byte) { return T().upper[byte]; }
unsigned char AnsiLower(unsigned char byte) { return T().lower[byte]; }

std::string AnsiUpperString(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(AnsiUpper(static_cast<unsigned char>(c)));
  return out;
}

std::string AnsiLowerString(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(AnsiLower(static_cast<unsigned char>(c)));
  return out;
}

bool AnsiIsAlpha(unsigned char byte) {
  return T().upper[byte] != T().lower[byte] || byte == 0xDF || byte == 0xAA || byte == 0xBA ||
         byte == 0x83;
}

}  // namespace kelvarin::platform
