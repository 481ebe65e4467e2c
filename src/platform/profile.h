// Private profile files (QAV.INI): "[Section]" lines and "Key=Value" lines.
// Section and key names match without regard to case; a missing file, section
// or key gives the default; writing a key keeps every other line of the file
// as it was (creating the file, the section or the key when missing). Lines
// end in CR LF when written. Text is Windows-1252 bytes, as read.
#pragma once

#include <string>

namespace kelvarin::platform {

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path);
// The leading decimal number of the value, or the default when the key is
// missing or does not begin with a number.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                         const std::string& path);
// Returns false when the file cannot be written.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);

}  // namespace kelvarin::platform
