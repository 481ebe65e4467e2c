#include "platform/file_exists.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text/codepage.h"
#include "platform/text/utf8.h"

namespace kelvarin::platform {
namespace {

// Names are compared as characters, not bytes: a name that is valid UTF-8 (as
// the disk holds them) is read as UTF-8, any other as Windows-1252, the
// program's own text. So a name the program holds in Windows-1252 still finds
// its file, and the bytes of one UTF-8 character never match part of another.
// The characters of s when it is valid UTF-8; false when it is not.
bool DecodeUtf8(const std::string& s, std::u32string& out) {
  out.clear();
  char32_t u;
  for (size_t i = 0; i < s.size();) {
    const size_t len = Utf8CharAt(s, i, &u);
    if (len == 0) return false;
    out.push_back(u);
    i += len;
  }
  return true;
}

std::u32string Characters(const std::string& s) {
  std::u32string out;
  if (DecodeUtf8(s, out)) return out;
  out.clear();
  for (char c : s) out.push_back(AnsiToUnicode(static_cast<unsigned char>(c)));
  return out;
}

// Lower case of the letters a catalog's names use: Latin (with the accented
// letters of Latin-1 and Latin Extended-A), Greek and Cyrillic.
char32_t Fold(char32_t u) {
  if (u >= 'A' && u <= 'Z') return u + 32;
  if (u < 0xC0) return u;
  if (u <= 0xDE) return u == 0xD7 ? u : u + 32;
  if (u >= 0x100 && u <= 0x137 && u != 0x130) return u | 1u;
  if (u >= 0x139 && u <= 0x148) return (u & 1u) ? u + 1 : u;
  if (u >= 0x14A && u <= 0x177) return u | 1u;
  if (u == 0x178) return 0xFF;
  if (u >= 0x179 && u <= 0x17E) return (u & 1u) ? u + 1 : u;
  if (u >= 0x391 && u <= 0x3A9 && u != 0x3A2) return u + 32;
  if (u >= 0x400 && u <= 0x40F) return u + 80;
  if (u >= 0x410 && u <= 0x42F) return u + 32;
  return u;
}

char32_t Upper(char32_t u) {
  if (u >= 'a' && u <= 'z') return u - 32;
  if (u < 0xE0) return u;
  if (u <= 0xFE) return u == 0xF7 ? u : u - 32;
  if (u == 0xFF) return 0x178;
  if (u >= 0x101 && u <= 0x137 && u != 0x131) return u & ~char32_t{1};
  if (u >= 0x13A && u <= 0x148) return (u & 1u) ? u : u - 1;
  if (u >= 0x14B && u <= 0x177) return u & ~char32_t{1};
  if (u >= 0x17A && u <= 0x17E) return (u & 1u) ? u : u - 1;
  if (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) return u - 32;
  if (u >= 0x430 && u <= 0x44F) return u - 32;
  if (u >= 0x450 && u <= 0x45F) return u - 80;
  return u;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  const std::u32string ca = Characters(a), cb = Characters(b);
  if (ca.size() != cb.size()) return false;
  for (size_t i = 0; i < ca.size(); ++i)
    if (Fold(ca[i]) != Fold(cb[i])) return false;
  return true;
}

// Case-blind match of name against a pattern of "*" and "?" ("?" stands for
// one character). Iterative with one backtrack point, so no pattern takes
// more than quadratic time.
bool WildMatch(const std::u32string& pattern, const std::u32string& name) {
  size_t p = 0, n = 0, starP = std::u32string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == U'?' || Fold(pattern[p]) == Fold(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == U'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u32string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == U'*') ++p;
  return p == pattern.size();
}

bool MatchesSearch(const std::string& patternText, const std::string& nameText) {
  const std::u32string pattern = Characters(patternText), name = Characters(nameText);
  if (WildMatch(pattern, name)) return true;
  // "NAME.*" also finds NAME without an extension, as a directory search does.
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, U".*") == 0)
    return name.find(U'.') == std::u32string::npos &&
           WildMatch(pattern.substr(0, pattern.size() - 2), name);
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
          const std::vector<std::string> names = ListDir(out);
          const std::u32string wanted = Characters(part);
          // The same characters in another encoding first, then another case.
          auto found = std::find_if(names.begin(), names.end(),
                                    [&](const std::string& name) { return Characters(name) == wanted; });
          if (found == names.end())
            found = std::find_if(names.begin(), names.end(),
                                 [&](const std::string& name) { return EqualNoCase(name, part); });
          missing = found == names.end();
          if (!missing) chosen = *found;
        }
      }
      // A name not on disk reaches it in UTF-8, as every name there is.
      if (missing && !IsUtf8(chosen)) chosen = AnsiToUtf8(chosen);
      out = Join(out, chosen);
    }
    if (next == path.size()) break;
    i = next + 1;
  }
  // Keep a trailing separator the caller gave.
  if (!path.empty() && path.back() == '/' && (out.empty() || out.back() != '/')) out += '/';
  return out;
}

std::string UpperCasePath(const std::string& path) {
  std::u32string chars;
  if (!DecodeUtf8(path, chars)) return AnsiUpperString(path);
  std::string out;
  out.reserve(path.size());
  for (char32_t u : chars) AppendUtf8(out, Upper(u));
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
