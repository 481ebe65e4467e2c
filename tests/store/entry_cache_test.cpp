// Out-of-order entry reads through the store's memory map: what the program
// writes or appends is what the next read sees, and such reads make no read
// calls.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/files/runtime_errors.h"
#include "store_fixture.h"

namespace kelvarin::store {
namespace {

using test_support::CatalogBuilder;

class EntryCacheStoreTest : public StoreTest {};

// ReadEntry out of number order goes through the map; the store's own
// writes, an append among them, are read back at once.
TEST_F(EntryCacheStoreTest, ReadsAfterAnAppendAndARewriteSeeTheNewBytes) {
  CatalogBuilder cat(dir_.path(), "TREES");
  cat.Field(0, "Name", 10, KindKey).Field(1, "Age", 4);
  for (const char* name : {"oak", "ash", "elm", "yew", "fir"}) cat.Entry({name, "1"});
  ASSERT_TRUE(cat.Write());
  ASSERT_TRUE(store_.OpenCatalog("TREES"));
  EntryRecord e;
  auto name = [&](float n) {
    return store_.ReadEntry(e, store_.CatalogHeader, n, store_.DatFile) ? e.FieldText[0] : std::string("<fail>");
  };
  EXPECT_EQ(name(4), "yew       ");
  EXPECT_EQ(name(2), "ash       ");

  e.FieldText[0] = "pine      ";
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 6, store_.DatFile));  // appended
  store_.CatalogHeader.EntryCount = 6;
  EXPECT_EQ(name(1), "oak       ");
  EXPECT_EQ(name(6), "pine      ");
  EXPECT_EQ(name(7), "<fail>");

  e.FieldText[0] = "larch     ";
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 2, store_.DatFile));  // rewritten
  EXPECT_EQ(name(5), "fir       ");
  EXPECT_EQ(name(2), "larch     ");

  // Written by other code than WriteEntry, which then says so.
  {
    std::fstream f(File("TREES.DAT"), std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(4 * store_.CatalogHeader.RecordLength + 4);
    f.write("cedar", 5);
  }
  store_.DropReadAhead();
  EXPECT_EQ(name(1), "oak       ");
  EXPECT_EQ(name(4), "cedar     ");
}

// A data file whose reads all fail: what is read out of order comes from
// the map, in number order through the read-ahead.
class UnreadableFile final : public platform::RandomAccessFile {
 public:
  explicit UnreadableFile(std::string path) : path_(std::move(path)) {}
  int Read(int64_t, void*, size_t, size_t* got) override {
    *got = 0;
    return platform::kErrDeviceIO;
  }
  int Write(int64_t, const void*, size_t) override { return platform::kErrDeviceIO; }
  int Size(int64_t* size) override {
    *size = 0;
    return 0;
  }
  int Truncate(int64_t) override { return 0; }
  int Flush() override { return 0; }
  int Lock(int64_t, int64_t) override { return 0; }
  int Unlock(int64_t, int64_t) override { return 0; }
  const std::string& Path() const override { return path_; }

 private:
  std::string path_;
};

TEST_F(EntryCacheStoreTest, ReadsOutOfOrderMakeNoReadCalls) {
  CatalogBuilder cat(dir_.path(), "TREES");
  cat.Field(0, "Name", 10, KindKey);
  for (const char* name : {"oak", "ash", "elm", "yew"}) cat.Entry({name});
  ASSERT_TRUE(cat.Write());
  ASSERT_TRUE(store_.OpenCatalog("TREES"));
  const int number = store_.DatFile;
  pool_.Close(number);
  ASSERT_EQ(pool_.Adopt(number, std::make_unique<UnreadableFile>(File("TREES.DAT"))), 0);
  EntryRecord e;
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 3, store_.DatFile));
  EXPECT_EQ(e.FieldText[0], "elm       ");
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 1, store_.DatFile));
  EXPECT_EQ(e.FieldText[0], "oak       ");
  EXPECT_FALSE(store_.ReadEntry(e, store_.CatalogHeader, 2, store_.DatFile));  // in order: a real read
}

}  // namespace
}  // namespace kelvarin::store
