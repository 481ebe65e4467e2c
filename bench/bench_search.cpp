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
//                                     every key walked, every entry read and
//                                     tested / the same test in title order,
//                                     through the title index, which prints
//                                     nothing either
//   figure list_alpha_next_vs_sqlite  List Alphabetically, Next to the last
//                                     key / SELECT * ORDER BY title, every
//                                     row printed as the window shows every
//                                     entry
//   figure list_range_next_vs_sqlite  List Range 1..N, Next to N / SELECT *
//                                     in rowid order
//   figure memory_1m_vs_100k          peak memory of each operation on
//                                     1,000,000 entries / on 100,000; the
//                                     worst operation
//
// Each time is taken as bench_timing.h says, on files already in the page
// cache. argv[1] = a work directory; KV_BENCH_ENTRIES overrides 1,000,000
// (the small catalog is a tenth of it). "bench_search --child OP DIR
// CATALOG ENTRIES" runs one operation and prints "time SECONDS peak KIB";
// with KV_BENCH_KEEP set the catalogs stay in the work directory for that.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/program.h"
#include "bench_catalog.h"
#include "bench_dialogs.h"
#include "bench_timing.h"
#include "platform/model/model.h"
#include "platform/scripted/scripted_host.h"
#include "reports/dialogs/frmGlobalSearch.h"
#include "reports/dialogs/frmListAlpha.h"
#include "reports/dialogs/frmSearch.h"

using namespace kelvarin;
using bench::Clock;

namespace {

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
    bench::AnswerListRange(host, entries);
    main.mnuVListRange.UserClick();
    long shown = StepToTheEnd(host, program, "End of Current List");
    return shown == entries ? shown : -1;
  }
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
  double time = bench::SecondsSince(t0);
  std::string failures = host.ExpectAllConsumed();
  program.Quit();
  if (shown < 0 || !failures.empty()) {
    std::fprintf(stderr, "%s on %s: shown %ld (%d hits)\n%s\n", op.c_str(), catalog.c_str(), shown,
                 ExpectedHits(entries), failures.c_str());
    return 4;
  }
  std::printf("time %.6f peak %ld\n", time, bench::PeakKiB());
  return 0;
}

