// Blank trimming as the engine and its evaluator do it: only the blank (0x20)
// is trimmed, never tabs or other white space.
#pragma once

#include <string_view>

namespace kelvarin::dbf {

std::string_view TrimBlanks(std::string_view text);
std::string_view TrimLeftBlanks(std::string_view text);
std::string_view TrimRightBlanks(std::string_view text);

}  // namespace kelvarin::dbf
