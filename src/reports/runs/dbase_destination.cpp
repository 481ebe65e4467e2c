#include "reports/runs/dbase_destination.h"

#include "platform/file_exists.h"
#include "platform/files/file_system.h"
#include "platform/text/number_text.h"
#include "platform/text/path_text.h"

namespace kelvarin::reports {
namespace {

// The closing message of a run: message, then for each summed field its
// name and total in the "Standard" format, in an OK box.
void ShowRunTotals(platform::Host& host, const store::Store& store,
                   const std::array<float, store::kFieldCount>& totals, std::string message) {
  bool first = true;
  for (int s = 0; s < store::kFieldCount; ++s) {
    const auto slot = static_cast<size_t>(s);
    if (!store::IsSumField(store.FieldDefs[slot].FieldKind)) continue;
    if (first) message += "\r\rTOTALS:\r\r";
    first = false;
    std::string name = store.FieldDefs[slot].FieldName;
    name.resize(store::kFieldNameLength, ' ');
    message += name + "\t\t:\t" + platform::StandardFormat(totals[slot], host.Locale()) + "\r";
  }
  host.MsgBox(message);
}

}  // namespace

bool DbaseDestination::AskName() {
  name_ = db3_.AskDb3ExportName();
  return !name_.empty();
}

bool DbaseDestination::Create() { return db3_.CreateDb3Export(Path(), handle_, fieldCount_); }

HandOver DbaseDestination::Take(float /*entryNumber*/, const store::EntryRecord& entry, float /*count*/) {
  db3_.WriteDb3Entry(entry, handle_, fieldCount_);
  return HandOver::Continue;
}

void DbaseDestination::CloseFile() {
  if (handle_ < 1) return;
  db3_.CloseDb3File(handle_);
  handle_ = -1;
}

void DbaseDestination::Close(float count) {
  CloseFile();
  ShowRunTotals(host_, store_, db3_.FieldTotals(),
                "Wrote" + platform::SignedNumber(count) + " entries to DBASE III file: " + platform::PathText(Path()));
}

void DbaseDestination::Discard() {
  CloseFile();
  // The engine may have written the name in another letter case.
  store_.fileSystem().Remove(platform::ResolvePath(Path()));
}

}  // namespace kelvarin::reports
