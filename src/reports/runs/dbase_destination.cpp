#include "reports/runs/dbase_destination.h"

#include "platform/file_exists.h"
#include "platform/files/file_system.h"
#include "platform/text/number_text.h"
#include "platform/text/path_text.h"
#include "reports/output/report_job.h"

namespace kelvarin::reports {

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
  std::string message =
      "Wrote" + platform::SignedNumber(count) + " entries to DBASE III file: " + platform::PathText(Path());
  ReportJob(host_, store_, state_).ShowTotals(message);
}

void DbaseDestination::Discard() {
  CloseFile();
  // The engine may have written the name in another letter case.
  store_.fileSystem().Remove(platform::ResolvePath(Path()));
}

}  // namespace kelvarin::reports
