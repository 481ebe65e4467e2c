// UTF-8, read strictly and written, in one place: the disk's file names,
// the paths shown in messages and the GUI's text all go through these.
// Only the shortest form of a character up to U+10FFFF, surrogates
// excluded, counts as UTF-8; anything else is left to the caller to read
// another way (as Windows-1252, or as "?").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvarin::platform {

// The length of the well-formed UTF-8 character at text[i] (1 for ASCII)
// and, through out, the character; 0 when the bytes there are not one.
size_t Utf8CharAt(std::string_view text, size_t i, char32_t* out);

// The whole text is well-formed UTF-8.
bool IsUtf8(std::string_view text);

void AppendUtf8(std::string& out, char32_t u);

}  // namespace kelvarin::platform
