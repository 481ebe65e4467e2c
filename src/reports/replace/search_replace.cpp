#include "reports/replace/search_replace.h"

#include "reports/replace/field_text_replace.h"
#include "reports/replace/raw_entry_scan.h"

namespace kelvarin::reports {

using store::EntryRecord;

namespace {
constexpr const char* kKeyUpdateFailed = "Error Updating Key Index";
}  // namespace

SearchReplace::SearchReplace(platform::Host& host, store::Store& store, ReportState& state,
                             entry::frmQAVMain& main)
    : host_(host), store_(store), state_(state), main_(main) {}

void SearchReplace::Attach() {
  main_.AttachMenu(main_.mnuVReplace, [this] { mnuVReplace_Click(); });
}

void SearchReplace::mnuVReplace_Click() {
  {
    frmSearchReplace dialog(host_, store_, state_, request_,
                            [this](const std::string& text) { main_.SetPanel("RptDest", text); });
    dialog.Show(platform::ShowMode::Modal);
  }
  host_.DoEvents();
  if (store_.DialogResult != 0) return;
  if (request_.ReplaceGlobal)
    GlobalReplace();
  else
    FieldReplace();
}

void SearchReplace::FieldReplace() {
  const int16_t f = request_.ReplaceField;
  if (f < 0 || f >= store::kFieldCount || store_.CatalogHeader.FieldLength[static_cast<size_t>(f)] <= 0) return;
  Replace(false);
}

void SearchReplace::GlobalReplace() { Replace(true); }

void SearchReplace::BusyOn() {
  store_.MousePointerHourglass();
  main_.SetEnabled(false);
}

void SearchReplace::BusyOff() {
  store_.MousePointerDefault();
  main_.SetEnabled(true);
  store_.CloseGauge();
}

void SearchReplace::Replace(bool global) {
  const store::DatHeader& header = store_.CatalogHeader;
  const float last = header.EntryCount;
  const float start = request_.ReplaceStart;
  const std::string& search = state_.SearchString;
  const std::string& replacement = state_.ReplaceString;
  const bool caseSensitive = store_.CaseSensitive;

  BusyOn();
  store_.ShowGauge(last + 1 - start, global ? "Replacing Globally...." : "Replacing ....", true);
  RawEntryScan scan(store_, search, caseSensitive);
  float count = 0;
  bool failed = false;
  EntryRecord before;
  EntryRecord after;
  for (float n = start; n <= last; ++n) {
    if (store_.StepGauge()) break;
    // Below entry 1 the read refuses ("Bad RecNum") and the run goes on.
    if (n >= 1 && !scan.MayHold(static_cast<int64_t>(n))) continue;
    if (!store_.ReadEntry(before, header, n, store_.DatFile)) continue;
    after = before;
    int changed = 0;
    for (int f = global ? 0 : request_.ReplaceField; f <= (global ? store::kFieldCount - 1 : request_.ReplaceField);
         ++f) {
      const auto slot = static_cast<size_t>(f);
      if (ReplaceInField(after.FieldText[slot], header.FieldLength[slot], search, replacement, caseSensitive))
        ++changed;
    }
    if (changed == 0) continue;
    count += global ? static_cast<float>(changed) : 1.0f;
    // A replacement by the same text changes nothing worth writing.
    if (after == before) continue;
    if (!Rewrite(n, before, after)) {
      failed = true;
      break;
    }
  }
  if (keysOpen_) {
    store_.CloseIndexes(keys_);
    keysOpen_ = false;
  }
  BusyOff();
  // After a failed write the user has been told; that nothing matched would
  // be no news.
  if (count == 0 && !failed) {
    host_.Beep();
    host_.MsgBox("No Matches Found");
  }
  main_.mnuEEraseScreen_Click();
}

bool SearchReplace::Rewrite(float n, const EntryRecord& before, const EntryRecord& after) {
  // The indexes whose key for this entry changes.
  store::KeyIndexTable changed;
  for (int slot = 0; slot < store::kFieldCount; ++slot) {
    if (!store::IsKeyField(store_.FieldDefs[static_cast<size_t>(slot)].FieldKind)) continue;
    if (store::Store::EntryKey(before, slot) == store::Store::EntryKey(after, slot)) continue;
    if (!keysOpen_) {
      store_.OpenKeyIndexes(keys_);
      keysOpen_ = true;
    }
    for (int i = 1; i <= keys_.KeyIndexCount; ++i) {
      const store::KeyIndex& k = keys_.Items[static_cast<size_t>(i)];
      if (k.FieldIndex != slot) continue;
      // An index that could not be opened (the user has been told) would
      // keep the old key with the right count, which nothing later notices.
      if (k.Handle < 0) return false;
      changed.Items[static_cast<size_t>(++changed.KeyIndexCount)] = k;
    }
  }
  const store::DatHeader& header = store_.CatalogHeader;
  // An index that lost a key but not gained the new one holds one key too
  // few, and is built again from the entries when next opened.
  if (!store_.DeleteEntryKeys(changed, before, n)) {
    host_.MsgBox(kKeyUpdateFailed);
    return false;
  }
  if (store_.WriteEntry(after, header, n, store_.DatFile)) {
    if (store_.AddEntryKeys(changed, after, n)) return true;
    host_.MsgBox(kKeyUpdateFailed);
    return false;
  }
  // The record may be partly written: put the old one back, and key the
  // entry by whatever the file holds now.
  store_.WriteEntry(before, header, n, store_.DatFile);
  EntryRecord now;
  if (store_.ReadEntry(now, header, n, store_.DatFile)) store_.AddEntryKeys(changed, now, n);
  return false;
}

}  // namespace kelvarin::reports
