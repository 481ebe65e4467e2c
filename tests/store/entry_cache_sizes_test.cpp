// Entry reads as the file changes: a file larger than the map limit is read
// by copying each entry, with the map's answers. (A file cut by another
// program: entries_test.)
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

// Mapped (under the limit) or copied entry by entry (over it), a file reads
// alike: writes in place seen at once, growth, a replacement or a cut that
// is announced, the file's end, many reads, closing.
TEST(EntryCacheTest, MappedOrCopiedAFileReadsAlike) {
  for (int64_t limit : {EntryCache::kMapLimit, int64_t{8}}) {
    SCOPED_TRACE(limit);
    test_support::TempDir dir("entrycache");
    const std::string path = dir.File("DATA");
    ASSERT_TRUE(test_support::WriteFileBytes(path, ""));
    EntryCache cache(limit);
    EXPECT_EQ(At(cache, path, 0, 1) + At(cache, path, 0, 1), "<none><none>");  // empty until it grows
    Append(path, "0123456789");
    EXPECT_EQ(At(cache, path, 2, 3), "234");
    EXPECT_EQ(At(cache, path, 0, 10), "0123456789");  // longer than any read before
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

    // Replaced by a file under the limit, which then grows past it.
    ASSERT_TRUE(test_support::WriteFileBytes(dir.File("NEW"), "abcdef"));
    std::filesystem::rename(dir.File("NEW"), path);
    cache.Invalidate();
    EXPECT_EQ(At(cache, path, 0, 6), "abcdef");
    EXPECT_EQ(At(cache, path, 4, 4), "<none>");
    Append(path, "ghijkl");
    EXPECT_EQ(At(cache, path, 4, 6), "efghij");
    std::filesystem::resize_file(path, 9);
    cache.Invalidate();
    EXPECT_EQ(At(cache, path, 6, 3), "ghi");
    EXPECT_EQ(At(cache, path, 7, 3), "<none>");
    // The mapped pages let go now and then.
    for (int i = 0; i < 3 * EntryCache::kReleaseEvery; ++i)
      ASSERT_EQ(At(cache, path, i % 5, 2), std::string("abcdef").substr(i % 5, 2));

    EXPECT_EQ(At(cache, dir.File("MISSING"), 0, 1), "<none>");
    cache.Close();
    EXPECT_EQ(At(cache, path, 1, 2), "bc");
  }
}

}  // namespace
}  // namespace kelvarin::store
