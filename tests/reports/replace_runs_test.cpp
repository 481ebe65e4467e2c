// Field Replace and Global Replace over a catalog on disk: what they write,
// the key indexes after them, the start entry, the gauge and its Cancel.
#include <sqlite3.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "reports/replace/field_text_replace.h"
#include "replace_fixture.h"

namespace kelvarin::test_support {
namespace {

using reports::ReplaceInField;

std::string Pad(std::string text, size_t length) { return ReplaceTest::Pad(std::move(text), length); }

TEST(ReplaceInFieldTest, ResultIsCutOrPaddedToTheFieldAndNeverHoldsANul) {
  std::string field = Pad("Dune", 8);
  // Growth past the field keeps the first characters.
  EXPECT_TRUE(ReplaceInField(field, 8, "une", "une Messiah", false));
  EXPECT_EQ(field, "Dune Mes");
  // Shrinking pads with blanks to the length.
  field = Pad("Dune Mes", 8);
  EXPECT_TRUE(ReplaceInField(field, 8, "une Mes", "", false));
  EXPECT_EQ(field, "D       ");
  // Trailing blanks are not searched.
  field = Pad("ab", 8);
  EXPECT_FALSE(ReplaceInField(field, 8, "b ", "x", false));
  EXPECT_EQ(field, Pad("ab", 8));
  // A NUL in the replacement ends the text there.
  field = Pad("abc", 6);
  EXPECT_TRUE(ReplaceInField(field, 6, "b", std::string("X\0Y", 3), false));
  EXPECT_EQ(field, "aX    ");
  EXPECT_EQ(field.find('\0'), std::string::npos);
  // Every occurrence; none in an unused slot.
  field = Pad("a-a-a", 6);
  EXPECT_TRUE(ReplaceInField(field, 6, "a", "bb", false));
  EXPECT_EQ(field, "bb-bb-");
  std::string one = "a";
  EXPECT_TRUE(ReplaceInField(one, 1, "a", "bc", false));
  EXPECT_EQ(one, "b");
  std::string unused = "a";
  EXPECT_FALSE(ReplaceInField(unused, 0, "a", "b", false));
  EXPECT_EQ(unused, "a");
  // A replacement the room cannot take is not made, nor told as made; a
  // blank field holds nothing, not even its blanks.
  field = Pad("a", 8);
  EXPECT_FALSE(ReplaceInField(field, 8, "a", std::string(300, 'x'), false) || field != Pad("a", 8));
  field = Pad("", 8);
  EXPECT_FALSE(ReplaceInField(field, 8, " ", "x", false));
}

TEST(ReplaceInFieldTest, CaseMattersOnlyWhenAskedAlsoForAccentedLetters) {
  std::string field = Pad("Caf\xe9 \xc9t\xe9", 12);  // "Café Été"
  EXPECT_FALSE(ReplaceInField(field, 12, "CAF\xc9", "Bar", true));
  EXPECT_FALSE(ReplaceInField(field, 12, "\xe9t\xe9", "x", true));
  EXPECT_TRUE(ReplaceInField(field, 12, "CAF\xc9", "Bar", false));
  EXPECT_TRUE(ReplaceInField(field, 12, "\xe9t\xe9", "Hiver", false));
  EXPECT_EQ(field, Pad("Bar Hiver", 12));
}

class ReplaceRunTest : public ReplaceTest {};

TEST_F(ReplaceRunTest, FieldReplaceWorksOnTheChosenSlotOnly) {
  Book("Old Man", "Old Author", "OLD", "old.bmp");
  Book("Sea", "Hemingway", "S1");
  Start();
  // The first list entry is slot 2 (slots 0 and 1 are unused).
  Replace("old", "New");
  EXPECT_EQ(Field(1, kTitle), Pad("New Man", 20));
  EXPECT_EQ(Field(1, kAuthor), Pad("Old Author", 12));
  EXPECT_EQ(Field(1, kCode), Pad("OLD", 6));
  EXPECT_EQ(Field(1, kMedia), Pad("old.bmp", 12));
  EXPECT_EQ(Field(2, kTitle), Pad("Sea", 20));
  // Afterwards the main window shows a blank new entry; no message.
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_EQ(st().CurrentEntryNumber, 3.0f);
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{});

