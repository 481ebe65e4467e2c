// Builds a catalog from the input bytes and runs the program over it as a
// user would: start-up, every entry shown with its memo and computed fields,
// the key indexes opened, walked and searched, keys removed and added again,
// List Alphabetically and List Range with Next and Previous, shut down and
// started again. Malformed files must give messages, never a crash; two
// things are faults beyond that and stop the fuzzer:
//   - an opened key index holding another number of keys than the catalog
//     has entries;
//   - a catalog that opened once and does not open again after shut-down.
//
// Input: sections of [tag][length, 2 bytes little-endian][bytes]; the tag
// modulo 7 says what the bytes are: 0 CAT.SET, 1 CAT.DAT, 2 CAT.MEM,
// 3 REP.FMT, 4 QAV.INI, 5 CATXXX01.WDX (the key index of slot 0), 6 the
// user's texts (search keys and list bounds, separated by NUL). Without a
// QAV.INI section the program starts with CurrentDB=CAT.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/scripted/scripted_host.h"
#include "reports/dialogs/frmListAlpha.h"
#include "reports/dialogs/frmListRange.h"

namespace {

using namespace kelvarin;

const std::string& WorkDir() {
  static const std::string dir = [] {
    std::string d = "/tmp/KVCATFUZZ" + std::to_string(::getpid());
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all("/tmp/KVCATFUZZ" + std::to_string(::getpid()), ec);
    });
    return d;
  }();
  return dir;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

void Trap(const char* what) {
  std::fprintf(stderr, "fuzz_catalog: %s\n", what);
  std::abort();
}

// Walks an index from its first key; the number of keys met (bounded).
int64_t CountKeys(store::Store& st, int16_t handle, int64_t bound) {
  int64_t n = 0;
  for (float e = st.IndexFirst(handle); e > 0 && n <= bound; e = st.IndexNext(handle)) ++n;
  return n;
}

// Everything done with one opened catalog; false when it was not open.
bool Exercise(app::Program& program, platform::ScriptedHost& host, const std::vector<std::string>& texts) {
  store::Store& st = program.store();
  if (st.CatalogName.empty()) return false;
  const float count = st.CatalogHeader.EntryCount;
  const int shown = static_cast<int>(std::min(count, 40.0f));
  store::EntryRecord e;
  for (int n = 1; n <= shown; ++n) {
    program.mainWindow().ShowEntryNumbered(static_cast<float>(n));
    if (st.ReadEntry(e, st.CatalogHeader, static_cast<float>(n), st.DatFile)) {
      st.ReadMemo(e.MemoNumber);
      for (int slot = 0; slot < store::kFieldCount; ++slot) st.EvalFormula(e, slot);
    }
  }

  store::KeyIndexTable table;
  st.OpenKeyIndexes(table);
  for (int i = 1; i <= table.KeyIndexCount; ++i) {
    int16_t h = table.Items[static_cast<size_t>(i)].Handle;
    if (h < 0) continue;
    if (CountKeys(st, h, static_cast<int64_t>(count) + 1) != static_cast<int64_t>(count))
      Trap("an opened key index holds another number of keys than the catalog has entries");
    for (const std::string& t : texts) {
      st.IndexFind(h, t);
      st.IndexNext(h);
      st.IndexPrev(h);
    }
  }
  if (count >= 1 && st.ReadEntry(e, st.CatalogHeader, 1, st.DatFile)) {
    st.DeleteEntryKeys(table, e, 1);
    st.AddEntryKeys(table, e, 1);
    for (int i = 1; i <= table.KeyIndexCount; ++i) {
      int16_t h = table.Items[static_cast<size_t>(i)].Handle;
      if (h >= 0 && CountKeys(st, h, static_cast<int64_t>(count) + 1) != static_cast<int64_t>(count))
        Trap("a key index lost or gained a key when one entry's keys were replaced");
    }
  }
  st.CloseIndexes(table);

  const std::string start = texts.size() > 0 ? texts[0] : "";
  const std::string end = texts.size() > 1 ? texts[1] : "";
  host.OnShowAs<reports::frmListAlpha>("frmListAlpha", [](reports::frmListAlpha& f) { f.cmdOK.UserClick(); });
  program.mainWindow().mnuVListAlpha.UserClick();
  const int steps = static_cast<int>(std::min(count, 30.0f)) + 2;
  for (int i = 0; i < steps; ++i) program.mainWindow().mnuVNext.UserClick();
  for (int i = 0; i < steps; ++i) program.mainWindow().mnuVPrevious.UserClick();
  host.OnShowAs<reports::frmListRange>("frmListRange", [start, end](reports::frmListRange& f) {
    f.txtStartRec.UserSetText(start.substr(0, 8));
    f.txtEndRec.UserSetText(end.substr(0, 8));
    f.cmdOK.UserClick();
  });
  program.mainWindow().mnuVListRange.UserClick();
  for (int i = 0; i < steps; ++i) program.mainWindow().mnuVNext.UserClick();
  program.mainWindow().mnuVPrevious.UserClick();
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& dir = WorkDir();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  ::mkdir(dir.c_str(), 0700);

  static const char* const kNames[] = {"CAT.SET", "CAT.DAT", "CAT.MEM", "REP.FMT", "QAV.INI", "CATXXX01.WDX"};
  bool ini = false;
  std::vector<std::string> texts;
  size_t pos = 0;
  while (pos + 3 <= size) {
    int tag = data[pos] % 7;
    size_t len = static_cast<size_t>(data[pos + 1]) | (static_cast<size_t>(data[pos + 2]) << 8);
    pos += 3;
    len = std::min(len, size - pos);
    std::string bytes(reinterpret_cast<const char*>(data + pos), len);
    pos += len;
    if (tag == 6) {
      size_t from = 0;
      for (size_t nul; (nul = bytes.find('\0', from)) != std::string::npos; from = nul + 1)
        texts.push_back(bytes.substr(from, nul - from));
      texts.push_back(bytes.substr(from));
      continue;
    }
    WriteFile(dir + "/" + kNames[tag], bytes);
    ini = ini || tag == 4;
  }
  if (!ini) WriteFile(dir + "/QAV.INI", "[Database]\r\nCurrentDB=CAT\r\n");
  if (texts.size() > 4) texts.resize(4);

  bool opened = false;
  {
    platform::ScriptedHost host;  // answers every box; nothing here checks them
    app::Program program(host, dir);
    program.Start();
    opened = Exercise(program, host, texts);
    program.Quit();
  }
  {
    platform::ScriptedHost host;
    app::Program program(host, dir);
    program.Start();
    bool again = !program.store().CatalogName.empty();
    program.Quit();
    if (opened && !again) Trap("a catalog that opened once does not open again");
  }
  return 0;
}
