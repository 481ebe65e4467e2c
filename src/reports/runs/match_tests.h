// Which entries a search or an alphabetical list takes, and where an
// alphabetical walk begins.
//
// The tests read the criteria as they stand at the moment of the call; they
// change nothing. Criteria places 0..Count-1 are used in stored order.
#pragma once

#include <cstdint>
#include <string>

#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::entry {
class frmQAVMain;
}

namespace kelvarin::reports {

// MatchAlphaSearch results.
enum AlphaMatch : int16_t {
  kAlphaStop = 0,   // deleted, or the key field does not begin with its text
  kAlphaTake = 1,   // every item hits (also with no items)
  kAlphaSkip = 2,   // the key field matches, another item does not
};

// Opens the key index of KeyField into `handle` and positions it on the
// start key: the key-field text of the start list when it has items, else
// of the search criteria (trailing blanks removed, cut to the key field's
// length and 24 characters; empty = the first key). Returns the entry number
// at that key; 0 when the index did not open (handle -1, already reported)
// or no key lies at or after the start key (handle open: the caller closes it).
float FindStartKey(store::Store& store, const ReportState& state, const entry::frmQAVMain& main, int16_t& handle);

// The key field must begin with its text and every other field must contain
// its text, all without regard to case.
int16_t MatchAlphaSearch(const ReportState& state, const store::EntryRecord& entry);

// Every field must contain its text; caseSensitive is the catalog's
// setting, which the search dialog offers for this order.
bool MatchSeqSearch(const ReportState& state, const store::EntryRecord& entry, bool caseSensitive);

// True once one end item's field exceeds the item's text, compared in upper
// case over the shorter of the two (so an end text SMITH keeps SMITHSON).
bool IsPastEndPoint(const ReportState& state, const store::EntryRecord& entry);

// The index keeps 24 characters of a key, and keys equal on those are
// ordered by entry number, not by the rest of their text. So a walk meets
// entries that differ beyond character 24 in any order: one that fails a
// longer text may be followed by one that passes it.
//
// True when the entry's key equals the first 24 characters of the key
// field's search text and that text is longer (later keys may still begin
// with the whole text).
bool KeyTiesSearchText(const ReportState& state, const store::EntryRecord& entry);

// Where an entry lies against the end point, for walks in key order.
enum EndPoint : int16_t {
  kBeforeEnd = 0,  // not past: take it
  kPastEnd = 1,    // past, and so is every later key: stop
  kPastEndTied = 2,  // past only on the key field's end text beyond 24
                     // characters, on a key equal to its first 24: pass over
};
EndPoint EndPointVerdict(const ReportState& state, const store::EntryRecord& entry);

// Some field slot 0..20 contains the text (deleted entries too).
bool GlobalMatch(const std::string& text, const store::EntryRecord& entry, bool caseSensitive);

// For the first-match walk of an alphabetical search: true when the entry's
// key lies beyond every key that can begin with the key field's search text,
// so that no later key in the index can match. Always false when the search
// has no text for the key field.
bool KeyPastSearchText(const ReportState& state, const store::EntryRecord& entry);

}  // namespace kelvarin::reports
