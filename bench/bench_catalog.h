// Large catalogs for the benchmarks, written straight into their files, and
// the same rows as an SQLite table for the outside yardstick.
//
// A book catalog of 217-byte entries: Title (key, 40), Author (key, 30),
// Publisher (25), City (20), Year (4), Shelf (6), Price (8), Notes (60),
// Subject (8). Texts are mixed case, with accented Windows-1252 letters in
// names, cities and words; titles and notes vary in length. One entry in a
// hundred holds kHitWord (in any case) in its notes, and no other text
// holds it. Entry n is the same in every catalog made with the same seed,
// so catalogs of 100,000 and 1,000,000 entries differ only in their length.
#pragma once

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "platform/text/codepage.h"
#include "store/formats.h"
#include "store/store.h"

namespace kelvarin::bench {

// Letters that are common in the words around it, so a first-letter scan
// meets many candidates.
inline constexpr const char* kHitWord = "stone";
inline constexpr int kTitleSlot = 0;
inline constexpr int kNotesSlot = 7;
inline constexpr int kPublisherSlot = 2;
inline constexpr std::array<int16_t, 9> kLengths = {40, 30, 25, 20, 4, 6, 8, 60, 8};
inline constexpr std::array<const char*, 9> kNames = {"Title", "Author", "Publisher", "City", "Year",
                                                      "Shelf", "Price", "Notes", "Subject"};

inline store::DatHeader BenchHeader(int entries) {
  store::DatHeader h;
  for (size_t i = 0; i < kLengths.size(); ++i) h.FieldLength[i] = kLengths[i];
  h.RecordLength = static_cast<int16_t>(store::ComputeRecordLength(h.FieldLength));
  h.EntryCount = static_cast<float>(entries);
  return h;
}

// Entry texts from a small random generator (Windows-1252 in the source as
// \x escapes: é è ü ö ñ ç å ä à ï É Ö Ü).
class EntryMaker {
 public:
  // The texts of entry n (1-based).
  void Fill(int n, store::EntryRecord& e) {
    seed_ = static_cast<uint32_t>(n) * 2654435761u + 97u;
    e.Status = store::StatusActive;
    e.FieldText[0] = Title();
    e.FieldText[1] = Pick(kLast) + std::string(", ") + Pick(kFirst);
    e.FieldText[2] = Pick(kPublishers);
    e.FieldText[3] = Pick(kCities);
    e.FieldText[4] = std::to_string(1900 + Next() % 125);
    e.FieldText[5] = std::string(1, static_cast<char>('A' + Next() % 26)) + std::to_string(Next() % 1000);
    e.FieldText[6] = std::to_string(Next() % 200) + "." + std::to_string(10 + Next() % 90);
    e.FieldText[7] = Notes(Hit(n));
    e.FieldText[8] = Pick(kSubjects);
    for (size_t i = 0; i < kLengths.size(); ++i) {
      std::string& t = e.FieldText[i];
      t.resize(static_cast<size_t>(kLengths[i]), ' ');
    }
    for (size_t i = kLengths.size(); i < e.FieldText.size(); ++i) e.FieldText[i].clear();
  }
  // Whether entry n holds the hit word: one in a hundred, spread evenly.
  static bool Hit(int n) { return (static_cast<uint32_t>(n) * 2654435761u >> 7) % 100 == 37; }

