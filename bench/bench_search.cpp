// The runs of the main window over a large catalog, played through the
// scripted host, against a plain scan of the same data file.
//
//   figure global_search_vs_scan    Global Search whose only match is the
//                                   last entry / the reference scan
//   figure seq_search_vs_scan       a sequential search on one field, same
//                                   match / the reference scan
//   figure alpha_walk_vs_global     an alphabetical search without key text
//                                   whose criterion on another field only
//                                   the entry with the last key meets /
//                                   the Global Search
//   figure memory_1m_vs_100k        peak memory of the Global Search on
//                                   1,000,000 entries / on 100,000 entries
//                                   (each run in a process of its own)
//
// The reference scan reads the data file in 1 MiB blocks and tests every
// field of every entry for the text through a case-folding table.
//
// argv[1] = a work directory. "bench_search --child DIR NAME" runs one
// Global Search on catalog NAME in DIR (used for the memory figure).
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "bench_catalog.h"
#include "platform/model/model.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "platform/text/codepage.h"
#include "reports/dialogs/frmGlobalSearch.h"
#include "reports/dialogs/frmSearch.h"
#include "store/formats.h"
#include "store/store.h"

using namespace kelvarin;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kBig = 1000000;
constexpr int kSmall = 100000;
// Only the last entry holds this text (in slot 5).
constexpr const char* kGlobalText = "zqxv9";
// Only the entry with the last key holds this text (in slot 1).
constexpr const char* kAlphaText = "ZQXW7";

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// Random texts use letters A..P and digits only, so that the searched
// texts occur nowhere else.
bool BuildCatalog(const std::string& dir, const std::string& name, int entries) {
  uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  const int lastKeyEntry = entries / 2;
  return bench::WriteBenchCatalog(dir, name, entries, [&](int n, store::EntryRecord& e) {
    std::string key;
    for (int k = 0; k < 12; ++k) key.push_back(static_cast<char>('A' + next() % 16));
    e.FieldText[0] = n == lastKeyEntry ? "ZZZZZZZZZZZZ" : key;
    for (int i = 1; i < 9; ++i) {
      std::string t;
      int length = 8 + static_cast<int>(next() % 12);
      for (int k = 0; k < length; ++k) {
        uint32_t r = next() % 26;
        t.push_back(r < 16 ? static_cast<char>('A' + r) : static_cast<char>('0' + r - 16));
      }
      e.FieldText[static_cast<size_t>(i)] = t;
    }
    e.FieldText[9] = std::to_string(n % 1000);
    if (n == lastKeyEntry) e.FieldText[1] = std::string("X") + kAlphaText;
    if (n == entries) e.FieldText[5] = std::string("NEAR ") + kGlobalText + " END";
  });
}

// The reference: 1 MiB blocks, every field of every entry tested for the
// text through a case-folding table. Returns the matching entries.
int ReferenceScan(const std::string& path, const std::string& text, const store::DatHeader& h) {
  std::array<unsigned char, 256> fold{};
  for (int c = 0; c < 256; ++c) fold[static_cast<size_t>(c)] = platform::AnsiUpper(static_cast<unsigned char>(c));
  std::string wanted;
  for (char c : text) wanted.push_back(static_cast<char>(fold[static_cast<unsigned char>(c)]));
  const size_t len = static_cast<size_t>(h.RecordLength);
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return -1;
  std::vector<unsigned char> block((1 << 20) / len * len);
  int matches = 0;
  size_t got;
  int64_t record = 0;
  while ((got = std::fread(block.data(), 1, block.size(), f)) > 0) {
    for (size_t at = 0; at + len <= got; at += len, ++record) {
      if (record == 0) continue;  // the header
      const unsigned char* r = block.data() + at + 4;
      bool hit = false;
      for (int i = 0; i < store::kFieldCount && !hit; ++i) {
        size_t fl = static_cast<size_t>(h.FieldLength[static_cast<size_t>(i)]);
        for (size_t p = 0; p + wanted.size() <= fl && !hit; ++p) {
          size_t k = 0;
          while (k < wanted.size() && fold[r[p + k]] == static_cast<unsigned char>(wanted[k])) ++k;
          hit = k == wanted.size();
        }
        r += fl;
      }
      matches += hit;
    }
  }
  std::fclose(f);
  return matches;
}

void WriteIni(const std::string& dir, const std::string& catalog) {
  platform::WritePrivateProfileString("Database", "CurrentDB", catalog, dir + "/QAV.INI");
  platform::WritePrivateProfileString("Reports", "ReportDest", "0", dir + "/QAV.INI");
  platform::WritePrivateProfileString("Search", "SearchMode", "0", dir + "/QAV.INI");
}

// The user's Global Search; returns the entry shown afterwards.
float GlobalSearch(platform::ScriptedHost& host, app::Program& program) {
  host.OnShowAs<reports::frmGlobalSearch>("frmGlobalSearch", [](reports::frmGlobalSearch& f) {
    f.txtGlobalString.UserSetText(kGlobalText);
    f.cmdOK.UserClick();
  });
  program.mainWindow().mnuVGlobalSearch.UserClick();
  return program.store().CurrentEntryNumber;
}

