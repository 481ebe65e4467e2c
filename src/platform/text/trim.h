// Trailing padding of fixed-length texts. Catalog records pad their texts
// with blanks; a gap that a write beyond the end of a file left reads as
// NUL bytes, so texts read from records drop both.
#pragma once

#include <string>
#include <string_view>

namespace kelvarin::platform {

// Without trailing blanks (0x20).
std::string_view TrimTrailingBlanks(std::string_view text);
// Without trailing blanks and NUL bytes.
std::string_view TrimTrailingPadding(std::string_view text);

// The same, in place.
void TrimTrailingBlanksInPlace(std::string& text);
void TrimTrailingPaddingInPlace(std::string& text);

}  // namespace kelvarin::platform
