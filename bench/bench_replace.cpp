// Search and replace over a large catalog, played through the scripted host
// as the user would (View, Search and Replace, the dialog's answers), against
// grep counting the word in the data file.
//
//   figure global_replace_vs_grep   a Global Replace of a word that occurs
//                                   in 1% of 1,000,000 entries / the time of
//                                   `LC_ALL=C grep -c -i WORD` on the data
//                                   file
//
// Each replace puts back the word the one before took away, so every run
// has the same work; grep counts the word the file holds at that moment.
//
// argv[1] = a work directory.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/program.h"
#include "bench_timing.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "reports/replace/frmSearchReplace.h"
#include "store/formats.h"
#include "store/store.h"

using namespace kelvarin;
using bench::Clock;

namespace {

constexpr int kEntries = 1000000;
constexpr const char* kWord = "quasar";
constexpr const char* kNewWord = "pulsar";
constexpr int kWordSlot = 4;

// Eight text fields of 20 characters (slot 0 the key) and one of 4. Texts
// are made of the letters A to P and digits, so the word occurs only where
// it is put: in every hundredth entry, in a field that is no key.
bool WriteCatalog(const std::string& dir, const std::string& name) {
  store::DatHeader h;
  store::FieldDefTable defs;
  for (int i = 0; i < 8; ++i) h.FieldLength[static_cast<size_t>(i)] = 20;
  h.FieldLength[8] = 4;
  h.RecordLength = static_cast<int16_t>(store::ComputeRecordLength(h.FieldLength));
  h.EntryCount = static_cast<float>(kEntries);
  for (int i = 0; i < store::kFieldCount; ++i) {
    std::string n = "Text " + std::to_string(i + 1);
    n.resize(store::kFieldNameLength, ' ');
    defs[static_cast<size_t>(i)].FieldName = n;
  }
  defs[0].FieldKind = store::KindKey;

  std::vector<uint8_t> set(store::kSetFileSize, 0);
  store::EncodeFieldDefs(defs, set.data());
  store::EncodeSettings(store::CatalogSettings{}, set.data() + store::kSettingsOffset);
  store::EncodeFormulas(store::FormulaTable{}, set.data() + store::kFormulasOffset);
  std::ofstream(dir + "/" + name + ".SET", std::ios::binary)
      .write(reinterpret_cast<const char*>(set.data()), static_cast<std::streamsize>(set.size()));

  std::ofstream dat(dir + "/" + name + ".DAT", std::ios::binary | std::ios::trunc);
  const size_t len = static_cast<size_t>(h.RecordLength);
  std::vector<uint8_t> out(len * (kEntries + 1), ' ');
  store::EncodeDatHeader(h, out.data());
  uint32_t seed = 2024;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  store::EntryRecord e;
  for (int n = 1; n <= kEntries; ++n) {
    for (int i = 0; i < 9; ++i) {
      std::string t;
      const int length = i == 8 ? 4 : 6 + static_cast<int>(next() % 14);
      for (int k = 0; k < length; ++k) {
        uint32_t r = next() % 26;
        t.push_back(r < 16 ? static_cast<char>('A' + r) : static_cast<char>('0' + r - 16));
      }
      t.resize(static_cast<size_t>(h.FieldLength[static_cast<size_t>(i)]), ' ');
      e.FieldText[static_cast<size_t>(i)] = t;
    }
    if (n % 100 == 37) e.FieldText[kWordSlot] = std::string("NEAR ") + kWord + " END         ";
    store::EncodeEntry(e, h, out.data() + static_cast<size_t>(n) * len);
  }
  dat.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(dat);
}

// The seconds of one grep for word, its answer to a file: grep gives up at
// the first match when its output is the null device. Negative when grep
// failed or counted otherwise than expected.
double GrepSeconds(const std::string& file, const std::string& word, const std::string& answer, int expected) {
  const double s = bench::TimeCommand("LC_ALL=C grep -c -i " + word + " '" + file + "' > '" + answer + "'");
  std::ifstream in(answer);
  int count = -1;
  return s > 0 && (in >> count) && count == expected ? s : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_replace WORKDIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/bench_replace";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  if (!WriteCatalog(dir, "HUGE")) {
    std::fprintf(stderr, "cannot write the catalog\n");
    return 1;
  }
  platform::WritePrivateProfileString("Database", "CurrentDB", "HUGE", dir + "/QAV.INI");
  platform::WritePrivateProfileString("Reports", "ReportDest", "0", dir + "/QAV.INI");

  platform::ScriptedHost host;
  app::Program program(host, dir);
  program.Start();
  store::Store& st = program.store();
  std::string from = kWord, to = kNewWord;
  const auto replace = [&] {
    host.OnShowAs<reports::frmSearchReplace>("frmSearchReplace", [&](reports::frmSearchReplace& f) {
      f.txtSearchString.UserSetText(from);
      f.txtReplaceString.UserSetText(to);
      f.optGlobal.UserClick();
      f.cmdOK.UserClick();
    });
    const auto t0 = Clock::now();
    program.mainWindow().mnuVReplace.UserClick();
    const double s = bench::SecondsSince(t0);
    // The run must have done its work: the first and last entries holding
    // the word now hold the new one, and nothing was reported.
    store::EntryRecord e;
    bool ok = host.MessageTexts().empty();
    for (float n : {37.0f, static_cast<float>(kEntries - 63)}) {
      ok = ok && st.ReadEntry(e, st.CatalogHeader, n, st.DatFile) &&
           e.FieldText[kWordSlot].find(to) != std::string::npos;
    }
    std::swap(from, to);
    if (ok) return s;
    std::fprintf(stderr, "the replace did not replace\n");
    return -1.0;
  };
  // grep takes the NUL bytes of each entry's numbers for line ends, so it
  // counts the entries holding the word.
  const auto grep = [&] {
    const double s = GrepSeconds(dir + "/HUGE.DAT", from, dir + "/grep.out", kEntries / 100);
    if (s < 0) std::fprintf(stderr, "grep did not run\n");
    return s;
  };
  bench::PairTimes t;
  const bool ok = bench::TimePairs(replace, grep, &t);
  program.Quit();
  if (!ok) return 1;
  bench::PrintFigure("global_replace_vs_grep", t, 3);
  if (!std::getenv("KV_KEEP")) std::filesystem::remove_all(dir);
  return 0;
}
