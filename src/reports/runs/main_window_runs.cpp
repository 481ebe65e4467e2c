#include "reports/runs/main_window_runs.h"

#include <algorithm>
#include <cmath>

#include "platform/text/number_text.h"
#include "reports/dialogs/frmGlobalSearch.h"
#include "reports/dialogs/frmListAlpha.h"
#include "reports/dialogs/frmListRange.h"
#include "reports/dialogs/frmReportDest.h"
#include "reports/dialogs/frmSearch.h"
#include "reports/runs/dbase_destination.h"
#include "reports/runs/match_tests.h"
#include "reports/dialogs/dialog_support.h"
#include "store/formats.h"
#include "store/frm_enter_name.h"

namespace kelvarin::reports {

using store::EntryRecord;

MainWindowRuns::MainWindowRuns(platform::Host& host, store::Store& store, ReportState& state,
                               entry::frmQAVMain& main)
    : host_(host), store_(store), state_(state), main_(main) {}

void MainWindowRuns::Attach() {
  main_.AttachMenu(main_.mnuVSearch, [this] { mnuVSearch_Click(); });
  main_.AttachMenu(main_.mnuVSpeed1, [this] { mnuVSpeed1_Click(); });
  main_.AttachMenu(main_.mnuVSpeed2, [this] { mnuVSpeed2_Click(); });
  main_.AttachMenu(main_.mnuVSpeed3, [this] { mnuVSpeed3_Click(); });
  main_.AttachMenu(main_.mnuVGlobalSearch, [this] { mnuVGlobalSearch_Click(); });
  main_.AttachMenu(main_.mnuVFindDeleted, [this] { mnuVFindDeleted_Click(); });
  main_.AttachMenu(main_.mnuVListRange, [this] { mnuVListRange_Click(); });
  main_.AttachMenu(main_.mnuVListAlpha, [this] { mnuVListAlpha_Click(); });
  main_.AttachMenu(main_.mnuOSetup, [this] { mnuOSetup_Click(); });

  auto bind = [this](float (MainWindowRuns::*f)(EntryRecord&)) {
    return [this, f](EntryRecord& work) { return (this->*f)(work); };
  };
  main_.SetStepper(store::bmAlphaSearch, bind(&MainWindowRuns::AlphaSearchNext),
                   bind(&MainWindowRuns::AlphaSearchPrevious));
  main_.SetStepper(store::bmFindDeleted, bind(&MainWindowRuns::FindDeletedNext),
                   bind(&MainWindowRuns::FindDeletedPrevious));
  main_.SetStepper(store::bmGlobalSearch, bind(&MainWindowRuns::GlobalSearchNext),
                   bind(&MainWindowRuns::GlobalSearchPrevious));
  main_.SetStepper(store::bmSeqList, bind(&MainWindowRuns::SeqListNext), bind(&MainWindowRuns::SeqListPrevious));
  main_.SetStepper(store::bmSeqSearch, bind(&MainWindowRuns::SeqSearchNext),
                   bind(&MainWindowRuns::SeqSearchPrevious));
  main_.SetStepper(store::bmAlphaList, bind(&MainWindowRuns::AlphaListNext),
                   bind(&MainWindowRuns::AlphaListPrevious));
}

// ---------------------------------------------------------------------------
// Building blocks

void MainWindowRuns::BusyOn() {
  store_.MousePointerHourglass();
  main_.SetEnabled(false);
  busy_ = true;
}

void MainWindowRuns::BusyOff() {
  store_.MousePointerDefault();
  main_.SetEnabled(true);
  store_.CloseGauge();
  busy_ = false;
}

void MainWindowRuns::ClearTotals() { state_.FieldTotals.fill(0.0f); }

bool MainWindowRuns::Read(EntryRecord& e, float n) {
  return store_.ReadEntry(e, store_.CatalogHeader, n, store_.DatFile);
}

bool MainWindowRuns::ChainLink(float n) const {
  return n >= 1 && n <= store_.CatalogHeader.EntryCount && n == std::floor(n);
}

const uint8_t* MainWindowRuns::Bytes(float n) {
  return store_.EntryBytes(store_.CatalogHeader, n, store_.DatFile);
}

const uint8_t* MainWindowRuns::ChainStep(ChainWalk& walk, float link) {
  if (link == walk.n) return nullptr;
  const float head = store_.CurrentSettings.SortHead;
  const bool loops = (walk.forward ? link : walk.n) == head || walk.visited >= store_.CatalogHeader.EntryCount;
  const uint8_t* bytes = loops || !ChainLink(link) ? nullptr : Bytes(link);
  const store::DatHeader& h = store_.CatalogHeader;
  if (!bytes || (walk.forward ? RawPrevLink(bytes, h) : RawNextLink(bytes, h)) != walk.n) {
    walk.damaged = true;
    return nullptr;
  }
  walk.n = link;
  ++walk.visited;
  return bytes;
}

void MainWindowRuns::PrepareGlobalTest() {
  if (!globalTest_ || !globalTest_->MadeFor(state_.SearchString, store_.CaseSensitive, store_.CatalogHeader, {}))
    globalTest_ = std::make_unique<RawTextTest>(state_.SearchString, store_.CaseSensitive, store_.CatalogHeader);
}

void MainWindowRuns::PrepareSeqTests() {
  const auto count = static_cast<size_t>(std::clamp<int16_t>(state_.SearchCriteria.Count, 0, 21));
  seqTests_.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const CriteriaItem& item = state_.SearchCriteria.Items[i];
    const std::vector<int16_t> slots{item.FieldIndex};
    if (!seqTests_[i] || !seqTests_[i]->MadeFor(item.Text, store_.CaseSensitive, store_.CatalogHeader, slots))
      seqTests_[i] = std::make_unique<RawTextTest>(item.Text, store_.CaseSensitive, store_.CatalogHeader, slots);
  }
}