 private:
  static constexpr std::array<const char*, 24> kFirst = {
      "Anna", "Jos\xe9", "Fran\xe7oise", "Bj\xf6rn", "Mar\xed" "a", "J\xfcrgen", "Chlo\xeb", "Ren\xe9",
      "Peter", "Hel\xe8ne", "Nu\xf1o", "Zo\xeb", "Karl", "In\xe9s", "Mats", "Agn\xe8s",
      "Lucas", "Ang\xe9lique", "Hugo", "Lena", "Andr\xe9", "Sofia", "Tom\xe1s", "Ida"};
  static constexpr std::array<const char*, 24> kLast = {
      "M\xfcller", "Garc\xed" "a", "Dupr\xe9", "\xc5kesson", "Smith", "Nu\xf1" "ez", "Bront\xeb", "Weiss",
      "Lef\xe8vre", "Johansson", "\xd6zt\xfcrk", "Kowalski", "Bianchi", "Fran\xe7ois", "Martin", "Dubois",
      "Hern\xe1ndez", "Schr\xf6" "der", "Rossi", "Berg", "\xc9mile", "Lindqvist", "Moreau", "Wagner"};
  static constexpr std::array<const char*, 10> kPublishers = {
      "Gallimard", "Penguin Books", "Suhrkamp Verlag", "Ediciones C\xe1tedra", "Bonnier",
      "Editions du Seuil", "Faber & Faber", "Random House", "Alfaguara", "H\xe4nssler Verlag"};
  static constexpr std::array<const char*, 12> kCities = {
      "Paris", "M\xfcnchen", "Z\xfcrich", "Sevilla", "G\xf6teborg", "London",
      "Montr\xe9" "al", "K\xf6ln", "Malm\xf6", "New York", "Bogot\xe1", "Orl\xe9" "ans"};
  static constexpr std::array<const char*, 8> kSubjects = {"Fiction", "History", "Poetry", "Science",
                                                          "Travel", "Art", "Biograph", "Cookery"};
  // Words of common letters; none holds the hit word.
  static constexpr std::array<const char*, 48> kWords = {
      "the",    "river",   "garden",  "night",   "letters", "stories", "history", "of",     "and",
      "sea",    "winter",  "l'\xe9t\xe9", "caf\xe9", "ma\xefs", "ni\xf1os", "s\xfc\xdf", "stars",  "tears",
      "north",  "station", "storm",   "stolen",  "tones",   "notes",   "onset",   "rest",   "one",
      "sonnet", "island",  "horse",   "music",   "among",   "across",  "forest",  "street", "end",
      "secret", "trains",  "silent",  "first",   "return",  "Str\xf6m", "\xe9toile", "Ostende", "stoic",
      "in",     "a",       "toast"};

  uint32_t Next() {
    seed_ ^= seed_ << 13;
    seed_ ^= seed_ >> 17;
    seed_ ^= seed_ << 5;
    return seed_;
  }
  template <size_t N>
  const char* Pick(const std::array<const char*, N>& list) {
    return list[Next() % N];
  }
  std::string Words(size_t length) {
    std::string t;
    while (t.size() < length) {
      std::string w = Pick(kWords);
      if (t.empty() || Next() % 4 == 0) w[0] = static_cast<char>(platform::AnsiUpper(static_cast<unsigned char>(w[0])));
      if (!t.empty()) t += ' ';
      t += w;
    }
    t.resize(std::min(t.size(), length));
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
  }
  std::string Title() { return Words(8 + Next() % 30); }
  std::string Notes(bool hit) {
    std::string t = Words(Next() % 58);
    if (hit) {
      static constexpr std::array<const char*, 3> kForms = {"Stone", "STONE", "stone"};
      std::string word = kForms[Next() % 3];
      t.resize(std::min<size_t>(t.size(), 60 - word.size() - 1));
      size_t at = t.empty() ? 0 : Next() % t.size();
      while (at > 0 && t[at - 1] != ' ') --at;
      t.insert(at, word + " ");
    }
    return t;
  }

  uint32_t seed_ = 1;
};

// The key order of the index: upper case, byte by byte, then entry number.
inline std::vector<int> KeyOrder(int entries) {
  EntryMaker maker;
  std::vector<std::string> keys(static_cast<size_t>(entries) + 1);
  store::EntryRecord e;
  for (int n = 1; n <= entries; ++n) {
    maker.Fill(n, e);
    keys[static_cast<size_t>(n)] = platform::AnsiUpperString(store::Store::EntryKey(e, kTitleSlot));
  }
  std::vector<int> order(static_cast<size_t>(entries));
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]; });
  return order;
}

