// Key indexes under damage, faults and long rebuilds: damage is found and
// mended, failed writes are told, a rebuild shows its gauge and can be
// cancelled without leaving half an index.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>

#include "platform/model/form.h"
#include "store_fixture.h"

namespace kelvarin::store {
namespace {

using test_support::CatalogBuilder;

class KeyIndexFaultTest : public StoreTest {
 protected:
  // Slot 0 is the key field; returns the entry numbers in key order.
  std::vector<float> Build(int entries, uint32_t seed = 7) {
    CatalogBuilder cat(dir_.path(), "PLANTS");
    cat.Field(0, "Name", 12, KindKey).Field(1, "Note", 4);
    std::mt19937 rng(seed);
    std::vector<std::pair<std::string, float>> order;
    for (int n = 1; n <= entries; ++n) {
      std::string key;
      for (int k = 0, len = 4 + static_cast<int>(rng() % 8); k < len; ++k)
        key.push_back(static_cast<char>((rng() % 2 ? 'a' : 'A') + rng() % 26));
      cat.Entry({key, "x"});
      std::string upper = key;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      order.emplace_back(upper, static_cast<float>(n));
    }
    EXPECT_TRUE(cat.Write());
    EXPECT_TRUE(store_.OpenCatalog("PLANTS"));
    std::sort(order.begin(), order.end());
    std::vector<float> numbers;
    for (auto& o : order) numbers.push_back(o.second);
    return numbers;
  }
  int16_t Open() { return store_.OpenIndex(0, store_.CatalogHeader, "PLANTS", 0); }
  std::vector<float> Walk(int16_t h) {
    std::vector<float> out;
    for (float n = store_.IndexFirst(h); n > 0; n = store_.IndexNext(h)) out.push_back(n);
    return out;
  }
  std::string Path() const { return File("PLANTS01.WDX"); }
  // Closes every handle and connection, as a new start of the program would.
  void Restart() {
    for (int16_t h = 0; h < 8; ++h) store_.indexLibrary().CloseNDX(h);
    store_.indexLibrary().InitIndexes();
  }
  bool TempFilesLeft() const {
    for (auto& f : std::filesystem::directory_iterator(dir_.path()))
      if (f.path().filename().string().find(".new-") != std::string::npos) return true;
    return false;
  }
};

// One page of the index overwritten, at 20 places: with random bytes, with
// another page of it (the two swapped), or with the page at the same place
// of another catalog's index. The walk either never needs the page or finds
// the damage, reports it and goes on over the index built again; either way
// it is complete and in order, and the index the next start opens is sound.
TEST_F(KeyIndexFaultTest, DamageAtAnyPageIsFoundAndMended) {
  Build(100000, 8);
  store_.IndexClose(Open());
  Restart();
  const std::string other = test_support::ReadFileBytes(Path());
  std::filesystem::remove(Path());
  const std::vector<float> order = Build(100000);
  int16_t h = Open();
  ASSERT_GE(h, 0);
  store_.IndexClose(h);
  Restart();
  const std::string pristine = test_support::ReadFileBytes(Path());
  const size_t pages = std::min(pristine.size(), other.size()) / 4096;
  ASSERT_GT(pages, 100u);
  std::mt19937 rng(20261207);
  int found = 0;
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const size_t page = rng() % pages;
    std::string damaged = pristine;
    const size_t swap = (page + 1 + rng() % (pages - 1)) % pages;
    for (size_t i = 0; i < 4096; ++i) {
      char& c = damaged[page * 4096 + i];
      if (round % 3 == 1) std::swap(c, damaged[swap * 4096 + i]);
      else c = round % 3 ? other[page * 4096 + i] : static_cast<char>(rng());
    }
    ASSERT_TRUE(test_support::WriteFileBytes(Path(), damaged));
    host_.ClearRecord();

    h = Open();
    ASSERT_GE(h, 0) << "page " << page;
    EXPECT_EQ(Walk(h), order) << "page " << page;
    store_.IndexClose(h);
    const std::vector<std::string> messages = host_.MessageTexts();
    for (const std::string& m : messages)
      EXPECT_EQ(m.rfind("Error Getting Key\r" + Path() + "\rThe index file is damaged", 0), 0u) << m;
    EXPECT_LE(messages.size(), 1u);
    found += !messages.empty();
    if (!messages.empty()) {
      EXPECT_NE(test_support::ReadFileBytes(Path()), damaged);
    }

    Restart();
    host_.ClearRecord();
    h = Open();
    EXPECT_EQ(Walk(h), order);
    store_.IndexClose(h);
    // Sound, and still the catalog's: neither told nor built again.
    EXPECT_TRUE(host_.Transcript().empty()) << "page " << page;
    Restart();
  }
  // Nearly every page holds keys: most rounds must have met the damage.
  EXPECT_GE(found, 15);
  host_.ClearRecord();
}

TEST_F(KeyIndexFaultTest, WalkingBackwardsAndFindingAlsoMendDamage) {
  const std::vector<float> order = Build(20000, 11);
  int16_t h = Open();
  store_.IndexClose(h);
  Restart();
  std::string bytes = test_support::ReadFileBytes(Path());
  // Damage every other page past the first few: any walk meets it at once.
  for (size_t page = 4; page * 4096 < bytes.size(); page += 2) bytes[page * 4096 + 100] ^= 0x55;
  ASSERT_TRUE(test_support::WriteFileBytes(Path(), bytes));

  h = Open();
  ASSERT_GE(h, 0);
  std::vector<float> back;
  for (float n = store_.IndexPrev(h); n > 0; n = store_.IndexPrev(h)) back.push_back(n);
  std::reverse(back.begin(), back.end());
  EXPECT_EQ(back, order);
  ASSERT_EQ(host_.MessageTexts().size(), 1u);
  store_.IndexClose(h);
  Restart();

  ASSERT_TRUE(test_support::WriteFileBytes(Path(), bytes));
  host_.ClearRecord();
  h = Open();
  EntryRecord e;
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, order[12345], store_.DatFile));
  EXPECT_EQ(store_.IndexFind(h, e.FieldText[0]), order[12345]);
  EXPECT_EQ(host_.MessageTexts().size(), 1u);
  store_.IndexClose(h);
  host_.ClearRecord();
}

