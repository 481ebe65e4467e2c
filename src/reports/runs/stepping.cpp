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

// ---- alphabetical search: the key index itself moves -----------------------

float MainWindowRuns::AlphaSearchNext(EntryRecord& work) {
  store_.MousePointerHourglass();
  while (true) {
    float n = store_.IndexNext(main_.BrowseIndex);
    if (n == 0 || !Read(work, n)) break;
    int16_t r = AlphaVerdict(work);
    if (r == kAlphaStop) break;
    if (r == kAlphaSkip || n == store_.CurrentEntryNumber) continue;
    if (IsPastEndPoint(state_, work)) break;
    store_.MousePointerDefault();
    return n;
  }
  return NotFound("You are at the end.", true);
}

float MainWindowRuns::AlphaSearchPrevious(EntryRecord& work) {
  store_.MousePointerHourglass();
  while (true) {
    float n = store_.IndexPrev(main_.BrowseIndex);
    if (n == 0 || !Read(work, n)) break;
    int16_t r = AlphaVerdict(work);
    if (r == kAlphaStop) break;
    if (r == kAlphaSkip || n == store_.CurrentEntryNumber) continue;
    store_.MousePointerDefault();
    return n;
  }
  return NotFound("You are at the beginning.", true);
}

// ---- alphabetical list --------------------------------------------------------

float MainWindowRuns::AlphaListNext(EntryRecord& work) {
  store_.MousePointerHourglass();
  while (true) {
    float n = store_.IndexNext(main_.BrowseIndex);
    if (n == 0 || !Read(work, n)) break;
    if (n == store_.CurrentEntryNumber) continue;
    if (IsPastEndPoint(state_, work)) break;
    store_.MousePointerDefault();
    return n;
  }
  return NotFound("You are at the end.", true);
}

float MainWindowRuns::AlphaListPrevious(EntryRecord& work) {
  store_.MousePointerHourglass();
  while (true) {
    float n = store_.IndexPrev(main_.BrowseIndex);
    if (n == 0 || !Read(work, n)) break;
    if (n == store_.CurrentEntryNumber) continue;
    store_.MousePointerDefault();
    return n;
  }
  return NotFound("You are at the beginning.", true);
}

// ---- deleted entries: yields every 20 entry numbers ------------------------

float MainWindowRuns::FindDeletedNext(EntryRecord& work) {
  store_.MousePointerHourglass();
  const float last = store_.CatalogHeader.EntryCount;
  for (float n = store_.CurrentEntryNumber + 1; n <= last; ++n) {
    if (std::fmod(n, 20.0f) == 0) host_.DoEvents();
    if (!Read(work, n)) break;
    if (work.Status == store::StatusDeleted) {
      store_.MousePointerDefault();
      return n;
    }
  }
  return NotFound("No More Deleted Records", true);
}

float MainWindowRuns::FindDeletedPrevious(EntryRecord& work) {
  store_.MousePointerHourglass();
  for (float n = store_.CurrentEntryNumber - 1; n >= 1; --n) {
    if (std::fmod(n, 20.0f) == 0) host_.DoEvents();
    if (!Read(work, n)) break;
    if (work.Status == store::StatusDeleted) {
      store_.MousePointerDefault();
      return n;
    }
  }
  return NotFound("Start of Current List", true);
}

// ---- global search --------------------------------------------------------------

float MainWindowRuns::GlobalSearchNext(EntryRecord& work) {
  store_.MousePointerHourglass();
  const float last = store_.CatalogHeader.EntryCount;
  for (float n = store_.CurrentEntryNumber + 1; n <= last; ++n) {
    if (!Read(work, n)) break;
    if (GlobalMatch(state_.SearchString, work, store_.CaseSensitive)) {
      store_.MousePointerDefault();
      return n;
    }
  }
  return NotFound("No matches found.", true);
}

float MainWindowRuns::GlobalSearchPrevious(EntryRecord& work) {
  store_.MousePointerHourglass();
  for (float n = store_.CurrentEntryNumber - 1; n >= 1; --n) {
    if (!Read(work, n)) break;
    if (GlobalMatch(state_.SearchString, work, store_.CaseSensitive)) {
      store_.MousePointerDefault();
      return n;
    }
  }
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

float MainWindowRuns::SeqSearchNext(EntryRecord& work) {
  store_.MousePointerHourglass();
  const float last = store_.CatalogHeader.EntryCount;
  if (store_.CurrentSettings.Sorted == 1.0f) {
    float n = store_.CurrentEntryNumber;
    if (Read(work, n)) {
      // The chain ends at an entry linking to itself; a damaged chain (a
      // link to no entry, a loop) ends the walk too.
      for (float steps = 0; steps < last; ++steps) {
        float next = work.NextLink;
        if (next == n || !ChainLink(next)) break;
        n = next;
        if (!Read(work, n)) break;
        if (MatchSeqSearch(state_, work, store_.CaseSensitive)) {
          store_.MousePointerDefault();
          return n;
        }
      }
    }
    return NotFound("No Match Found", true);
  }
  for (float n = store_.CurrentEntryNumber + 1; n <= last; ++n) {
    if (!Read(work, n)) break;
    if (MatchSeqSearch(state_, work, store_.CaseSensitive)) {
      store_.MousePointerDefault();
      return n;
    }
  }
  return NotFound("No Match Found", true);
}

float MainWindowRuns::SeqSearchPrevious(EntryRecord& work) {
  store_.MousePointerHourglass();
  const float last = store_.CatalogHeader.EntryCount;
  if (store_.CurrentSettings.Sorted == 1.0f) {
    float n = store_.CurrentEntryNumber;
    if (Read(work, n)) {
      for (float steps = 0; steps < last; ++steps) {
        float prev = work.PrevLink;
        if (prev == n || !ChainLink(prev)) break;
        n = prev;
        if (!Read(work, n)) break;
        if (MatchSeqSearch(state_, work, store_.CaseSensitive)) {
          store_.MousePointerDefault();
          return n;
        }
      }
    }
    return NotFound("No Match Found", false);
  }
  for (float n = store_.CurrentEntryNumber - 1; n >= 1; --n) {
    if (!Read(work, n)) break;
    if (MatchSeqSearch(state_, work, store_.CaseSensitive)) {
      store_.MousePointerDefault();
      return n;
    }
  }
  return NotFound("No Match Found", false);
}

}  // namespace kelvarin::reports
