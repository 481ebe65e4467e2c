// Whole-file reads and the replace-by-rename write of settings files.
#include "platform/files/file_system.h"
#include "platform/files/runtime_errors.h"

namespace kelvarin::platform {

bool FileSystem::Exists(const std::string& path) {
  FileInfo info;
  return Stat(path, &info) == kErrNone && info.exists && !info.isDirectory;
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int ReadWholeFile(FileSystem& fs, const std::string& path, std::string* bytes) {
  bytes->clear();
  std::unique_ptr<RandomAccessFile> file;
  int error = fs.Open(path, FileAccess::Read, FileShare::NoClause, FileCreate::OpenExisting, &file);
  if (error != kErrNone) return error;
  int64_t size = 0;
  if ((error = file->Size(&size)) != kErrNone) return error;
  bytes->resize(static_cast<size_t>(size));
  size_t got = 0;
  if (size > 0 && (error = file->Read(0, bytes->data(), bytes->size(), &got)) != kErrNone) {
    bytes->clear();
    return error;
  }
  bytes->resize(got);
  return kErrNone;
}

int WriteFileAtomic(FileSystem& fs, const std::string& path, std::string_view bytes) {
  FileInfo info;
  int error = fs.Stat(path, &info);
  if (error != kErrNone) return error;
  // A rename would replace a read-only file as readily as any other.
  if (info.exists && (info.readOnly || info.isDirectory)) return kErrPathFileAccess;
  const std::string temp = path + ".kvtmp";
  {
    std::unique_ptr<RandomAccessFile> file;
    error = fs.Open(temp, FileAccess::Write, FileShare::NoClause, FileCreate::CreateOrTruncate, &file);
    if (error != kErrNone) return error;
    if (!bytes.empty()) error = file->Write(0, bytes.data(), bytes.size());
    if (error == kErrNone) error = file->Flush();
  }
  if (error == kErrNone) error = fs.Rename(temp, path);
  if (error != kErrNone) {
    fs.Remove(temp);
    return error;
  }
  return fs.SyncDirectory(DirectoryOf(path));
}

}  // namespace kelvarin::platform
