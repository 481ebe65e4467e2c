// Search and replace over the open catalog: the View menu's item, its dialog
// and the two runs, Field Replace (one field of each entry) and Global
// Replace (every field), from the chosen start entry to the last entry.
//
// A run disables the main window, shows the hourglass and the gauge
// ("Replacing ...." / "Replacing Globally....", with Cancel, which stops the
// run after the entry in hand; what was rewritten stays rewritten), and ends
// with a blank new entry in the main window. A run that replaced nothing
// beeps and says "No Matches Found". Deleted entries are changed like the
// others.
//
// Each entry is rewritten whole or not at all, its key indexes following it:
//  - an entry is written only when its bytes change, as one write of the
//    whole record;
//  - only the key indexes whose key for the entry changes are touched;
//  - rewrites go in groups: first the old keys of the group's entries are
//    removed from each index touched (one transaction per index), then the
//    entries are written, then their new keys are added (again one
//    transaction per index);
//  - so an interruption leaves the data file holding either record of each
//    entry, and an index that has lost the group's old keys without gaining
//    the new ones holds fewer keys than the catalog has entries, which the
//    next opening of the index notices and mends by building the index
//    again from the data file;
//  - a write that fails is told (by the store), the entry's old record is
//    written back, the keys are added from what the file then holds, and
//    the run stops there;
//  - a key index that fails (a full disk, another program holding it) is
//    told once, with its file and the cause, and the run stops: when the
//    old keys could not go the data file is not written; when the new keys
//    could not come the index stays marked out of step, so that its next
//    use builds it again.
// The key indexes are opened once per run, when the first key changes.
//
//   SearchReplace replace(host, store, state, mainWindow);
//   replace.Attach();   // View, "Search && Rep&lace"
#pragma once

#include <cstdint>
#include <vector>

#include "entry/frmQAVMain.h"
#include "platform/host.h"
#include "reports/replace/frmSearchReplace.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports {

class SearchReplace {
 public:
  SearchReplace(platform::Host& host, store::Store& store, ReportState& state, entry::frmQAVMain& main);
  SearchReplace(const SearchReplace&) = delete;
  SearchReplace& operator=(const SearchReplace&) = delete;

  void Attach();

  // The dialog; after OK one yield, then the run it asked for.
  void mnuVReplace_Click();
  // The runs, over state.SearchString, state.ReplaceString and the request.
  // Field Replace without a field to work on (a catalog with no used field)
  // does nothing.
  void FieldReplace();
  void GlobalReplace();

  ReplaceRequest& request() { return request_; }

 private:
  struct Pending {
    float n = 0;
    store::EntryRecord before;
    store::EntryRecord after;
    store::KeyIndexTable keys;  // the indexes whose key changes
  };
  void Replace(bool global);
  // Queues the entry for rewriting; false when the key indexes it needs
  // could not be opened (the user has been told).
  bool Queue(float n, const store::EntryRecord& before, const store::EntryRecord& after);
  // Rewrites the queued entries with their keys; false after a failure.
  bool Flush();
  // Removes (add false) or adds the queued entries' keys; false after a
  // failure, told.
  bool ChangeKeys(bool add);
  void BusyOn();
  void BusyOff();

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  entry::frmQAVMain& main_;
  ReplaceRequest request_;
  store::KeyIndexTable keys_;
  bool keysOpen_ = false;
  std::vector<Pending> pending_;
  size_t written_ = 0;            // of pending_, the records written
  store::KeyIndexTable touched_;  // the indexes pending_ changes
};

}  // namespace kelvarin::reports
