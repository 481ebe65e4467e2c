#include "platform/files/file_names.h"

#include <algorithm>
#include <cstdio>

#include "platform/files/file_system.h"
#include "platform/text/codepage.h"

namespace kelvarin::platform {
namespace {

constexpr std::string_view kRewriteMark = ".kvtmp-";
constexpr std::string_view kRebuildMark = ".WDX.new-";
constexpr std::string_view kImportMark = ".kvimp-";

std::string FieldNumber(int slot) {
  char number[16];
  std::snprintf(number, sizeof number, "%02d", slot + 1);
  return number;
}

bool IsUniquePart(std::string_view part) {
  return part.size() == kUniquePartLength && std::all_of(part.begin(), part.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
         });
}

// file is something + mark + the unique part + tail.
bool EndsWithUnique(std::string_view file, std::string_view mark, std::string_view tail) {
  const size_t length = mark.size() + kUniquePartLength + tail.size();
  if (file.size() <= length || !file.ends_with(tail)) return false;
  const std::string_view end = file.substr(file.size() - length);
  return end.starts_with(mark) && IsUniquePart(end.substr(mark.size(), kUniquePartLength));
}

}  // namespace

bool IsNameCharacter(unsigned char c) { return (c >= '0' && c <= '9') || AnsiIsAlpha(c); }

bool IsValidName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxNameLength &&
         std::all_of(name.begin(), name.end(), [](char c) { return IsNameCharacter(static_cast<unsigned char>(c)); });
}

std::string NameOnDisk(std::string_view name) { return AnsiToUtf8(name); }

std::string NameFromDisk(std::string_view stem) {
  std::string name = Utf8ToAnsi(stem);
  return AnsiToUtf8(name) == stem ? name : std::string();
}

std::string CatalogFile(const std::string& dir, std::string_view name, std::string_view ext) {
  return dir + "/" + NameOnDisk(name) + std::string(ext);
}

std::string SharedIndexFile(const std::string& dir, std::string_view catalogName, int slot) {
  std::string stem(catalogName.substr(0, 6));
  stem.resize(6, 'X');
  return dir + "/" + NameOnDisk(stem) + FieldNumber(slot) + ".WDX";
}

std::string OwnIndexFile(const std::string& dir, std::string_view catalogName, int slot) {
  return dir + "/" + NameOnDisk(catalogName) + "-" + FieldNumber(slot) + ".WDX";
}

std::string ReportFormatFile(const std::string& dir, std::string_view name) {
  return dir + "/" + ReportFormatFileName(name);
}

std::string ReportFormatFileName(std::string_view name) { return NameOnDisk(name) + kFormatExt; }

std::optional<std::string> NameOfFile(std::string_view file, std::string_view ext) {
  if (file.size() <= ext.size() || AnsiUpperString(file.substr(file.size() - ext.size())) != ext)
    return std::nullopt;
  const std::string_view stem = file.substr(0, file.size() - ext.size());
  const std::string name = NameFromDisk(stem);
  return AnsiUpperString(name.empty() ? stem : name);
}

std::string ProgramSettingsFile(const std::string& dir) { return dir + "/QAV.INI"; }

std::string Db3ExportFile(const std::string& dir, std::string_view name) {
  return dir + "/" + NameOnDisk(name) + ".DBF";
}

std::string AsciiFileOffer(const std::string& dir, std::string_view catalogName) {
  return dir + "/" + NameOnDisk(catalogName);
}

std::vector<std::string> ListCatalogNames(FileSystem& fs, const std::string& dir) {
  std::vector<std::string> files;
  fs.List(dir, &files);
  // Stems by extension, whatever the extension's case.
  auto stemsOf = [&files](std::string_view ext) {
    std::vector<std::string> stems;
    for (const std::string& f : files) {
      size_t dot = f.rfind('.');
      if (dot != std::string::npos && AnsiUpperString(f.substr(dot)) == ext)
        stems.push_back(f.substr(0, dot));
    }
    return stems;
  };
  std::vector<std::string> dats = stemsOf(kDataExt);
  std::vector<std::string> names;
  for (const std::string& stem : stemsOf(kSettingsExt)) {
    if (std::find(dats.begin(), dats.end(), stem) == dats.end()) continue;
    std::string name = NameFromDisk(stem);
    if (IsValidName(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return AnsiUpperString(a) < AnsiUpperString(b); });
  return names;
}

std::string RewriteTempPrefix(const std::string& path) { return path + std::string(kRewriteMark); }

std::string IndexRebuildTempPrefix(const std::string& indexPath) { return indexPath + ".new-"; }

std::string ImportTempPrefix(const std::string& dir, std::string_view catalogName) {
  return dir + "/" + NameOnDisk(catalogName) + std::string(kImportMark);
}

Leftover LeftoverKind(std::string_view file, std::string* stem) {
  if (EndsWithUnique(file, kRewriteMark, "") || EndsWithUnique(file, kRebuildMark, "")) return Leftover::Temporary;
  for (const auto& [ext, kind] : {std::pair{kSettingsExt, Leftover::ImportSettings},
                                  std::pair{kDataExt, Leftover::ImportData}}) {
    if (!EndsWithUnique(file, kImportMark, ext)) continue;
    if (stem) *stem = std::string(file.substr(0, file.size() - kImportMark.size() - kUniquePartLength - 4));
    return kind;
  }
  return Leftover::None;
}

}  // namespace kelvarin::platform