bool MainWindowRuns::GlobalTake(const uint8_t* bytes, EntryRecord& e) {
  if (!globalTest_->Contains(bytes)) return false;
  store::DecodeEntry(bytes, store_.CatalogHeader, &e);
  return GlobalMatch(state_.SearchString, e, store_.CaseSensitive);
}

bool MainWindowRuns::SeqTake(const uint8_t* bytes, EntryRecord& e) {
  for (const auto& test : seqTests_)
    if (!test->Contains(bytes)) return false;
  store::DecodeEntry(bytes, store_.CatalogHeader, &e);
  return MatchSeqSearch(state_, e, store_.CaseSensitive);
}

bool MainWindowRuns::DeletedTake(const uint8_t* bytes, EntryRecord& e) {
  if (RawStatus(bytes) != store::StatusDeleted) return false;
  store::DecodeEntry(bytes, store_.CatalogHeader, &e);
  return true;
}

void MainWindowRuns::SetReportDestPanel(const std::string& text) { main_.SetPanel("RptDest", text); }

void MainWindowRuns::mnuOSetup_Click() {
  // The dialog's OK writes what it changed; the menu does not look at
  // DialogResult afterwards.
  frmReportDest dialog(host_, store_, [this](const std::string& t) { SetReportDestPanel(t); });
  dialog.Show(platform::ShowMode::Modal);
}

void MainWindowRuns::ShowInMainWindow(float n, const EntryRecord& e, int16_t browseMode) {
  store_.CurrentEntryNumber = n;
  store_.CurrentEntry = e;
  main_.ShowEntry(store_.CurrentEntry);
  main_.ShowEntryNumber(n);
  main_.CurrentBrowseMode = browseMode;
  indexStandsOn_ = n;
  main_.SetPanel("SearchMode", store::BrowseModeText(browseMode));
  if (busy_) BusyOff();
}

std::unique_ptr<RunDestination> MainWindowRuns::Destination(int16_t browseMode) {
  return MakeDestination(host_, store_, state_, [this, browseMode](float n, const EntryRecord& e) {
    ShowInMainWindow(n, e, browseMode);
  }, db3_);
}

bool MainWindowRuns::OpenOutput(RunDestination& dest) {
  const bool opened = dest.Open();
  if (dest.Kind() != store::rdQuickView) host_.DoEvents();
  return opened;
}

