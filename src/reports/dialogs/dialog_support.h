// Small routines the search, list and report dialogs share besides the
// store's (centring, sunken frames, the key-field list, the report font):
// the digits-only key filter, reading a number box, the close box as Cancel
// and saving the open catalog's settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/model/model.h"
#include "store/store.h"

namespace kelvarin::reports::dialogs {

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

// Makes the window's close box answer like Cancel (DialogResult -1), so
// that an opener never reads a result left over from an earlier dialog.
void CloseBoxCancels(platform::Form& form, store::Store& store);

// Saves the open catalog's settings. With no catalog open there is nothing
// to save them into, so nothing is written (no nameless settings file).
void SaveCatalogSettings(store::Store& store);

}  // namespace kelvarin::reports::dialogs