  Replace("old", "Older", false, 1);  // Author
  EXPECT_EQ(Field(1, kAuthor), Pad("Older Author", 12));
  EXPECT_EQ(Field(1, kCode), Pad("OLD", 6));
}

TEST_F(ReplaceRunTest, GlobalReplaceChangesEveryFieldAlsoSlotTwenty) {
  Book("Old Man", "Old Author", "OLD", "old.bmp");
  Book("Sea", "Hemingway", "S1", "sea.wav", store::StatusDeleted);
  Start();
  Replace("old", "x", true);
  EXPECT_EQ(Field(1, kTitle), Pad("x Man", 20));
  EXPECT_EQ(Field(1, kAuthor), Pad("x Author", 12));
  EXPECT_EQ(Field(1, kCode), Pad("x", 6));
  EXPECT_EQ(Field(1, kMedia), Pad("x.bmp", 12));
  // Deleted entries are changed like the others and stay deleted.
  Replace(".wav", ".mid", true);
  EXPECT_EQ(Field(2, kMedia), Pad("sea.mid", 12));
  EXPECT_EQ(Stored(2).Status, store::StatusDeleted);
}

TEST_F(ReplaceRunTest, KeyIndexesFindTheNewTextAndNoLongerTheOld) {
  Book("Alpha", "A", "K1");
  Book("Bravo", "B", "K2");
  Book("Alpha Two", "C", "K3");
  Start();
  Replace("Alpha", "Zulu");
  EXPECT_EQ(FoundByKey(kTitle, "Alpha"), 0.0f);
  EXPECT_EQ(FoundByKey(kTitle, "Zulu Two"), 3.0f);
  EXPECT_EQ(IndexPairs(kTitle), (std::vector<std::pair<std::string, int32_t>>{
                                    {"Bravo", 2}, {"Zulu", 1}, {"Zulu Two", 3}}));
  // The other key field's index is untouched and still whole.
  EXPECT_EQ(IndexPairs(kCode),
            (std::vector<std::pair<std::string, int32_t>>{{"K1", 1}, {"K2", 2}, {"K3", 3}}));
  // The run closed what it opened: the next index opened gets the first
  // handle.
  const int16_t h = st().OpenIndex(kTitle, st().CatalogHeader, st().CatalogName, 0);
  EXPECT_EQ(h, 0);
  st().IndexClose(h);
  // A change of case alone is a change of key, also in the last key field.
  Replace("zulu", "ZULU");
  EXPECT_EQ(IndexPairs(kTitle), (std::vector<std::pair<std::string, int32_t>>{
                                    {"Bravo", 2}, {"ZULU", 1}, {"ZULU Two", 3}}));
  Replace("k", "k", true);
  EXPECT_EQ(IndexPairs(kCode), (std::vector<std::pair<std::string, int32_t>>{{"k1", 1}, {"k2", 2}, {"k3", 3}}));
}

TEST_F(ReplaceRunTest, TheStartEntryBoundsTheWalk) {
  Book("Same", "a");
  Book("Same", "b");
  Book("Same", "c");
  Start();
  Replace("Same", "Last", false, -1, "3");
  EXPECT_EQ(Field(1, kTitle), Pad("Same", 20));
  EXPECT_EQ(Field(2, kTitle), Pad("Same", 20));
  EXPECT_EQ(Field(3, kTitle), Pad("Last", 20));
  // Start 0: the read of entry 0 is refused, the walk goes on from 1.
  ExpectBox("Bad RecNum");
  Replace("Same", "All", false, -1, "0");
  EXPECT_EQ(Field(1, kTitle), Pad("All", 20));
  EXPECT_EQ(Field(2, kTitle), Pad("All", 20));
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{"Bad RecNum"});
}

