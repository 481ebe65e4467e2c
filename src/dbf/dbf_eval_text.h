// Letter case of Windows-1252 text as the evaluator's case operations see
// it: ASCII letters and the accented letters of the code page (Š, Œ, Ž, Ÿ and
// À..Þ without ×). ß and µ have no other case here.
#pragma once

#include <string>
#include <string_view>

namespace kelvarin::dbf {

char LowerChar1252(char c);
char UpperChar1252(char c);
std::string LowerCase1252(std::string_view text);
std::string UpperCase1252(std::string_view text);

}  // namespace kelvarin::dbf
