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

namespace kelvarin::platform {
namespace {

// A grid edited through a text box laid over the current cell, the way the
// Quick View window works: the form previews keys, Tab moves to the next
// column, a changed cell is written back when the current cell moves.
class frmEditGrid : public Form {
 public:
  explicit frmEditGrid(Host& host) : Form(host, "frmEditGrid") {
    SetKeyPreview(true);
    grd.SetRows(3);
    grd.SetCols(3);
    grd.SetTabStop(false);
    cmdOK.SetTabStop(false);
    cmdOK.SetDefault(true);
    cmdOK.SetCancel(true);
    grd.RowColChange = [this] { grd_RowColChange(); };
    KeyPress = [this](int16_t& k) {
      if (k == 9) {
        if (grd.Col() < grd.Cols() - 1) grd.SetCol(grd.Col() + 1);
        k = 0;
      }
    };
    KeyDown = [](int16_t& code, int16_t) {
      if (code == key::kUp || code == key::kDown) code = 0;
    };
    Text1.GotFocus = [this] {
      Text1.SetSelStart(0);
      Text1.SetSelLength(static_cast<int32_t>(Text1.Text().size()));
    };
    cmdOK.Click = [this] {
      Writeback();
      Hide();
    };
    Activate = [this] {
      ready = true;
      Place();
    };
  }
  void Place() {
    editRow = grd.Row();
    editCol = grd.Col();
    Text1.SetText(grd.Text());
    original = Text1.Text();
    Text1.SetFocus();
  }
  void Writeback() {
    if (Text1.Text() == original) return;
    grd.SelectCell(editRow, editCol);
    grd.SetClip(Text1.Text());
    written.push_back(std::to_string(editRow) + "," + std::to_string(editCol) + "=" + Text1.Text());
  }
  void grd_RowColChange() {
    if (!ready) return;
    Writeback();
    Place();
  }
  Grid grd{*this, "grdQV"};
  TextBox Text1{*this, "Text1"};
  CommandButton cmdOK{*this, "cmdOK"};
  bool ready = false;
  int32_t editRow = 0, editCol = 0;
  std::string original;
  std::vector<std::string> written;
};

TEST(ModelGrid, AnEditBoxOverTheGridWorksThroughTheKeyboardRouting) {
  ScriptedHost host;
  frmEditGrid f(host);
  f.grd.SetTextMatrix(1, 1, "old");
  host.OnShow("frmEditGrid", [](Form& form) {
    auto& g = static_cast<frmEditGrid&>(form);
    EXPECT_EQ(g.ActiveControl(), &g.Text1);
    EXPECT_EQ(g.Text1.SelLength(), 3);  // typing replaces the cell
    g.UserType("new");
    g.UserKey(key::kTab);  // next column: the old cell is written back
    g.UserKey(key::kDown);  // dropped by the form: nothing moves
    EXPECT_EQ(g.grd.Row(), 1);
    g.grd.UserSelectCell(2, 1);  // a click moves on; the focus comes back to the box
    g.Text1.SetFocus();
    g.UserType("x");
    g.UserKey(key::kEscape);
  });
  f.Show(ShowMode::Modal);
  EXPECT_EQ(f.written, (std::vector<std::string>{"1,1=new", "2,1=x"}));
  EXPECT_EQ(f.grd.TextMatrix(1, 1), "new");
  EXPECT_EQ(f.grd.TextMatrix(2, 1), "x");
  EXPECT_EQ(host.ExpectAllConsumed(), "");
}

}  // namespace
}  // namespace kelvarin::platform