int16_t MainWindowRuns::AlphaVerdict(const EntryRecord& e) const {
  if (state_.SearchCriteria.Count > 0 && e.Status == store::StatusDeleted) return kAlphaSkip;
  int16_t r = MatchAlphaSearch(state_, e);
  if (r == kAlphaStop && KeyTiesSearchText(state_, e)) return kAlphaSkip;
  return r;
}

// ---------------------------------------------------------------------------
// Find Deleted and Global Search: one walk in entry-number order

void MainWindowRuns::mnuVFindDeleted_Click() { WalkByNumber(NumberWalk::FindDeleted); }

void MainWindowRuns::mnuVGlobalSearch_Click() { WalkByNumber(NumberWalk::GlobalSearch); }

void MainWindowRuns::WalkByNumber(NumberWalk kind) {
  const bool global = kind == NumberWalk::GlobalSearch;
  if (global) {
    frmGlobalSearch dialog(host_, store_, state_, [this](const std::string& t) { SetReportDestPanel(t); });
    dialog.Show(platform::ShowMode::Modal);
    host_.DoEvents();
  }
  ClearTotals();
  if (global && store_.DialogResult != 0) return;

  const int16_t mode = global ? store::bmGlobalSearch : store::bmFindDeleted;
  std::unique_ptr<RunDestination> dest = Destination(mode);
  if (!dest->Open()) return;
  if (global) host_.DoEvents();

  BusyOn();
  const float last = store_.CatalogHeader.EntryCount;
  store_.ShowGauge(last, global ? "Searching Globally...." : "Finding Deleted Entries....", true);
  float count = 0;
  EntryRecord e;
  if (global) PrepareGlobalTest();
  const auto take = global ? &MainWindowRuns::GlobalTake : &MainWindowRuns::DeletedTake;
  for (float n = 1; n <= last; ++n) {
    if (store_.StepGauge()) break;
    // A data file shorter than its entry count ends there.
    const uint8_t* bytes = Bytes(n);
    if (!bytes) break;
    if (!(this->*take)(bytes, e)) continue;
    ++count;
    HandOver h = dest->Take(n, e, count);
    if (h == HandOver::Shown) return;
    if (h == HandOver::Abort) {
      BusyOff();
      main_.mnuEEraseScreen_Click();
      return;
    }
    if (h == HandOver::Full) break;
  }
  BusyOff();
  if (count == 0) {
    host_.Beep();
    host_.MsgBox(global ? "No Matches Found" : "No Deleted Records Found");
    dest->Discard();
  } else {
    // Global Search's dBase III message counts the records the export wrote.
    if (global && dest->Kind() == store::rdDbase && db3_) count = static_cast<float>(db3_->Db3RecordsWritten);
    dest->Close(count);
  }
  main_.mnuEEraseScreen_Click();
}

// ---------------------------------------------------------------------------
// List Range

void MainWindowRuns::mnuVListRange_Click() {
  {
    frmListRange dialog(host_, store_, state_, [this](const std::string& t) { SetReportDestPanel(t); });
    dialog.Show(platform::ShowMode::Modal);
  }
  host_.DoEvents();
  if (store_.DialogResult != 0) return;

  ClearTotals();
  const float first = state_.ListRangeStart;
  const float last = state_.ListRangeEnd;
  std::unique_ptr<RunDestination> dest = Destination(store::bmSeqList);
  EntryRecord e;
  if (dest->Kind() == store::rdMonitor) {
    // The first entry of the range is shown as it is, deleted or not.
    if (Read(e, first)) dest->Take(first, e, 1);
    return;
  }
  store_.ShowGauge(last - first + 1, "Listing Entries....", true);
  host_.DoEvents();
  if (!OpenOutput(*dest)) {
    store_.CloseGauge();
    return;
  }
  BusyOn();
  float count = 0;
  for (float n = first; n <= last; ++n) {
    if (store_.StepGauge()) break;
    if (!Read(e, n)) break;
    ++count;
    HandOver h = dest->Take(n, e, count);
    if (h == HandOver::Abort) {
      BusyOff();
      main_.mnuEEraseScreen_Click();
      return;
    }
    if (h != HandOver::Continue) break;
  }
  BusyOff();
  dest->Close(count);
  main_.mnuEEraseScreen_Click();
}

