// The runs of the main window as a user makes them, against outside tools
// timed in the same run on the same data.
//
// Every operation is played through the scripted host in a process of its
// own: the menu command, the dialog's answers, the run, and then Next
// through every match until the step says there is none (the main window
// is the destination that exists). The yardsticks:
//   - `LC_ALL=C grep -c -i WORD` on the data file, for the scans (its count
//     written to a file: to /dev/null grep would stop at the first match);
//   - the sqlite3 command-line shell over a table of the same rows (title
//     indexed without regard to case), output to /dev/null, for the walks.
//
//   figure global_search_vs_grep      Global Search for a word in 1% of the
//                                     entries, Next to the last / grep
//   figure field_search_vs_grep       sequential search on Notes, the same
//                                     word, Next to the last / grep
//   figure sorted_search_vs_unsorted  the same search on the catalog sorted
//                                     by title (along the sort chain) / on
//                                     the unsorted one
//   figure alpha_walk_vs_sqlite       alphabetical search without key text
//                                     whose Publisher text no entry holds:
//                                     every key walked, every entry read /
//                                     SELECT * ORDER BY title
//   figure list_alpha_next_vs_sqlite  List Alphabetically, Next to the last
//                                     key / the same query
//   figure list_range_next_vs_sqlite  List Range 1..N, Next to N / SELECT *
//                                     in rowid order
//   figure memory_1m_vs_100k          peak memory of each operation on
//                                     1,000,000 entries / on 100,000; the
//                                     worst operation
//
// Times are the best of a few runs, on files already in the page cache.
// argv[1] = a work directory; KV_BENCH_ENTRIES overrides 1,000,000 (the
// small catalog is a tenth of it). "bench_search --child OP DIR CATALOG
// ENTRIES" runs one operation and prints "time SECONDS peak KIB"; with
// KV_BENCH_KEEP set the catalogs stay in the work directory for that.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "bench_catalog.h"
#include "platform/model/model.h"
#include "platform/scripted/scripted_host.h"
#include "reports/dialogs/frmGlobalSearch.h"
#include "reports/dialogs/frmListAlpha.h"
#include "reports/dialogs/frmListRange.h"
#include "reports/dialogs/frmSearch.h"

using namespace kelvarin;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

int ExpectedHits(int entries) {
  int hits = 0;
  for (int n = 1; n <= entries; ++n) hits += bench::EntryMaker::Hit(n);
  return hits;
}

// ---- the operations, in the child -------------------------------------------

// Next until the step finds nothing (it tells endMessage and the entry
// stays); returns how many entries were shown, the first one included.
long StepToTheEnd(platform::ScriptedHost& host, app::Program& program, const std::string& endMessage) {
  store::Store& st = program.store();
  if (program.mainWindow().CurrentBrowseMode == store::bmNewEntry) return 0;
  host.AnswerMsgBox(platform::MsgAnswer::OK, endMessage);
  long shown = 1;
  float at = st.CurrentEntryNumber;
  while (true) {
    program.mainWindow().cmdNext.UserClick();
    if (st.CurrentEntryNumber == at) break;
    at = st.CurrentEntryNumber;
    // The transcript is the test's record; a user's session keeps none.
    if (++shown % 4096 == 0) host.ClearRecord();
  }
  return shown;
}

void SearchDialog(platform::ScriptedHost& host, int16_t slot, const std::string& text, bool sequential) {
  host.OnShowAs<reports::frmSearch>("frmSearch", [=](reports::frmSearch& f) {
    (sequential ? f.optSequential : f.optAlpha).UserClick();
    for (int16_t i = 0; i < reports::frmSearch::kRows; ++i) f.txtFieldData[i].SetText("");
    f.txtFieldData[slot].UserSetText(text);
    f.cmdOK.UserClick();
  });
  // Without key text the dialog asks whether to search the whole catalog.
  if (!sequential) host.AnswerMsgBox(platform::MsgAnswer::Yes);
}

