#include "reports/runs/match_tests.h"

#include <algorithm>
#include <string_view>

#include "entry/frmQAVMain.h"
#include "platform/text/codepage.h"
#include "platform/text/substr.h"
#include "platform/text/trim.h"

namespace kelvarin::reports {
namespace {

std::string_view TrimRight(std::string_view s) { return platform::TrimTrailingBlanks(s); }

// Case-blind "text begins with prefix": the substring test over the
// field's first characters (the whole field when it is shorter).
bool BeginsWithFolded(const std::string& text, const std::string& prefix) {
  if (text.size() <= prefix.size()) return platform::IsSubstr(prefix, text, false) != 0;
  return platform::IsSubstr(prefix, text.substr(0, prefix.size()), false) != 0;
}

bool Contains(const std::string& text, const std::string& sub, bool caseSensitive) {
  return platform::IsSubstr(sub, text, caseSensitive) != 0;
}

bool SameFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (platform::AnsiUpper(static_cast<unsigned char>(a[i])) != platform::AnsiUpper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The entry's key for the key field equals the first 24 characters of a
// text that goes on beyond them.
bool KeyTies(std::string_view text, const store::EntryRecord& entry, int16_t keyField) {
  text = TrimRight(text);
  const auto cut = static_cast<size_t>(store::kMaxKeyLength);
  if (text.size() <= cut || keyField < 0 || keyField >= store::kFieldCount) return false;
  std::string_view key = TrimRight(entry.FieldText[static_cast<size_t>(keyField)]);
  if (key.size() > cut) key = key.substr(0, cut);
  return SameFolded(key, text.substr(0, cut));
}

// Whether one end item's field exceeds its text (see IsPastEndPoint).
bool ItemPast(const CriteriaItem& item, const std::string& field) {
  const size_t n = std::min(field.size(), item.Text.size());
  for (size_t k = 0; k < n; ++k) {
    unsigned char a = platform::AnsiUpper(static_cast<unsigned char>(field[k]));
    unsigned char b = platform::AnsiUpper(static_cast<unsigned char>(item.Text[k]));
    if (a != b) return a > b;
  }
  return false;
}

const std::string& FieldOf(const store::EntryRecord& entry, int16_t slot) {
  static const std::string kNone;
  if (slot < 0 || slot >= store::kFieldCount) return kNone;
  return entry.FieldText[static_cast<size_t>(slot)];
}

// The text of the key field's item; empty when there is none (the last one
// wins should a list hold two).
std::string KeyText(const CriteriaList& list, int16_t keyField) {
  std::string key;
  for (int16_t i = 0; i < std::min<int16_t>(list.Count, 21); ++i) {
    const CriteriaItem& item = list.Items[static_cast<size_t>(i)];
    if (item.FieldIndex == keyField) key = std::string(TrimRight(item.Text));
  }
  return key;
}

int16_t Used(const CriteriaList& list) { return std::clamp<int16_t>(list.Count, 0, 21); }

}  // namespace

float FindStartKey(store::Store& store, const ReportState& state, const entry::frmQAVMain& main, int16_t& handle) {
  handle = store.OpenIndex(state.KeyField, store.CatalogHeader, store.CatalogName, 0);
  if (handle == -1) return 0;
  std::string key = state.AlphaStartCriteria.Count > 0 ? KeyText(state.AlphaStartCriteria, state.KeyField)
                                                       : KeyText(state.SearchCriteria, state.KeyField);
  main.LimitKeyLength(key);
  return store.IndexFind(handle, key);
}

int16_t MatchAlphaSearch(const ReportState& state, const store::EntryRecord& entry) {
  const int16_t count = Used(state.SearchCriteria);
  if (count == 0) return kAlphaTake;
  if (entry.Status == store::StatusDeleted) return kAlphaStop;
  for (int16_t i = 0; i < count; ++i) {
    const CriteriaItem& item = state.SearchCriteria.Items[static_cast<size_t>(i)];
    const std::string& text = FieldOf(entry, item.FieldIndex);
    if (item.FieldIndex == state.KeyField) {
      if (!BeginsWithFolded(text, item.Text)) return kAlphaStop;
    } else if (!Contains(text, item.Text, false)) {
      return kAlphaSkip;
    }
  }
  return kAlphaTake;
}

bool MatchSeqSearch(const ReportState& state, const store::EntryRecord& entry, bool caseSensitive) {
  const int16_t count = Used(state.SearchCriteria);
  if (count == 0) return true;
  if (entry.Status == store::StatusDeleted) return false;
  for (int16_t i = 0; i < count; ++i) {
    const CriteriaItem& item = state.SearchCriteria.Items[static_cast<size_t>(i)];
    if (!Contains(FieldOf(entry, item.FieldIndex), item.Text, caseSensitive)) return false;
  }
  return true;
}

bool IsPastEndPoint(const ReportState& state, const store::EntryRecord& entry) {
  return EndPointVerdict(state, entry) != kBeforeEnd;
}

EndPoint EndPointVerdict(const ReportState& state, const store::EntryRecord& entry) {
  const int16_t count = Used(state.AlphaEndCriteria);
  EndPoint verdict = kBeforeEnd;
  for (int16_t i = 0; i < count; ++i) {
    const CriteriaItem& item = state.AlphaEndCriteria.Items[static_cast<size_t>(i)];
    if (!ItemPast(item, FieldOf(entry, item.FieldIndex))) continue;
    if (item.FieldIndex != state.KeyField || !KeyTies(item.Text, entry, state.KeyField)) return kPastEnd;
    verdict = kPastEndTied;
  }
  return verdict;
}

bool KeyTiesSearchText(const ReportState& state, const store::EntryRecord& entry) {
  const int16_t count = Used(state.SearchCriteria);
  bool tied = false;
  for (int16_t i = 0; i < count; ++i) {
    const CriteriaItem& item = state.SearchCriteria.Items[static_cast<size_t>(i)];
    if (item.FieldIndex == state.KeyField) tied = KeyTies(item.Text, entry, state.KeyField);
  }
  return tied;
}

bool GlobalMatch(const std::string& text, const store::EntryRecord& entry, bool caseSensitive) {
  for (const std::string& field : entry.FieldText)
    if (Contains(field, text, caseSensitive)) return true;
  return false;
}

bool KeyPastSearchText(const ReportState& state, const store::EntryRecord& entry) {
  if (Used(state.SearchCriteria) == 0) return false;
  std::string text;
  bool found = false;
  for (int16_t i = 0; i < Used(state.SearchCriteria); ++i) {
    const CriteriaItem& item = state.SearchCriteria.Items[static_cast<size_t>(i)];
    if (item.FieldIndex == state.KeyField) {
      text = item.Text;
      found = true;
    }
  }
  if (!found || text.empty()) return false;
  // An entry whose field begins with the text has a key (the field without
  // trailing blanks, cut to the longest key) that begins with the text so
  // treated; the index orders keys by their upper case, byte by byte.
  std::string_view wanted = TrimRight(text);
  if (wanted.size() > static_cast<size_t>(store::kMaxKeyLength)) wanted = wanted.substr(0, store::kMaxKeyLength);
  std::string_view key = TrimRight(FieldOf(entry, state.KeyField));
  if (key.size() > static_cast<size_t>(store::kMaxKeyLength)) key = key.substr(0, store::kMaxKeyLength);
  const size_t n = std::min(key.size(), wanted.size());
  for (size_t k = 0; k < n; ++k) {
    unsigned char a = platform::AnsiUpper(static_cast<unsigned char>(key[k]));
    unsigned char b = platform::AnsiUpper(static_cast<unsigned char>(wanted[k]));
    if (a != b) return a > b;
  }
  return false;  // a prefix of the text, or the text itself: not past
}

}  // namespace kelvarin::reports
