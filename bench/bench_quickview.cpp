// A Global Search into Quick View against the same search into the main
// window, over 1,000,000 entries, played through the scripted host.
//
//   figure quick_view_fill_vs_global   Global Search whose 10,000 matches
//                                      (1%) go to Quick View: 4,011 rows
//                                      filled, the window shown, then OK /
//                                      the same search to the main window
//
// The matches are the last 1% of the entries, so both searches walk almost
// the same entries before they stop (the main window at the first match,
// Quick View at its 4,011th row) and the figure is what the grid adds.
//
// argv[1] = a work directory.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/program.h"
#include "bench_catalog.h"
#include "bench_timing.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "reports/dialogs/frmGlobalSearch.h"
#include "reports/quickview/frmQView.h"
#include "store/store.h"

using namespace kelvarin;
using bench::Clock;

namespace {

constexpr int kEntries = 1000000;
constexpr int kHits = kEntries / 100;
constexpr int kFirstHit = kEntries - kHits + 1;
constexpr const char* kText = "qv7hit";

// The benchmarks' book catalog, whose texts never hold the searched text;
// the last hundredth of the entries hold it in their notes, so that both
// runs walk nearly the whole catalog before they end.
bool BuildCatalog(const std::string& dir, const std::string& name) {
  return bench::WriteBenchCatalog(dir, name, kEntries, /*sorted=*/false, [](int n, store::EntryRecord& e) {
    if (n >= kFirstHit) e.FieldText[bench::kNotesSlot] = std::string("AT ") + kText;
  });
}

void SetDest(const std::string& dir, int16_t dest, store::Store& st) {
  platform::WritePrivateProfileString("Reports", "ReportDest", std::to_string(dest), dir + "/QAV.INI");
  st.CurrentReportDest = dest;
}

void GlobalSearchDialog(platform::ScriptedHost& host) {
  host.OnShowAs<reports::frmGlobalSearch>("frmGlobalSearch", [](reports::frmGlobalSearch& f) {
    f.txtGlobalString.UserSetText(kText);
    f.cmdOK.UserClick();
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_quickview WORKDIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/bench_quickview";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  if (!BuildCatalog(dir, "QVBIG")) {
    std::fprintf(stderr, "cannot write the catalog\n");
    return 1;
  }
  platform::WritePrivateProfileString("Database", "CurrentDB", "QVBIG", dir + "/QAV.INI");
  platform::WritePrivateProfileString("Reports", "ReportDest", "0", dir + "/QAV.INI");

  platform::ScriptedHost host;
  auto program = std::make_unique<app::Program>(host, dir);
  program->Start();
  store::Store& st = program->store();
  if (st.CatalogName != "QVBIG") {
    std::fprintf(stderr, "cannot open the catalog\n");
    return 1;
  }

  const auto monitor = [&] {
    SetDest(dir, store::rdMonitor, st);
    GlobalSearchDialog(host);
    const auto t0 = Clock::now();
    program->mainWindow().mnuVGlobalSearch.UserClick();
    const double s = bench::SecondsSince(t0);
    if (st.CurrentEntryNumber == static_cast<float>(kFirstHit)) return s;
    std::fprintf(stderr, "the main window showed entry %.0f\n", st.CurrentEntryNumber);
    return -1.0;
  };
  const auto quick = [&] {
    SetDest(dir, store::rdQuickView, st);
    GlobalSearchDialog(host);
    int32_t rows = 0;
    host.OnShowAs<reports::frmQView>("frmQView", [&rows](reports::frmQView& f) {
      rows = f.grdQV.Rows() - 1;
      f.cmdOK.UserClick();
    });
    const auto t0 = Clock::now();
    program->mainWindow().mnuVGlobalSearch.UserClick();
    const double s = bench::SecondsSince(t0);
    if (rows == store::kMaxQuickViewLines) return s;
    std::fprintf(stderr, "Quick View held %d rows\n", rows);
    return -1.0;
  };
  bench::PairTimes t;
  if (!bench::TimePairs(quick, monitor, &t)) return 1;
  std::string failures = host.ExpectAllConsumed();
  if (!failures.empty()) {
    std::fprintf(stderr, "scripted host:\n%s\n", failures.c_str());
    return 1;
  }
  program->Quit();
  bench::PrintFigure("quick_view_fill_vs_global", t, 1.5);
  return 0;
}
