// Reading a large catalog: every entry through ReadEntry, decoded, against
// a plain sequential read of the same file in 1 MiB blocks (the walks in
// key order are timed by bench_search, through the runs a user makes).
// argv[1] = a work directory.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_catalog.h"
#include "bench_timing.h"
#include "platform/files/file_pool.h"
#include "platform/scripted/scripted_host.h"
#include "store/formats.h"
#include "store/store.h"

using namespace kelvarin;
using bench::Clock;

namespace {

constexpr int kEntries = 1000000;

double PlainRead(const std::string& path, uint64_t* checksum) {
  auto t0 = Clock::now();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return -1;
  std::vector<unsigned char> block(1 << 20);
  size_t got;
  uint64_t sum = 0;
  while ((got = std::fread(block.data(), 1, block.size(), f)) > 0) sum += block[got / 2] + block[0];
  std::fclose(f);
  *checksum += sum;
  return bench::SecondsSince(t0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_store WORKDIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/bench_store";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  if (!bench::WriteBenchCatalog(dir, "BENCH", kEntries, false)) {
    std::fprintf(stderr, "cannot write the catalog\n");
    return 1;
  }

  platform::ScriptedHost host;
  platform::FilePool pool;
  store::Store st(host, pool);
  st.SetAppDir(dir);
  if (!st.OpenCatalog("BENCH")) {
    std::fprintf(stderr, "cannot open the catalog\n");
    return 1;
  }
  uint64_t checksum = 0;
  store::EntryRecord e;
  const auto readAll = [&] {
    const auto t0 = Clock::now();
    for (int n = 1; n <= kEntries; ++n) {
      if (!st.ReadEntry(e, st.CatalogHeader, static_cast<float>(n), st.DatFile)) return -1.0;
      checksum += static_cast<unsigned char>(e.FieldText[9][0]);
    }
    return bench::SecondsSince(t0);
  };
  bench::PairTimes t;
  // Each side is short (a tenth of a second or less): more pairs.
  const bool ok = bench::TimePairs(readAll, [&] { return PlainRead(dir + "/BENCH.DAT", &checksum); }, &t, 15);
  st.CloseCatalog();
  if (!ok) {
    std::fprintf(stderr, "cannot read the catalog\n");
    return 1;
  }
  std::fprintf(stderr, "(checksum %llu)\n", static_cast<unsigned long long>(checksum));
  bench::PrintFigure("read_all_vs_plain_read", t, 8);
  std::filesystem::remove_all(dir);
  return 0;
}
