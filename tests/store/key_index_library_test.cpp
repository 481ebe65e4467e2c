// The index library on its own: duplicates, batches, files replaced under it.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>

#include "platform/keyindex/checked_vfs.h"
#include "platform/keyindex/key_index_library.h"
#include "platform/keyindex/key_sorter.h"
#include "support/catalog_builder.h"

namespace kelvarin::platform {
namespace {

std::vector<int32_t> Walk(KeyIndexLibrary& lib, int16_t h) {
  std::vector<int32_t> out;
  KeyEntry e;
  for (int rc = lib.GetFirst(h, &e); rc == kKeyOk; rc = lib.GetNext(h, &e)) out.push_back(e.entry);
  return out;
}

TEST(KeyIndexLibraryTest, DuplicatesBatchesAndKeysAsAdded) {
  test_support::TempDir dir("keylib");
  KeyIndexLibrary lib;
  KeyIndexOpenInfo info;
  int16_t h = lib.OpenNDX(dir.File("A.WDX"), 0, &info);
  ASSERT_GE(h, 0);
  EXPECT_TRUE(info.createdEmpty);
  ASSERT_EQ(lib.BeginBatch(h), kKeyOk);
  EXPECT_EQ(lib.AddKey(h, "Rose", 4), kKeyOk);
  EXPECT_EQ(lib.AddKey(h, "rose", 2), kKeyOk);
  EXPECT_EQ(lib.AddKey(h, "Rose", 2), kKeyOk);  // the same pair twice
  EXPECT_EQ(lib.AddKey(h, "Ivy", 9), kKeyOk);
  ASSERT_EQ(lib.EndBatch(h), kKeyOk);
  EXPECT_EQ(lib.KeyCount(h), 4);
  EXPECT_EQ(Walk(lib, h), (std::vector<int32_t>{9, 2, 2, 4}));

  KeyEntry e;
  ASSERT_EQ(lib.GetKey(h, "ROSE", &e), kKeyOk);
  EXPECT_EQ(e.entry, 2);
  EXPECT_EQ(e.key.substr(1), "ose");  // case as added
  EXPECT_EQ(lib.DeleteKey(h, "ROSE", 2), kKeyOk);  // one of the two
  EXPECT_EQ(lib.DeleteKey(h, "rose", 7), kKeyNone);
  EXPECT_EQ(Walk(lib, h), (std::vector<int32_t>{9, 2, 4}));
  EXPECT_EQ(lib.KeyCount(h), 3);
  ASSERT_EQ(lib.GetLast(h, &e), kKeyOk);
  EXPECT_EQ(e.entry, 4);
  ASSERT_EQ(lib.CloseNDX(h), kKeyOk);
  EXPECT_EQ(lib.CloseNDX(h), kKeyBadHandle);

  // Kept on disk.
  h = lib.OpenNDX(dir.File("A.WDX"), 0, &info);
  EXPECT_FALSE(info.createdEmpty);
  EXPECT_EQ(info.keyCount, 3);
  // Mode 1 empties it.
  int16_t fresh = lib.OpenNDX(dir.File("A.WDX"), 1, &info);
  EXPECT_TRUE(info.createdEmpty);
  EXPECT_TRUE(Walk(lib, fresh).empty());
  EXPECT_TRUE(Walk(lib, h).empty());
}

TEST(KeyIndexLibraryTest, AFileDeletedUnderAnOpenHandleIsMadeAnew) {
  test_support::TempDir dir("keylib");
  KeyIndexLibrary lib;
  int16_t old = lib.OpenNDX(dir.File("B.WDX"), 0);
  ASSERT_EQ(lib.AddKey(old, "x", 1), kKeyOk);
  std::filesystem::remove(dir.File("B.WDX"));
  KeyIndexOpenInfo info;
  int16_t h = lib.OpenNDX(dir.File("B.WDX"), 0, &info);
  ASSERT_GE(h, 0);
  EXPECT_TRUE(info.createdEmpty);
  EXPECT_EQ(info.keyCount, 0);
  ASSERT_EQ(lib.AddKey(h, "y", 2), kKeyOk);
  EXPECT_EQ(Walk(lib, h), (std::vector<int32_t>{2}));
  EXPECT_EQ(Walk(lib, old), (std::vector<int32_t>{1}));
  EXPECT_EQ(lib.OpenNDX(dir.File("no/such/folder/C.WDX"), 0), kKeyFileError);
}

TEST(KeySorterTest, SpillsToRunsAndMergesInOrder) {
  KeySorter sorter;
  std::mt19937 rng(3);
  const int n = 300000;  // far more than one run holds
  std::vector<std::pair<std::string, int32_t>> expected;
  for (int i = 0; i < n; ++i) {
    std::string key = std::to_string(rng() % 50000) + "-padding-to-fill-runs";  // duplicates too
    int32_t entry = static_cast<int32_t>(rng() % 1000) - 500;
    std::string lower = "k" + key;
    ASSERT_TRUE(sorter.Add("K" + key, lower, entry));
    expected.emplace_back("K" + key, entry);
  }
  EXPECT_GE(sorter.Runs(), 2u);
  std::sort(expected.begin(), expected.end());
  size_t i = 0;
  bool inOrder = true;
  ASSERT_TRUE(sorter.Drain([&](std::string_view upper, int32_t entry, std::string_view key) {
    inOrder = inOrder && i < expected.size() && upper == expected[i].first && entry == expected[i].second &&
              key.substr(1) == upper.substr(1) && key[0] == 'k';
    ++i;
    return true;
  }));
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(i, expected.size());

  // Stopping early, in memory and after a spill.
  KeySorter small;
  ASSERT_TRUE(small.Add("B", "b", 2));
  ASSERT_TRUE(small.Add("A", "a", 1));
  std::string seen;
  small.Drain([&](std::string_view u, int32_t, std::string_view) {
    seen += u;
    return false;
  });
  EXPECT_EQ(seen, "A");
}

TEST(KeyIndexLibraryTest, RebuildFromAStreamKeepsDuplicatesAndPositions) {
  test_support::TempDir dir("keylib");
  KeyIndexLibrary lib;
  int16_t h = lib.OpenNDX(dir.File("R.WDX"), 0);
  ASSERT_GE(h, 0);
  const int n = 100000;
  auto feed = [&](KeySink& sink) {
    for (int i = n; i >= 1; --i)
      if (!sink.Add("key" + std::to_string(i % 1000) + std::string(30, 'z'), i % 50000)) return false;
    return true;
  };
  ASSERT_EQ(lib.Rebuild(h, feed), kKeyOk);
  EXPECT_EQ(lib.KeyCount(h), n);
  KeyEntry e;
  int count = 0;
  std::string prev;
  int32_t prevEntry = -1;
  bool ordered = true;
  for (int rc = lib.GetFirst(h, &e); rc == kKeyOk; rc = lib.GetNext(h, &e)) {
    ordered = ordered && e.key.size() == KeyIndexLibrary::kMaxKey &&
              (e.key > prev || (e.key == prev && e.entry >= prevEntry));
    prev = e.key;
    prevEntry = e.entry;
    ++count;
  }
  EXPECT_TRUE(ordered);
  EXPECT_EQ(count, n);

  // A handle keeps its place over a rebuild, which puts back in step what
  // another handle removed; a cancelled one changes nothing.
  const int16_t other = lib.OpenNDX(dir.File("R.WDX"), 0);
  ASSERT_EQ(lib.DeleteKey(other, "key1" + std::string(30, 'z'), 1), kKeyOk);
  ASSERT_EQ(lib.GetKey(h, "key5", &e), kKeyOk);
  KeyEntry next;
  ASSERT_EQ(lib.GetNext(h, &next), kKeyOk);
  ASSERT_EQ(lib.GetPrev(h, &e), kKeyOk);
  ASSERT_EQ(lib.Rebuild(h, feed), kKeyOk);
  ASSERT_EQ(lib.CloseNDX(other), kKeyOk);
  KeyEntry after;
  ASSERT_EQ(lib.GetNext(h, &after), kKeyOk);
  EXPECT_EQ(after.entry, next.entry);
  EXPECT_EQ(lib.Rebuild(h, [](KeySink& sink) { return sink.Add("x", 1) && false; }), kKeyCancelled);
  EXPECT_EQ(lib.KeyCount(h), n);

  // Turning round mid-walk: each direction has a cursor of its own.
  ASSERT_EQ(lib.GetFirst(h, &e), kKeyOk);
  KeyEntry second, third, back, again;
  ASSERT_EQ(lib.GetNext(h, &second), kKeyOk);
  ASSERT_EQ(lib.GetNext(h, &third), kKeyOk);
  ASSERT_EQ(lib.GetPrev(h, &back), kKeyOk);
  EXPECT_EQ(back.entry, second.entry);
  ASSERT_EQ(lib.GetNext(h, &again), kKeyOk);
  EXPECT_EQ(again.entry, third.entry);

  // A rebuild that runs out of disk leaves the index as it was, and no
  // temporary file.
  lib.FailWrites(SQLITE_FULL, ENOSPC, 256 * 1024);
  EXPECT_EQ(lib.Rebuild(h, [](KeySink& sink) {
    for (int i = 0; i < 100000; ++i)
      if (!sink.Add("other " + std::to_string(i), i)) return false;
    return true;
  }), kKeyFileError);
  lib.FailWrites(0, 0);
  EXPECT_EQ(lib.LastError(), "The disk is full.");
  EXPECT_EQ(lib.KeyCount(h), n);
  for (auto& f : std::filesystem::directory_iterator(dir.path())) EXPECT_EQ(f.path().filename(), "R.WDX");
  // Made as any file of the user's would be.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("R.WDX").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

// The file made unreadable at its start is still known as ours by the
// checksum of its second page, and made anew; damage further in fails the
// read that meets it instead of ending the walk.
TEST(KeyIndexLibraryTest, DamageIsNeverTakenForTheEnd) {
  test_support::TempDir dir("keylib");
  const std::string path = dir.File("D.WDX");
  {
    KeyIndexLibrary lib;
    int16_t h = lib.OpenNDX(path, 0);
    std::vector<KeyEntry> keys;
    for (int i = 1; i <= 30000; ++i) keys.push_back({"name " + std::to_string(i), i});
    ASSERT_EQ(lib.Rebuild(h, keys), kKeyOk);
  }
  const std::string sound = test_support::ReadFileBytes(path);
  // Each page ends in the header's salt, its own number and a checksum of
  // every byte before it.
  uint32_t salt = 0;
  for (int i = 60; i < 64; ++i) salt = salt << 8 | static_cast<unsigned char>(sound[i]);
  std::string page(sound, 4096, 4096);
  auto* p = reinterpret_cast<unsigned char*>(page.data());
  EXPECT_TRUE(PageSealOk(p, 4096, 2, salt));
  for (size_t at : {0, 4084, 4095}) {  // one bit of the content, the number, the sum
    std::string bent = page;
    bent[at] ^= 1;
    EXPECT_FALSE(PageSealOk(reinterpret_cast<unsigned char*>(bent.data()), 4096, 2, salt)) << at;
  }
  std::string bytes = sound;
  const size_t middle = bytes.size() / 4096 / 2;
  bytes[middle * 4096 + 2000] ^= 1;  // one bit
  ASSERT_TRUE(test_support::WriteFileBytes(path, bytes));
  {
    KeyIndexLibrary lib;
    KeyIndexOpenInfo info;
    int16_t h = lib.OpenNDX(path, 0, &info);
    ASSERT_GE(h, 0);
    EXPECT_FALSE(info.createdEmpty);
    KeyEntry e;
    int rc = lib.GetFirst(h, &e);
    int walked = 0;
    while (rc == kKeyOk) {
      ++walked;
      rc = lib.GetNext(h, &e);
    }
    EXPECT_EQ(rc, kKeyDamaged);
    EXPECT_LT(walked, 30000);
    EXPECT_EQ(lib.LastError(), "The index file is damaged.");
    // The same file opened again while damaged is made empty for a rebuild.
    int16_t again = lib.OpenNDX(path, 0, &info);
    EXPECT_TRUE(info.createdEmpty);
    EXPECT_TRUE(info.wasDamaged);
    EXPECT_EQ(lib.KeyCount(again), 0);
  }
  bytes = sound;
  for (size_t i = 0; i < 4096; ++i) bytes[i] = static_cast<char>(i * 7);
  ASSERT_TRUE(test_support::WriteFileBytes(path, bytes));
  KeyIndexLibrary lib;
  KeyIndexOpenInfo info;
  ASSERT_GE(lib.OpenNDX(path, 0, &info), 0);
  EXPECT_TRUE(info.wasDamaged);
  EXPECT_EQ(info.keyCount, 0);
  // A file the size of an index but of other bytes is not ours.
  ASSERT_TRUE(test_support::WriteFileBytes(dir.File("E.WDX"), std::string(sound.size(), 'e')));
  EXPECT_EQ(lib.OpenNDX(dir.File("E.WDX"), 0), kKeyForeign);
}

}  // namespace
}  // namespace kelvarin::platform
