#include "store/file_names.h"

#include <algorithm>

#include "platform/files/file_system.h"
#include "platform/text/codepage.h"

namespace kelvarin::store {

bool IsValidFileStem(const std::string& name) {
  if (name.empty() || name.size() > kMaxFileStemLength) return false;
  for (char c : name) {
    auto b = static_cast<unsigned char>(c);
    if (!(b >= '0' && b <= '9') && !platform::AnsiIsAlpha(b)) return false;
  }
  return true;
}

std::string InvalidNameMessage(const std::string& kind, const std::string& name) {
  return "Invalid " + kind + " name: " + name + "\rA name has 1 to 8 letters and digits.";
}

std::string StemOnDisk(const std::string& name) { return platform::AnsiToUtf8(name); }

std::string StemFromDisk(const std::string& stem) {
  std::string name = platform::Utf8ToAnsi(stem);
  return platform::AnsiToUtf8(name) == stem ? name : std::string();
}

std::vector<std::string> ListCatalogNames(platform::FileSystem& fs, const std::string& dataDir) {
  std::vector<std::string> files;
  fs.List(dataDir, &files);
  // Stems by extension, whatever the extension's case.
  auto stemsOf = [&files](const char* ext) {
    std::vector<std::string> stems;
    for (const std::string& f : files) {
      size_t dot = f.rfind('.');
      if (dot != std::string::npos && dot > 0 && platform::AnsiUpperString(f.substr(dot)) == ext)
        stems.push_back(f.substr(0, dot));
    }
    return stems;
  };
  std::vector<std::string> dats = stemsOf(".DAT");
  std::vector<std::string> names;
  for (const std::string& stem : stemsOf(".SET")) {
    if (std::find(dats.begin(), dats.end(), stem) == dats.end()) continue;
    std::string name = StemFromDisk(stem);
    if (IsValidFileStem(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return platform::AnsiUpperString(a) < platform::AnsiUpperString(b);
  });
  return names;
}

}  // namespace kelvarin::store