TEST_F(ReplaceRunTest, NothingFoundBeepsAndEntriesThatDoNotChangeAreNotWritten) {
  Book("Dune", "Herbert");
  Book("Emma", "Austen");
  Book("Dune", "Again");
  Start();
  // A mark in entry 2's spare byte, which a rewrite would blank.
  const auto len = static_cast<size_t>(st().CatalogHeader.RecordLength);
  auto markAt = [&](float n) { return static_cast<std::streamoff>(static_cast<size_t>(n) * len + len - 1); };
  auto spareOf = [&](float n) {
    std::ifstream in(dir_.File("BOOKS.DAT"), std::ios::binary);
    in.seekg(markAt(n));
    return static_cast<char>(in.get());
  };
  {
    std::fstream f(dir_.File("BOOKS.DAT"), std::ios::binary | std::ios::in | std::ios::out);
    for (float n : {1.0f, 2.0f, 3.0f}) {
      f.seekp(markAt(n));
      f.put('Q');
    }
  }
  st().DropReadAhead();
  ExpectBox("No Matches Found");
  Replace("Zz", "Yy", true);
  EXPECT_EQ(host_.BeepCount(), 1);
  // The same text again is a match, but nothing to write.
  host_.ClearRecord();
  Replace("Dune", "Dune");
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{});
  EXPECT_EQ(spareOf(1), 'Q');
  Replace("Dune", "Dust");
  EXPECT_EQ(spareOf(1), ' ');
  EXPECT_EQ(spareOf(2), 'Q');
  EXPECT_EQ(spareOf(3), ' ');
}

TEST_F(ReplaceRunTest, TheCatalogsCaseSettingDecidesAlsoForAccentedLetters) {
  Book("Caf\xe9 cr\xe8me", "\xc9mile");
  Start();
  st().CaseSensitive = true;
  ExpectBox("No Matches Found");
  Replace("CAF\xc9", "Bar", true);
  EXPECT_EQ(Field(1, kTitle), Pad("Caf\xe9 cr\xe8me", 20));
  Replace("\xc9mile", "Zola", true);
  EXPECT_EQ(Field(1, kAuthor), Pad("Zola", 12));
  st().CaseSensitive = false;
  Replace("CAF\xc9 CR\xc8ME", "Th\xe9", true);
  EXPECT_EQ(Field(1, kTitle), Pad("Th\xe9", 20));
  EXPECT_EQ(FoundByKey(kTitle, "Th\xe9"), 1.0f);
}

TEST_F(ReplaceRunTest, FieldReplaceWorksOnSlotZero) {
  cat_ = CatalogBuilder(dir_.path(), "BOOKS");
  cat_.Field(0, "Name", 8).Field(1, "Other", 8);
  cat_.Entry({"abc", "abc"});
  Start();
  Replace("b", "-");
  EXPECT_EQ(Field(1, 0), "a-c     ");
  EXPECT_EQ(Field(1, 1), "abc     ");
  request().ReplaceField = store::kFieldCount;  // no slot beyond the last
  program_->searchReplace().FieldReplace();
}

TEST_F(ReplaceRunTest, AnIndexThatCannotBeOpenedStopsTheRunBeforeItsKeyChanges) {
  Book("Keep", "Old");
  Book("Old", "Old");
  Book("Keep", "Old");
  Start();
  // The Title index's file name is taken by a folder.
  std::filesystem::create_directory(st().IndexPath("BOOKS", kTitle));
  const std::string refusal = "ERROR OPENING INDEX FILE\r" + st().IndexPath("BOOKS", kTitle) +
                              "\rA folder stands in the place of the file.";
  ExpectBox(refusal);
  Replace("Old", "New", true);
  // Entry 1 changed no key and is written; entry 2 would change one.
  EXPECT_EQ(Field(1, kAuthor), Pad("New", 12));
  EXPECT_EQ(Field(2, kTitle), Pad("Old", 20));
  EXPECT_EQ(Field(2, kAuthor), Pad("Old", 12));
  EXPECT_EQ(Field(3, kAuthor), Pad("Old", 12));
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{refusal});
}

