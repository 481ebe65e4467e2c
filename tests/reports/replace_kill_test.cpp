// A Global Replace over 100,000 entries killed at ten moments, each followed
// by a restart: every entry must be either as it was or fully replaced, and
// every key index must hold exactly the keys of the data file's entries.
//
// The replace runs in a forked child playing the user through the scripted
// host; each yield of the run writes a byte to a pipe, so the parent can kill
// the child after the k-th gauge step or after a delay from the start of the
// walk. The parent then starts a program on the catalog as a user would and
// checks the files. Each run starts over from entry 1 on what the last one
// left, so the runs together work through the catalog.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "replace_fixture.h"

namespace kelvarin::test_support {
namespace {

constexpr int kEntries = 100000;
constexpr int kTitleSlot = 0;  // key, 20
constexpr int kWordSlot = 1;   // 12
constexpr int kCodeSlot = 2;   // key, 8

std::string Digits(int n) {
  std::string s = std::to_string(n);
  return std::string(6 - std::min<size_t>(6, s.size()), '0') + s;
}

// Entries n % 4 == 0 carry the word in their key; every even entry in a
// plain field, where the replacement grows past the field.
std::vector<std::string> OldTexts(int n) {
  std::vector<std::string> t(3);
  t[kTitleSlot] = "T" + Digits(n) + (n % 4 == 0 ? " ALPHA" : " BETA");
  t[kWordSlot] = n % 2 == 0 ? "Alpha alpha" : "Gamma";
  t[kCodeSlot] = "C" + std::to_string(n % 1000);
  return t;
}
std::vector<std::string> NewTexts(int n) {
  std::vector<std::string> t = OldTexts(n);
  if (n % 4 == 0) t[kTitleSlot] = "T" + Digits(n) + " OMEGA1";
  if (n % 2 == 0) t[kWordSlot] = "OMEGA1 OMEGA";
  return t;
}

class ReplaceKillTest : public ::testing::Test {
 protected:
  ReplaceKillTest() : dir_("replace_kill"), cat_(dir_.path(), "BIG") {
    cat_.Field(kTitleSlot, "Title", 20, store::KindKey).Field(kWordSlot, "Word", 12);
    cat_.Field(kCodeSlot, "Code", 8, store::KindKey);
    for (int n = 1; n <= kEntries; ++n) cat_.Entry(OldTexts(n));
    EXPECT_TRUE(cat_.Write());
    platform::WritePrivateProfileString("Database", "CurrentDB", "BIG", dir_.File("QAV.INI"));
    platform::WritePrivateProfileString("Reports", "ReportDest", "0", dir_.File("QAV.INI"));
  }

  // The child: the user asks for the Global Replace; each yield is told to
  // the parent. Never returns.
  [[noreturn]] void RunReplace(int tell) {
    platform::ScriptedHost host;
    app::Program program(host, dir_.path());
    program.Start();
    host.OnShowAs<reports::frmSearchReplace>("frmSearchReplace", [](reports::frmSearchReplace& f) {
      f.txtSearchString.UserSetText("alpha");
      f.txtReplaceString.UserSetText("OMEGA1");
      f.optGlobal.UserClick();
      f.cmdOK.UserClick();
    });
    for (int k = 1; k <= 200; ++k)
      host.AtDoEvents(k, [tell] { (void)!::write(tell, "y", 1); });
    program.mainWindow().mnuVReplace.UserClick();
    ::_exit(0);
  }

  // Starts the child and kills it after `steps` yields, then after `delay`.
  // False when the child ended by itself first.
  bool ReplaceKilled(int steps, std::chrono::microseconds delay) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
      ::close(fds[0]);
      RunReplace(fds[1]);
    }
    ::close(fds[1]);
    bool running = true;
    char c;
    for (int i = 0; i < steps && running; ++i) running = ::read(fds[0], &c, 1) == 1;
    if (running) std::this_thread::sleep_for(delay);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(fds[0]);
    return WIFSIGNALED(status);
  }

