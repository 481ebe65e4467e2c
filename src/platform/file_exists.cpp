#include "platform/file_exists.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace kelvarin::platform {
namespace {

// Case folding of the program's Windows-1252 text: ASCII and the accented
// letters, so that a name the engine upper-cased still finds its file.
char Lower(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  if (u == 0x8A || u == 0x8C || u == 0x8E) return static_cast<char>(u + 16);
  if (u == 0x9F) return static_cast<char>(0xFF);
  return c;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Case-blind match of name against a pattern of "*" and "?". Iterative with
// one backtrack point, so no pattern takes more than quadratic time.
bool WildMatch(const std::string& pattern, const std::string& name) {
  size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool MatchesSearch(const std::string& pattern, const std::string& name) {
  if (WildMatch(pattern, name)) return true;
  // "NAME.*" also finds NAME without an extension, as a directory search does.
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0)
    return name.find('.') == std::string::npos && WildMatch(pattern.substr(0, pattern.size() - 2), name);
  return false;
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return names;
  while (const dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

bool IsNormalFile(const std::string& path, const std::string& name) {
  if (name.empty() || name[0] == '.') return false;
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

void SplitLast(const std::string& path, std::string& dir, std::string& last) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    dir.clear();
    last = path;
  } else {
    dir = path.substr(0, slash == 0 ? 1 : slash);
    last = path.substr(slash + 1);
  }
}

}  // namespace

std::string ResolvePath(const std::string& input) {
  std::string path = input;
  std::replace(path.begin(), path.end(), '\\', '/');
  std::string out;
  size_t i = 0;
  if (!path.empty() && path[0] == '/') {
    out.push_back('/');
    i = 1;
  }
  bool missing = false;  // once a folder is missing, the rest is kept as given
  while (i <= path.size()) {
    size_t next = path.find('/', i);
    if (next == std::string::npos) next = path.size();
    std::string part = path.substr(i, next - i);
    if (!part.empty()) {
      std::string chosen = part;
      if (!missing && part != "." && part != "..") {
        struct stat st {};
        const std::string exact = Join(out, part);
        if (::lstat(exact.c_str(), &st) != 0) {
          bool found = false;
          for (const auto& name : ListDir(out)) {
            if (EqualNoCase(name, part)) {
              chosen = name;
              found = true;
              break;
            }
          }
          missing = !found;
        }
      }
      out = Join(out, chosen);
    }
    if (next == path.size()) break;
    i = next + 1;
  }
  // Keep a trailing separator the caller gave.
  if (!path.empty() && path.back() == '/' && (out.empty() || out.back() != '/')) out += '/';
  return out;
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  std::string normal = path;
  std::replace(normal.begin(), normal.end(), '\\', '/');
  std::string dir, last;
  SplitLast(normal, dir, last);
  if (last.empty()) return false;
  const std::string folder = dir.empty() ? std::string() : ResolvePath(dir);
  if (last.find_first_of("*?") == std::string::npos) {
    // Plain name: exact first, then case-blind.
    const std::string exact = Join(folder, last);
    if (IsNormalFile(exact, last)) return true;
    for (const auto& name : ListDir(folder))
      if (EqualNoCase(name, last) && IsNormalFile(Join(folder, name), name)) return true;
    return false;
  }
  for (const auto& name : ListDir(folder))
    if (MatchesSearch(last, name) && IsNormalFile(Join(folder, name), name)) return true;
  return false;
}

}  // namespace kelvarin::platform