class ReplaceGaugeTest : public ReplaceTest {
 protected:
  void Long() {
    for (int i = 1; i <= 300; ++i) Book("Title " + std::to_string(i), "Needle");
  }
};

TEST_F(ReplaceGaugeTest, TheRunIsBusyAndCancelKeepsWhatWasRewritten) {
  Long();
  Start();
  // Yields: one after the dialog, then the gauge's every 3 entries.
  bool checked = false;
  host_.AtDoEvents(2, [&] {
    checked = true;
    EXPECT_FALSE(main().Enabled());
    EXPECT_EQ(host_.MousePointerShape(), platform::kPointerHourglass);
  });
  host_.CancelGaugeAfter(4);  // seen at entry 9, before it is read
  Replace("needle", "Pin", false, 1);
  EXPECT_TRUE(checked);
  EXPECT_EQ(Field(8, kAuthor), Pad("Pin", 12));
  EXPECT_EQ(Field(9, kAuthor), Pad("Needle", 12));
  EXPECT_EQ(Field(300, kAuthor), Pad("Needle", 12));
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{});
  EXPECT_TRUE(main().Enabled());
  EXPECT_EQ(host_.MousePointerShape(), platform::kPointerDefault);
  EXPECT_EQ(host_.ModelessForms().size(), 1u);  // the main window
  auto seen = host_.Transcript();
  EXPECT_NE(std::find(seen.begin(), seen.end(), "ShowModeless(frmGauge): Replacing ...."), seen.end());

  // Cancelled before any change: nothing found.
  host_.ClearRecord();
  host_.CancelGaugeAfter(2);
  ExpectBox("No Matches Found");
  Replace("needle", "Pin", true);
  EXPECT_EQ(Field(9, kAuthor), Pad("Needle", 12));
  seen = host_.Transcript();
  EXPECT_NE(std::find(seen.begin(), seen.end(), "ShowModeless(frmGauge): Replacing Globally...."), seen.end());
  EXPECT_EQ(host_.BeepCount(), 1);
}

TEST_F(ReplaceGaugeTest, TheGaugeCountsTheEntriesFromTheStart) {
  Long();
  Start();
  // 250 entries to walk: the gauge yields every 2 (251 would make it 3).
  ExpectBox("No Matches Found");
  Replace("nowhere", "x", false, -1, "51");
  EXPECT_EQ(host_.DoEventsCount(), 1 + 125);
}

