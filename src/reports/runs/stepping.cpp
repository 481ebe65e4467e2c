// Next and Previous through the results a run left in the main window.
//
// Every step walks from the entry shown in one direction; the first entry
// that passes the mode's test is the result. When the walk runs out, the
// step tells the user and returns CurrentEntryNumber, so the main window
// stays as it was. Steps read the criteria as they stand at the moment.
#include <cmath>

#include "reports/runs/main_window_runs.h"
#include "reports/runs/match_tests.h"

namespace kelvarin::reports {

using store::EntryRecord;

float MainWindowRuns::NotFound(const char* message, bool beep) {
  store_.MousePointerDefault();
  if (beep) host_.Beep();
  host_.MsgBox(message);
  return store_.CurrentEntryNumber;
}

// ---- the shared walks ---------------------------------------------------------

// The alphabetical modes step the key index itself, so every key read moves
// BrowseIndex. An unsuccessful step leaves the index past the entry shown,
// one key further each time, so the next step first puts it back on that entry:
// Previous after any number of unsuccessful Nexts returns the match before
// the one shown. Should the entry's key not be found there, the walk goes
// on from where the index stands and passes over the entry shown when it
// meets it. The end point stops the walk going forward only; both ways pass
// over the entries that lie past it among keys equal on 24 characters, which
// the index orders by entry number rather than by the rest of their text.
float MainWindowRuns::StepIndex(EntryRecord& work, bool forward, bool searchTest) {
  if (indexStandsOn_ != store_.CurrentEntryNumber) IndexToShownEntry(work);
  indexStandsOn_ = 0;
  while (true) {
    float n = forward ? store_.IndexNext(main_.BrowseIndex) : store_.IndexPrev(main_.BrowseIndex);
    if (n == 0 || !Read(work, n)) return 0;
    if (searchTest) {
      int16_t r = AlphaVerdict(work);
      if (r == kAlphaStop) return 0;
      if (r == kAlphaSkip) continue;
    }
    if (n == store_.CurrentEntryNumber) continue;
    const EndPoint end = EndPointVerdict(state_, work);
    if (end == kPastEnd && forward) return 0;
    if (end == kPastEndTied) continue;
    indexStandsOn_ = n;
    return n;
  }
}

void MainWindowRuns::IndexToShownEntry(EntryRecord& work) {
  const float shown = store_.CurrentEntryNumber;
  const int16_t slot = state_.KeyField;
  if (main_.BrowseIndex == -1 || slot < 0 || slot >= store::kFieldCount || !Read(work, shown)) return;
  store_.IndexSeekEntry(main_.BrowseIndex, store::Store::EntryKey(work, slot), shown);
}

// Entry numbers from the one shown towards EntryCount or 1; the bound is
// taken once, at the start of the step. Only the scan for deleted entries
// lets the window breathe, every 20 entries.
float MainWindowRuns::StepNumbers(EntryRecord& work, bool forward,
                                  bool (MainWindowRuns::*take)(const uint8_t*, EntryRecord&)) {
  const float last = store_.CatalogHeader.EntryCount;
  const float step = forward ? 1.0f : -1.0f;
  const bool yields = take == &MainWindowRuns::DeletedTake;
  for (float n = store_.CurrentEntryNumber + step; forward ? n <= last : n >= 1; n += step) {
    if (yields && std::fmod(n, 20.0f) == 0) host_.DoEvents();
    const uint8_t* bytes = Bytes(n);
    if (!bytes) return 0;
    if ((this->*take)(bytes, work)) return n;
  }
  return 0;
}

// Along the sort chain from the entry shown. The chain ends at an entry
// linking to itself; a damaged chain ends the walk too (see ChainWalk).
float MainWindowRuns::StepChain(EntryRecord& work, ChainWalk& walk) {
  const store::DatHeader& h = store_.CatalogHeader;
  for (const uint8_t* bytes = Bytes(walk.n); bytes;) {
    bytes = ChainStep(walk, walk.forward ? RawNextLink(bytes, h) : RawPrevLink(bytes, h));
    if (bytes && SeqTake(bytes, work)) return walk.n;
  }
  return 0;
}

// ---- the steps of each mode -------------------------------------------------------

namespace {
// A step's result: the entry found, after the pointer is back.
float Found(store::Store& store, float n) {
  store.MousePointerDefault();
  return n;
}
}  // namespace

float MainWindowRuns::AlphaSearchNext(EntryRecord& work) {
  store_.MousePointerHourglass();
  if (float n = StepIndex(work, true, true)) return Found(store_, n);
  return NotFound("You are at the end.", true);
}

float MainWindowRuns::AlphaSearchPrevious(EntryRecord& work) {
  store_.MousePointerHourglass();
  if (float n = StepIndex(work, false, true)) return Found(store_, n);
  return NotFound("You are at the beginning.", true);
}

float MainWindowRuns::AlphaListNext(EntryRecord& work) {
  store_.MousePointerHourglass();
  if (float n = StepIndex(work, true, false)) return Found(store_, n);
  return NotFound("You are at the end.", true);
}

float MainWindowRuns::AlphaListPrevious(EntryRecord& work) {
  store_.MousePointerHourglass();
  if (float n = StepIndex(work, false, false)) return Found(store_, n);
  return NotFound("You are at the beginning.", true);
}

float MainWindowRuns::FindDeletedNext(EntryRecord& work) {
  store_.MousePointerHourglass();
  if (float n = StepNumbers(work, true, &MainWindowRuns::DeletedTake)) return Found(store_, n);
  return NotFound("No More Deleted Records", true);
}

float MainWindowRuns::FindDeletedPrevious(EntryRecord& work) {
  store_.MousePointerHourglass();
  if (float n = StepNumbers(work, false, &MainWindowRuns::DeletedTake)) return Found(store_, n);
  return NotFound("Start of Current List", true);
}

float MainWindowRuns::GlobalSearchNext(EntryRecord& work) {
  store_.MousePointerHourglass();
  PrepareGlobalTest();
  if (float n = StepNumbers(work, true, &MainWindowRuns::GlobalTake)) return Found(store_, n);
  return NotFound("No matches found.", true);
}

float MainWindowRuns::GlobalSearchPrevious(EntryRecord& work) {
  store_.MousePointerHourglass();
  PrepareGlobalTest();
  if (float n = StepNumbers(work, false, &MainWindowRuns::GlobalTake)) return Found(store_, n);
  return NotFound("No matches found.", true);
}

// ---- list range: one step, deleted entries too ------------------------------

float MainWindowRuns::SeqListNext(EntryRecord& work) {
  const float n = store_.CurrentEntryNumber + 1;
  // Past the range's end, or past the last entry should entries have gone
  // since the list began.
  if (store_.CurrentEntryNumber == state_.ListRangeEnd || n > store_.CatalogHeader.EntryCount || !Read(work, n)) {
    host_.Beep();
    host_.MsgBox("End of Current List");
    return store_.CurrentEntryNumber;
  }
  return n;
}

float MainWindowRuns::SeqListPrevious(EntryRecord& work) {
  const float n = store_.CurrentEntryNumber - 1;
  if (store_.CurrentEntryNumber == state_.ListRangeStart || n < 1 || !Read(work, n)) {
    host_.Beep();
    host_.MsgBox("Start of Current List");
    return store_.CurrentEntryNumber;
  }
  return n;
}

// ---- sequential search: along the sort chain when sorted ---------------------

float MainWindowRuns::SeqSearchNext(EntryRecord& work) { return SeqSearchStep(work, true); }

float MainWindowRuns::SeqSearchPrevious(EntryRecord& work) { return SeqSearchStep(work, false); }

float MainWindowRuns::SeqSearchStep(EntryRecord& work, bool forward) {
  store_.MousePointerHourglass();
  PrepareSeqTests();
  ChainWalk walk = WalkFrom(store_.CurrentEntryNumber, forward);
  float n = store_.CurrentSettings.Sorted == 1.0f ? StepChain(work, walk)
                                                  : StepNumbers(work, forward, &MainWindowRuns::SeqTake);
  if (n) return Found(store_, n);
  // Only Next beeps.
  return NotFound(walk.damaged ? kSortOrderDamaged : "No Match Found", forward);
}

}  // namespace kelvarin::reports
