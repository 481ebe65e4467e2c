// Key indexes of a 1,000,000-entry catalog: a rebuild by the program against
// SQLite's own CREATE INDEX over a table already holding the same keys, the
// peak memory of a rebuild at 1,000,000 entries against 100,000 (each in a
// child process of its own), and the open of a sound index, with its damage
// check, against a walk over every key. argv[1] = a work directory.
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_catalog.h"
#include "bench_timing.h"
#include "platform/files/file_pool.h"
#include "platform/scripted/scripted_host.h"
#include "platform/text/codepage.h"
#include "store/store.h"

using namespace kelvarin;
using bench::Clock;

namespace {

constexpr int kLarge = 1000000;
constexpr int kSmall = 100000;

// The benchmarks' book catalog: its key field, Title, is the index rebuilt.
bool BuildCatalog(const std::string& dir, const std::string& name, int entries) {
  return bench::WriteBenchCatalog(dir, name, entries, /*sorted=*/false);
}

// Rebuilds the catalog's index from nothing; seconds, or -1.
double Rebuild(const std::string& dir, const std::string& name) {
  platform::ScriptedHost host;
  platform::FilePool pool;
  store::Store st(host, pool);
  st.SetAppDir(dir);
  if (!st.OpenCatalog(name)) return -1;
  std::filesystem::remove(st.IndexPath(name, 0));
  auto t0 = Clock::now();
  int16_t h = st.OpenIndex(0, st.CatalogHeader, name, 0);
  double s = bench::SecondsSince(t0);
  if (h < 0 || st.indexLibrary().KeyCount(h) != static_cast<int64_t>(st.CatalogHeader.EntryCount)) return -1;
  st.IndexClose(h);
  st.CloseCatalog();
  return s;
}

// SQLite's own: the same keys in a table, then CREATE INDEX, timed alone.
double SqliteCreateIndex(const std::string& dir, const std::string& name) {
  const std::string path = dir + "/reference.db";
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return -1;
  sqlite3_exec(db, "PRAGMA page_size=4096; CREATE TABLE t(ukey BLOB, entry INTEGER, key BLOB); BEGIN;", nullptr,
               nullptr, nullptr);
  sqlite3_stmt* ins = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?1, ?2, ?3)", -1, &ins, nullptr);
  platform::ScriptedHost host;
  platform::FilePool pool;
  store::Store st(host, pool);
  st.SetAppDir(dir);
  if (!st.OpenCatalog(name)) return -1;
  store::EntryRecord e;
  for (int n = 1; n <= static_cast<int>(st.CatalogHeader.EntryCount); ++n) {
    st.ReadEntry(e, st.CatalogHeader, static_cast<float>(n), st.DatFile);
    std::string key = store::Store::EntryKey(e, 0);
    std::string upper = platform::AnsiUpperString(key);
    sqlite3_bind_blob(ins, 1, upper.data(), static_cast<int>(upper.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(ins, 2, n);
    sqlite3_bind_blob(ins, 3, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    sqlite3_step(ins);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  st.CloseCatalog();
  auto t0 = Clock::now();
  int rc = sqlite3_exec(db, "CREATE INDEX i ON t(ukey, entry, key)", nullptr, nullptr, nullptr);
  double s = bench::SecondsSince(t0);
  sqlite3_close(db);
  std::filesystem::remove(path);
  return rc == SQLITE_OK ? s : -1;
}

// The peak resident memory (kB) of a child that rebuilds the catalog.
long ChildPeak(const std::string& dir, const std::string& name) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    execl("/proc/self/exe", "bench_index", "--child", dir.c_str(), name.c_str(), std::to_string(fds[1]).c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  char buf[64] = {};
  ssize_t got = read(fds[0], buf, sizeof buf - 1);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::atol(buf) : -1;
}

int Child(const std::string& dir, const std::string& name, int fd) {
  if (Rebuild(dir, name) < 0) return 1;
  std::string peak = std::to_string(bench::PeakKiB());
  return write(fd, peak.data(), peak.size()) == static_cast<ssize_t>(peak.size()) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--child") return Child(argv[2], argv[3], std::atoi(argv[4]));
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_index WORKDIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/bench_index";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  if (!BuildCatalog(dir, "LARGE", kLarge) || !BuildCatalog(dir, "SMALL", kSmall)) {
    std::fprintf(stderr, "cannot write the catalogs\n");
    return 1;
  }

  bench::PairTimes rebuild;
  if (!bench::TimePairs([&] { return Rebuild(dir, "LARGE"); }, [&] { return SqliteCreateIndex(dir, "LARGE"); },
                        &rebuild)) {
    std::fprintf(stderr, "rebuild failed\n");
    return 1;
  }

  const long peakLarge = ChildPeak(dir, "LARGE");
  const long peakSmall = ChildPeak(dir, "SMALL");
  if (peakLarge < 0 || peakSmall < 0) {
    std::fprintf(stderr, "child rebuild failed\n");
    return 1;
  }

  // The index of LARGE stands built: open it afresh, then walk it.
  platform::ScriptedHost host;
  platform::FilePool pool;
  store::Store st(host, pool);
  st.SetAppDir(dir);
  if (!st.OpenCatalog("LARGE")) return 1;
  const auto open = [&] {
    st.indexLibrary().InitIndexes();
    const auto t0 = Clock::now();
    const int16_t h = st.OpenIndex(0, st.CatalogHeader, "LARGE", 0);
    const double s = bench::SecondsSince(t0);
    if (h < 0 || !host.MessageTexts().empty()) return -1.0;
    st.IndexClose(h);
    return s;
  };
  const auto walk = [&] {
    const int16_t h = st.OpenIndex(0, st.CatalogHeader, "LARGE", 0);
    if (h < 0) return -1.0;
    const auto t0 = Clock::now();
    int count = 0;
    for (float n = st.IndexFirst(h); n > 0; n = st.IndexNext(h)) ++count;
    const double s = bench::SecondsSince(t0);
    st.IndexClose(h);
    if (count == kLarge) return s;
    std::fprintf(stderr, "walked %d keys\n", count);
    return -1.0;
  };
  bench::PairTimes openCheck;
  const bool opened = bench::TimePairs(open, walk, &openCheck);
  st.CloseCatalog();
  if (!opened) return 1;

  std::fprintf(stderr, "peak %ld kB at 1M, %ld kB at 100k\n", peakLarge, peakSmall);
  bench::PrintFigure("index_rebuild_vs_sqlite", rebuild, 2);
  bench::PrintFigure("index_rebuild_memory_1m_vs_100k",
                     static_cast<double>(peakLarge) / static_cast<double>(peakSmall), 1.2);
  bench::PrintFigure("index_open_check_vs_walk", openCheck, 0.05);
  std::filesystem::remove_all(dir);
  return 0;
}