// ---------------------------------------------------------------------------
// List Alphabetically

void MainWindowRuns::mnuVListAlpha_Click() {
  {
    frmListAlpha dialog(host_, store_, state_, [this](const std::string& t) { SetReportDestPanel(t); });
    dialog.LoadForm();
    if (store_.DialogResult != 0) {
      // No key field: the dialog has told the user.
      dialog.UnloadForm();
      return;
    }
    dialog.Show(platform::ShowMode::Modal);
  }
  host_.DoEvents();
  if (store_.DialogResult != 0) return;

  main_.mnuEEraseScreen_Click();
  ClearTotals();
  float n = 0;
  if (state_.AlphaStartCriteria.Count > 0) {
    n = FindStartKey(store_, state_, main_, main_.BrowseIndex);
    if (n == 0) {
      // An index that did not open has been reported already.
      bool opened = main_.BrowseIndex != -1;
      main_.CloseBrowseIndex();
      if (opened) {
        store_.MousePointerDefault();
        host_.MsgBox("No Matches Found");
      }
      return;
    }
  } else {
    main_.BrowseIndex = store_.OpenIndex(state_.KeyField, store_.CatalogHeader, store_.CatalogName, 0);
    if (main_.BrowseIndex == -1) return;
    n = store_.IndexFirst(main_.BrowseIndex);
    if (n < 0) {
      // An empty index is told like a start key that is not there; a
      // failing one has been reported.
      bool empty = store_.indexLibrary().KeyCount(main_.BrowseIndex) == 0;
      main_.CloseBrowseIndex();
      if (empty) host_.MsgBox("No Matches Found");
      return;
    }
  }

  std::unique_ptr<RunDestination> dest = Destination(store::bmAlphaList);
  EntryRecord e;
  if (dest->Kind() == store::rdMonitor) {
    // The end point is not applied to the first entry.
    if (Read(e, n)) dest->Take(n, e, 1);
    return;
  }
  store_.ShowGauge(store_.CatalogHeader.EntryCount, "Listing Alphabetically....", true);
  if (!OpenOutput(*dest)) {
    store_.CloseGauge();
    return;
  }
  BusyOn();
  float count = 0;
  while (true) {
    if (dest->Kind() == store::rdPrinter) host_.DoEvents();
    if (store_.StepGauge()) break;
    if (!Read(e, n)) break;
    const EndPoint end = state_.AlphaEndCriteria.Count > 0 ? EndPointVerdict(state_, e) : kBeforeEnd;
    if (end == kPastEnd) break;
    if (end == kBeforeEnd) {
      ++count;
      HandOver h = dest->Take(n, e, count);
      if (h == HandOver::Abort) {
        BusyOff();
        main_.mnuEEraseScreen_Click();
        return;
      }
      if (h != HandOver::Continue) break;
    }
    n = store_.IndexNext(main_.BrowseIndex);
    if (n == 0) break;
  }
  BusyOff();
  dest->Close(count);
  main_.CloseBrowseIndex();
  state_.AlphaStartCriteria.Count = 0;
  state_.AlphaEndCriteria.Count = 0;
  main_.mnuEEraseScreen_Click();
}

// ---------------------------------------------------------------------------
// Search

void MainWindowRuns::mnuVSearch_Click() {
  {
    frmSearch dialog(host_, store_, state_, main_.CurrentSearchMode,
                     [this](const std::string& t) { SetReportDestPanel(t); });
    dialog.Show(platform::ShowMode::Modal);
  }
  host_.DoEvents();
  if (store_.DialogResult == 0) RunSearch();
}

float MainWindowRuns::FirstAlphaMatch(float n, EntryRecord& e) {
  while (true) {
    if (!Read(e, n)) return 0;
    if (store_.StepGauge()) return 0;
    int16_t r = MatchAlphaSearch(state_, e);
    if (r == kAlphaTake) {
      const EndPoint end = EndPointVerdict(state_, e);
      if (end == kBeforeEnd) return n;
      if (end == kPastEnd) return 0;
    }
    // Keys come in order: once the key lies beyond the search text, no
    // later one can begin with it.
    if (r == kAlphaStop && KeyPastSearchText(state_, e)) return 0;
    n = store_.IndexNext(main_.BrowseIndex);
    if (n == 0) return 0;
  }
}

