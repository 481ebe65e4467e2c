#include <gtest/gtest.h>

#include "platform/model/model.h"
#include "platform/scripted/scripted_host.h"

namespace kelvarin::platform {
namespace {

class frmGrid : public Form {
 public:
  explicit frmGrid(Host& host) : Form(host, "frmGrid") {
    grd.RowColChange = [this] { changes.push_back(std::to_string(grd.Row()) + "," + std::to_string(grd.Col())); };
  }
  Grid grd{*this, "grdQV"};
  std::vector<std::string> changes;
};

TEST(ModelGrid, SettingRowOrColFromCodeRaisesRowColChangeAtOnceWhenTheCellChanges) {
  ScriptedHost host;
  frmGrid f(host);
  f.grd.SetRows(4);
  f.grd.SetCols(3);
  f.grd.SetRow(3);
  f.grd.SetCol(0);  // fixed cells can be made current from code
  f.grd.SetText("3");
  f.grd.SetRow(3);  // unchanged: no event
  EXPECT_FALSE(f.grd.SetRow(4));
  EXPECT_FALSE(f.grd.SetCol(-1));
  EXPECT_EQ(f.changes, (std::vector<std::string>{"3,1", "3,0"}));
  EXPECT_EQ(f.grd.TextMatrix(3, 0), "3");
}

TEST(ModelGrid, AHandlerSettingTheSameCellAgainDoesNotRecurse) {
  ScriptedHost host;
  frmGrid f(host);
  f.grd.SetRows(5);
  f.grd.SetCols(5);
  int calls = 0;
  f.grd.RowColChange = [&] {
    ++calls;
    int32_t r = f.grd.Row(), c = f.grd.Col();
    f.grd.SetCol(c);  // as a handler placing its edit box does
    f.grd.SetRow(r);
  };
  f.grd.SetRow(2);
  EXPECT_EQ(calls, 1);
}

TEST(ModelGrid, ClipReadsAndWritesTheSelection) {
  ScriptedHost host;
  frmGrid f(host);
  f.grd.SetRows(3);
  f.grd.SetCols(3);
  f.grd.SetSelStartRow(1);
  f.grd.SetSelEndRow(2);
  f.grd.SetSelStartCol(1);
  f.grd.SetSelEndCol(2);
  f.grd.SetClip("a\tb\rc\td");
  EXPECT_EQ(f.grd.TextMatrix(1, 1), "a");
  EXPECT_EQ(f.grd.TextMatrix(2, 2), "d");
  EXPECT_EQ(f.grd.Clip(), "a\tb\rc\td");
  f.grd.SetClip("x");  // too few parts: the rest keep their text
  EXPECT_EQ(f.grd.Clip(), "x\tb\rc\td");
  f.grd.SelectCell(2, 1);
  EXPECT_EQ(f.grd.Clip(), "c");
  f.grd.SetClip("new\textra\rmore");  // surplus dropped
  EXPECT_EQ(f.grd.TextMatrix(2, 1), "new");
  EXPECT_EQ(f.grd.TextMatrix(2, 2), "d");
  // Making another cell current collapses the selection onto it.
  f.grd.SetSelEndCol(2);
  f.grd.SetRow(2);
  EXPECT_EQ(f.grd.SelStartRow(), 2);
  EXPECT_EQ(f.grd.SelEndCol(), f.grd.Col());
}

TEST(ModelGrid, ResizingKeepsTextsAndMovesTheCurrentCellInside) {
  ScriptedHost host;
  frmGrid f(host);
  f.grd.SetRows(4);
  f.grd.SetCols(4);
  f.grd.SetTextMatrix(1, 1, "keep");
  f.grd.SetTextMatrix(3, 3, "gone");
  f.grd.SetRow(3);
  f.grd.SetTopRow(3);
  f.grd.SetRowHeight(1, 300);
  f.grd.SetRows(2);
  f.grd.SetCols(2);
  EXPECT_EQ(f.grd.TextMatrix(1, 1), "keep");
  EXPECT_EQ(f.grd.Row(), 1);
  EXPECT_EQ(f.grd.TopRow(), 1);
  f.grd.SetRows(4);
  EXPECT_EQ(f.grd.TextMatrix(3, 3), "");
  EXPECT_EQ(f.grd.RowHeight(3), 300);  // new rows take the last row's height
  EXPECT_EQ(f.grd.RowHeight(99), Grid::kDefaultRowHeight);
  EXPECT_FALSE(f.grd.SetRows(0));
  EXPECT_FALSE(f.grd.SetFixedRows(4));
  f.grd.SetColWidth(0, 6 * 165);
  EXPECT_EQ(f.grd.ColWidth(0), 990);
  f.grd.SetLeftCol(0);  // fixed columns never scroll
  EXPECT_EQ(f.grd.LeftCol(), 1);
}

TEST(ModelGrid, AUserClickFocusesTheGridThenChangesTheCellOnce) {
  ScriptedHost host;
  frmGrid f(host);
  TextBox edit(f, "Text1");
  f.grd.SetRows(5);
  f.grd.SetCols(3);
  f.grd.GotFocus = [&] { f.changes.push_back("focus"); };
  f.Show();
  edit.SetFocus();
  f.changes.clear();
  f.grd.UserSelectCell(3, 2);
  f.grd.UserSelectCell(0, 1);  // a fixed cell is not selectable
  EXPECT_EQ(f.changes, (std::vector<std::string>{"focus", "3,2"}));
  f.UserKey(key::kUp);
  EXPECT_EQ(f.changes.back(), "2,2");
  f.UserKey(key::kRight);  // last column: stays
  EXPECT_EQ(f.changes.size(), 3u);
}

}  // namespace
}  // namespace kelvarin::platform