// Runs op on the open catalog; returns the entries shown (or -1 when the
// run did not end as it should).
long RunOperation(const std::string& op, platform::ScriptedHost& host, app::Program& program, int entries) {
  entry::frmQAVMain& main = program.mainWindow();
  const long hits = ExpectedHits(entries);
  if (op == "global") {
    host.OnShowAs<reports::frmGlobalSearch>("frmGlobalSearch", [](reports::frmGlobalSearch& f) {
      f.txtGlobalString.UserSetText(bench::kHitWord);
      f.cmdOK.UserClick();
    });
    main.mnuVGlobalSearch.UserClick();
    long shown = StepToTheEnd(host, program, "No matches found.");
    return shown == hits ? shown : -2 - shown;
  }
  if (op == "field") {
    SearchDialog(host, bench::kNotesSlot, bench::kHitWord, true);
    main.cmdSequential.UserClick();
    long shown = StepToTheEnd(host, program, "No Match Found");
    return shown == hits ? shown : -1;
  }
  if (op == "alpha") {
    SearchDialog(host, bench::kPublisherSlot, "Zqxw", false);
    host.AnswerMsgBox(platform::MsgAnswer::OK, "No Matches Found");
    main.cmdAlpha.UserClick();
    return main.CurrentBrowseMode == store::bmNewEntry ? 0 : -1;
  }
  if (op == "list_alpha") {
    host.OnShowAs<reports::frmListAlpha>("frmListAlpha", [](reports::frmListAlpha& f) { f.cmdOK.UserClick(); });
    main.mnuVListAlpha.UserClick();
    long shown = StepToTheEnd(host, program, "You are at the end.");
    return shown == entries ? shown : -1;
  }
  if (op == "list_range") {
    host.OnShowAs<reports::frmListRange>("frmListRange", [entries](reports::frmListRange& f) {
      f.txtStartRec.UserSetText("1");
      f.txtEndRec.UserSetText(std::to_string(entries));
      f.cmdOK.UserClick();
    });
    main.mnuVListRange.UserClick();
    long shown = StepToTheEnd(host, program, "End of Current List");
    return shown == entries ? shown : -1;
  }
  return -1;
}

// The peak resident memory of this process image, in kilobytes.
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

int Child(const std::string& op, const std::string& dir, const std::string& catalog, int entries) {
  bench::WriteIni(dir, catalog);
  platform::ScriptedHost host;
  app::Program program(host, dir);
  program.Start();
  if (program.store().CatalogName != catalog) return 3;
  host.ClearRecord();
  auto t0 = Clock::now();
  long shown = RunOperation(op, host, program, entries);
  double time = Seconds(t0, Clock::now());
  std::string failures = host.ExpectAllConsumed();
  program.Quit();
  if (shown < 0 || !failures.empty()) {
    std::fprintf(stderr, "%s on %s: shown %ld (%d hits)\n%s\n", op.c_str(), catalog.c_str(), shown,
                 ExpectedHits(entries), failures.c_str());
    return 4;
  }
  std::printf("time %.6f peak %ld\n", time, PeakKiB());
  return 0;
}

// ---- the parent -------------------------------------------------------------

struct Result {
  double time = 1e9;
  long peak = 0;
};

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Runs one operation in a child process `times` times: the best time and
// the highest peak.
bool Measure(const char* self, const std::string& op, const std::string& dir, const std::string& catalog,
             int entries, int times, Result* out) {
  for (int i = 0; i < times; ++i) {
    std::string command = Quote(self) + " --child " + op + " " + Quote(dir) + " " + catalog + " " +
                          std::to_string(entries);
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    double time = 0;
    long peak = 0;
    bool read = std::fscanf(pipe, "time %lf peak %ld", &time, &peak) == 2;
    if (pclose(pipe) != 0 || !read) return false;
    out->time = std::min(out->time, time);
    out->peak = std::max(out->peak, peak);
  }
  return true;
}

// The best wall time of a shell command over `times` runs; -1 on failure.
double TimeCommand(const std::string& command, int times) {
  double best = 1e9;
  for (int i = 0; i < times; ++i) {
    auto t0 = Clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    best = std::min(best, Seconds(t0, Clock::now()));
  }
  return best;
}

