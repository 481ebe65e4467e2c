#include "reports/runs/match_tests.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "entry/frmQAVMain.h"
#include "platform/text/codepage.h"

namespace kelvarin::reports {
namespace {

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Case-blind "text begins with prefix"; an empty prefix matches nothing, as
// the substring test treats it.
bool BeginsWithFolded(std::string_view text, std::string_view prefix) {
  if (prefix.empty() || prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    unsigned char a = static_cast<unsigned char>(text[i]);
    unsigned char b = static_cast<unsigned char>(prefix[i]);
    if (a != b && platform::AnsiUpper(a) != platform::AnsiUpper(b)) return false;
  }
  return true;
}

const std::array<unsigned char, 256>& FoldTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[static_cast<size_t>(c)] = platform::AnsiUpper(static_cast<unsigned char>(c));
    return t;
  }();
  return table;
}

// The substring test of the searches (the same answer as IsSubstr), without
// a call per character: the walks make it for every field of every entry.
bool Contains(std::string_view text, std::string_view sub, bool caseSensitive) {
  if (sub.empty() || sub.size() > text.size()) return false;
  if (caseSensitive) return text.find(sub) != std::string_view::npos;
  const std::array<unsigned char, 256>& fold = FoldTable();
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto* s = reinterpret_cast<const unsigned char*>(sub.data());
  const size_t m = sub.size();
  const size_t last = text.size() - m;
  const unsigned char first = fold[s[0]];
  for (size_t p = 0; p <= last; ++p) {
    if (fold[t[p]] != first) continue;
    size_t k = 1;
    while (k < m && fold[t[p + k]] == fold[s[k]]) ++k;
    if (k == m) return true;
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
  const int16_t count = Used(state.AlphaEndCriteria);
  for (int16_t i = 0; i < count; ++i) {
    const CriteriaItem& item = state.AlphaEndCriteria.Items[static_cast<size_t>(i)];
    const std::string& field = FieldOf(entry, item.FieldIndex);
    const size_t n = std::min(field.size(), item.Text.size());
    for (size_t k = 0; k < n; ++k) {
      unsigned char a = platform::AnsiUpper(static_cast<unsigned char>(field[k]));
      unsigned char b = platform::AnsiUpper(static_cast<unsigned char>(item.Text[k]));
      if (a > b) return true;
      if (a < b) break;
    }
  }
  return false;
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
