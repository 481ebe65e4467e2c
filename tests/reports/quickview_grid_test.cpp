// The Quick View window as the user sees it: columns, widths, the edit box
// over the current cell, the keyboard, mouse and scroll-bar moves.
#include "quickview_fixture.h"

namespace kelvarin::test_support {
namespace {

using platform::key::kDown;
using platform::key::kShift;
using platform::key::kTab;
using platform::key::kUp;
using reports::frmQView;

constexpr int32_t kCharW = 165;   // the scripted host's widest character
constexpr int32_t kRowH = 285;    // its least text-box height: entry rows are that tall
constexpr int32_t kPx = 15;

void Tab(frmQView& f, int times = 1) {
  for (int i = 0; i < times; ++i) f.UserKey(kTab);
}
void BackTab(frmQView& f) {
  f.UserKeyDown(kShift, platform::kShiftMask);
  f.UserKey(kTab, platform::kShiftMask);
  f.UserKeyUp(kShift, 0);
}
// The box lies exactly over cell (row, col) as the grid draws it.
void ExpectBoxOver(frmQView& f, int32_t row, int32_t col) {
  EXPECT_EQ(f.grdQV.Row(), row);
  EXPECT_EQ(f.grdQV.Col(), col);
  EXPECT_EQ(f.EditRow, row);
  EXPECT_EQ(f.EditCol, col);
  int32_t left = kPx + f.grdQV.ColWidth(0) + kPx;
  for (int32_t k = f.grdQV.LeftCol(); k < col; ++k) left += f.grdQV.ColWidth(k) + kPx;
  int32_t onView = row - f.grdQV.TopRow();
  EXPECT_EQ(f.Text1.Left(), left);
  EXPECT_EQ(f.Text1.Top(), frmQView::kHeaderRowHeight + onView * kRowH + (onView + 1) * kPx);
  EXPECT_EQ(f.Text1.Width(), f.grdQV.ColWidth(col));
  EXPECT_EQ(f.Text1.Height(), kRowH);
  EXPECT_TRUE(f.Text1.Visible());
  EXPECT_GE(onView, 0) << "the cell is on view";
  EXPECT_LE(f.Text1.Top() + f.Text1.Height(), f.grdQV.Height()) << "the cell is on view";
  EXPECT_EQ(f.Text1.Text(), f.grdQV.TextMatrix(row, col));
}

TEST_F(QuickViewTest, ColumnsFollowTheUsedSlotsWithWidthsFromLengthsAndNames) {
  Items(2);
  Start();
  View({2, 1}, [](frmQView& f) {
    ASSERT_EQ(f.grdQV.Cols(), 7);
    ASSERT_EQ(f.grdQV.Rows(), 3);
    EXPECT_EQ(f.Caption(), "Quick View");
    // Slot 1 is unused: column 2 shows slot 2.
    EXPECT_EQ((std::vector<int16_t>(f.ColumnField.begin() + 1, f.ColumnField.begin() + 7)),
              (std::vector<int16_t>{0, 2, 3, 4, 5, 6}));
    EXPECT_EQ(f.grdQV.TextMatrix(0, 0), "");
    EXPECT_EQ(f.grdQV.TextMatrix(0, 2), "Notes         ");
    EXPECT_EQ(f.grdQV.TextMatrix(0, 3), "Quantity Held ");
    // Length 40 is shown 20 wide (the column-width setting); length 5 with a
    // 13-character name is 13 wide; Price (8) keeps its length.
    EXPECT_EQ(f.grdQV.ColWidth(0), 6 * kCharW);
    EXPECT_EQ(f.grdQV.ColWidth(1), 20 * kCharW);
    EXPECT_EQ(f.grdQV.ColWidth(2), 20 * kCharW);
    EXPECT_EQ(f.grdQV.ColWidth(3), 13 * kCharW);
    EXPECT_EQ(f.grdQV.ColWidth(4), 8 * kCharW);
    EXPECT_EQ(f.grdQV.RowHeight(0), frmQView::kHeaderRowHeight);
    // Rows in the order handed over; computed Value = 2 x 2.
    EXPECT_EQ(f.grdQV.TextMatrix(1, 0), "2");
    EXPECT_EQ(f.grdQV.TextMatrix(1, 1), "Item02");
    EXPECT_EQ(f.grdQV.TextMatrix(1, 2), "note 02");
    EXPECT_EQ(f.grdQV.TextMatrix(1, 5), "4");
    EXPECT_EQ(f.grdQV.TextMatrix(2, 0), "1");
    EXPECT_EQ(f.grdQV.TextMatrix(2, 6), "C01");
    // The grid is 25 entry rows and 23 lines tall; the bar and the corner
    // follow it.
    EXPECT_EQ(f.grdQV.Height(), 25 * kRowH + 23 * kPx);
    EXPECT_EQ(f.HScroll1.Top(), f.grdQV.Height());
    EXPECT_EQ(f.VScroll1.Height(), f.grdQV.Height());
    EXPECT_EQ(f.Shape1.Top(), f.HScroll1.Top());
    EXPECT_GE(f.cmdOK.Top(), f.HScroll1.Top() + f.HScroll1.Height()) << "OK stays clear of the bar";
    EXPECT_EQ(f.HScroll1.Min(), 1);
    EXPECT_EQ(f.HScroll1.Max(), 5);
    EXPECT_EQ(f.grdQV.ColWidth(6), 6 * kCharW);
    EXPECT_EQ(f.grdQV.TextMatrix(0, 6), "Code          ");
    // The bar and the corner square to the right of the grid; the window,
    // grown for the taller rows, centred on the screen.
    EXPECT_EQ(f.VScroll1.Left(), 9120);
    EXPECT_EQ(f.Shape1.Left(), 9120);
    EXPECT_EQ(f.Shape1.ShapeKind(), 1);
    EXPECT_EQ(f.Left(), (1024 * 15 - f.Width()) / 2);
    EXPECT_EQ(f.Top(), (768 * 15 - f.Height()) / 2);
    f.cmdOK.UserClick();
  });
}

TEST_F(QuickViewTest, TheEditBoxTakesTheFieldLengthAndIsReadOnlyOnlyOverComputedFields) {
  Items(2);
  Start();
  View({1, 2}, [](frmQView& f) {
    ExpectBoxOver(f, 1, 1);
    EXPECT_EQ(f.Text1.MaxLength(), 20);
    EXPECT_FALSE(f.Text1.ReadOnly());
    EXPECT_EQ(f.Text1.SelLength(), 6) << "the whole text is selected, so typing replaces it";
    Tab(f);
    ExpectBoxOver(f, 1, 2);
    EXPECT_EQ(f.Text1.SelLength(), 7) << "after a move too";
    // Shown 20 wide, the box takes all 40.
    EXPECT_EQ(f.Text1.MaxLength(), 40);
    f.Text1.UserType(std::string(45, 'n'));
    EXPECT_EQ(f.Text1.Text(), std::string(40, 'n'));
    Tab(f, 3);
    EXPECT_EQ(f.grdQV.Col(), 5);
    EXPECT_TRUE(f.Text1.ReadOnly());
    f.Text1.UserType("99");
    EXPECT_EQ(f.Text1.Text(), "2");
    Tab(f);
    EXPECT_FALSE(f.Text1.ReadOnly());
    f.cmdOK.UserClick();
  });
  EXPECT_EQ(FileField(1, 2), std::string(40, 'n'));
  EXPECT_EQ(FileField(1, 1), "") << "the unused slot is untouched";
}

TEST_F(QuickViewTest, KeyboardMovesStopAtTheFourEdges) {
  Items(2);
  Start();
  View({1, 2}, [](frmQView& f) {
    f.UserKey(kUp);
    ExpectBoxOver(f, 1, 1);
    BackTab(f);
    ExpectBoxOver(f, 1, 1);
    f.UserKey(kDown);
    ExpectBoxOver(f, 2, 1);
    f.UserKey(kDown);
    ExpectBoxOver(f, 2, 1);
    Tab(f, 5);
    EXPECT_EQ(f.grdQV.Col(), 6);
    Tab(f);
    EXPECT_EQ(f.grdQV.Row(), 2);
    EXPECT_EQ(f.grdQV.Col(), 6);
    f.cmdOK.UserClick();
  });
}

TEST_F(QuickViewTest, TabWrapsToTheNextRowAndShiftTabGoesBackWithTheView) {
  Items(2);
  Start();
  View({1, 2}, [](frmQView& f) {
    Tab(f, 3);
    ExpectBoxOver(f, 1, 4);
    // The Price cell would start beyond the grid's right edge: the view moves.
    EXPECT_EQ(f.HScroll1.Value(), 2);
    EXPECT_EQ(f.grdQV.LeftCol(), 2);
    Tab(f);
    ExpectBoxOver(f, 1, 5);
    EXPECT_LE(f.Text1.Left() + f.Text1.Width(), f.grdQV.Width()) << "the whole cell is on view";
    Tab(f);
    ExpectBoxOver(f, 1, 6);
    Tab(f);
    ExpectBoxOver(f, 2, 1);
    EXPECT_EQ(f.grdQV.LeftCol(), 1);
    EXPECT_EQ(f.HScroll1.Value(), 1);
    // Back along row 2: no wrap to row 1; the view follows to the left.
    Tab(f, 5);
    int32_t left = f.grdQV.LeftCol();
    EXPECT_GT(left, 1);
    for (int i = 0; i < 6; ++i) BackTab(f);
    ExpectBoxOver(f, 2, 1);
    EXPECT_EQ(f.grdQV.LeftCol(), 1);
    EXPECT_EQ(f.HScroll1.Value(), 1);
    f.cmdOK.UserClick();
  });
}

TEST_F(QuickViewTest, RowsMoveOncePerReleaseAndNotWithShift) {
  Items(3);
  Start();
  View({1, 2, 3}, [](frmQView& f) {
    // Key repeat: several presses, one release.
    for (int i = 0; i < 3; ++i) f.UserKeyDown(kDown);
    f.UserKeyUp(kDown);
    ExpectBoxOver(f, 2, 1);
    f.UserKeyDown(kShift, platform::kShiftMask);
    f.UserKey(kDown, platform::kShiftMask);
    f.UserKey(kUp, platform::kShiftMask);
    EXPECT_TRUE(f.ShiftHeld);
    f.UserKeyUp(kShift, 0);
    EXPECT_FALSE(f.ShiftHeld);
    ExpectBoxOver(f, 2, 1);
    f.UserKey(kUp);
    ExpectBoxOver(f, 1, 1);
    f.cmdOK.UserClick();
  });
}

TEST_F(QuickViewTest, TheBoxFollowsTheCurrentRowPastTheBottomOfTheView) {
  Items(30);
  Start();
  View(Numbers(1, 30), [](frmQView& f) {
    for (int i = 0; i < 23; ++i) f.UserKey(kDown);
    ExpectBoxOver(f, 24, 1);
    EXPECT_EQ(f.grdQV.TopRow(), 1);
    f.UserKey(kDown);
    ExpectBoxOver(f, 25, 1);
    EXPECT_EQ(f.grdQV.TopRow(), 2);
    for (int i = 0; i < 10; ++i) f.UserKey(kDown);
    ExpectBoxOver(f, 30, 1);
    EXPECT_EQ(f.grdQV.TopRow(), 7);
    for (int i = 0; i < 29; ++i) f.UserKey(kUp);
    ExpectBoxOver(f, 1, 1);
    EXPECT_EQ(f.grdQV.TopRow(), 1);
    f.cmdOK.UserClick();
  });
}

TEST_F(QuickViewTest, ScrollRangesAndTheEntryCount) {
  Items(30);
  Start();
  View(Numbers(1, 30), [](frmQView& f) {
    EXPECT_EQ(f.VScroll1.Min(), 1);
    EXPECT_EQ(f.VScroll1.Max(), 7);
    EXPECT_EQ(f.lblEntries.Caption(), "30");
    EXPECT_EQ(f.lblDesc.Caption(), "Entries");
    f.cmdOK.UserClick();
  });
  View(Numbers(1, 10), [](frmQView& f) {
    EXPECT_EQ(f.VScroll1.Min(), 1);
    EXPECT_EQ(f.VScroll1.Max(), 1);
    f.cmdOK.UserClick();
  });
  View({7}, [](frmQView& f) {
    EXPECT_EQ(f.lblEntries.Caption(), "1");
    EXPECT_EQ(f.lblDesc.Caption(), "Entry");
    f.cmdOK.UserClick();
  });
  View({7, 8}, [](frmQView& f) {
    EXPECT_EQ(f.lblEntries.Caption(), "2");
    EXPECT_EQ(f.lblDesc.Caption(), "Entries");
    f.cmdOK.UserClick();
  });
}

TEST_F(QuickViewTest, ScrollingHidesTheBoxUntilTheUserComesBackToACell) {
  Items(30);
  Start();
  View(Numbers(1, 30), [](frmQView& f) {
    f.VScroll1.UserScrollTo(6);
    EXPECT_EQ(f.grdQV.TopRow(), 6);
    EXPECT_FALSE(f.Text1.Visible());
    // A row move brings the box back over a cell on view.
    f.UserKey(kDown);
    ExpectBoxOver(f, 2, 1);
    EXPECT_EQ(f.grdQV.TopRow(), 2);

    // A click after scrolling: the clicked cell, without the view jumping.
    f.VScroll1.UserScrollTo(7);
    f.grdQV.UserSelectCell(20, 3);
    EXPECT_EQ(f.grdQV.TopRow(), 7);
    ExpectBoxOver(f, 20, 3);
    EXPECT_EQ(f.ActiveControl(), &f.Text1) << "the grid hands the focus to the box";

    // The mouse wheel inside the grid scrolls like the bar.
    f.grdQV.UserScrollTo(3, f.grdQV.LeftCol());
    EXPECT_FALSE(f.Text1.Visible());
    EXPECT_EQ(f.VScroll1.Value(), 3);
    EXPECT_EQ(f.grdQV.TopRow(), 3);

    // The horizontal bar: the current column follows when it leaves the
    // view; otherwise the box moves with its cell.
    f.grdQV.UserSelectCell(4, 1);
    f.HScroll1.UserScrollTo(3);
    EXPECT_EQ(f.grdQV.LeftCol(), 3);
    ExpectBoxOver(f, 4, 3);
    f.UserKey(kTab);
    f.HScroll1.UserScrollTo(2);
    ExpectBoxOver(f, 4, 4);

    // A row move that cannot move still brings the hidden box back.
    f.grdQV.UserSelectCell(30, 1);
    f.VScroll1.UserScrollTo(1);
    EXPECT_FALSE(f.Text1.Visible());
    f.UserKey(kDown);
    EXPECT_TRUE(f.Text1.Visible());
    ExpectBoxOver(f, 30, 1);
    f.cmdOK.UserClick();
  });
}

TEST_F(QuickViewTest, AddListRowRefusesRowsOutsideTheTable) {
  Items(1);
  Start();
  reports::frmQView v(host_, st(), rs().QuickViewEntries);
  v.LoadForm();
  store::EntryRecord e = FileEntry(1);
  float n = 1, row = 1;
  ASSERT_TRUE(reports::AddListRow(v, n, e, row));
  float far = 4012, zero = 0, last = 4011;
  EXPECT_FALSE(reports::AddListRow(v, n, e, far));
  EXPECT_FALSE(reports::AddListRow(v, n, e, zero));
  EXPECT_EQ(v.grdQV.Rows(), 2);
  EXPECT_EQ(v.RowsFilled(), 1);
  ASSERT_TRUE(reports::AddListRow(v, n, e, last));
  EXPECT_EQ(rs().QuickViewEntries.Get(4011), 1.0f);
  EXPECT_EQ(v.grdQV.Rows(), 4012);
  v.UnloadForm();
}

TEST_F(QuickViewTest, AnEmptyGridShowsNothingToEditAndWritesNothing) {
  Items(2);
  Start();
  // Row 1 of an earlier run is still in the table.
  rs().QuickViewEntries.Set(1, 2);
  int writes = View({}, [](frmQView& f) {
    EXPECT_EQ(f.lblEntries.Caption(), "0");
    EXPECT_TRUE(f.Text1.ReadOnly());
    EXPECT_EQ(f.Text1.Text(), "");
    f.Text1.UserType("ghost");
    f.UserKey(platform::key::kReturn);
  });
  EXPECT_EQ(writes, 0);
  EXPECT_EQ(FileField(2, 0), Pad("Item02", 20));
}

}  // namespace
}  // namespace kelvarin::test_support
