// Private profile files (QAV.INI): "[Section]" lines and "Key=Value" lines.
// Section and key names match without regard to case; a missing file, section
// or key gives the default; writing a key keeps every other line of the file
// as it was (creating the file, the section or the key when missing). Lines
// may end in CR LF, LF or CR alone, and end in CR LF when written. Text is
// Windows-1252 bytes, as read; in a file that begins with a UTF-8 byte-order
// mark (one edited elsewhere) it is UTF-8, and values are converted as they
// are read and written (the mark is kept).
//
// A write replaces the whole file at once (WriteFileAtomic): a failure or a
// crash leaves the file as it was or as written, never short. A file that
// exists but cannot be read is not rewritten.
#pragma once

#include <string>

namespace kelvarin::platform {

class FileSystem;

// Through the given file layer; WriteProfileString gives 0 or the run-time
// error of the failed read or write.
std::string GetPrivateProfileString(FileSystem& fs, const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path);
int GetPrivateProfileInt(FileSystem& fs, const std::string& section, const std::string& key, int defaultValue,
                         const std::string& path);
int WriteProfileString(FileSystem& fs, const std::string& section, const std::string& key,
                       const std::string& value, const std::string& path);

// The same on the disk.
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
