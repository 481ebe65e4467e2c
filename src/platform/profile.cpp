#include "platform/profile.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/files/file_system.h"
#include "platform/files/runtime_errors.h"
#include "platform/text/codepage.h"

namespace kelvarin::platform {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return AnsiUpperString(Trim(a)) == AnsiUpperString(Trim(b));
}

// A file edited elsewhere may begin with a UTF-8 byte-order mark: its text
// is UTF-8 then, which values are read and written in.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

struct ProfileLines {
  std::vector<std::string> lines;  // without their ends
  bool utf8 = false;
};

// The file's lines, ended by CR LF, LF or CR alone; a missing file has none.
// 0 or the read's error.
int ReadLines(FileSystem& fs, const std::string& path, ProfileLines* out) {
  *out = {};
  std::string bytes;
  int error = ReadWholeFile(fs, path, &bytes);
  if (error == kErrFileNotFound) return kErrNone;
  if (error != kErrNone) return error;
  std::string_view text = bytes;
  out->utf8 = text.substr(0, kUtf8Mark.size()) == kUtf8Mark;
  if (out->utf8) text.remove_prefix(kUtf8Mark.size());
  while (!text.empty()) {
    const size_t end = std::min(text.find_first_of("\r\n"), text.size());
    out->lines.emplace_back(text.substr(0, end));
    const size_t next = text.substr(end, 2) == "\r\n" ? end + 2 : end + 1;
    text.remove_prefix(std::min(next, text.size()));
  }
  return kErrNone;
}

// The section name of a "[Name]" line, or false.
bool SectionOf(const std::string& line, std::string& name) {
  std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = t.substr(1, close - 1);
  return true;
}

// Splits "Key=Value"; false for lines without '=' and comments.
bool KeyOf(const std::string& line, std::string& key, std::string& value) {
  std::string t = Trim(line);
  if (t.empty() || t[0] == ';') return false;
  size_t eq = t.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(t.substr(0, eq));
  value = Trim(t.substr(eq + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  return true;
}

}  // namespace

std::string GetPrivateProfileString(FileSystem& fs, const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path) {
  ProfileLines file;
  ReadLines(fs, path, &file);
  bool inSection = false;
  for (const std::string& line : file.lines) {
    std::string name, k, v;
    if (SectionOf(line, name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyOf(line, k, v) && SameName(k, key)) {
      return file.utf8 ? Utf8ToAnsi(v) : v;
    }
  }
  return defaultValue;
}

int GetPrivateProfileInt(FileSystem& fs, const std::string& section, const std::string& key, int defaultValue,
                         const std::string& path) {
  const std::string missing = "\x01";
  std::string v = GetPrivateProfileString(fs, section, key, missing, path);
  if (v == missing) return defaultValue;
  size_t i = 0;
  bool negative = false;
  if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
  if (i >= v.size() || v[i] < '0' || v[i] > '9') return 0;
  long long n = 0;
  for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
    n = n * 10 + (v[i] - '0');
    if (n > 0x7FFFFFFF) n = 0x7FFFFFFF;
  }
  return static_cast<int>(negative ? -n : n);
}

int WriteProfileString(FileSystem& fs, const std::string& section, const std::string& key,
                       const std::string& value, const std::string& path) {
  ProfileLines file;
  // A file that cannot be read is not rewritten: its other keys would be lost.
  if (int error = ReadLines(fs, path, &file)) return error;
  std::vector<std::string>& lines = file.lines;
  const std::string newLine = key + "=" + (file.utf8 ? AnsiToUtf8(value) : value);
  int sectionLine = -1, insertAt = -1;
  bool inSection = false, done = false;
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    std::string name, k, v;
    if (SectionOf(lines[i], name)) {
      if (inSection) break;  // end of our section
      inSection = SameName(name, section);
      if (inSection) {
        sectionLine = static_cast<int>(i);
        insertAt = static_cast<int>(i) + 1;
      }
    } else if (inSection) {
      if (KeyOf(lines[i], k, v) && SameName(k, key)) {
        lines[i] = newLine;
        done = true;
      } else if (!Trim(lines[i]).empty()) {
        insertAt = static_cast<int>(i) + 1;
      }
    }
  }
  if (!done) {
    if (sectionLine < 0) {
      if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back("");
      lines.push_back("[" + section + "]");
      lines.push_back(newLine);
    } else {
      lines.insert(lines.begin() + insertAt, newLine);
    }
  }
  std::string out(file.utf8 ? kUtf8Mark : "");
  for (const std::string& line : lines) out += line + "\r\n";
  return WriteFileAtomic(fs, path, out);
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path) {
  DiskFileSystem disk;
  return GetPrivateProfileString(disk, section, key, defaultValue, path);
}

int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                         const std::string& path) {
  DiskFileSystem disk;
  return GetPrivateProfileInt(disk, section, key, defaultValue, path);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
  DiskFileSystem disk;
  return WriteProfileString(disk, section, key, value, path) == kErrNone;
}

}  // namespace kelvarin::platform
