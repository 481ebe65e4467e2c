// The export of a run's matches to a new dBase III file.
#include "dbf/db3_exchange.h"
#include "platform/file_exists.h"
#include "platform/files/file_system.h"
#include "platform/text/number_text.h"
#include "platform/text/path_text.h"
#include "platform/files/file_names.h"
#include "store/frm_enter_name.h"

namespace kelvarin::dbf {

Db3Exchange::Db3Exchange(platform::Host& host, store::Store& store, DbfEngine& engine,
                         std::array<float, store::kFieldCount>& fieldTotals)
    : host_(host), store_(store), engine_(engine), fieldTotals_(fieldTotals) {}

void Db3Exchange::ShowEngineError(int16_t err, const std::string& phrase) {
  DbfEngine::DbfErrorText(err, Db3ErrorMsg);
  host_.MsgBox(Db3ErrorMsg + phrase, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

std::string Db3Exchange::AskDb3ExportName() {
  store::frmEnterName prompt(store_);
  prompt.LoadForm();
  prompt.SetCaption("DBASE III Export");
  prompt.lblUserAction.SetCaption("Enter DBASEIII File Name, Extension will be .DBF");
  prompt.txtName.SetText(store_.CatalogName);
  prompt.SetTag("0");  // letters and digits: the answer names a file
  store_.DialogResult = 1;  // a prompt that closes without OK is a Cancel
  prompt.Show(platform::ShowMode::Modal);
  if (store_.DialogResult != 0) {
    prompt.UnloadForm();
    return "";
  }
  std::string name = prompt.Tag();
  prompt.UnloadForm();
  const std::string path = platform::Db3ExportFile(store_.AppDir, name);
  if (engine_.FileExists(path)) {
    const auto answer = host_.MsgBox("DBASE III File: " + platform::PathText(path) + " already exists, OVERWRITE?",
                                     platform::MsgButtons::YesNo, platform::MsgIcon::Question);
    if (answer != platform::MsgAnswer::Yes) return "";
  }
  return name;
}

void Db3Exchange::MakeDb3FieldName(std::string& name) {
  size_t end = name.find_last_not_of(' ');
  std::string cut = end == std::string::npos ? std::string() : name.substr(0, end + 1);
  if (cut.size() > 10) cut.resize(10);
  for (char& c : cut) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
      c = '_';
    }
  }
  name = cut;
}

bool Db3Exchange::CreateDb3Export(const std::string& path, int16_t& handle, int16_t& fieldCount) {
  DbfFieldDefs defs(22);
  fieldCount = 0;
  for (int s = 0; s < store::kFieldCount; ++s) {
    if (store_.CatalogHeader.FieldLength[static_cast<size_t>(s)] == 0) continue;
    ++fieldCount;
    std::string name = store_.FieldDefs[static_cast<size_t>(s)].FieldName;
    MakeDb3FieldName(name);
    auto& row = defs[static_cast<size_t>(fieldCount)];
    row[1].assign(1, '0');
    row[2] = std::to_string(store_.CatalogHeader.FieldLength[static_cast<size_t>(s)]);
    row[3].assign(1, 'C');
    row[4] = name;
  }
  defs[0][0] = std::to_string(fieldCount);
  return CreateDb3File(path, defs, handle);
}

bool Db3Exchange::CreateDb3File(const std::string& path, const DbfFieldDefs& fieldDefs, int16_t& handle) {
  int16_t err = 0;
  handle = -1;
  engine_.DbfCreate(path, handle, fieldDefs, static_cast<int16_t>(kCreateOrReplace | kHoldHeaderFlag), err);
  if (err == 0) {
    exportPaths_[handle] = path;
    Db3RecordsWritten = 0;
    return true;
  }
  ShowEngineError(err, "When Creating DBaseIII File: " + platform::PathText(path));
  // A file whose fields could not be defined is open in its slot, and on
  // disk without a header: give the slot back without writing one, and leave
  // no file that only looks like an export.
  if (const DbfSlot* slot = engine_.SlotAt(handle); slot != nullptr && !slot->IsFree()) {
    int16_t closeErr = 0;
    engine_.DbfClose(handle, closeErr, 2);
  }
  store_.fileSystem().Remove(platform::ResolvePath(path));
  handle = -1;
  return false;
}

void Db3Exchange::WriteDb3Entry(const store::EntryRecord& entry, int16_t handle, int16_t fieldCount) {
  // The strings are reused from entry to entry.
  values_.resize(22);
  for (std::string& v : values_) v.clear();
  int16_t k = 0;
  for (int s = 0; s < store::kFieldCount && k < fieldCount && k < 21; ++s) {
    const auto slot = static_cast<size_t>(s);
    if (store_.CatalogHeader.FieldLength[slot] == 0) continue;
    ++k;
    std::string& value = values_[static_cast<size_t>(k)];
    if (store_.Formulas[slot].Defined != 0) {
      value = store_.EvalFormula(entry, s);
    } else {
      value.assign(entry.FieldText[slot]);
    }
    if (store::IsSumField(store_.FieldDefs[slot].FieldKind))
      platform::AddToTotal(fieldTotals_[slot], value);
  }
  int16_t err = 0;
  int32_t recNo = 0;
  engine_.DbfAppendFields(handle, err, fieldCount, values_, recNo);
  if (err == 0) {
    Db3RecordsWritten = recNo;
    return;
  }
  std::string name;
  if (auto it = exportPaths_.find(handle); it != exportPaths_.end()) {
    name = it->second;
  } else if (const DbfSlot* slot = engine_.SlotAt(handle); slot != nullptr) {
    name = slot->FileName;
  }
  ShowEngineError(err, "When Writing DBaseIII File: " + platform::PathText(name));
}

void Db3Exchange::CloseDb3File(int16_t handle) {
  exportPaths_.erase(handle);
  int16_t err = 0;
  engine_.DbfClose(handle, err, 0);
  if (err != 0) ShowEngineError(err, "When Closing DBIII File");
}

}  // namespace kelvarin::dbf
