// Key indexes: order, lookups, walking, and rebuilding from the data file.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>

#include "store_fixture.h"

namespace kelvarin::store {
namespace {

using test_support::CatalogBuilder;
using test_support::WriteFileBytes;

class KeyIndexTest : public StoreTest {
 protected:
  // Slot 1 is the key field; entry n holds keys[n - 1].
  void Build(const std::vector<std::string>& keys, int keyLength = 30) {
    store_.CloseCatalog();
    CatalogBuilder cat(dir_.path(), "FRUIT");
    cat.Field(0, "Code", 4).Field(1, "Name", keyLength, KindKey).Field(2, "Price", 6, KindKeySummed);
    for (size_t i = 0; i < keys.size(); ++i) cat.Entry({std::to_string(i + 1), keys[i], "1"});
    ASSERT_TRUE(cat.Write());
    ASSERT_TRUE(store_.OpenCatalog("FRUIT"));
  }
  int16_t Open() {
    int16_t h = store_.OpenIndex(1, store_.CatalogHeader, store_.CatalogName, 0);
    EXPECT_GE(h, 0);
    return h;
  }
  std::vector<float> WalkForward(int16_t h) {
    std::vector<float> out;
    for (float n = store_.IndexFirst(h); n > 0; n = store_.IndexNext(h)) out.push_back(n);
    return out;
  }
};

TEST_F(KeyIndexTest, KeysAreOrderedWithoutRegardToCaseThenByEntry) {
  Build({"banana", "Apple", "cherry", "apple", "BANANA", "\xE9" "clair", "\xC9" "CLAIR", ""});
  EXPECT_EQ(store_.IndexPath("FRUIT", 1), File("FRUITX02.WDX"));
  int16_t h = Open();
  EXPECT_TRUE(std::filesystem::exists(File("FRUITX02.WDX")));
  // The empty key first; é and É are one letter, after the ASCII letters.
  EXPECT_EQ(WalkForward(h), (std::vector<float>{8, 2, 4, 1, 5, 3, 6, 7}));
  store_.IndexClose(h);
}

TEST_F(KeyIndexTest, FindPositionsOnTheFirstKeyNotBelow) {
  const std::string longKey = "Watermelons of the season, large";  // 32: stored cut to 24
  Build({"banana", "Apple", "cherry", longKey});
  int16_t h = Open();
  EXPECT_EQ(store_.IndexFind(h, "BAN"), 1);       // present, any case
  EXPECT_EQ(store_.IndexNext(h), 3);
  EXPECT_EQ(store_.IndexFind(h, "b"), 1);         // absent: where it falls
  EXPECT_EQ(store_.IndexFind(h, "bz"), 3);
  EXPECT_EQ(store_.IndexFind(h, "apple   "), 2);  // trailing blanks dropped
  EXPECT_EQ(store_.IndexFind(h, ""), 2);          // empty: the first key
  EXPECT_EQ(store_.IndexNext(h), 1);
  EXPECT_EQ(store_.IndexFind(h, longKey + "more"), 4);  // over-long: cut as stored
  EXPECT_EQ(store_.IndexFind(h, "zzz"), 0);       // past the last key
  EXPECT_EQ(store_.IndexNext(h), 0);
  EXPECT_EQ(store_.IndexPrev(h), 4);              // back from past the end
  store_.IndexClose(h);
}

TEST_F(KeyIndexTest, StepsStopAtBothEnds) {
  Build({"b", "a", "c"});
  int16_t h = Open();
  EXPECT_EQ(store_.IndexFirst(h), 2);
  std::vector<float> steps;  // back, on four times, back three times, on
  for (int on : {0, 1, 1, 1, 1, 0, 0, 0, 1}) steps.push_back(on ? store_.IndexNext(h) : store_.IndexPrev(h));
  // Past the last key the position stays on it.
  EXPECT_EQ(steps, (std::vector<float>{0, 1, 3, 0, 0, 1, 2, 0, 1}));
  store_.IndexClose(h);

  // An index without keys has no first key, and says nothing about it.
  Build({});
  h = Open();
  EXPECT_EQ(store_.IndexFirst(h), -1);
  EXPECT_EQ(store_.IndexNext(h), 0);
  EXPECT_EQ(store_.IndexFind(h, "a"), 0);
  store_.IndexClose(h);
}

TEST_F(KeyIndexTest, DuplicateKeysAndSavingThroughTheKeyTable) {
  Build({"pear", "pear", "fig"});
  KeyIndexTable table;
  store_.OpenKeyIndexes(table);
  ASSERT_EQ(table.KeyIndexCount, 2);
  EXPECT_EQ(table.Items[1].FieldIndex, 1);
  EXPECT_EQ(table.Items[2].FieldIndex, 2);

  // Entry 3 changes from fig to Pear: its old key goes, the new one comes.
  EntryRecord e;
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 3, store_.DatFile));
  EXPECT_TRUE(store_.DeleteEntryKeys(table, e, 3));
  e.FieldText[1] = "Pear";
  e.FieldText[1].resize(30, ' ');
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 3, store_.DatFile));
  EXPECT_TRUE(store_.AddEntryKeys(table, e, 3));
  store_.CloseIndexes(table);
  EXPECT_EQ(table.Items[1].Handle, -1);

  int16_t h = Open();
  EXPECT_EQ(WalkForward(h), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(store_.IndexFind(h, "fig"), 1);
  store_.IndexClose(h);
}