// The user may cancel the repair a walk starts, or the disk fill during it:
// the damaged index goes, so the next open builds it rather than trusting it.
TEST_F(KeyIndexFaultTest, AnUnfinishedRepairLeavesNoDamagedIndexBehind) {
  const std::vector<float> order = Build(3000, 5);
  for (bool cancel : {true, false}) {
    SCOPED_TRACE(cancel);
    int16_t h = Open();
    store_.IndexClose(h);
    Restart();
    std::string bytes = test_support::ReadFileBytes(Path());
    for (size_t page = bytes.size() / 4096 / 2; page * 4096 < bytes.size(); ++page) bytes[page * 4096 + 9] ^= 0x20;
    ASSERT_TRUE(test_support::WriteFileBytes(Path(), bytes));

    h = Open();
    ASSERT_GE(h, 0);
    std::vector<std::string> told{"Error Getting Key\r" + Path() +
                                  "\rThe index file is damaged. It is built again from the catalog."};
    if (!cancel) told.push_back("Error Getting Key\r" + Path() + "\rThe disk is full.");
    if (cancel) host_.CancelGaugeAfter(1);
    else store_.indexLibrary().FailWrites(SQLITE_FULL, ENOSPC, 4096);
    const std::vector<float> walked = Walk(h);
    store_.indexLibrary().FailWrites(0, 0);
    EXPECT_LT(walked.size(), order.size());
    EXPECT_EQ(host_.MessageTexts(), told);
    EXPECT_FALSE(std::filesystem::exists(Path()));
    store_.IndexClose(h);
    Restart();
    host_.ClearRecord();
    h = Open();
    EXPECT_EQ(Walk(h), order);
    EXPECT_TRUE(host_.MessageTexts().empty());
    store_.IndexClose(h);
  }
}

TEST_F(KeyIndexFaultTest, ARebuildShowsTheGaugeAndCanBeCancelled) {
  const std::vector<float> order = Build(1000);
  // The window the user works in waits while the gauge is up.
  platform::Form window(host_, "frmMain");
  window.Show(platform::ShowMode::Modeless);
  host_.ClearRecord();
  bool waited = false;
  host_.AtDoEvents(1, [&] { waited = !window.Enabled(); });
  int16_t h = Open();
  EXPECT_TRUE(waited);
  EXPECT_TRUE(window.Enabled());
  store_.IndexClose(h);
  std::filesystem::remove(Path());
  Restart();
  host_.ClearRecord();

  host_.CancelGaugeAfter(3);
  EXPECT_EQ(Open(), -1);  // cancelled: nothing to tell
  EXPECT_EQ(host_.Transcript(), (std::vector<std::string>{"ShowModeless(frmGauge): Rebuilding Key Index....",
                                                          "Pointer(11)", "Hide(frmGauge)", "Pointer(0)"}));
  // No half index: the next open builds it again, whole.
  Restart();
  platform::KeyIndexOpenInfo info;
  int16_t raw = store_.indexLibrary().OpenNDX(Path(), 0, &info);
  EXPECT_EQ(info.keyCount, 0);
  store_.indexLibrary().CloseNDX(raw);
  h = Open();
  EXPECT_EQ(Walk(h), order);
  store_.IndexClose(h);
  Restart();

  // A stale index whose rebuild is cancelled stays as it was, to be built
  // again next time.
  h = store_.OpenIndex(0, store_.CatalogHeader, "PLANTS", 0);
  ASSERT_EQ(store_.indexLibrary().AddKey(h, "stray", 5000), 0);
  store_.IndexClose(h);
  Restart();
  host_.CancelGaugeAfter(2);
  EXPECT_EQ(Open(), -1);
  EXPECT_FALSE(TempFilesLeft());
  h = Open();
  EXPECT_EQ(Walk(h), order);
  store_.IndexClose(h);
}

