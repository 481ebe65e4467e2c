#include "reports/formats/format_files.h"

#include <vector>

#include "platform/files/file_names.h"
#include "platform/files/file_system.h"
#include "platform/files/runtime_errors.h"
#include "platform/text/codepage.h"

namespace kelvarin::reports {

int FindFormatFile(platform::FileSystem& fs, const std::string& dir, const std::string& name,
                   std::optional<std::string>* file) {
  file->reset();
  std::vector<std::string> files;
  if (int error = fs.List(dir, &files)) return error;
  const std::string wanted = platform::AnsiUpperString(name);
  for (const std::string& f : files)
    if (platform::NameOfFile(f, platform::kFormatExt) == wanted) *file = f;
  return 0;
}

int CopyFormatFile(platform::FileSystem& fs, const std::string& dir, const std::string& fromFile,
                   const std::string& toName, std::string* at) {
  *at = platform::ReportFormatFile(dir, toName);
  std::string bytes;
  if (int error = platform::ReadWholeFile(fs, dir + "/" + fromFile, &bytes)) {
    *at = dir + "/" + fromFile;
    return error;
  }
  // The copy appears whole or not at all.
  return platform::CreateFileAtomic(fs, *at, bytes);
}

int RenameFormatFile(platform::FileSystem& fs, const std::string& dir, const std::string& fromFile,
                     const std::string& toName, std::string* at) {
  *at = platform::ReportFormatFile(dir, toName);
  const std::string from = dir + "/" + fromFile;
  if (int error = fs.RenameNoReplace(from, *at)) {
    if (error == platform::kErrFileNotFound) *at = from;
    return error;
  }
  return fs.SyncDirectory(dir);
}

int DeleteFormatFile(platform::FileSystem& fs, const std::string& dir, const std::string& file, std::string* at) {
  *at = dir + "/" + file;
  return fs.Remove(*at);
}

}  // namespace kelvarin::reports
