// Search and replace over a large catalog, played through the scripted host
// as the user would (View, Search and Replace, the dialog's answers), against
// grep counting the word in the data file.
//
//   figure global_replace_vs_grep   a Global Replace of a word that occurs
//                                   in 1% of 1,000,000 entries / the time of
//                                   `LC_ALL=C grep -c -i WORD` on the data
//                                   file (the best of three runs)
//
// argv[1] = a work directory.
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "reports/replace/frmSearchReplace.h"
#include "store/formats.h"
#include "store/store.h"

using namespace kelvarin;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kEntries = 1000000;
constexpr const char* kWord = "quasar";
constexpr const char* kNewWord = "pulsar";
constexpr int kWordSlot = 4;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

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

// The best of three runs of grep, in seconds; negative when grep failed or
// counted otherwise than expected. Its answer goes to a file: grep gives up
// at the first match when its output is the null device.
double GrepSeconds(const std::string& file, const std::string& answer, int expected) {
  const std::string command = std::string("LC_ALL=C grep -c -i ") + kWord + " '" + file + "' > '" + answer + "'";
  double best = -1;
  for (int i = 0; i < 3; ++i) {
    auto t0 = Clock::now();
    int rc = std::system(command.c_str());
    auto t1 = Clock::now();
    if (rc == -1 || !WIFEXITED(rc) || WEXITSTATUS(rc) > 1) return -1;
    std::ifstream in(answer);
    int count = -1;
    if (!(in >> count) || count != expected) return -1;
    double s = Seconds(t0, t1);
    if (best < 0 || s < best) best = s;
  }
  return best;
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

  // grep takes the NUL bytes of each entry's numbers for line ends, so it
  // counts the entries holding the word.
  const double grep = GrepSeconds(dir + "/HUGE.DAT", dir + "/grep.out", kEntries / 100);
  if (grep <= 0) {
    std::fprintf(stderr, "grep did not run\n");
    return 1;
  }

  platform::ScriptedHost host;
  app::Program program(host, dir);
  program.Start();
  host.OnShowAs<reports::frmSearchReplace>("frmSearchReplace", [](reports::frmSearchReplace& f) {
    f.txtSearchString.UserSetText(kWord);
    f.txtReplaceString.UserSetText(kNewWord);
    f.optGlobal.UserClick();
    f.cmdOK.UserClick();
  });
  auto t0 = Clock::now();
  program.mainWindow().mnuVReplace.UserClick();
  auto t1 = Clock::now();
  const double replace = Seconds(t0, t1);

  // The run must have done its work: the first and last entries holding the
  // word now hold the new one, and nothing was reported.
  store::Store& st = program.store();
  store::EntryRecord e;
  bool ok = host.MessageTexts().empty();
  for (float n : {37.0f, static_cast<float>(kEntries - 63)}) {
    ok = ok && st.ReadEntry(e, st.CatalogHeader, n, st.DatFile) &&
         e.FieldText[kWordSlot].find(kNewWord) != std::string::npos;
  }
  program.Quit();
  if (!ok) {
    std::fprintf(stderr, "the replace did not replace\n");
    return 1;
  }
  std::fprintf(stderr, "replace %.3f s, grep %.3f s\n", replace, grep);
  std::printf("figure global_replace_vs_grep %.2f target 3\n", replace / grep);
  if (!std::getenv("KV_KEEP")) std::filesystem::remove_all(dir);
  return 0;
}
