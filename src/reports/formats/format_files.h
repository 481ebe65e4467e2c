// The report format files of the application directory as files: which
// exist, and copying, renaming and deleting them.
//
// Format names are 1 to 8 letters and digits, kept in upper case, and name
// the file NAME.FMT. A directory may hold files written by other means in
// any letter case ("books.fmt"); a name exists when any file matches it
// without regard to case, and no operation here replaces a file that
// exists. Failures come back as the system's reason, for the user.
#pragma once

#include <optional>
#include <string>

namespace kelvarin::reports {

// 1 to 8 ASCII letters and digits.
bool IsFormatName(const std::string& name);

// "NAME.FMT" for a format name (upper-cased).
std::string FormatFileName(const std::string& name);

// The name of the file in dir that is NAME.FMT without regard to letter
// case; nullopt when there is none.
std::optional<std::string> FindFormatFile(const std::string& dir, const std::string& name);

// Copies dir/fromFile to dir/toFile, which must not exist (any case);
// nothing is left behind when the copy fails. "" on success, else why.
std::string CopyFormatFile(const std::string& dir, const std::string& fromFile, const std::string& toFile);

// Renames dir/fromFile to dir/toFile without replacing an existing file.
std::string RenameFormatFile(const std::string& dir, const std::string& fromFile, const std::string& toFile);

std::string DeleteFormatFile(const std::string& dir, const std::string& file);

}  // namespace kelvarin::reports
