// The dBase III export and import against GDAL's ogr2ogr on the same rows,
// measured in one run over the benchmarks' catalog of 1,000,000 entries
// (nine fields, 201 characters of Windows-1252 text a record):
//   dbf_export_vs_ogr2ogr  List Range of every entry to a dBase III file,
//                          through the run / ogr2ogr writing the same rows
//                          from CSV to DBF
//   dbf_import_vs_ogr2ogr  importing that file as a new catalog / ogr2ogr
//                          reading it to CSV
// These are the engine's record reads and writes as a user meets them;
// timing the bare engine loops against a whole conversion would flatter.
// Usage: bench_db3 WORKDIR
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/program.h"
#include "bench_catalog.h"
#include "bench_dialogs.h"
#include "bench_timing.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "platform/text/codepage.h"
#include "store/frm_enter_name.h"

using namespace kelvarin;
using bench::Clock;

namespace {

constexpr int kEntries = 1000000;

// Removes the files of the last run: NAME.* in dir.
void RemoveStem(const std::filesystem::path& dir, const std::string& name) {
  for (const auto& f : std::filesystem::directory_iterator(dir))
    if (f.path().stem() == name) std::filesystem::remove(f.path());
}

// ogr2ogr writing dir/NAME.*, those of its last run removed first: it will
// not write over them.
double Ogr2ogr(const std::filesystem::path& dir, const std::string& name, const std::string& arguments) {
  RemoveStem(dir, name);
  const double s = bench::TimeCommand("ogr2ogr " + arguments + " >/dev/null 2>&1");
  if (s < 0) std::fprintf(stderr, "bench_db3: ogr2ogr %s failed\n", arguments.c_str());
  return s;
}

// A CSV cell: UTF-8, trailing blanks off, quoted when it holds a comma or
// a quote.
std::string CsvCell(const std::string& text) {
  std::string t = platform::AnsiToUtf8(text);
  while (!t.empty() && t.back() == ' ') t.pop_back();
  if (t.find_first_of(",\"") == std::string::npos) return t;
  std::string q = "\"";
  for (char c : t) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + '"';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_db3 WORKDIR\n");
    return 2;
  }
  if (std::system("command -v ogr2ogr >/dev/null 2>&1") != 0) {
    std::fprintf(stderr, "bench_db3: ogr2ogr not installed (Debian gdal-bin); no figures\n");
    return 0;
  }
  const std::filesystem::path dir = std::filesystem::path(argv[1]) / "bench_db3";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string work = dir.string();
  if (!bench::WriteBenchCatalog(work, "BIG", kEntries, false)) {
    std::fprintf(stderr, "bench_db3: cannot write the catalog\n");
    return 1;
  }

  // The same rows as CSV (UTF-8) for ogr2ogr, typed so that it makes the
  // same C columns.
  const store::DatHeader header = bench::BenchHeader(kEntries);
  {
    FILE* csv = std::fopen((dir / "ROWS.csv").c_str(), "wb");
    FILE* types = std::fopen((dir / "ROWS.csvt").c_str(), "wb");
    if (!csv || !types) return 1;
    const int columns = static_cast<int>(bench::kLengths.size());
    for (int i = 0; i < columns; ++i) {
      std::fprintf(csv, "%sFIELD_%d", i ? "," : "", i + 1);
      std::fprintf(types, "%s\"String(%d)\"", i ? "," : "", header.FieldLength[static_cast<size_t>(i)]);
    }
    std::fputc('\n', csv);
    std::fputc('\n', types);
    bench::EntryMaker maker;
    store::EntryRecord e;
    for (int n = 1; n <= kEntries; ++n) {
      maker.Fill(n, e);
      for (int i = 0; i < columns; ++i) {
        if (i) std::fputc(',', csv);
        std::fputs(CsvCell(e.FieldText[static_cast<size_t>(i)]).c_str(), csv);
      }
      std::fputc('\n', csv);
    }
    std::fclose(csv);
    std::fclose(types);
  }

  platform::WritePrivateProfileString("Database", "CurrentDB", "BIG", work + "/QAV.INI");
  platform::WritePrivateProfileString("Reports", "ReportDest", std::to_string(store::rdDbase), work + "/QAV.INI");
  platform::ScriptedHost host;
  app::Program program(host, work);
  program.Start();
  if (program.store().CatalogName != "BIG") {
    std::fprintf(stderr, "bench_db3: the catalog did not open\n");
    return 1;
  }

  const std::string exported = work + "/EXPORT.DBF";
  const std::string gdalWrite = "-f 'ESRI Shapefile' '" + (dir / "GDALW.dbf").string() + "' '" +
                                (dir / "ROWS.csv").string() + "'";
  const std::string gdalRead = "-f CSV '" + (dir / "GDALR.csv").string() + "' '" + exported + "'";

  // Export: List Range 1..1,000,000 to EXPORT.DBF.
  const auto exportRun = [&] {
    std::filesystem::remove(exported);
    bench::AnswerListRange(host, kEntries);
    host.OnShowAs<store::frmEnterName>("frmEnterName", [](store::frmEnterName& f) {
      f.txtName.UserSetText("EXPORT");
      f.cmdOK.UserClick();
    });
    host.AnswerMsgBox(platform::MsgAnswer::OK);
    const auto t0 = Clock::now();
    program.mainWindow().mnuVListRange.UserClick();
    const double s = bench::SecondsSince(t0);
    if (program.db3().Db3RecordsWritten == kEntries) return s;
    std::fprintf(stderr, "bench_db3: the export wrote %d records\n", program.db3().Db3RecordsWritten);
    return -1.0;
  };
  bench::PairTimes exportTimes;
  if (!bench::TimePairs(exportRun, [&] { return Ogr2ogr(dir, "GDALW", gdalWrite); }, &exportTimes)) return 1;

  // Import: EXPORT.DBF as the catalog BACK.
  const auto importRun = [&] {
    RemoveStem(dir, "BACK");
    host.AnswerMsgBox(platform::MsgAnswer::OK);
    const auto t0 = Clock::now();
    program.db3().ImportDb3Catalog(exported, "BACK");
    const double s = bench::SecondsSince(t0);
    std::error_code ec;
    if (std::filesystem::file_size(dir / "BACK.DAT", ec) ==
        static_cast<uintmax_t>(kEntries + 1) * static_cast<uintmax_t>(header.RecordLength))
      return s;
    std::fprintf(stderr, "bench_db3: the import is incomplete\n");
    return -1.0;
  };
  bench::PairTimes importTimes;
  if (!bench::TimePairs(importRun, [&] { return Ogr2ogr(dir, "GDALR", gdalRead); }, &importTimes)) return 1;

  const std::string failures = host.ExpectAllConsumed();
  if (!host.Failures().empty() || !failures.empty()) {
    std::fprintf(stderr, "bench_db3: unexpected dialogs: %s%s\n", host.Failures().c_str(), failures.c_str());
    return 1;
  }
  program.Quit();
  bench::PrintFigure("dbf_export_vs_ogr2ogr", exportTimes, 0.1);
  bench::PrintFigure("dbf_import_vs_ogr2ogr", importTimes, 0.1);
  std::filesystem::remove_all(dir);
  return 0;
}
