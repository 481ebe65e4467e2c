// The runs of the main window over the entries of the open catalog (Find
// Deleted, Global Search, List Range, List Alphabetically, Search and the
// three speed searches) and the stepping of Next and Previous through what
// a run left in the main window.
//
// A run walks the entries in one order, tests each and hands every match to
// the report destination (see destination.h). Ending in the main window it
// leaves the browse mode, the entry shown and, for alphabetical runs, the
// key index BrowseIndex open on that entry; Next and Previous continue from
// there. While a run walks, the main window is disabled, the pointer is the
// hourglass and the progress gauge offers Cancel, its only way to stop.
//
//   MainWindowRuns runs(host, store, state, mainWindow);
//   runs.Attach();   // the View menu's items and the steppers
#pragma once

#include <cstdint>
#include <memory>

#include "entry/frmQAVMain.h"
#include "platform/host.h"
#include "reports/report_state.h"
#include "reports/runs/destination.h"
#include "reports/runs/raw_match.h"
#include "store/store.h"

namespace kelvarin::reports {

// Told when a walk along the sort chain meets a damaged link, in place of
// "nothing found": the entries beyond it were never looked at.
inline constexpr const char* kSortOrderDamaged = "The sort order of this catalog is damaged.\rThe search ends here.";

class MainWindowRuns {
 public:
  MainWindowRuns(platform::Host& host, store::Store& store, ReportState& state, entry::frmQAVMain& main);
  MainWindowRuns(const MainWindowRuns&) = delete;
  MainWindowRuns& operator=(const MainWindowRuns&) = delete;

  // Attaches the runs to the View menu (which makes the items visible) and
  // registers the stepping of every browse mode a run can leave.
  void Attach();
  // The dBase III export, for runs sent to a dBase III file.
  void AttachDb3(dbf::Db3Exchange& db3) { db3_ = &db3; }

  // ---- the runs --------------------------------------------------------------
  void mnuVFindDeleted_Click();
  void mnuVGlobalSearch_Click();
  void mnuVListRange_Click();
  void mnuVListAlpha_Click();
  // frmSearch, then RunSearch after OK.
  void mnuVSearch_Click();
  // A search with the criteria and search mode as they stand.
  void RunSearch();
  // Reports, Setup: the report destination and settings dialog.
  void mnuOSetup_Click();
  void mnuVSpeed1_Click() { SpeedSearch(0); }
  void mnuVSpeed2_Click() { SpeedSearch(1); }
  void mnuVSpeed3_Click() { SpeedSearch(2); }

  // ---- stepping --------------------------------------------------------------
  // Each fills the work entry and returns the entry number found; when
  // nothing is found it has told the user and returns CurrentEntryNumber.
  float AlphaSearchNext(store::EntryRecord& work);
  float AlphaSearchPrevious(store::EntryRecord& work);
  float FindDeletedNext(store::EntryRecord& work);
  float FindDeletedPrevious(store::EntryRecord& work);
  float GlobalSearchNext(store::EntryRecord& work);
  float GlobalSearchPrevious(store::EntryRecord& work);
  float SeqListNext(store::EntryRecord& work);
  float SeqListPrevious(store::EntryRecord& work);
  float SeqSearchNext(store::EntryRecord& work);
  float SeqSearchPrevious(store::EntryRecord& work);
  float AlphaListNext(store::EntryRecord& work);
  float AlphaListPrevious(store::EntryRecord& work);

 private:
  enum class NumberWalk { FindDeleted, GlobalSearch };
  enum class WalkEnd { Done, Shown, Aborted };

  void WalkByNumber(NumberWalk kind);
  void SpeedSearch(int item);
  // The walk of a search after its first match, for destinations that take
  // every match.
  WalkEnd ContinueSearch(RunDestination& dest, float n, store::EntryRecord& e, float& count);
  // A sequential first-match walk; returns the match or 0. Along the sort
  // chain it leaves its walk in chain_ for the rest of the search.
  float FirstSequentialMatch(store::EntryRecord& e);
  // An alphabetical first-match walk from n on BrowseIndex; returns the
  // match or 0.
  float FirstAlphaMatch(float n, store::EntryRecord& e);
  // The end of a search that did not end in the main window.
  void EndSearch();