TEST_F(KeyIndexTest, SavingWhileAnotherHandleWalks) {
  Build({"a", "c", "e"});
  int16_t browse = Open();
  EXPECT_EQ(store_.IndexFirst(browse), 1);
  EXPECT_EQ(store_.IndexNext(browse), 2);  // on "c"

  EntryRecord e;
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 1, store_.DatFile));
  e.FieldText[1] = "d";
  e.FieldText[1].resize(30, ' ');
  ASSERT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 4, store_.DatFile));
  KeyIndexTable table;
  store_.OpenKeyIndexes(table);
  EXPECT_TRUE(store_.AddEntryKeys(table, e, 4));
  store_.CloseIndexes(table);
  store_.CatalogHeader.EntryCount = 4;

  EXPECT_EQ(store_.IndexNext(browse), 4);  // "d" comes after "c"
  EXPECT_EQ(store_.IndexNext(browse), 3);
  EXPECT_EQ(store_.IndexPrev(browse), 4);
  store_.IndexClose(browse);
}

TEST_F(KeyIndexTest, MissingStaleAndEarlierLayoutIndexesAreRebuilt) {
  Build({"kiwi", "date", "lime"});
  const std::vector<float> order{2, 1, 3};
  EXPECT_EQ(WalkForward(Open()), order);  // was missing
  store_.indexLibrary().InitIndexes();

  int16_t h = Open();
  // Out of step: a key the data file does not have.
  ASSERT_EQ(store_.indexLibrary().AddKey(h, "zzz", 9), 0);
  store_.IndexClose(h);
  h = Open();
  EXPECT_EQ(WalkForward(h), order);
  store_.IndexClose(h);
  store_.indexLibrary().InitIndexes();

  // Indexes of the earlier layouts are ours, made anew without a word: the
  // first (no page checksums) and the second (checksums that did not name
  // the page's place: eight reserved bytes, the application id). Every
  // file looked at or opened on the way is closed again.
  auto openFiles = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
  const auto filesBefore = openFiles();
  for (int layout : {1, 2}) {
    std::filesystem::remove(File("FRUITX02.WDX"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(File("FRUITX02.WDX").c_str(), &db), SQLITE_OK);
    int reserve = 8;
    if (layout == 2) sqlite3_file_control(db, "main", SQLITE_FCNTL_RESERVE_BYTES, &reserve);
    const std::string sql = (layout == 2 ? "PRAGMA application_id = 1263946072;" : "") +
                            std::string("CREATE TABLE meta(k TEXT PRIMARY KEY, v);"
                                        "CREATE TABLE keys(ukey BLOB NOT NULL, entry INTEGER NOT NULL, key BLOB);"
                                        "INSERT INTO meta VALUES('count', 3);"
                                        "INSERT INTO meta VALUES('owner', CAST('FRUIT' AS BLOB));"
                                        "INSERT INTO meta VALUES('magic', 'kelvarin key index ") +
                            std::to_string(layout) + "');";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(WalkForward(Open()), order) << layout;
    EXPECT_TRUE(host_.MessageTexts().empty()) << layout;
    store_.indexLibrary().InitIndexes();
  }
  EXPECT_EQ(openFiles(), filesBefore);
}

// A file that the index code did not make is never replaced or removed.
TEST_F(KeyIndexTest, AFileThatIsNotAnIndexIsReportedAndLeftAsItIs) {
  Build({"kiwi", "date"});
  const std::string path = File("FRUITX02.WDX");
  const std::string notIndex = "ERROR OPENING INDEX FILE\r" + path +
                               "\rThe file is not a key index of this program; it has been left as it is.";
  for (const std::string& bytes :
       {std::string("left here by some other program"), std::string(),
        std::string("SQLite format 3\0", 16) + std::string(84, '\0') + std::string(8000, 'x')}) {
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    host_.AnswerMsgBox(platform::MsgAnswer::OK, notIndex);
    EXPECT_EQ(store_.OpenIndex(1, store_.CatalogHeader, "FRUIT", 0), -1);
    host_.AnswerMsgBox(platform::MsgAnswer::OK, notIndex);
    EXPECT_EQ(store_.OpenIndex(1, store_.CatalogHeader, "FRUIT", 1), -1);
    EXPECT_EQ(test_support::ReadFileBytes(path), bytes);
  }
  // Another program's SQLite database.
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  const std::string before = test_support::ReadFileBytes(path);
  host_.AnswerMsgBox(platform::MsgAnswer::OK, notIndex);
  EXPECT_EQ(store_.OpenIndex(1, store_.CatalogHeader, "FRUIT", 0), -1);
  EXPECT_EQ(test_support::ReadFileBytes(path), before);

  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  host_.AnswerMsgBox(platform::MsgAnswer::OK,
                     "ERROR OPENING INDEX FILE\r" + path + "\rA folder stands in the place of the file.");
  EXPECT_EQ(store_.OpenIndex(1, store_.CatalogHeader, "FRUIT", 0), -1);
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

// ORCHARD1 and ORCHARD2 would share the index file ORCHAR02.WDX. The first
// to claim it keeps it; the other gets ORCHARD2-02.WDX, so that switching
// between them rebuilds neither.
TEST_F(KeyIndexTest, CatalogsSharingSixLettersKeepAnIndexEach) {
  for (const char* name : {"ORCHARD1", "ORCHARD2"}) {
    CatalogBuilder cat(dir_.path(), name);
    cat.Field(0, "Code", 4).Field(1, "Name", 20, KindKey);
    bool first = std::string(name) == "ORCHARD1";
    cat.Entry({"1", first ? "pear" : "apple"});
    cat.Entry({"2", first ? "fig" : "quince"});
    ASSERT_TRUE(cat.Write());
  }
  EXPECT_EQ(store_.IndexPath("ORCHARD1", 1), store_.IndexPath("ORCHARD2", 1));
  auto stamp = [&](const char* file) {
    struct stat st {};
    ::stat(File(file).c_str(), &st);
    return std::to_string(st.st_ino) + "/" + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec);
  };
  std::string stamps;
  for (int round = 0; round < 2; ++round) {
    for (const char* name : {"ORCHARD1", "ORCHARD2"}) {
      ASSERT_TRUE(store_.OpenCatalog(name));
      int16_t h = Open();
      bool first = std::string(name) == "ORCHARD1";
      EXPECT_EQ(store_.indexLibrary().PathOf(h), File(first ? "ORCHAR02.WDX" : "ORCHARD2-02.WDX"));
      EXPECT_EQ(WalkForward(h), first ? (std::vector<float>{2, 1}) : (std::vector<float>{1, 2})) << name;
      EXPECT_EQ(store_.IndexFind(h, first ? "pear" : "quince"), 2 - first) << name;
      store_.IndexClose(h);
      store_.CloseCatalog();
      store_.indexLibrary().InitIndexes();
    }
    if (round == 0) stamps = stamp("ORCHAR02.WDX") + stamp("ORCHARD2-02.WDX");
  }
  EXPECT_EQ(stamp("ORCHAR02.WDX") + stamp("ORCHARD2-02.WDX"), stamps);  // neither made again

  // With ORCHARD1 gone, ORCHARD2 keeps the index of its own name.
  std::filesystem::remove(File("ORCHARD1.DAT"));
  ASSERT_TRUE(store_.OpenCatalog("ORCHARD2"));
  int16_t h = Open();
  EXPECT_EQ(store_.indexLibrary().PathOf(h), File("ORCHARD2-02.WDX"));
  store_.IndexClose(h);
}

TEST_F(KeyIndexTest, FailuresAreShown) {
  Build({"a"});
  store_.DataDir = File("missing-folder");
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "ERROR OPENING INDEX FILE\r" + File("missing-folder/FRUITX02.WDX") +
                                                  "\rThe folder does not exist.");
  EXPECT_EQ(store_.OpenIndex(1, store_.CatalogHeader, store_.CatalogName, 0), -1);
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "Error Closing Index File");
  store_.IndexClose(7);
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "Error Getting Key");
  EXPECT_EQ(store_.IndexFirst(7), -1);
  EXPECT_EQ(store_.IndexNext(7), 0);
}

}  // namespace
}  // namespace kelvarin::store