  // The restart: a program opens the catalog; the entries and the indexes
  // are read back. Returns how many entries are replaced.
  int CheckAfterRestart() {
    platform::ScriptedHost host;
    ScriptedExpect expect(host);
    app::Program program(host, dir_.path());
    program.Start();
    store::Store& st = program.store();
    EXPECT_EQ(st.CatalogHeader.EntryCount, static_cast<float>(kEntries));
    std::vector<std::string> titles(kEntries + 1), codes(kEntries + 1);
    int replaced = 0;
    int bad = 0;
    store::EntryRecord e;
    for (int n = 1; n <= kEntries; ++n) {
      if (!st.ReadEntry(e, st.CatalogHeader, static_cast<float>(n), st.DatFile)) {
        ++bad;
        continue;
      }
      std::vector<std::string> now = {e.FieldText[kTitleSlot], e.FieldText[kWordSlot], e.FieldText[kCodeSlot]};
      for (size_t i = 0; i < now.size(); ++i) now[i].erase(now[i].find_last_not_of(' ') + 1);
      if (now == NewTexts(n) && now != OldTexts(n))
        ++replaced;
      else if (now != OldTexts(n) && bad++ < 5)
        ADD_FAILURE() << "entry " << n << " is neither as it was nor replaced: " << now[0] << "|" << now[1];
      titles[static_cast<size_t>(n)] = store::Store::EntryKey(e, kTitleSlot);
      codes[static_cast<size_t>(n)] = store::Store::EntryKey(e, kCodeSlot);
    }
    EXPECT_EQ(bad, 0);
    ExpectIndexMatches(st, kTitleSlot, titles);
    ExpectIndexMatches(st, kCodeSlot, codes);
    program.Quit();
    return replaced;
  }

  static void ExpectIndexMatches(store::Store& st, int slot, const std::vector<std::string>& keys) {
    int16_t h = st.OpenIndex(slot, st.CatalogHeader, st.CatalogName, 0);
    ASSERT_GE(h, 0);
    std::vector<std::string> seen(keys.size());
    std::vector<int> times(keys.size(), 0);
    platform::KeyEntry k;
    auto& lib = st.indexLibrary();
    int wrong = 0;
    for (int rc = lib.GetFirst(h, &k); rc == platform::kKeyOk; rc = lib.GetNext(h, &k)) {
      if (k.entry < 1 || k.entry > kEntries || ++times[static_cast<size_t>(k.entry)] > 1 ||
          k.key != keys[static_cast<size_t>(k.entry)]) {
        if (wrong++ < 5) ADD_FAILURE() << "slot " << slot << ": key \"" << k.key << "\" for entry " << k.entry;
      }
    }
    st.IndexClose(h);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(std::count(times.begin() + 1, times.end(), 1), kEntries) << "slot " << slot;
  }

  TempDir dir_;
  CatalogBuilder cat_;
};

TEST_F(ReplaceKillTest, EveryEntryIsOldOrNewAndTheIndexesAgreeAfterEachKill) {
  using std::chrono::microseconds;
  int last = CheckAfterRestart();  // builds the indexes
  EXPECT_EQ(last, 0);
  int killed = 0;
  // Yields: one after the dialog, then one per 1,000 entries walked.
  const std::pair<int, int> moments[] = {{2, 0},    {1, 3000},  {4, 0},     {1, 20000}, {9, 0},
                                         {1, 700},  {30, 0},    {1, 45000}, {60, 0},    {1, 90000}};
  for (const auto& [steps, delay] : moments) {
    killed += ReplaceKilled(steps, microseconds(delay));
    int replaced = CheckAfterRestart();
    EXPECT_GE(replaced, last);
    last = replaced;
    if (HasFailure()) break;
  }
  EXPECT_GE(killed, 8);
  EXPECT_GT(last, 0);
}

}  // namespace
}  // namespace kelvarin::test_support
