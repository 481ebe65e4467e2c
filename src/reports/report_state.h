// The shared variables of the lists, searches and reports: the three criteria
// lists, the key field of alphabetical runs, the global search text, the list
// range, the running totals and the speed-search bindings. The application
// owns one ReportState beside the Store; dialogs fill it, runs and steps read
// it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "reports/output/output_state.h"
#include "reports/quickview/quick_view_table.h"

namespace kelvarin::reports {

struct CriteriaItem {
  int16_t FieldIndex = 0;  // field slot 0..20
  std::string Text;        // as typed: never trimmed or case-changed
};

// A fixed list of 21 places; places 0..Count-1 are in use, the rest are never
// read. At most one item per field, in ascending FieldIndex order when built
// by the dialogs.
struct CriteriaList {
  std::array<CriteriaItem, 21> Items{};
  int16_t Count = 0;
};

// Which list the criteria dialog edits; set by its opener just before showing it.
enum CriteriaModeValue : int16_t { CriteriaAlphaStart = 0, CriteriaAlphaEnd = 1, CriteriaSearch = 2 };

struct ReportState {
  CriteriaList SearchCriteria;
  CriteriaList AlphaStartCriteria;
  CriteriaList AlphaEndCriteria;
  int16_t CriteriaMode = CriteriaSearch;

  // Field slot of the key field that orders alphabetical searches and lists.
  int16_t KeyField = 0;
  // The text of a global search; also the search text of search and replace.
  std::string SearchString;
  std::string ReplaceString;
  // First and last entry numbers of List Range, kept between uses.
  float ListRangeStart = 0;
  float ListRangeEnd = 0;
  // Running totals per field slot, cleared at the start of every run.
  std::array<float, 21> FieldTotals{};
  // Field slot bound to each speed-search item; -1 = not bound.
  std::array<int16_t, 3> SpeedSearchFields{-1, -1, -1};
  // Printed and ASCII output: line buffer, page and file state.
  OutputState Output;
  // The entry numbers behind the Quick View rows; kept between runs.
  QuickViewTable QuickViewEntries;
};

}  // namespace kelvarin::reports
