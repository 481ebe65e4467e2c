#include "reports/replace/search_replace.h"

#include <algorithm>

#include "reports/replace/field_text_replace.h"
#include "reports/replace/raw_entry_scan.h"

namespace kelvarin::reports {

using store::EntryRecord;

namespace {
// Entries rewritten together, their keys changed in one transaction per
// index before and one after.
constexpr size_t kGroup = 256;
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
    // A failure has been told; the run stops there.
    if (!Queue(n, before, after) || (pending_.size() >= kGroup && !Flush())) break;
  }
  // What was replaced before a cancel stays replaced.
  Flush();
  if (keysOpen_) {
    store_.CloseIndexes(keys_);
    keysOpen_ = false;
  }
  BusyOff();
  // Nothing can fail before a match is counted.
  if (count == 0) {
    host_.Beep();
    host_.MsgBox("No Matches Found");
  }
  main_.mnuEEraseScreen_Click();
}

bool SearchReplace::Queue(float n, const EntryRecord& before, const EntryRecord& after) {
  Pending p{n, before, after, {}};
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
      if (k.Handle < 0) {
        Flush();
        return false;
      }
      p.keys.Items[static_cast<size_t>(++p.keys.KeyIndexCount)] = k;
      const auto first = touched_.Items.begin() + 1, end = first + touched_.KeyIndexCount;
      if (std::none_of(first, end, [&](const store::KeyIndex& t) { return t.Handle == k.Handle; }))
        touched_.Items[static_cast<size_t>(++touched_.KeyIndexCount)] = k;
    }
  }
  pending_.push_back(std::move(p));
  return true;
}

bool SearchReplace::ChangeKeys(bool add) {
  // One transaction per index for the group. The first failure is told (by
  // the store) and ends the phase; what the phase did is dropped, so the
  // old keys stay when they could not all go, and an index whose new keys
  // could not all come stays marked out of step, to be built again.
  if (!store_.BeginKeyChanges(touched_)) return false;
  bool ok = true;
  for (size_t i = 0; ok && i < pending_.size(); ++i) {
    Pending& p = pending_[i];
    ok = add ? store_.AddEntryKeys(p.keys, i < written_ ? p.after : p.before, p.n)
             : store_.DeleteEntryKeys(p.keys, p.before, p.n);
  }
  return store_.EndKeyChanges(touched_, ok) && ok;
}

bool SearchReplace::Flush() {
  if (pending_.empty()) return true;
  const store::DatHeader& header = store_.CatalogHeader;
  written_ = 0;
  // The data file is written only once the old keys are gone.
  bool keysOk = ChangeKeys(false);
  if (keysOk)
    while (written_ < pending_.size() && store_.WriteEntry(pending_[written_].after, header, pending_[written_].n,
                                                           store_.DatFile))
      ++written_;
  const bool writeFailed = keysOk && written_ < pending_.size();
  if (writeFailed) {
    // The record may be partly written: put the old one back, and key the
    // entry by whatever the file holds now.
    Pending& p = pending_[written_];
    store_.WriteEntry(p.before, header, p.n, store_.DatFile);
    if (!store_.ReadEntry(p.after, header, p.n, store_.DatFile)) p.after = p.before;
    ++written_;
  }
  if (keysOk) keysOk = ChangeKeys(true);
  pending_.clear();
  touched_.KeyIndexCount = 0;
  return keysOk && !writeFailed;
}

}  // namespace kelvarin::reports
