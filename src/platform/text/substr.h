// Substring test and replacement, as the searches, the printed output and
// search and replace use them.
//
// IsSubstr returns -1 when `sub` occurs in `text`, else 0. An empty `sub`
// matches nothing (a search for nothing finds nothing).
//
// ReplaceSubstr replaces every occurrence of `search` in `buffer`, left to
// right, never rescanning replaced text (so occurrences do not overlap).
// `room` is how many characters the result may grow beyond the original text
// (the callers give 255); a replacement that would exceed it is not made, and
// the ones after it are not either, so the result never grows past the room.
// Returns the number of replacements made (0 when none).
//
// Without caseSensitive, letters compare by their Windows-1252 upper case
// (accented letters too).
#pragma once

#include <cstdint>
#include <string>

namespace kelvarin::platform {

int16_t IsSubstr(const std::string& sub, const std::string& text, bool caseSensitive);

int16_t ReplaceSubstr(const std::string& search, const std::string& replacement,
                      std::string& buffer, bool caseSensitive, size_t room = 255);

}  // namespace kelvarin::platform