// The key indexes failing at every moment of a replace: another program
// holding one (reading, writing), then the disk full after each further
// 9,000 bytes. Each failure is told once; every entry is old or new; and an
// index left out of step is never trusted again, by a walk kept open over
// the run nor by its next opening, even once another copy of the program
// made its key count right again.
TEST_F(ReplaceRunTest, AFailingIndexIsToldOnceAndNeverTrustedOutOfStep) {
  for (int n = 1; n <= 6; ++n)
    Book((n % 2 ? "Alpha " : "Beta ") + std::to_string(n), "A", "Alpha" + std::to_string(n));
  const char* holds[] = {"BEGIN; SELECT * FROM keys", "BEGIN IMMEDIATE", ""};
  int leftOutOfStep = 0;
  for (int round = 0;; ++round) {
    SCOPED_TRACE(round);
    program_.reset();
    for (const char* f : {"BOOKSX03.WDX", "BOOKSX06.WDX"}) std::filesystem::remove(dir_.File(f));
    Start();
    const std::string code = st().IndexPath("BOOKS", kCode);
    st().IndexClose(st().OpenIndex(kCode, st().CatalogHeader, "BOOKS", 0));
    const int16_t browse = st().OpenIndex(kTitle, st().CatalogHeader, "BOOKS", 0);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(st().IndexPath("BOOKS", kTitle).c_str(), &other), SQLITE_OK);
    sqlite3_exec(other, holds[std::min(round, 2)], nullptr, nullptr, nullptr);
    st().indexLibrary().FailWrites(round < 2 ? 0 : SQLITE_FULL, ENOSPC, (round - 2) * 9000);
    Replace("Alpha", "Omega", true);
    sqlite3_close(other);
    st().indexLibrary().FailWrites(0, 0);
    const std::vector<std::string> told = host_.MessageTexts();
    host_.ClearRecord();
    ASSERT_LE(told.size(), 1u);
    const std::string shown = told.empty() ? "" : told[0];
    const char* cause = round < 2 ? "\rThe file is in use by another program." : "\rThe disk is full.";
    EXPECT_TRUE(shown.ends_with(cause) || (round >= 2 && shown.empty())) << shown;
    int replaced = 0;
    for (int n = 1; n <= 6; ++n) replaced += Field(n, kCode) == "Omega" + std::to_string(n);
    EXPECT_TRUE(replaced == 6 || (replaced == 0 && !told.empty())) << replaced;
    leftOutOfStep += replaced == 6 && !told.empty();
    {  // the other copy: stray keys until the count is right, one of them changed in step
      platform::KeyIndexLibrary copy;
      platform::KeyIndexOpenInfo info;
      const int16_t h = copy.OpenNDX(code, 0, &info);
      for (int64_t k = info.keyCount; k < 6; ++k) copy.AddKey(h, "stray", 9);
      copy.DeleteKey(h, "stray", 9);
      copy.AddKey(h, "stray", 9);
    }
    std::vector<std::pair<std::string, float>> walked;
    for (float n = st().IndexFirst(browse); n > 0; n = st().IndexNext(browse))
      walked.emplace_back(store::Store::EntryKey(Stored(n), kTitle), n);
    st().IndexClose(browse);
    EXPECT_EQ(walked.size(), 6u);
    EXPECT_TRUE(std::is_sorted(walked.begin(), walked.end()));
    const auto codes = IndexPairs(kCode);
    EXPECT_EQ(codes.size(), 6u);
    for (const auto& [key, n] : codes) EXPECT_EQ(key, store::Store::EntryKey(Stored(n), kCode)) << n;
    EXPECT_TRUE(host_.MessageTexts().empty());
    if (round >= 2 && told.empty()) break;
  }
  EXPECT_GT(leftOutOfStep, 0);
}

TEST_F(ReplaceRunTest, AFailedWriteIsToldAndLeavesEntryAndKeysAsTheyWere) {
  Book("Alpha", "A");
  Book("Alpha", "B");
  Start();
  // The data file turns read-only under the store's file number.
  auto& files = st().files();
  const int16_t dat = st().DatFile;
  files.Close(dat);
  ASSERT_EQ(files.Open(dat, dir_.File("BOOKS.DAT"), platform::FileAccess::Read, platform::FileShare::NoClause,
                       platform::FileCreate::OpenExisting),
            0);
  st().DropReadAhead();
  // The failed write, then the old text put back (which fails the same way
  // on this handle), then closing the catalog's header on it.
  for (int i = 0; i < 3; ++i) host_.AnswerMsgBox(platform::MsgAnswer::OK);
  Replace("Alpha", "Omega");
  const auto texts = host_.MessageTexts();
  ASSERT_GE(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind("The entry could not be written", 0), 0u);
  EXPECT_EQ(Field(1, kTitle), Pad("Alpha", 20));
  EXPECT_EQ(Field(2, kTitle), Pad("Alpha", 20));
  EXPECT_EQ(IndexPairs(kTitle), (std::vector<std::pair<std::string, int32_t>>{{"Alpha", 1}, {"Alpha", 2}}));
}

}  // namespace
}  // namespace kelvarin::test_support