  std::unique_ptr<RunDestination> Destination(int16_t browseMode);
  // Opens the output of a list or a search; the printer header, the save
  // dialog and the export name prompt are followed by one yield, whether
  // answered or cancelled (the grid asks nothing). False: the run ends.
  bool OpenOutput(RunDestination& dest);
  void ShowInMainWindow(float n, const store::EntryRecord& e, int16_t browseMode);
  void BusyOn();
  void BusyOff();
  void ClearTotals();
  bool Read(store::EntryRecord& e, float n);
  // A valid link of the sort chain: the number of an entry that exists.
  bool ChainLink(float n) const;
  // Entry n's stored bytes, valid until the next read; nullptr where Read
  // gives false.
  const uint8_t* Bytes(float n);
  // A walk along the sort chain, which shows no entry twice. Each step
  // checks that the entry reached links back to the one left, so the walks
  // from the head (a search, then its steps either way) can only come round
  // at the head, which links back to itself: a step onto it going forward,
  // or off it going back, closes a loop. A walk longer than the catalog is
  // a loop too, whatever the links say.
  struct ChainWalk {
    float n;        // the entry the walk stands on
    bool forward;
    float visited;  // entries it has stood on
    bool damaged;   // it stopped at a damaged link
  };
  static ChainWalk WalkFrom(float n, bool forward) { return {n, forward, 1, false}; }
  // Follows `link`, read from the walk's entry: the linked entry's bytes,
  // the walk moved there. nullptr at the chain's end (an entry linking to
  // itself) and, with `damaged` set, at a damaged link: to no entry, to one
  // that does not link back, or round a loop.
  const uint8_t* ChainStep(ChainWalk& walk, float link);
  // The tests of a walk on stored bytes; each Take decodes into e and gives
  // the full test's answer only for an entry whose bytes can match. Prepare
  // before a walk: they read the criteria as they stand then.
  void PrepareGlobalTest();
  void PrepareSeqTests();
  bool GlobalTake(const uint8_t* bytes, store::EntryRecord& e);
  bool SeqTake(const uint8_t* bytes, store::EntryRecord& e);
  bool DeletedTake(const uint8_t* bytes, store::EntryRecord& e);
  // Puts BrowseIndex back on the entry shown, wherever unsuccessful steps
  // left it (when the entry's key is not found there, on the place the key
  // lookup fell).
  void IndexToShownEntry(store::EntryRecord& work);
  // The report-destination panel, for the dialogs' Report Setup.
  void SetReportDestPanel(const std::string& text);
  // Deleted entries met while walking on from a match are passed over in
  // alphabetical searches; only a key that no longer begins with the search
  // text ends the walk.
  int16_t AlphaVerdict(const store::EntryRecord& e) const;
  float NotFound(const char* message, bool beep);
  // The walks the steps share. Each returns the entry number found (the work
  // entry holding it), or 0 when the walk ran out.
  float StepIndex(store::EntryRecord& work, bool forward, bool searchTest);
  float StepNumbers(store::EntryRecord& work, bool forward,
                    bool (MainWindowRuns::*take)(const uint8_t*, store::EntryRecord&));
  float StepChain(store::EntryRecord& work, ChainWalk& walk);
  float SeqSearchStep(store::EntryRecord& work, bool forward);

  platform::Host& host_;
  store::Store& store_;
  ReportState& state_;
  entry::frmQAVMain& main_;
  dbf::Db3Exchange* db3_ = nullptr;
  bool busy_ = false;
  // The entry BrowseIndex stands on after the last run or step that moved
  // it there; 0 when it stands elsewhere.
  float indexStandsOn_ = 0;
  // A search's walk along the sort chain.
  ChainWalk chain_ = WalkFrom(0, true);
  std::unique_ptr<RawTextTest> globalTest_;
  std::vector<std::unique_ptr<RawTextTest>> seqTests_;
};

}  // namespace kelvarin::reports
