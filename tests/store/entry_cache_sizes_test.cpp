// Entry reads as the file changes size: a file larger than the map limit is
// read by copying each entry, with the map's answers (writes, growth,
// replacement, the file's end); a mapped file cut short from outside is
// mapped anew, never read past its end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "store/entry_cache.h"
#include "store_fixture.h"

namespace kelvarin::store {
namespace {

std::string At(EntryCache& cache, const std::string& path, int64_t offset, size_t len) {
  const uint8_t* p = cache.Bytes(path, offset, len);
  return p ? std::string(reinterpret_cast<const char*>(p), len) : std::string("<none>");
}

void Append(const std::string& path, const char* bytes) {
  std::ofstream f(path, std::ios::app | std::ios::binary);
  f << bytes;
}

TEST(EntryCacheCopyTest, AFileOverTheLimitReadsLikeAMappedOne) {
  test_support::TempDir dir("entrycopy");
  const std::string path = dir.File("DATA");
  ASSERT_TRUE(test_support::WriteFileBytes(path, "0123456789"));
  EntryCache cache(8);
  EXPECT_EQ(At(cache, path, 2, 3), "234");
  EXPECT_EQ(At(cache, path, 0, 10), "0123456789");  // the whole file, longer than any read before
  EXPECT_EQ(At(cache, path, 8, 3), "<none>");      // runs past the end
  EXPECT_EQ(At(cache, path, -1, 1), "<none>");
  {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(3);
    f.write("xy", 2);
  }
  EXPECT_EQ(At(cache, path, 2, 3), "2xy");
  Append(path, "ABCDEF");
  EXPECT_EQ(At(cache, path, 8, 4), "89AB");

  // Replaced by a file under the limit: mapped from then on; grown past
  // the limit again: copied.
  ASSERT_TRUE(test_support::WriteFileBytes(dir.File("NEW"), "abcdef"));
  std::filesystem::rename(dir.File("NEW"), path);
  cache.Invalidate();
  EXPECT_EQ(At(cache, path, 0, 6), "abcdef");
  EXPECT_EQ(At(cache, path, 4, 4), "<none>");
  Append(path, "ghijkl");
  EXPECT_EQ(At(cache, path, 4, 6), "efghij");
  EXPECT_EQ(At(cache, path, 9, 3), "jkl");

  // Cut short and announced: the lost bytes are gone.
  std::filesystem::resize_file(path, 9);
  cache.Invalidate();
  EXPECT_EQ(At(cache, path, 6, 3), "ghi");
  EXPECT_EQ(At(cache, path, 7, 3), "<none>");
}

// Cut by another program, unannounced: the read of a page past the new end
// fails instead of faulting, and the map is renewed at the new length.
TEST(EntryCacheCopyTest, AMappedFileCutShortFromOutsideEndsWhereTheFileNowEnds) {
  test_support::TempDir dir("entrycut");
  const std::string path = dir.File("DATA");
  ASSERT_TRUE(test_support::WriteFileBytes(path, std::string(8192, 'a') + std::string(8192, 'b')));
  EntryCache cache;
  EXPECT_EQ(At(cache, path, 12000, 2), "bb");
  std::filesystem::resize_file(path, 4096);
  EXPECT_EQ(At(cache, path, 12000, 2), "<none>");
  EXPECT_EQ(At(cache, path, 4094, 2), "aa");
  EXPECT_EQ(At(cache, path, 4095, 2), "<none>");
}

}  // namespace
}  // namespace kelvarin::store