TEST_F(KeyIndexFaultTest, FailedKeyChangesAndOpensTellTheFileAndTheCause) {
  Build(20);
  KeyIndexTable table;
  store_.OpenKeyIndexes(table);
  ASSERT_GE(table.Items[1].Handle, 0);
  EntryRecord e;
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 3, store_.DatFile));

  store_.indexLibrary().FailWrites(SQLITE_FULL, ENOSPC);
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "Error Saving Key\r" + Path() + "\rThe disk is full.");
  EXPECT_FALSE(store_.AddEntryKeys(table, e, 3));
  store_.indexLibrary().FailWrites(SQLITE_READONLY, EROFS);
  host_.AnswerMsgBox(platform::MsgAnswer::OK,
                     "Error Deleting Key\r" + Path() + "\rThe file or its folder is read-only.");
  EXPECT_FALSE(store_.DeleteEntryKeys(table, e, 3));
  store_.indexLibrary().FailWrites(0, 0);
  EXPECT_EQ(store_.indexLibrary().KeyCount(table.Items[1].Handle), 20);  // both rolled back
  store_.CloseIndexes(table);
  Restart();

  // Building an index on a full disk, part way through.
  std::filesystem::remove(Path());
  store_.indexLibrary().FailWrites(SQLITE_FULL, ENOSPC, 4096);
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "ERROR OPENING INDEX FILE\r" + Path() + "\rThe disk is full.");
  EXPECT_EQ(Open(), -1);
  EXPECT_FALSE(TempFilesLeft());
  EXPECT_FALSE(std::filesystem::exists(Path()));
  store_.indexLibrary().FailWrites(0, 0);
  int16_t h = Open();
  EXPECT_EQ(store_.indexLibrary().KeyCount(h), 20);
  store_.IndexClose(h);
}

TEST_F(KeyIndexFaultTest, ARebuildThatCannotWriteTellsWhy) {
  const std::vector<float> order = Build(500);
  int16_t h = Open();
  ASSERT_EQ(store_.indexLibrary().AddKey(h, "stray", 9999), 0);  // out of step
  store_.IndexClose(h);
  Restart();
  store_.indexLibrary().FailWrites(SQLITE_FULL, ENOSPC, 8192);
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "ERROR OPENING INDEX FILE\r" + Path() + "\rThe disk is full.");
  EXPECT_EQ(Open(), -1);
  store_.indexLibrary().FailWrites(0, 0);
  EXPECT_FALSE(TempFilesLeft());
  h = Open();
  EXPECT_EQ(Walk(h), order);
  store_.IndexClose(h);

  // Without a data file there is nothing to build from.
  Restart();
  h = Open();
  ASSERT_EQ(store_.indexLibrary().AddKey(h, "stray", 9999), 0);
  store_.IndexClose(h);
  Restart();
  std::filesystem::rename(File("PLANTS.DAT"), File("PLANTS.OLD"));
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "ERROR OPENING INDEX FILE\r" + Path() + "\r" + File("PLANTS.DAT") +
                                                  ": File not found");
  EXPECT_EQ(Open(), -1);
  std::filesystem::rename(File("PLANTS.OLD"), File("PLANTS.DAT"));

  for (auto [slot, name] : {std::pair{-1, "PLANTS"}, {kFieldCount, "PLANTS"}, {0, ""}}) {
    host_.AnswerMsgBox(platform::MsgAnswer::OK, "ERROR OPENING INDEX FILE");
    EXPECT_EQ(store_.OpenIndex(slot, store_.CatalogHeader, name, 0), -1);
  }
}

// A data file cut short keeps the keys of its whole entries.
TEST_F(KeyIndexFaultTest, ADataFileShorterThanItsCountGivesTheKeysItHas) {
  Build(6);
  store_.CloseCatalog();
  const std::string dat = test_support::ReadFileBytes(File("PLANTS.DAT"));
  DatHeader header = store_.CatalogHeader;
  const size_t len = static_cast<size_t>(header.RecordLength);
  ASSERT_TRUE(test_support::WriteFileBytes(File("PLANTS.DAT"), dat.substr(0, len * 4 + len / 2)));
  header.EntryCount = 6;  // as the header still says
  int16_t h = store_.OpenIndex(0, header, "PLANTS", 0);
  ASSERT_GE(h, 0);
  EXPECT_EQ(store_.indexLibrary().KeyCount(h), 3);
  store_.IndexClose(h);

  // The key table's handles are all closed, the first one too.
  ASSERT_TRUE(test_support::WriteFileBytes(File("PLANTS.DAT"), dat));
  ASSERT_TRUE(store_.OpenCatalog("PLANTS"));
  Restart();
  KeyIndexTable table;
  store_.OpenKeyIndexes(table);
  ASSERT_EQ(table.Items[1].Handle, 0);
  store_.CloseIndexes(table);
  EXPECT_EQ(store_.indexLibrary().CloseNDX(0), platform::kKeyBadHandle);
}

}  // namespace
}  // namespace kelvarin::store