float MainWindowRuns::FirstSequentialMatch(EntryRecord& e) {
  const float last = store_.CatalogHeader.EntryCount;
  const store::CatalogSettings& s = store_.CurrentSettings;
  chain_ = WalkFrom(s.SortHead, true);
  if (s.Sorted == 1.0f) {
    if (last == 0 || store_.StepGauge()) return 0;
    const uint8_t* bytes = ChainLink(chain_.n) ? Bytes(chain_.n) : nullptr;
    while (bytes) {
      const float link = RawNextLink(bytes, store_.CatalogHeader);
      if (SeqTake(bytes, e)) return chain_.n;
      if (chain_.n == s.SortTail || store_.StepGauge()) return 0;
      bytes = ChainStep(chain_, link);
    }
    // Short of the tail: a head that names no entry, a damaged link, or
    // even the chain's end.
    chain_.damaged = true;
    return 0;
  }
  for (float n = 1; n <= last; ++n) {
    if (store_.StepGauge()) return 0;
    const uint8_t* bytes = Bytes(n);
    if (!bytes) return 0;
    if (SeqTake(bytes, e)) return n;
  }
  return 0;
}

void MainWindowRuns::RunSearch() {
  main_.mnuEEraseScreen_Click();
  host_.DoEvents();
  ClearTotals();
  BusyOn();
  store_.ShowGauge(store_.CatalogHeader.EntryCount, "Searching....", true);

  const bool sequential = main_.CurrentSearchMode == store::smSequential;
  EntryRecord e;
  float n = 0;
  PrepareSeqTests();
  if (!sequential) {
    n = FindStartKey(store_, state_, main_, main_.BrowseIndex);
    if (main_.BrowseIndex == -1) {
      BusyOff();
      return;
    }
    if (n != 0) n = FirstAlphaMatch(n, e);
    if (n == 0) {
      main_.CloseBrowseIndex();
      BusyOff();
      host_.MsgBox("No Matches Found");
      return;
    }
  } else {
    n = FirstSequentialMatch(e);
    if (n == 0) {
      BusyOff();
      host_.MsgBox(chain_.damaged ? kSortOrderDamaged : "No Matches Found!!!");
      return;
    }
  }

  float count = 1;
  std::unique_ptr<RunDestination> dest = Destination(sequential ? store::bmSeqSearch : store::bmAlphaSearch);
  if (dest->Kind() == store::rdMonitor) {
    dest->Take(n, e, count);
    return;
  }
  // Outputs ask their questions with the normal pointer.
  store_.MousePointerDefault();
  // The search names its dBase III file first and creates it once busy.
  auto* dbase = dynamic_cast<DbaseDestination*>(dest.get());
  const bool opened = dbase ? dbase->AskName() : OpenOutput(*dest);
  if (dbase) host_.DoEvents();  // OpenOutput yields by itself
  if (!opened) {
    // An output that is not there to open is no output run: the start and
    // end points stay for the next search, as after one into the grid.
    if (dest->Kind() == store::rdQuickView || dynamic_cast<UnavailableDestination*>(dest.get()))
      main_.CloseBrowseIndex();
    EndSearch();
    return;
  }
  BusyOn();
  if (dbase && !dbase->Create()) {
    BusyOff();
    EndSearch();
    return;
  }
  HandOver h = dest->Take(n, e, count);
  WalkEnd end = h == HandOver::Continue ? ContinueSearch(*dest, n, e, count) : WalkEnd::Done;
  if (h == HandOver::Abort || end == WalkEnd::Aborted) {
    BusyOff();
    EndSearch();
    return;
  }
  store_.MousePointerDefault();
  // What was found before the break is still put out.
  if (sequential && chain_.damaged) host_.MsgBox(kSortOrderDamaged);
  if (dest->Kind() == store::rdQuickView) {
    // The grid is shown with the index closed; the start and end keys stay.
    main_.CloseBrowseIndex();
  }
  dest->Close(count);
  EndSearch();
}

