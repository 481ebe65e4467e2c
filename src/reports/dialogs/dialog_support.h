// Small routines the search, list and report dialogs share besides the
// store's (centring, sunken frames, the key-field list, the report font):
// the field rows of the search and criteria dialogs, the digits-only key
// filter, reading a number box, the close box as Cancel and saving the open
// catalog's settings.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/model/model.h"
#include "reports/report_state.h"
#include "store/store.h"

namespace kelvarin::reports::dialogs {

// Where the laid-out rows end: the right edge of their boxes and the bottom
// of the last row's place (hidden or not).
struct FieldRowsExtent {
  int32_t right = 0;
  int32_t bottom = 0;
};

// Lays out `rows` field rows (label and box of slot i), element 0 as
// designed and the others loaded as its copies. Box 0 takes the least height
// of one line; row i sits at row 0's top + i x (that height + 3 pixels), so a
// hidden row keeps its place. A used field's row shows its name (all 14
// characters) and a box 40 average characters wide; an unused one is hidden.
// The boxes are visited in slot order.
FieldRowsExtent LayOutFieldRows(platform::Host& host, const store::Store& store,
                                platform::ControlArray<platform::Label>& labels,
                                platform::ControlArray<platform::TextBox>& boxes, int16_t rows, int32_t labelWidth);

// Sunken frames round the visible boxes of the rows (from Paint).
void FrameFieldRows(platform::Form& form, platform::ControlArray<platform::TextBox>& boxes, int16_t rows);

// Whether slot i of the open catalog is used (its length above 0).
bool FieldUsed(const store::Store& store, int16_t slot);

// Puts the text of each criterion of `list` into the box of its slot (a
// hidden one too); a slot without a row is passed over.
void FillFieldRows(platform::ControlArray<platform::TextBox>& boxes, int16_t rows, const CriteriaList& list);

// Rebuilds `list` from the boxes: in slot order, one item per used field
// whose box is not empty, its text as typed.
void CollectFieldRows(const store::Store& store, const platform::ControlArray<platform::TextBox>& boxes,
                      int16_t rows, CriteriaList& list);

// The key filter of number boxes: Backspace and the digits pass; any other
// key is dropped (set to 0) and the beep sounds.
void DigitsOnlyKeyPress(platform::Host& host, int16_t& keyAscii);

// A number box's text read as a whole decimal number: optional blanks round
// it, an optional minus sign, then digits only. Empty optional for anything
// else (pasted letters, a decimal point, a blank box). Values beyond the
// range of a 32-bit integer are held at its ends, which every caller's range
// check refuses anyway.
std::optional<int32_t> ParseWholeNumber(const std::string& text);

// The same for entry numbers, which are single-precision whole numbers.
std::optional<double> ParseWholeEntryNumber(const std::string& text);

// A whole number as plain decimal text ("12", "-3").
std::string WholeNumberText(double value);

// The criteria dialog on the list `mode` names, shown modally; it unloads
// itself and leaves its result in store.DialogResult.
void ShowCriteria(platform::Host& host, store::Store& store, ReportState& state, int16_t mode);

// The report setup dialog, shown modally from the search and list dialogs;
// its result is not looked at.
void ShowReportSetup(platform::Host& host, store::Store& store,
                     const std::function<void(const std::string&)>& setReportDestPanel);

// Makes the window's close box answer like Cancel (DialogResult -1), so
// that an opener never reads a result left over from an earlier dialog.
void CloseBoxCancels(platform::Form& form, store::Store& store);

// Saves the open catalog's settings. With no catalog open there is nothing
// to save them into, so nothing is written (no nameless settings file).
void SaveCatalogSettings(store::Store& store);

}  // namespace kelvarin::reports::dialogs
