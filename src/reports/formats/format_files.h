// The report format files of the application directory as files: which
// exist, and copying, renaming and deleting them, through the file layer.
//
// A directory may hold files written by other means in any letter case
// ("books.fmt"); a name exists when any file stands for it without regard
// to case (platform/files/file_names.h: NameOfFile). No operation
// here replaces a file. Each gives 0 or the run-time error it met, with
// *at the path it met it at; a copy that fails leaves no new file.
#pragma once

#include <optional>
#include <string>

namespace kelvarin::platform {
class FileSystem;
}

namespace kelvarin::reports {

// The name of the file in dir that stands for the format name into *file
// (nullopt when there is none); an error when dir cannot be listed.
int FindFormatFile(platform::FileSystem& fs, const std::string& dir, const std::string& name,
                   std::optional<std::string>* file);

// Copies dir/fromFile to the format toName.
int CopyFormatFile(platform::FileSystem& fs, const std::string& dir, const std::string& fromFile,
                   const std::string& toName, std::string* at);

// Renames dir/fromFile to the format toName.
int RenameFormatFile(platform::FileSystem& fs, const std::string& dir, const std::string& fromFile,
                     const std::string& toName, std::string* at);

int DeleteFormatFile(platform::FileSystem& fs, const std::string& dir, const std::string& file, std::string* at);

}  // namespace kelvarin::reports
