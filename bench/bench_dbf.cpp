// DBF engine throughput against GDAL's ogr2ogr on the same data, measured in
// one run: 1,000,000 records of 8 character fields (about 200 MB).
//   dbf_read_vs_ogr2ogr  = engine open + read every record / ogr2ogr DBF -> CSV
//   dbf_write_vs_ogr2ogr = engine create + append every record / ogr2ogr CSV -> DBF
// Usage: bench_dbf WORKDIR
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "dbf/dbf_engine.h"
#include "platform/scripted/scripted_host.h"
#include "platform/files/file_pool.h"

namespace {

using namespace kelvarin;
using Clock = std::chrono::steady_clock;

constexpr int kRecords = 1000000;
constexpr int kFields = 8;
constexpr int kWidth = 25;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The value of field f of record r; the same text goes to the CSV and the engine.
// "R0000042 F3 defghijklmn": at most 25 characters, made without printf so
// that producing the values costs little beside the engine.
void Value(int r, int f, std::string& out) {
  static const char kTail[] = "abcdefghijklmn";
  char buf[32];
  buf[0] = 'R';
  for (int i = 7, v = r; i >= 1; --i, v /= 10) buf[i] = static_cast<char>('0' + v % 10);
  buf[8] = ' ';
  buf[9] = 'F';
  buf[10] = static_cast<char>('0' + f);
  buf[11] = ' ';
  const char* tail = kTail + (r + f) % 8;
  size_t n = 12;
  while (*tail) buf[n++] = *tail++;
  out.assign(buf, n);
}

double TimeCommand(const std::string& command) {
  const auto start = Clock::now();
  const int rc = std::system((command + " >/dev/null 2>&1").c_str());
  const double t = Seconds(start);
  if (rc != 0) {
    std::fprintf(stderr, "bench_dbf: command failed: %s\n", command.c_str());
    std::exit(1);
  }
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_dbf WORKDIR\n");
    return 2;
  }
  if (std::system("command -v ogr2ogr >/dev/null 2>&1") != 0) {
    std::fprintf(stderr, "bench_dbf: ogr2ogr not installed (Debian gdal-bin); no figures\n");
    return 0;
  }
  const std::filesystem::path dir = std::filesystem::path(argv[1]) / "BENCHDBF";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string csv = (dir / "DATA.csv").string();
  const std::string engineDbf = (dir / "ENGINE.DBF").string();
  const std::string gdalDbf = (dir / "GDAL.dbf").string();
  const std::string gdalCsv = (dir / "BACK.csv").string();

  // The CSV for ogr2ogr, with its column types so that GDAL makes C25 fields.
  {
    FILE* f = std::fopen(csv.c_str(), "wb");
    FILE* t = std::fopen((dir / "DATA.csvt").string().c_str(), "wb");
    if (!f || !t) return 1;
    for (int i = 1; i <= kFields; ++i) std::fprintf(f, "%sF%d", i > 1 ? "," : "", i);
    std::fputc('\n', f);
    for (int i = 1; i <= kFields; ++i) std::fprintf(t, "%s\"String(%d)\"", i > 1 ? "," : "", kWidth);
    std::fputc('\n', t);
    std::string v;
    for (int r = 1; r <= kRecords; ++r) {
      for (int i = 1; i <= kFields; ++i) {
        Value(r, i, v);
        if (i > 1) std::fputc(',', f);
        std::fwrite(v.data(), 1, v.size(), f);
      }
      std::fputc('\n', f);
    }
    std::fclose(f);
    std::fclose(t);
  }

  platform::ScriptedHost host;
  platform::FilePool pool;
  dbf::DbfEngine engine(host, pool);

  // Engine write: create and append every record.
  auto start = Clock::now();
  {
    dbf::DbfFieldDefs defs(kFields + 1);
    defs[0][0] = std::to_string(kFields);
    for (int i = 1; i <= kFields; ++i) {
      std::string name(1, 'F');
      name += std::to_string(i);
      defs[static_cast<size_t>(i)] = {"", "0", std::to_string(kWidth), "C", name, ""};
    }
    int16_t handle = 0, err = 0;
    engine.DbfCreate(engineDbf, handle, defs, 6, err);
    if (err != 0) {
      std::fprintf(stderr, "bench_dbf: create failed with %d\n", err);
      return 1;
    }
    std::vector<std::string> values(kFields + 1);
    for (int r = 1; r <= kRecords; ++r) {
      values[0].clear();
      for (int i = 1; i <= kFields; ++i) Value(r, i, values[static_cast<size_t>(i)]);
      int32_t recNo = 0;
      engine.DbfAppendFields(handle, err, kFields, values, recNo);
      if (err != 0) {
        std::fprintf(stderr, "bench_dbf: append failed with %d\n", err);
        return 1;
      }
    }
    engine.DbfClose(handle, err, 0);
    if (err != 0) return 1;
  }
  const double engineWrite = Seconds(start);

  const double gdalWrite =
      TimeCommand("ogr2ogr -f 'ESRI Shapefile' '" + gdalDbf + "' '" + csv + "'");

  // Engine read: open and read every record.
  start = Clock::now();
  {
    int16_t handle = 0, err = 0, type = 3;
    std::string name = engineDbf;
    engine.DbfOpen(handle, err, name, type, 4);
    if (err != 0) return 1;
    std::string buffer;
    size_t checksum = 0;
    for (int r = 1; r <= kRecords; ++r) {
      int32_t recNo = 0;
      engine.DbfReadRecord(handle, err, recNo, buffer);
      if (err != 0) {
        std::fprintf(stderr, "bench_dbf: read failed with %d\n", err);
        return 1;
      }
      checksum += static_cast<unsigned char>(buffer[1 + static_cast<size_t>(r % 100)]);
    }
    engine.DbfClose(handle, err, 0);
    if (checksum == 0) return 1;
  }
  const double engineRead = Seconds(start);

  const double gdalRead = TimeCommand("ogr2ogr -f CSV '" + gdalCsv + "' '" + engineDbf + "'");

  std::printf("figure dbf_read_vs_ogr2ogr %.4f target 0.1\n", engineRead / gdalRead);
  std::printf("figure dbf_write_vs_ogr2ogr %.4f target 0.2\n", engineWrite / gdalWrite);
  std::fflush(stdout);
  std::fprintf(stderr, "bench_dbf: engine read %.3fs, ogr2ogr read %.3fs, engine write %.3fs, ogr2ogr write %.3fs\n",
               engineRead, gdalRead, engineWrite, gdalWrite);
  std::filesystem::remove_all(dir);
  return 0;
}