float Search(platform::ScriptedHost& host, app::Program& program, int16_t slot, const std::string& text,
             bool sequential) {
  host.OnShowAs<reports::frmSearch>("frmSearch", [=](reports::frmSearch& f) {
    (sequential ? f.optSequential : f.optAlpha).UserClick();
    for (int16_t i = 0; i < reports::frmSearch::kRows; ++i) f.txtFieldData[i].SetText("");
    f.txtFieldData[slot].UserSetText(text);
    f.cmdOK.UserClick();
  });
  // No key text: the dialog asks whether to search the whole catalog.
  if (!sequential) host.AnswerMsgBox(platform::MsgAnswer::Yes);
  if (sequential)
    program.mainWindow().cmdSequential.UserClick();
  else
    program.mainWindow().cmdAlpha.UserClick();
  return program.store().CurrentEntryNumber;
}

// The peak resident memory of this process image, in kilobytes (VmHWM
// belongs to the image: what the parent held before the exec is not in it).
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

int Child(const std::string& dir, const std::string& name, int entries) {
  WriteIni(dir, name);
  platform::ScriptedHost host;
  app::Program program(host, dir);
  program.Start();
  float found = GlobalSearch(host, program);
  program.Quit();
  if (found != static_cast<float>(entries)) return 3;
  std::printf("peak %ld\n", PeakKiB());
  return 0;
}

// Peak resident memory of one Global Search run in a process of its own, in
// kilobytes; -1 on failure.
long ChildPeak(const char* self, const std::string& dir, const std::string& name, int entries) {
  std::string command = std::string("'") + self + "' --child '" + dir + "' " + name + " " + std::to_string(entries);
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  long peak = -1;
  if (std::fscanf(pipe, "peak %ld", &peak) != 1) peak = -1;
  if (pclose(pipe) != 0) return -1;
  return peak;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--child") == 0) return Child(argv[2], argv[3], std::atoi(argv[4]));
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_search WORKDIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/bench_search";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  if (!BuildCatalog(dir, "BIG", kBig) || !BuildCatalog(dir, "SMALL", kSmall)) {
    std::fprintf(stderr, "cannot write the catalogs\n");
    return 1;
  }
  const store::DatHeader header = bench::BenchHeader(kBig);

  WriteIni(dir, "BIG");
  platform::ScriptedHost host;
  auto program = std::make_unique<app::Program>(host, dir);
  program->Start();
  store::Store& st = program->store();
  if (st.CatalogName != "BIG") {
    std::fprintf(stderr, "cannot open the catalog\n");
    return 1;
  }
  // The key index is built from the entries once, before anything is timed.
  auto tb = Clock::now();
  int16_t h = st.OpenIndex(0, st.CatalogHeader, st.CatalogName, 0);
  if (h < 0) return 1;
  st.IndexClose(h);
  std::fprintf(stderr, "index built in %.1f s\n", Seconds(tb, Clock::now()));

  if (ReferenceScan(dir + "/BIG.DAT", kGlobalText, header) != 1) {  // also into the page cache
    std::fprintf(stderr, "the reference scan does not find exactly one match\n");
    return 1;
  }
  double scan = 1e9, global = 1e9, seq = 1e9, alpha = 1e9;
  for (int round = 0; round < 3; ++round) {
    auto t0 = Clock::now();
    ReferenceScan(dir + "/BIG.DAT", kGlobalText, header);
    scan = std::min(scan, Seconds(t0, Clock::now()));

    t0 = Clock::now();
    float found = GlobalSearch(host, *program);
    global = std::min(global, Seconds(t0, Clock::now()));
    if (found != kBig) {
      std::fprintf(stderr, "Global Search showed entry %.0f\n", found);
      return 1;
    }

    t0 = Clock::now();
    found = Search(host, *program, 5, kGlobalText, true);
    seq = std::min(seq, Seconds(t0, Clock::now()));
    if (found != kBig) {
      std::fprintf(stderr, "the sequential search showed entry %.0f\n", found);
      return 1;
    }
  }
  for (int round = 0; round < 2; ++round) {
    auto t0 = Clock::now();
    float found = Search(host, *program, 1, kAlphaText, false);
    alpha = std::min(alpha, Seconds(t0, Clock::now()));
    if (found != kBig / 2) {
      std::fprintf(stderr, "the alphabetical search showed entry %.0f\n", found);
      return 1;
    }
  }
  std::string failures = host.ExpectAllConsumed();
  if (!failures.empty()) {
    std::fprintf(stderr, "scripted host:\n%s\n", failures.c_str());
    return 1;
  }
  program->Quit();
  program.reset();

  long small = ChildPeak(argv[0], dir, "SMALL", kSmall);
  long big = ChildPeak(argv[0], dir, "BIG", kBig);
  if (small <= 0 || big <= 0) {
    std::fprintf(stderr, "a child run failed\n");
    return 1;
  }
  std::fprintf(stderr, "scan %.3f s, global %.3f s, sequential %.3f s, alphabetical %.3f s; peak %ld / %ld KiB\n",
               scan, global, seq, alpha, big, small);
  std::printf("figure global_search_vs_scan %.2f target 2\n", global / scan);
  std::printf("figure seq_search_vs_scan %.2f target 2\n", seq / scan);
  std::printf("figure alpha_walk_vs_global %.2f target 8\n", alpha / global);
  std::printf("figure memory_1m_vs_100k %.2f target 1.5\n", static_cast<double>(big) / static_cast<double>(small));
  std::filesystem::remove_all(dir);
  return 0;
}
