#include "store/store.h"

#include <algorithm>
#include <cstdio>

#include "platform/files/file_system.h"
#include "platform/text/codepage.h"
#include "store/file_names.h"

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

std::string Store::IniPath() const { return AppDir + "/QAV.INI"; }

// Names are Windows-1252 in memory and UTF-8 on the disk.
std::string Store::CatalogPath(const std::string& name, const std::string& ext) const {
  return DataDir + "/" + StemOnDisk(name) + ext;
}

std::string Store::ReportFormatPath(const std::string& name) const {
  return AppDir + "/" + StemOnDisk(name) + ".FMT";
}

std::string Store::IndexPath(const std::string& catalogName, int slot) const {
  std::string stem = catalogName.substr(0, 6);
  stem.resize(6, 'X');
  char number[16];
  std::snprintf(number, sizeof number, "%02d", slot + 1);
  return DataDir + "/" + StemOnDisk(stem) + number + ".WDX";
}

bool Store::CheckFileName(const std::string& name, const std::string& kind) {
  if (IsValidFileStem(name)) return true;
  host_.MsgBox(InvalidNameMessage(kind, name), platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
  return false;
}

std::vector<std::string> Store::ListCatalogs() const { return ListCatalogNames(fileSystem(), DataDir); }

void Store::MeasureFonts() {
  platform::FontMeasures m = host_.MainFontMeasures();
  MaxCharWidth = m.maxCharWidth;
  AvgCharWidth = m.avgCharWidth;
  CharHeight = m.charHeight;
  LineHeight = static_cast<int16_t>(m.charHeight + 4 * host_.Screen().twipsPerPixelY);
}

void Store::ShowMessage(const std::string& text) { host_.MsgBox(text); }

}  // namespace kelvarin::store
