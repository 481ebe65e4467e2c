// The checked file open, the file-error dialog and the write-failure message.
#include "platform/files/file_system.h"
#include "platform/files/runtime_errors.h"
#include "platform/text/path_text.h"
#include "store/store.h"

namespace kelvarin::store {
namespace {

using platform::FileAccess;
using platform::FileCreate;
using platform::PathText;

}  // namespace

std::string Store::FileErrorText(int error, const std::string& file) const {
  const std::string cr = "\r";
  const std::string path = platform::PathText(file);  // as shown; the layer is asked about file
  platform::FileSystem& fs = fileSystem();
  platform::FileInfo info, folder;
  // The causes the run-time error leaves open are asked of the file layer;
  // a question it cannot answer leaves the general text.
  auto folderMissing = [&] {
    return fs.Stat(platform::DirectoryOf(file), &folder) == 0 && (!folder.exists || !folder.isDirectory);
  };
  switch (error) {
    case platform::kErrFileNotFound:
      // The file system says "not found" for a missing folder too.
      if (folderMissing()) return "Path not found:" + cr + path;
      return "File not found:" + cr + path;
    case platform::kErrPathNotFound: return "Path not found:" + cr + path;
    case platform::kErrPermissionDenied:
      return "The file is in use or you may not open it:" + cr + path;
    case platform::kErrPathFileAccess:
      if (fs.Stat(file, &info) == 0 && info.exists) {
        if (info.isDirectory) return "A folder stands where the file should be:" + cr + path;
        if (info.readOnly) return "The file is read-only:" + cr + path;
      }
      // A file is written anew beside itself, so its folder must be writable.
      if (fs.Stat(platform::DirectoryOf(file), &folder) == 0 && folder.exists && folder.readOnly)
        return "The folder is read-only:" + cr + path;
      return "The file cannot be reached:" + cr + path;
    case platform::kErrDiskFull: return "The disk is full:" + cr + path;
    case platform::kErrTooManyFiles: return "Too many files are open. Close a window and try again.";
    case platform::kErrDeviceIO: return "The device failed while reading or writing:" + cr + path;
    case platform::kErrFileExists: return "The file already exists:" + cr + path;
    case platform::kErrBadFileNumber: return "Bad file name:" + cr + path;
    default:
      return std::string("File error ") + std::to_string(error) + " (" + platform::RuntimeErrorText(error) +
             "):" + cr + path;
  }
}

bool Store::ShowFileError(int error, const std::string& path) {
  return host_.MsgBox(FileErrorText(error, path), platform::MsgButtons::RetryCancel,
                      platform::MsgIcon::Exclamation) == platform::MsgAnswer::Retry;
}

void Store::TellWriteFailure(int error, const std::string& path) {
  host_.MsgBox("The file could not be written. " + FileErrorText(error, path), platform::MsgButtons::OK,
               platform::MsgIcon::Exclamation);
}

int16_t Store::OpenFileChecked(const std::string& path, int16_t mode, int16_t /*recordLength*/,
                               int16_t prompt) {
  FileAccess access = FileAccess::ReadWrite;
  FileCreate create = FileCreate::OpenOrCreate;
  switch (mode) {
    case 1: access = FileAccess::Write; create = FileCreate::CreateOrTruncate; break;
    case 2: access = FileAccess::Read; create = FileCreate::OpenExisting; break;
    case 4:
    case 5: break;
    default: return 0;
  }
  if (prompt != 0) {
    bool exists = fileSystem().Exists(path);
    if (mode == 1 && exists &&
        host_.MsgBox("Replace File?", platform::MsgButtons::YesNo, platform::MsgIcon::Question, PathText(path)) !=
            platform::MsgAnswer::Yes)
      return 0;
    if ((mode == 4 || mode == 5) && !exists &&
        host_.MsgBox("Create File?", platform::MsgButtons::YesNo, platform::MsgIcon::Question, PathText(path)) !=
            platform::MsgAnswer::Yes)
      return 0;
  }
  for (;;) {
    int number = files_.FreeFile();
    int error = number == 0 ? static_cast<int>(platform::kErrTooManyFiles)
                            : files_.Open(number, path, access, platform::FileShare::NoClause, create);
    if (error == 0) {
      if (mode == 5 || mode == 4) DropReadAhead();
      return static_cast<int16_t>(number);
    }
    if (!ShowFileError(error, path)) return 0;
  }
}

}  // namespace kelvarin::store
