// Whole-file reads and the replace-by-rename write of settings files.
#include <random>

#include "platform/files/file_names.h"
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

int CreateUniqueFile(FileSystem& fs, const std::string& prefix, const std::string& suffix,
                     std::unique_ptr<RandomAccessFile>* out, std::string* path) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  int error = kErrFileExists;
  // Names already taken are passed over, as mkstemp does.
  for (int attempt = 0; attempt < 100 && error == kErrFileExists; ++attempt) {
    *path = prefix;
    for (size_t i = 0; i < kUniquePartLength; ++i) *path += kLetters[pick(random)];
    *path += suffix;
    error = fs.Open(*path, FileAccess::ReadWrite, FileShare::NoClause, FileCreate::CreateNew, out);
  }
  return error;
}

namespace {

// The bytes go to a new file beside path, which then takes path's place.
int WriteBeside(FileSystem& fs, const std::string& path, std::string_view bytes, bool replace) {
  std::string temp;
  int error;
  {
    std::unique_ptr<RandomAccessFile> file;
    error = CreateUniqueFile(fs, RewriteTempPrefix(path), "", &file, &temp);
    if (error != kErrNone) return error;
    if (!bytes.empty()) error = file->Write(0, bytes.data(), bytes.size());
    if (error == kErrNone) error = file->Flush();
  }
  if (error == kErrNone) error = replace ? fs.Rename(temp, path) : fs.RenameNoReplace(temp, path);
  if (error != kErrNone) {
    fs.Remove(temp);
    return error;
  }
  return fs.SyncDirectory(DirectoryOf(path));
}

}  // namespace

int WriteFileAtomic(FileSystem& fs, const std::string& path, std::string_view bytes) {
  FileInfo info;
  int error = fs.Stat(path, &info);
  if (error != kErrNone) return error;
  // A rename would replace a read-only file as readily as any other.
  if (info.exists && (info.readOnly || info.isDirectory)) return kErrPathFileAccess;
  return WriteBeside(fs, path, bytes, true);
}

int CreateFileAtomic(FileSystem& fs, const std::string& path, std::string_view bytes) {
  return WriteBeside(fs, path, bytes, false);
}

}  // namespace kelvarin::platform