MainWindowRuns::WalkEnd MainWindowRuns::ContinueSearch(RunDestination& dest, float n, EntryRecord& e, float& count) {
  auto take = [&]() {
    ++count;
    HandOver h = dest.Take(n, e, count);
    return h;
  };
  if (main_.CurrentSearchMode != store::smSequential) {
    while (true) {
      if (store_.StepGauge()) return WalkEnd::Done;
      n = store_.IndexNext(main_.BrowseIndex);
      if (n == 0 || !Read(e, n)) return WalkEnd::Done;
      const EndPoint end = state_.AlphaEndCriteria.Count > 0 ? EndPointVerdict(state_, e) : kBeforeEnd;
      if (end == kPastEnd) return WalkEnd::Done;
      if (end == kPastEndTied) continue;
      int16_t r = AlphaVerdict(e);
      if (r == kAlphaStop) return WalkEnd::Done;
      if (r == kAlphaSkip) continue;
      HandOver h = take();
      if (h == HandOver::Abort) return WalkEnd::Aborted;
      if (h != HandOver::Continue) return WalkEnd::Done;
    }
  }
  const float last = store_.CatalogHeader.EntryCount;
  if (store_.CurrentSettings.Sorted == 1.0f) {
    float link = e.NextLink;
    while (chain_.n != store_.CurrentSettings.SortTail) {
      if (store_.StepGauge()) return WalkEnd::Done;
      const uint8_t* bytes = ChainStep(chain_, link);
      if (!bytes) {
        chain_.damaged = true;  // short of the tail
        return WalkEnd::Done;
      }
      link = RawNextLink(bytes, store_.CatalogHeader);
      if (!SeqTake(bytes, e)) continue;
      n = chain_.n;
      HandOver h = take();
      if (h == HandOver::Abort) return WalkEnd::Aborted;
      if (h != HandOver::Continue) return WalkEnd::Done;
    }
    return WalkEnd::Done;
  }
  for (n = n + 1; n <= last; ++n) {
    if (store_.StepGauge()) return WalkEnd::Done;
    const uint8_t* bytes = Bytes(n);
    if (!bytes) return WalkEnd::Done;
    if (!SeqTake(bytes, e)) continue;
    HandOver h = take();
    if (h == HandOver::Abort) return WalkEnd::Aborted;
    if (h != HandOver::Continue) return WalkEnd::Done;
  }
  return WalkEnd::Done;
}

void MainWindowRuns::EndSearch() {
  if (main_.BrowseIndex != -1) {
    main_.CloseBrowseIndex();
    state_.AlphaStartCriteria.Count = 0;
    state_.AlphaEndCriteria.Count = 0;
  }
  main_.SetEnabled(true);
  store_.CloseGauge();
  busy_ = false;
  main_.mnuEEraseScreen_Click();
}

// ---------------------------------------------------------------------------
// Speed searches

void MainWindowRuns::SpeedSearch(int item) {
  if (item < 0 || item > 2) return;
  const int16_t field = state_.SpeedSearchFields[static_cast<size_t>(item)];
  if (field < 0 || field >= store::kFieldCount) return;

  store::frmEnterName prompt(store_);
  // The close box answers like Cancel, so no earlier dialog's result is read.
  dialogs::CloseBoxCancels(prompt, store_);
  prompt.LoadForm();
  prompt.SetCaption("Search for " + main_.lblFieldName(field).Caption());
  prompt.lblUserAction.SetCaption("Enter search criteria");
  prompt.txtName.SetMaxLength(store_.CatalogHeader.FieldLength[static_cast<size_t>(field)]);
  prompt.SetTag("1");
  prompt.Show(platform::ShowMode::Modal);
  if (store_.DialogResult != 0) {
    prompt.UnloadForm();
    return;
  }
  state_.SearchCriteria.Count = 1;
  state_.SearchCriteria.Items[0] = CriteriaItem{field, prompt.Tag()};
  prompt.UnloadForm();
  state_.KeyField = field;
  main_.CurrentSearchMode = store::smAlpha;
  RunSearch();
}

}  // namespace kelvarin::reports
