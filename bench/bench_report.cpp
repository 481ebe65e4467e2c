// A printed-style report to a text file over a large catalog, against the
// sqlite3 shell writing the same rows as CSV.
//
//   figure ascii_report_vs_sqlite   List Range of all 1,000,000 entries to
//                                   an ASCII file with a three-line layout
//                                   / sqlite3 writing the same fields of
//                                   every row as CSV to a file
//
// The rows are put into an SQLite database beforehand (not timed); the
// sqlite3 shell (Debian package sqlite3) then runs ".mode csv", ".output
// FILE" and one SELECT. Both write into the same directory.
//
// argv[1] = a work directory.
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "bench_catalog.h"
#include "bench_dialogs.h"
#include "bench_timing.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "store/formats.h"
#include "support/catalog_builder.h"

using namespace kelvarin;
using bench::Clock;

namespace {

constexpr int kEntries = 1000000;

// The catalog, its report format RPT (five fields and the entry number on
// three lines) and the settings that select it.
bool BuildCatalog(const std::string& dir) {
  if (!bench::WriteBenchCatalog(dir, "BIG", kEntries, /*sorted=*/false)) return false;
  std::fstream set(dir + "/BIG.SET", std::ios::binary | std::ios::in | std::ios::out);
  store::CatalogSettings settings;
  settings.ReportName = "RPT";
  settings.PrintMemos = 0;
  std::vector<uint8_t> block(store::kSettingsSize);
  store::EncodeSettings(settings, block.data());
  set.seekp(static_cast<std::streamoff>(store::kSettingsOffset));
  set.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
  if (!set) return false;

  store::ReportLayout layout{};
  for (auto& c : layout) c.LinesPerEntry = 3;
  auto place = [&](int slot, int16_t line, int16_t column, int16_t width) {
    layout[static_cast<size_t>(slot)] = store::ReportColumn{width, line, column, 3};
  };
  place(0, 1, 1, 20);
  place(1, 1, 25, 20);
  place(2, 2, 1, 20);
  place(3, 2, 25, 20);
  place(4, 3, 1, 20);
  place(store::kEntryNumberColumn, 3, 25, 8);
  return test_support::WriteReportFormatFile(dir, "RPT", layout, store::ReportHeader{});
}

// The same fields of every entry in an SQLite table.
bool BuildDatabase(const std::string& dir, const std::string& db) {
  platform::ScriptedHost host;
  platform::FilePool files;
  store::Store st(host, files);
  st.SetAppDir(dir);
  if (!st.OpenCatalog("BIG")) return false;
  sqlite3* h = nullptr;
  if (sqlite3_open(db.c_str(), &h) != SQLITE_OK) return false;
  bool ok = sqlite3_exec(h, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
                            "CREATE TABLE entries(n INTEGER, f1 TEXT, f2 TEXT, f3 TEXT, f4 TEXT, f5 TEXT);",
                         nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_stmt* insert = nullptr;
  ok = ok && sqlite3_prepare_v2(h, "INSERT INTO entries VALUES (?,?,?,?,?,?)", -1, &insert, nullptr) == SQLITE_OK;
  store::EntryRecord e;
  for (int n = 1; ok && n <= kEntries; ++n) {
    ok = st.ReadEntry(e, st.CatalogHeader, static_cast<float>(n), st.DatFile);
    sqlite3_bind_int(insert, 1, n);
    for (int i = 0; i < 5; ++i) {
      std::string t = e.FieldText[static_cast<size_t>(i)];
      t.erase(t.find_last_not_of(' ') + 1);
      sqlite3_bind_text(insert, i + 2, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
    }
    ok = ok && sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  ok = ok && sqlite3_exec(h, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(h);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_report WORKDIR\n");
    return 2;
  }
  if (std::system("command -v sqlite3 >/dev/null 2>&1") != 0) {
    std::fprintf(stderr, "bench_report: the sqlite3 shell is missing (Debian: sqlite3)\n");
    return 1;
  }
  const std::string dir = std::string(argv[1]) + "/bench_report";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string db = dir + "/rows.db";
  if (!BuildCatalog(dir) || !BuildDatabase(dir, db)) {
    std::fprintf(stderr, "cannot build the catalog or the database\n");
    return 1;
  }
  platform::WritePrivateProfileString("Database", "CurrentDB", "BIG", dir + "/QAV.INI");
  platform::WritePrivateProfileString("Reports", "ReportDest", "3", dir + "/QAV.INI");

  platform::ScriptedHost host;
  auto program = std::make_unique<app::Program>(host, dir);
  program->Start();
  if (program->store().CatalogName != "BIG") {
    std::fprintf(stderr, "cannot open the catalog\n");
    return 1;
  }
  const std::string report = dir + "/report.txt";
  const std::string csv = dir + "/rows.csv";
  const std::string shell = "sqlite3 '" + db + "' '.mode csv' \".output '" + csv + "'\" 'SELECT * FROM entries;'";
  const auto ours = [&] {
    std::filesystem::remove(report);
    bench::AnswerListRange(host, kEntries);
    host.AnswerSaveFile(report);
    host.AnswerMsgBox(platform::MsgAnswer::OK);
    const auto t0 = Clock::now();
    program->mainWindow().mnuVListRange.UserClick();
    return bench::SecondsSince(t0);
  };
  const auto theirs = [&] {
    std::filesystem::remove(csv);
    const double s = bench::TimeCommand(shell);
    if (s < 0) std::fprintf(stderr, "the sqlite3 shell failed\n");
    return s;
  };
  bench::PairTimes t;
  if (!bench::TimePairs(ours, theirs, &t)) return 1;
  std::string failures = host.ExpectAllConsumed();
  const auto reportSize = std::filesystem::file_size(report);
  const auto csvSize = std::filesystem::file_size(csv);
  if (!failures.empty() || reportSize < static_cast<uintmax_t>(kEntries) * 3 * 4) {
    std::fprintf(stderr, "the report run failed:\n%s\n", failures.c_str());
    return 1;
  }
  std::fprintf(stderr, "report %ju bytes, sqlite3 csv %ju bytes\n", static_cast<uintmax_t>(reportSize),
               static_cast<uintmax_t>(csvSize));
  bench::PrintFigure("ascii_report_vs_sqlite", t, 1.0);
  program->Quit();
  std::filesystem::remove_all(dir);
  return 0;
}
