// Cells written back from the Quick View grid: when a write happens, what
// the data file and the key indexes hold afterwards, and what stays as it
// was.
#include "quickview_fixture.h"

namespace kelvarin::test_support {
namespace {

using platform::key::kDown;
using platform::key::kTab;
using reports::frmQView;

TEST_F(QuickViewTest, AKeyFieldEditedAndLeftIsRekeyedUnderItsNewText) {
  Items(3);
  Start();
  int writes = View({1, 2, 3}, [](frmQView& f) {
    f.Text1.UserType("Zebra");
    f.UserKey(kDown);
    EXPECT_EQ(f.grdQV.TextMatrix(1, 1), "Zebra");
    // The code field, key of the second index: Tab to it and type.
    for (int i = 0; i < 5; ++i) f.UserKey(kTab);
    f.Text1.UserType("Q7");
    f.grdQV.UserSelectCell(3, 1);
    f.cmdOK.UserClick();
  });
  EXPECT_EQ(writes, 3) << "two changed cells, and OK over the third";
  EXPECT_EQ(FileField(1, 0), Pad("Zebra", 20));
  EXPECT_EQ(FileField(2, 6), Pad("Q7", 6));
  EXPECT_TRUE(HasKey(0, "Zebra", 1));
  EXPECT_FALSE(HasKey(0, "Item01", 1));
  EXPECT_TRUE(HasKey(6, "Q7", 2));
  EXPECT_FALSE(HasKey(6, "C02", 2));
  EXPECT_EQ(Keys(0).size(), 3u);
  EXPECT_EQ(Keys(6).size(), 3u);
  // Found through the index by the new text, as a search would.
  int16_t h = st().OpenIndex(0, st().CatalogHeader, st().CatalogName, 0);
  EXPECT_EQ(st().IndexFind(h, "zebra"), 1.0f);
  st().IndexClose(h);
}

TEST_F(QuickViewTest, OnlyTheOneFieldChangesAndADeletedEntryStaysDeleted) {
  Items(2);
  float gone = cat_.DeletedEntry({"Ghost", "", "was here", "3", "4", "", "G1"});
  Start();
  store::EntryRecord before = FileEntry(gone);
  View({gone}, [](frmQView& f) {
    f.UserKey(kTab);
    f.Text1.UserType("still here");
    f.cmdOK.UserClick();
  });
  store::EntryRecord after = FileEntry(gone);
  EXPECT_EQ(after.Status, store::StatusDeleted);
  EXPECT_EQ(after.FieldText[2], Pad("still here", 40));
  after.FieldText[2] = before.FieldText[2];
  EXPECT_EQ(after, before);
  EXPECT_TRUE(HasKey(0, "Ghost", static_cast<int>(gone)));
}

TEST_F(QuickViewTest, OkWritesTheCellUnderTheBoxTypedOrNot) {
  Items(2);
  Start();
  int writes = View({1, 2}, [](frmQView& f) {
    f.UserKey(kDown);
    f.Text1.UserType("Renamed");
    f.UserKey(platform::key::kReturn);
  });
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(FileField(2, 0), Pad("Renamed", 20));

  // Without typing the shown text is written again, padded to the field.
  writes = View({1, 2}, [](frmQView& f) { f.UserKey(platform::key::kEscape); });
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(FileField(1, 0), Pad("Item01", 20));
  EXPECT_EQ(Keys(0).size(), 2u);

  // Moving without typing writes nothing; a change of letter case counts.
  writes = View({1, 2}, [](frmQView& f) {
    f.UserKey(kTab);
    f.UserKey(kDown);
    f.grdQV.UserSelectCell(1, 1);
    f.Text1.UserType("ITEM01");
    f.grdQV.UserSelectCell(2, 1);
    f.cmdOK.UserClick();
  });
  EXPECT_EQ(writes, 2) << "the case change, then OK";
  EXPECT_EQ(FileField(1, 0), Pad("ITEM01", 20));
}

TEST_F(QuickViewTest, AVerticalScrollWritesFirstAndOkThenWritesNothing) {
  Items(30);
  Start();
  int writes = View(Numbers(1, 30), [this](frmQView& f) {
    f.Text1.UserType("Scrolled");
    f.VScroll1.UserScrollTo(4);
    EXPECT_EQ(FileField(1, 0), Pad("Scrolled", 20)) << "written before the rows moved";
    EXPECT_EQ(f.grdQV.TextMatrix(1, 1), "Scrolled");
    EXPECT_FALSE(f.Text1.Visible());
    f.cmdOK.UserClick();
  });
  EXPECT_EQ(writes, 1);
}

TEST_F(QuickViewTest, AComputedFieldIsNeverStored) {
  Items(2);
  Start();
  std::string stored = FileField(1, 5);
  int writes = View({1, 2}, [](frmQView& f) {
    for (int i = 0; i < 4; ++i) f.UserKey(kTab);
    ASSERT_EQ(f.grdQV.Col(), 5);
    f.cmdOK.UserClick();
  });
  EXPECT_EQ(writes, 0);
  EXPECT_EQ(FileField(1, 5), stored);
}

TEST_F(QuickViewTest, AFailedWriteIsToldAndTheCellShowsWhatTheFileHolds) {
  Items(2);
  Start();
  // The data file turns read-only under the window.
  const std::string dat = st().CatalogPath("STOCK", ".DAT");
  host_.AnswerMsgBox(platform::MsgAnswer::OK);
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "The change to entry 1 could not be saved.");
  auto reopen = [&](platform::FileAccess access) {
    st().files().Close(st().DatFile);
    ASSERT_EQ(st().files().Open(st().DatFile, dat, access, platform::FileShare::NoClause,
                                platform::FileCreate::OpenExisting),
              0);
    st().DropReadAhead();
  };
  View({1, 2}, [&](frmQView& f) {
    reopen(platform::FileAccess::Read);
    f.Text1.UserType("Lost");
    f.UserKey(kDown);
    EXPECT_EQ(f.grdQV.TextMatrix(1, 1), "Item01");
    f.UserKey(platform::key::kUp);
    EXPECT_EQ(f.Text1.Text(), "Item01");
    reopen(platform::FileAccess::ReadWrite);
    f.cmdOK.UserClick();
  });
  EXPECT_EQ(FileField(1, 0), Pad("Item01", 20));
  EXPECT_TRUE(HasKey(0, "Item01", 1));
  EXPECT_FALSE(HasKey(0, "Lost", 1));
  EXPECT_EQ(Keys(0).size(), 2u);

