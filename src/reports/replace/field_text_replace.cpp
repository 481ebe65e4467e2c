#include "reports/replace/field_text_replace.h"

#include "platform/text/substr.h"
#include "platform/text/trim.h"

namespace kelvarin::reports {

namespace {
// Room the replacement may grow the text by.
constexpr size_t kRoom = 255;
}  // namespace

bool ReplaceInField(std::string& field, int16_t fieldLength, const std::string& search,
                    const std::string& replacement, bool caseSensitive) {
  if (fieldLength <= 0) return false;
  const std::string text(platform::TrimTrailingBlanks(field));
  // Most fields hold no occurrence: find that out on the text alone.
  if (platform::IsSubstr(search, text, caseSensitive) == 0) return false;
  // What the result holds ends at its first NUL, so a NUL in the
  // replacement never reaches the field.
  std::string buffer = text;
  if (platform::ReplaceSubstr(search, replacement, buffer, caseSensitive, kRoom) <= 0) return false;
  const size_t nul = buffer.find('\0');
  if (nul != std::string::npos) buffer.resize(nul);
  buffer.resize(static_cast<size_t>(fieldLength), ' ');
  field = std::move(buffer);
  return true;
}

}  // namespace kelvarin::reports