// ---- the parent -------------------------------------------------------------

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Runs one operation in a child process: the seconds it took (or -1), and
// the highest peak memory of its runs so far in *peak.
double RunChild(const char* self, const std::string& op, const std::string& dir, const std::string& catalog,
                int entries, long* peak) {
  const std::string command =
      Quote(self) + " --child " + op + " " + Quote(dir) + " " + catalog + " " + std::to_string(entries);
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  double time = 0;
  long kib = 0;
  const bool read = std::fscanf(pipe, "time %lf peak %ld", &time, &kib) == 2;
  if (pclose(pipe) != 0 || !read) {
    std::fprintf(stderr, "%s on %s failed\n", op.c_str(), catalog.c_str());
    return -1;
  }
  *peak = std::max(*peak, kib);
  return time;
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
  const int smallEntries = big / 10;
  const std::string dir = std::string(argv[1]) + "/bench_search";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);

  auto t0 = Clock::now();
  if (!bench::WriteBenchCatalog(dir, "BIG", big, false) || !bench::WriteBenchCatalog(dir, "BIGSORT", big, true) ||
      !bench::WriteBenchCatalog(dir, "SMALL", smallEntries, false) ||
      !bench::WriteBenchCatalog(dir, "SMALSORT", smallEntries, true) || !bench::WriteBenchTable(dir + "/big.db", big)) {
    std::fprintf(stderr, "cannot write the catalogs\n");
    return 1;
  }
  for (const char* catalog : {"BIG", "BIGSORT", "SMALL", "SMALSORT"})
    if (!Prepare(dir, catalog)) {
      std::fprintf(stderr, "cannot open catalog %s\n", catalog);
      return 1;
    }
  std::fprintf(stderr, "catalogs of %d and %d entries, key indexes and table made in %.1f s\n", big, smallEntries,
               bench::SecondsSince(t0));

  const std::string data = Quote(dir + "/BIG.DAT");
  // Not to /dev/null: grep stops at the first match when it sees that.
  const std::string grep =
      "LC_ALL=C grep -c -i " + std::string(bench::kHitWord) + " " + data + " > " + Quote(dir + "/grep.out");
  const std::string db = Quote(dir + "/big.db");
  // The alphabetical search's own test: the Publisher text holds the
  // searched text, without regard to case, tried on every row in title
  // order. Nothing matches, so the shell prints nothing.
  const std::string alphaTest = "sqlite3 " + db +
                                " \"SELECT * FROM e INDEXED BY e_title WHERE publisher LIKE '%Zqxw%'"
                                " ORDER BY title COLLATE NOCASE\" > /dev/null";
  const std::string byTitle = "sqlite3 " + db + " 'SELECT * FROM e ORDER BY title COLLATE NOCASE' > /dev/null";
  const std::string byRow = "sqlite3 " + db + " 'SELECT * FROM e ORDER BY rowid' > /dev/null";

  // Each operation on its large catalog, and on the small one for the
  // memory figure; the peaks are the highest of all its runs.
  struct Op {
    const char* name;
    const char* catalog;
    const char* smallCatalog;
    long peak = 0, smallPeak = 0;
  };
  enum { kGlobal, kField, kSortedField, kAlpha, kListAlpha, kListRange };
  std::vector<Op> ops = {{"global", "BIG", "SMALL"},      {"field", "BIG", "SMALL"},
                         {"field", "BIGSORT", "SMALSORT"}, {"alpha", "BIG", "SMALL"},
                         {"list_alpha", "BIG", "SMALL"},   {"list_range", "BIG", "SMALL"}};
  const auto run = [&](Op& op) -> std::function<double()> {
    return [&] { return RunChild(argv[0], op.name, dir, op.catalog, big, &op.peak); };
  };
  const auto command = [](const std::string& c) -> std::function<double()> {
    return [c] { return bench::TimeCommand(c); };
  };
  struct Figure {
    const char* name;
    std::function<double()> program, reference;
    double target;
  };
  const std::vector<Figure> figures = {
      {"global_search_vs_grep", run(ops[kGlobal]), command(grep), 1.0},
      {"field_search_vs_grep", run(ops[kField]), command(grep), 1.0},
      // A guard of the design, not a goal: a sorted catalog is walked along
      // its chain, one read per entry in key order, because no chain is
      // held in memory; those reads leap about the file where the unsorted
      // walk runs straight through it. The target only tells when a chain
      // step costs more than such a read should.
      {"sorted_search_vs_unsorted", run(ops[kSortedField]), run(ops[kField]), 15},
      {"alpha_walk_vs_sqlite", run(ops[kAlpha]), command(alphaTest), 1.0},
      {"list_alpha_next_vs_sqlite", run(ops[kListAlpha]), command(byTitle), 0.6},
      {"list_range_next_vs_sqlite", run(ops[kListRange]), command(byRow), 0.6},
  };
  for (const Figure& f : figures) {
    bench::PairTimes t;
    if (!bench::TimePairs(f.program, f.reference, &t)) {
      std::fprintf(stderr, "%s failed\n", f.name);
      return 1;
    }
    bench::PrintFigure(f.name, t, f.target);
  }

  double memory = 0;
  for (Op& op : ops) {
    if (RunChild(argv[0], op.name, dir, op.smallCatalog, smallEntries, &op.smallPeak) < 0) return 1;
    std::fprintf(stderr, "%s on %s: peak %ld KiB (%ld KiB on %d entries)\n", op.name, op.catalog, op.peak,
                 op.smallPeak, smallEntries);
    memory = std::max(memory, static_cast<double>(op.peak) / static_cast<double>(op.smallPeak));
  }
  bench::PrintFigure("memory_1m_vs_100k", memory, 1.2);
  // KV_BENCH_KEEP keeps the catalogs for profiling a child run.
  if (!std::getenv("KV_BENCH_KEEP")) std::filesystem::remove_all(dir);
  return 0;
}