  // A data file that cannot be read at all: the cell goes back to its text.
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "The change to entry 2 could not be saved.");
  View({1, 2}, [&](frmQView& f) {
    f.UserKey(kDown);
    st().files().Close(st().DatFile);
    st().DropReadAhead();
    f.Text1.UserType("Unread");
    f.UserKey(platform::key::kUp);
    EXPECT_EQ(f.grdQV.TextMatrix(2, 1), "Item02");
    reopen(platform::FileAccess::ReadWrite);
    f.cmdOK.UserClick();
  });
}


TEST_F(QuickViewTest, TheCloseBoxLeavesLikeOkAndViewOnlyAccessWritesNothing) {
  Items(2);
  Start();
  int writes = View({1, 2}, [](frmQView& f) {
    f.Text1.UserType("Closed");
    f.UserClose();
    EXPECT_TRUE(f.Loaded()) << "hidden for the run to unload";
  });
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(FileField(1, 0), Pad("Closed", 20));

  st().SecurityCode = -1;
  writes = View({1, 2}, [](frmQView& f) {
    EXPECT_TRUE(f.Text1.ReadOnly());
    f.Text1.UserType("Nope");
    f.UserKey(kDown);
    EXPECT_TRUE(f.Text1.ReadOnly());
    f.cmdOK.UserClick();
  });
  EXPECT_EQ(writes, 0);
  EXPECT_EQ(FileField(1, 0), Pad("Closed", 20));
}

}  // namespace
}  // namespace kelvarin::test_support