// Starts the program once on each catalog so that its key indexes are built
// before anything is timed.
bool Prepare(const std::string& dir, const std::string& catalog) {
  bench::WriteIni(dir, catalog);
  platform::ScriptedHost host;
  app::Program program(host, dir);
  program.Start();
  store::Store& st = program.store();
  if (st.CatalogName != catalog) return false;
  int16_t h = st.OpenIndex(bench::kTitleSlot, st.CatalogHeader, st.CatalogName, 0);
  if (h < 0) return false;
  st.IndexClose(h);
  program.Quit();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::strcmp(argv[1], "--child") == 0) return Child(argv[2], argv[3], argv[4], std::atoi(argv[5]));
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_search WORKDIR\n");
    return 2;
  }
  const int big = std::getenv("KV_BENCH_ENTRIES") ? std::atoi(std::getenv("KV_BENCH_ENTRIES")) : 1000000;
  const int small = big / 10;
  const std::string dir = std::string(argv[1]) + "/bench_search";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);

  auto t0 = Clock::now();
  if (!bench::WriteBenchCatalog(dir, "BIG", big, false) || !bench::WriteBenchCatalog(dir, "BIGSORT", big, true) ||
      !bench::WriteBenchCatalog(dir, "SMALL", small, false) ||
      !bench::WriteBenchCatalog(dir, "SMALSORT", small, true) || !bench::WriteBenchTable(dir + "/big.db", big)) {
    std::fprintf(stderr, "cannot write the catalogs\n");
    return 1;
  }
  for (const char* catalog : {"BIG", "BIGSORT", "SMALL", "SMALSORT"})
    if (!Prepare(dir, catalog)) {
      std::fprintf(stderr, "cannot open catalog %s\n", catalog);
      return 1;
    }
  std::fprintf(stderr, "catalogs of %d and %d entries, key indexes and table made in %.1f s\n", big, small,
               Seconds(t0, Clock::now()));

  const std::string data = Quote(dir + "/BIG.DAT");
  // Not to /dev/null: grep stops at the first match when it sees that.
  const std::string grep =
      "LC_ALL=C grep -c -i " + std::string(bench::kHitWord) + " " + data + " > " + Quote(dir + "/grep.out");
  const std::string db = Quote(dir + "/big.db");
  const std::string byTitle = "sqlite3 " + db + " 'SELECT * FROM e ORDER BY title COLLATE NOCASE' > /dev/null";
  const std::string byRow = "sqlite3 " + db + " 'SELECT * FROM e ORDER BY rowid' > /dev/null";
  const double grepTime = TimeCommand(grep, 5);
  const double sqlTitle = TimeCommand(byTitle, 3);
  const double sqlRow = TimeCommand(byRow, 3);
  if (grepTime <= 0 || sqlTitle <= 0 || sqlRow <= 0) {
    std::fprintf(stderr, "a yardstick failed (grep, sqlite3)\n");
    return 1;
  }

  struct Op {
    const char* name;
    const char* catalog;
    const char* smallCatalog;
  };
  const std::vector<Op> ops = {{"global", "BIG", "SMALL"},      {"field", "BIG", "SMALL"},
                               {"field", "BIGSORT", "SMALSORT"}, {"alpha", "BIG", "SMALL"},
                               {"list_alpha", "BIG", "SMALL"},   {"list_range", "BIG", "SMALL"}};
  std::map<std::string, Result> large;
  double memory = 0;
  for (const Op& op : ops) {
    Result r, s;
    const std::string key = std::string(op.name) + "/" + op.catalog;
    if (!Measure(argv[0], op.name, dir, op.catalog, big, 3, &r) ||
        !Measure(argv[0], op.name, dir, op.smallCatalog, small, 1, &s)) {
      std::fprintf(stderr, "%s failed\n", key.c_str());
      return 1;
    }
    large[key] = r;
    memory = std::max(memory, static_cast<double>(r.peak) / static_cast<double>(s.peak));
    std::fprintf(stderr, "%-18s %8.3f s  peak %7ld KiB (%ld KiB on %d entries)\n", key.c_str(), r.time, r.peak,
                 s.peak, small);
  }
  std::fprintf(stderr, "grep %.3f s, sqlite3 by title %.3f s, by rowid %.3f s\n", grepTime, sqlTitle, sqlRow);

  std::printf("figure global_search_vs_grep %.2f target 1.0\n", large["global/BIG"].time / grepTime);
  std::printf("figure field_search_vs_grep %.2f target 1.0\n", large["field/BIG"].time / grepTime);
  std::printf("figure sorted_search_vs_unsorted %.2f target 1.5\n",
              large["field/BIGSORT"].time / large["field/BIG"].time);
  std::printf("figure alpha_walk_vs_sqlite %.2f target 0.5\n", large["alpha/BIG"].time / sqlTitle);
  std::printf("figure list_alpha_next_vs_sqlite %.2f target 0.6\n", large["list_alpha/BIG"].time / sqlTitle);
  std::printf("figure list_range_next_vs_sqlite %.2f target 0.6\n", large["list_range/BIG"].time / sqlRow);
  std::printf("figure memory_1m_vs_100k %.2f target 1.2\n", memory);
  // KV_BENCH_KEEP keeps the catalogs for profiling a child run.
  if (!std::getenv("KV_BENCH_KEEP")) std::filesystem::remove_all(dir);
  return 0;
}
