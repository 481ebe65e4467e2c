// The dBase III file as a run's destination: the user names the file (in
// AppDir, extension .DBF), the file is created with one column per used
// field, each match becomes a record, and the closing message names the
// file with the totals of the summed fields.
//
// Open asks and creates in one go; Search asks first and creates only once
// its walk is busy again, so it calls AskName and Create itself.
#pragma once

#include <string>

#include "dbf/db3_exchange.h"
#include "reports/report_state.h"
#include "reports/runs/destination.h"
#include "platform/files/file_names.h"

namespace kelvarin::reports {

class DbaseDestination : public RunDestination {
 public:
  // The export adds into the totals of state, which the closing message
  // shows.
  DbaseDestination(platform::Host& host, store::Store& store, ReportState& state, dbf::Db3Exchange& db3)
      : host_(host), store_(store), state_(state), db3_(db3) {}

  int16_t Kind() const override { return store::rdDbase; }
  bool Open() override { return AskName() && Create(); }
  HandOver Take(float entryNumber, const store::EntryRecord& entry, float count) override;
  // Closes the file and shows "Wrote N entries to DBASE III file: PATH" with
  // the totals.
  void Close(float count) override;
  // Closes the file and deletes it, without a message.
  void Discard() override;

  // The file name prompt; false when the user cancelled or declined to
  // overwrite.
  bool AskName();
  // Creates the file; false after the failure was shown (no file is left).
  bool Create();
  // AppDir/NAME.DBF, as the user typed NAME.
  std::string Path() const { return platform::Db3ExportFile(store_.AppDir, name_); }

 private:
  void CloseFile();

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  dbf::Db3Exchange& db3_;
  std::string name_;
  int16_t handle_ = -1;
  int16_t fieldCount_ = 0;
};

}  // namespace kelvarin::reports