// Writes DIR/NAME.SET and DIR/NAME.DAT with entries 1..entries; with
// sorted, the entries are threaded in key order (Sorted = 1, head, tail).
// adjust(n, entry), when given, changes entry n's texts after they are
// made (each is then cut to its field).
inline bool WriteBenchCatalog(const std::string& dir, const std::string& name, int entries, bool sorted,
                              const std::function<void(int, store::EntryRecord&)>& adjust = {}) {
  store::DatHeader h = BenchHeader(entries);
  store::FieldDefTable defs;
  for (int i = 0; i < store::kFieldCount; ++i) {
    std::string& fieldName = defs[static_cast<size_t>(i)].FieldName;
    fieldName = i < static_cast<int>(kNames.size()) ? kNames[static_cast<size_t>(i)] : "";
    fieldName.resize(store::kFieldNameLength, ' ');
  }
  defs[0].FieldKind = store::KindKey;
  defs[1].FieldKind = store::KindKey;
  std::vector<float> next, prev;
  store::CatalogSettings settings;
  if (sorted && entries > 0) {
    std::vector<int> order = KeyOrder(entries);
    next.assign(static_cast<size_t>(entries) + 1, 0);
    prev.assign(static_cast<size_t>(entries) + 1, 0);
    for (size_t i = 0; i < order.size(); ++i) {
      const auto at = static_cast<size_t>(order[i]);
      prev[at] = static_cast<float>(i == 0 ? order[i] : order[i - 1]);
      next[at] = static_cast<float>(i + 1 == order.size() ? order[i] : order[i + 1]);
    }
    settings.Sorted = 1.0f;
    settings.SortHead = static_cast<float>(order.front());
    settings.SortTail = static_cast<float>(order.back());
  }
  std::vector<uint8_t> set(store::kSetFileSize, 0);
  store::EncodeFieldDefs(defs, set.data());
  store::EncodeSettings(settings, set.data() + store::kSettingsOffset);
  store::EncodeFormulas(store::FormulaTable{}, set.data() + store::kFormulasOffset);
  std::ofstream(dir + "/" + name + ".SET", std::ios::binary)
      .write(reinterpret_cast<char*>(set.data()), static_cast<std::streamsize>(set.size()));

  std::ofstream dat(dir + "/" + name + ".DAT", std::ios::binary | std::ios::trunc);
  const size_t len = static_cast<size_t>(h.RecordLength);
  std::vector<uint8_t> chunk;
  chunk.reserve(len * 4096);
  std::vector<uint8_t> rec(len, ' ');
  store::EncodeDatHeader(h, rec.data());
  chunk.insert(chunk.end(), rec.begin(), rec.end());
  EntryMaker maker;
  store::EntryRecord e;
  for (int n = 1; n <= entries; ++n) {
    maker.Fill(n, e);
    if (adjust) {
      adjust(n, e);
      for (size_t i = 0; i < kLengths.size(); ++i)
        if (e.FieldText[i].size() > static_cast<size_t>(kLengths[i])) e.FieldText[i].resize(static_cast<size_t>(kLengths[i]));
    }
    if (sorted) {
      e.NextLink = next[static_cast<size_t>(n)];
      e.PrevLink = prev[static_cast<size_t>(n)];
    }
    store::EncodeEntry(e, h, rec.data());
    chunk.insert(chunk.end(), rec.begin(), rec.end());
    if (chunk.size() >= len * 4096) {
      dat.write(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
      chunk.clear();
    }
  }
  dat.write(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
  return static_cast<bool>(dat);
}

// The same rows as table e of an SQLite file: rowid = entry number, one
// UTF-8 text column per field, and an index on the title without regard to
// case, as the key index orders it.
inline bool WriteBenchTable(const std::string& path, int entries) {
  std::remove(path.c_str());
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
  bool ok = sqlite3_exec(db,
                         "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
                         "CREATE TABLE e(id INTEGER PRIMARY KEY, title TEXT, author TEXT, publisher TEXT,"
                         " city TEXT, year TEXT, shelf TEXT, price TEXT, notes TEXT, subject TEXT);",
                         nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_stmt* insert = nullptr;
  ok = ok && sqlite3_prepare_v2(db, "INSERT INTO e VALUES(?,?,?,?,?,?,?,?,?,?)", -1, &insert, nullptr) == SQLITE_OK;
  EntryMaker maker;
  store::EntryRecord e;
  for (int n = 1; ok && n <= entries; ++n) {
    maker.Fill(n, e);
    sqlite3_bind_int(insert, 1, n);
    for (int i = 0; i < 9; ++i) {
      std::string text = platform::AnsiToUtf8(e.FieldText[static_cast<size_t>(i)]);
      while (!text.empty() && text.back() == ' ') text.pop_back();
      sqlite3_bind_text(insert, i + 2, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    ok = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  ok = ok && sqlite3_exec(db, "CREATE INDEX e_title ON e(title COLLATE NOCASE); COMMIT;", nullptr, nullptr, nullptr) ==
                 SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

inline void WriteIni(const std::string& dir, const std::string& catalog) {
  platform::WritePrivateProfileString("Database", "CurrentDB", catalog, dir + "/QAV.INI");
  platform::WritePrivateProfileString("Reports", "ReportDest", "0", dir + "/QAV.INI");
  platform::WritePrivateProfileString("Search", "SearchMode", "0", dir + "/QAV.INI");
}

}  // namespace kelvarin::bench
