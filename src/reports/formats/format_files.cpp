#include "reports/formats/format_files.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace kelvarin::reports {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Reason(int error) { return std::generic_category().message(error); }

std::string Join(const std::string& dir, const std::string& file) { return dir + "/" + file; }

// Whether a file of that name, in any letter case, is in dir.
bool ExistsIgnoringCase(const std::string& dir, const std::string& file) {
  std::string wanted = Upper(file);
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (Upper(it->path().filename().string()) == wanted) return true;
  return false;
}

// Writes all of len bytes; false with errno set otherwise.
bool WriteAll(int fd, const char* data, size_t len) {
  while (len > 0) {
    ssize_t n = ::write(fd, data, len);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    len -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool IsFormatName(const std::string& name) {
  if (name.empty() || name.size() > 8) return false;
  for (char c : name)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  return true;
}

std::string FormatFileName(const std::string& name) { return Upper(name) + ".FMT"; }

std::optional<std::string> FindFormatFile(const std::string& dir, const std::string& name) {
  std::string wanted = FormatFileName(name);
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string file = it->path().filename().string();
    if (Upper(file) == wanted) return file;
  }
  return std::nullopt;
}

std::string CopyFormatFile(const std::string& dir, const std::string& fromFile, const std::string& toFile) {
  if (ExistsIgnoringCase(dir, toFile)) return Reason(EEXIST);
  int in = ::open(Join(dir, fromFile).c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return Reason(errno);
  const std::string target = Join(dir, toFile);
  // O_EXCL: a file that appeared since the test above is not replaced.
  int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out < 0) {
    int error = errno;
    ::close(in);
    return Reason(error);
  }
  int error = 0;
  char buf[8192];
  for (;;) {
    ssize_t n = ::read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errno;
      break;
    }
    if (n == 0) break;
    if (!WriteAll(out, buf, static_cast<size_t>(n))) {
      error = errno;
      break;
    }
  }
  if (error == 0 && ::fsync(out) != 0) error = errno;
  if (::close(out) != 0 && error == 0) error = errno;
  ::close(in);
  if (error != 0) {
    ::unlink(target.c_str());
    return Reason(error);
  }
  return "";
}

std::string RenameFormatFile(const std::string& dir, const std::string& fromFile, const std::string& toFile) {
  if (ExistsIgnoringCase(dir, toFile)) return Reason(EEXIST);
  const std::string from = Join(dir, fromFile), to = Join(dir, toFile);
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return "";
  if (errno != EINVAL && errno != ENOSYS) return Reason(errno);
  // A file system without the no-replace rename: a second link (which
  // fails on an existing name), then the old one goes.
  if (::link(from.c_str(), to.c_str()) != 0) return Reason(errno);
  if (::unlink(from.c_str()) != 0) {
    int error = errno;
    ::unlink(to.c_str());
    return Reason(error);
  }
  return "";
}

std::string DeleteFormatFile(const std::string& dir, const std::string& file) {
  if (::unlink(Join(dir, file).c_str()) != 0) return Reason(errno);
  return "";
}

}  // namespace kelvarin::reports
