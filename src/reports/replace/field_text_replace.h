// Replacing a search text inside one field's text, as both replace runs do
// it for each field they look at.
#pragma once

#include <cstdint>
#include <string>

namespace kelvarin::reports {

// Replaces every occurrence of search in the field's text without its
// trailing blanks, with room for the text to grow by 255 characters; the
// result is cut to fieldLength characters and padded with blanks to exactly
// that many. The text is only changed when something was replaced: returns
// true then. The result never holds a NUL character. A field of length 0 or
// less never changes.
bool ReplaceInField(std::string& field, int16_t fieldLength, const std::string& search,
                    const std::string& replacement, bool caseSensitive);

}  // namespace kelvarin::reports
