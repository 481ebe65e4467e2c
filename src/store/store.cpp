#include "store/store.h"

#include <algorithm>

#include "platform/files/file_system.h"
#include "platform/text/codepage.h"
#include "platform/files/file_names.h"

namespace kelvarin::store {

Store::Store(platform::Host& host, platform::FilePool& files) : host_(host), files_(files) {
  for (int i = 0; i < kFieldCount; ++i) {
    FieldDefs[static_cast<size_t>(i)].FieldName = "Line " + std::to_string(i + 1);
    FieldDefs[static_cast<size_t>(i)].FieldName.resize(kFieldNameLength, ' ');
  }
}

Store::~Store() { indexes_.InitIndexes(); }

void Store::SetAppDir(const std::string& dir) {
  AppDir = dir;
  while (AppDir.size() > 1 && (AppDir.back() == '/' || AppDir.back() == '\\')) AppDir.pop_back();
  DataDir = AppDir;
}

std::string Store::IniPath() const { return platform::ProgramSettingsFile(AppDir); }

std::string Store::CatalogPath(const std::string& name, const std::string& ext) const {
  return platform::CatalogFile(DataDir, name, ext);
}

int Store::ReportFormatPath(const std::string& name, std::string* path) const {
  *path = platform::ReportFormatFile(AppDir, name);
  std::vector<std::string> files;
  if (int error = fileSystem().List(AppDir, &files)) return error;
  // Another program may have written the name in another letter case.
  const std::string spelt = path->substr(AppDir.size() + 1);
  const std::string wanted = platform::AnsiUpperString(name);
  if (std::find(files.begin(), files.end(), spelt) == files.end())
    for (const std::string& file : files)
      if (platform::NameOfFile(file, platform::kFormatExt) == wanted) *path = AppDir + "/" + file;
  return 0;
}

std::string Store::IndexPath(const std::string& catalogName, int slot) const {
  return platform::SharedIndexFile(DataDir, catalogName, slot);
}

bool Store::CheckFileName(const std::string& name, const std::string& kind) {
  if (platform::IsValidName(name)) return true;
  host_.MsgBox("Invalid " + kind + " name: " + name + "\rA name has 1 to 8 letters and digits.",
               platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
  return false;
}

std::vector<std::string> Store::ListCatalogs() const { return platform::ListCatalogNames(fileSystem(), DataDir); }

void Store::MeasureFonts() {
  platform::FontMeasures m = host_.MainFontMeasures();
  MaxCharWidth = m.maxCharWidth;
  AvgCharWidth = m.avgCharWidth;
  CharHeight = m.charHeight;
  LineHeight = static_cast<int16_t>(m.charHeight + 4 * host_.Screen().twipsPerPixelY);
}

void Store::ShowMessage(const std::string& text) { host_.MsgBox(text); }

}  // namespace kelvarin::store
