#include "dbf/db3_fixture.h"

namespace kelvarin::test_support {

void Db3Test::Start(const CatalogBuilder* cat, int16_t dest) {
  if (cat != nullptr) {
    ASSERT_TRUE(cat->Write());
    const std::string name = cat->path("").substr(dir_.path().size() + 1);
    platform::WritePrivateProfileString("Database", "CurrentDB", name, dir_.File("QAV.INI"));
  }
  platform::WritePrivateProfileString("Reports", "ReportDest", std::to_string(dest), dir_.File("QAV.INI"));
  program_ = std::make_unique<app::Program>(host_, dir_.path());
  program_->Start();
  host_.ClearRecord();
}

bool Db3Test::ReadCatalog(const std::string& name, CatalogContents* out) {
  store::CatalogFiles files;
  std::string fault;
  if (!st().ReadCatalogFiles(dir_.File(name), &files, &fault)) return false;
  out->defs = files.FieldDefs;
  out->header = files.Header;
  out->entries.clear();
  const int16_t f = st().OpenFileChecked(dir_.File(name + ".DAT"), 2, 0, 0);
  if (f == 0) return false;
  store::EntryRecord e;
  for (float n = 1; n <= files.Header.EntryCount; ++n) {
    if (!st().ReadEntry(e, files.Header, n, f)) break;
    out->entries.push_back(e);
  }
  st().files().Close(f);
  return true;
}

std::vector<std::string> Db3Test::Seen() const {
  std::vector<std::string> out;
  for (const std::string& line : host_.Transcript())
    if (line.rfind("Pointer(", 0) != 0) out.push_back(line);
  return out;
}

void Db3Test::NameExport(const std::string& typed, bool clearFirst) {
  host_.OnShow("frmEnterName", [typed, clearFirst](platform::Form& f) {
    auto* box = static_cast<platform::TextBox*>(f.FindControl("txtName"));
    if (clearFirst) box->UserSetText("");
    box->UserType(typed);
    static_cast<platform::CommandButton*>(f.FindControl("cmdOK"))->UserClick();
  });
}

}  // namespace kelvarin::test_support
