// The index library on its own: duplicates, batches, files replaced under it.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/keyindex/key_index_library.h"
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

}  // namespace
}  // namespace kelvarin::platform
