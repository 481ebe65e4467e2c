#include <gtest/gtest.h>

#include "formats_fixture.h"

namespace kelvarin::test_support {
namespace {

using platform::kLeftButton;
using platform::kRightButton;
using platform::MsgAnswer;
using reports::frmRptSetup;
using Strings = std::vector<std::string>;

// One cell is 90 twips wide and 195 high (the scripted host's font).
constexpr int32_t kCw = 90, kCh = 195;

class Designer : public FormatsTest {
 protected:
  // A click in the middle of the cell at (column, line) as the grid shows it.
  static void ClickCell(frmRptSetup& d, int32_t column, int32_t line, int16_t button = kLeftButton) {
    d.UserMouseDown(button, 0, (column - 1) * kCw + kCw / 2, (line - 1) * kCh + kCh / 2);
  }
  static std::string Coords(frmRptSetup& d) { return d.lblXCoord.Caption() + "," + d.lblYCoord.Caption(); }
  store::ReportColumn& Col(int i) { return store.EditLayout[static_cast<size_t>(i)]; }
  // The fields whose labels show the selected colours.
  static std::vector<int> Highlighted(frmRptSetup& d) {
    std::vector<int> out;
    for (int16_t i = 0; i < 22; ++i)
      if (d.lblField(i).BackColor() == platform::kBlack) out.push_back(i);
    return out;
  }
};

TEST_F(Designer, AFormatWithNothingPlacedLoadsWithLabelsHiddenAndCoordinatesZero) {
  store.EditLayout = Layout({});
  Design([&](frmRptSetup& d) {
    for (int16_t i = 0; i < 22; ++i) EXPECT_FALSE(d.lblField(i).Visible()) << i;
    EXPECT_EQ(Coords(d), "0,0");
    EXPECT_EQ(d.panFieldLength.Caption(), "30");
    EXPECT_EQ(d.panNumLines.Caption(), "1");
    EXPECT_EQ(d.cboFieldName.ListCount(), 22);
    EXPECT_EQ(d.cboFieldName.List(0), Padded("Title"));
    EXPECT_EQ(d.cboFieldName.List(3), store.FieldDefs[3].FieldName);  // unused slots too
    EXPECT_EQ(d.cboFieldName.List(21), "Entry #");
    // Choosing another field never places it.
    d.cboFieldName.UserSelect(21);
    EXPECT_EQ(Coords(d), "0,0");
    EXPECT_EQ(d.panFieldLength.Caption(), "6");
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.EditLayout, Layout({}));
  EXPECT_EQ(store.DialogResult, 0);
}

TEST_F(Designer, LoadShowsPlacedLabelsWhereTheirColumnsAreAndOnlyTheFirstSelected) {
  store.EditLayout = Layout({{0, 10, 1, 1}, {2, 8, 3, 20}, {21, 6, 2, 5}}, 3);
  Design([&](frmRptSetup& d) {
    EXPECT_TRUE(d.lblField(0).Visible());
    EXPECT_TRUE(d.lblField(2).Visible());
    EXPECT_TRUE(d.lblField(21).Visible());
    EXPECT_FALSE(d.lblField(1).Visible());
    EXPECT_EQ(d.lblField(2).Left(), 19 * kCw);
    EXPECT_EQ(d.lblField(2).Top(), 2 * kCh);
    EXPECT_EQ(d.lblField(2).Width(), 8 * kCw);
    EXPECT_EQ(d.lblField(21).Caption(), "Entry #");
    EXPECT_EQ(Highlighted(d), std::vector<int>{0});
    EXPECT_EQ(Coords(d), "1,1");
    EXPECT_EQ(d.linRptEnd.Y1(), 3 * kCh);
    EXPECT_EQ(d.linRptEnd.Y2(), 3 * kCh);
    // Clicking a label selects its field.
    d.lblField(2).UserMouseDown(kLeftButton, 0, 5, 5);
    EXPECT_EQ(d.cboFieldName.ListIndex(), 2);
    EXPECT_EQ(Highlighted(d), std::vector<int>{2});
    EXPECT_EQ(Coords(d), "20,3");
    d.lblField(0).UserMouseDown(kRightButton, 0, 5, 5);
    EXPECT_EQ(d.cboFieldName.ListIndex(), 2);
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(store.DialogResult, -1);
}

TEST_F(Designer, MouseClickPlacesTheChosenFieldOnlyInsideTheDesignArea) {
  store.EditLayout = Layout({}, 2);
  Design([&](frmRptSetup& d) {
    d.cboFieldName.UserSelect(1);
    d.UserMouseDown(kLeftButton, 0, 500, 50);       // the top edge
    d.UserMouseDown(kLeftButton, 0, 500, 2 * kCh);  // on the marker
    ClickCell(d, 5, 1, kRightButton);
    EXPECT_EQ(Col(1).Line, 0);
    EXPECT_FALSE(d.lblField(1).Visible());
    d.UserMouseDown(kLeftButton, 0, 4 * kCw, 51);
    EXPECT_EQ(Col(1), (store::ReportColumn{20, 1, 5, 2}));
    EXPECT_TRUE(d.lblField(1).Visible());
    EXPECT_EQ(Highlighted(d), std::vector<int>{1});
    EXPECT_EQ(Coords(d), "5,1");
    // A placed field moves to the clicked cell; a negative x counts as 0.
    d.UserMouseDown(kLeftButton, 0, -300, 2 * kCh - 1);
    EXPECT_EQ(Col(1), (store::ReportColumn{20, 2, 1, 2}));
    // Another field may not touch it.
    d.cboFieldName.UserSelect(0);
    ClickCell(d, 21, 2);  // 1 + 20 reaches column 21
    EXPECT_EQ(Col(0).Line, 0);
    ClickCell(d, 22, 2);
    EXPECT_EQ(Col(0), (store::ReportColumn{30, 2, 22, 2}));
    EXPECT_EQ(Highlighted(d), std::vector<int>{0});
    d.cmdOK.UserClick();
  });
}

TEST_F(Designer, MouseClicksCountColumnsFromTheScrolledGrid) {
  store.EditLayout = Layout({});
  Design([&](frmRptSetup& d) {
    for (int k = 0; k < 10; ++k) d.cmdScrLeft.UserClick();
    ClickCell(d, 1, 1);
    EXPECT_EQ(Col(0).Column, 11);
    EXPECT_EQ(d.lblField(0).Left(), 0);
    d.cmdScrRight.UserClick();
    EXPECT_EQ(d.lblField(0).Left(), kCw);
    EXPECT_EQ(Coords(d), "11,1");
    EXPECT_EQ(d.grdDesign.FirstColumn(), 10);
    d.cmdOK.UserClick();
  });
}

TEST_F(Designer, PointerShapesFollowTheMouse) {
  store.EditLayout = Layout({{0, 10, 1, 1}}, 2);
  Design([&](frmRptSetup& d) {
    d.UserMouseMove(0, 0, 100, 100);
    EXPECT_EQ(d.MousePointer(), platform::kPointerCross);
    d.UserMouseMove(0, 0, 100, 2 * kCh + 10);
    EXPECT_EQ(d.MousePointer(), platform::kPointerDefault);
    d.UserMouseMove(0, 0, 100, 40);
    EXPECT_EQ(d.MousePointer(), platform::kPointerDefault);
    d.lblField(0).UserMouseMove(0, 0, 1, 1);
    EXPECT_EQ(d.lblField(0).MousePointer(), platform::kPointerArrow);
    d.cmdOK.UserClick();
  });
}

TEST_F(Designer, CollisionRuleLeavesOneBlankColumnAndTitlesTakeSixteen) {
  store.EditLayout = Layout({{1, 5, 1, 1}});
  Design([&](frmRptSetup& d) {
    EXPECT_TRUE(d.FieldOverlaps(0, 6, 1));
    EXPECT_FALSE(d.FieldOverlaps(0, 7, 1));
    EXPECT_FALSE(d.FieldOverlaps(0, 6, 2));
    EXPECT_FALSE(d.FieldOverlaps(1, 1, 1));  // a field never collides with itself
    // Left of it: column 1 - 30 - 1 is the nearest free start for Title (30).
    EXPECT_TRUE(d.FieldOverlaps(0, -29, 1));
    EXPECT_FALSE(d.FieldOverlaps(0, -30, 1));
    d.chkTitles.UserClick();
    EXPECT_TRUE(d.FieldOverlaps(0, 21, 1));
    EXPECT_FALSE(d.FieldOverlaps(0, 22, 1));
    EXPECT_EQ(d.lblField(1).Width(), (5 + 16) * kCw);
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.EditLayoutHeader.ShowTitles, 1);
}

TEST_F(Designer, TitlesRefusedWhenTwoFieldsAreTooCloseNamingTheFirst) {
  // Ten columns apart: legal without titles.
  store.EditLayout = Layout({{2, 5, 1, 1}, {4, 5, 1, 16}, {21, 6, 2, 1}});
  host.AnswerMsgBox(MsgAnswer::OK, "Price is too close to another field. Increase spacing.");
  Design([&](frmRptSetup& d) {
    d.chkTitles.UserClick();
    EXPECT_EQ(d.chkTitles.Value(), 0);
    EXPECT_EQ(store.EditLayoutHeader.ShowTitles, 0);
    EXPECT_EQ(d.lblField(2).Width(), 5 * kCw);
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(host.Transcript(),
            (Strings{"ShowModal(frmRptSetup): Edit Report Format", "Beep",
                     "MsgBox(OK,Exclamation,\"Kelvarin Your Catalog\"): Price is too close to another field. "
                     "Increase spacing."}));
  EXPECT_EQ(store.EditLayoutHeader.ShowTitles, 0);
}

TEST_F(Designer, AFormatStoredWithCollidingTitlesLoadsWithTheMessageAndTitlesOff) {
  store.EditLayout = Layout({{0, 5, 1, 1}, {1, 5, 1, 10}});
  store.EditLayoutHeader.ShowTitles = 1;
  host.AnswerMsgBox(MsgAnswer::OK, "Title is too close to another field. Increase spacing.");
  Design([&](frmRptSetup& d) {
    EXPECT_EQ(d.chkTitles.Value(), 0);
    EXPECT_EQ(Highlighted(d), std::vector<int>{0});
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.EditLayoutHeader.ShowTitles, 0);
}

TEST_F(Designer, WidthStaysWithinOneAndTheFieldAndNeverTouchesANeighbour) {
  store.EditLayout = Layout({{4, 1, 1, 1}, {2, 5, 1, 9}, {21, 10, 2, 1}});
  Design([&](frmRptSetup& d) {
    d.cboFieldName.UserSelect(4);  // Shelf, 6 long, width 1 at column 1
    d.Spin2.UserSpinDown();
    EXPECT_EQ(Col(4).Width, 1);
    for (int k = 0; k < 10; ++k) d.Spin2.UserSpinUp();
    // 1 + 6 would reach column 7; Price starts at 9: 6 is the widest.
    EXPECT_EQ(Col(4).Width, 6);
    EXPECT_EQ(d.panFieldLength.Caption(), "6");
    EXPECT_EQ(d.lblField(4).Width(), 6 * kCw);
    d.cboFieldName.UserSelect(2);
    d.Spin2.UserSpinDown();
    d.Spin2.UserSpinDown();
    EXPECT_EQ(Col(2).Width, 3);
    EXPECT_EQ(d.panFieldLength.Caption(), "3");
    EXPECT_EQ(d.lblField(2).Width(), 3 * kCw);
    d.cboFieldName.UserSelect(4);
    d.Spin2.UserSpinUp();  // still 6: the field's length is the limit now
    EXPECT_EQ(Col(4).Width, 6);
    d.cboFieldName.UserSelect(2);
    for (int k = 0; k < 10; ++k) d.Spin2.UserSpinUp();
    EXPECT_EQ(Col(2).Width, 8);  // Price's length
    d.cboFieldName.UserSelect(21);
    for (int k = 0; k < 3; ++k) d.Spin2.UserSpinUp();
    EXPECT_EQ(Col(21).Width, 11);
    d.cboFieldName.UserSelect(3);  // an unused slot cannot be widened
    d.Spin2.UserSpinUp();
    EXPECT_EQ(Col(3).Width, 0);
    d.cmdOK.UserClick();
  });
}

TEST_F(Designer, WideningIntoANeighbourIsUndoneAndTheReadoutKeepsTheOldWidth) {
  store.EditLayout = Layout({{0, 5, 1, 1}, {1, 5, 1, 7}});
  Design([&](frmRptSetup& d) {
    d.Spin2.UserSpinUp();  // 1..7 would touch 7
    EXPECT_EQ(Col(0).Width, 5);
    EXPECT_EQ(d.panFieldLength.Caption(), "5");
    d.cmdOK.UserClick();
  });
}

TEST_F(Designer, ArrowsMoveOneCellWithinTheirLimitsAndAroundNeighbours) {
  store.EditLayout = Layout({{0, 5, 1, 1}, {1, 5, 2, 7}}, 2);
  Design([&](frmRptSetup& d) {
    d.cmdUp.UserClick();
    d.cmdLeft.UserClick();
    EXPECT_EQ(Col(0), (store::ReportColumn{5, 1, 1, 2}));
    d.cmdDown.UserClick();  // line 2 holds Author at 7: 1..6 is clear
    EXPECT_EQ(Col(0).Line, 2);
    d.cmdDown.UserClick();  // the last line
    EXPECT_EQ(Col(0).Line, 2);
    d.cmdRight.UserClick();  // 2..7 would touch 7
    EXPECT_EQ(Col(0).Column, 1);
    d.cmdUp.UserClick();
    for (int k = 0; k < 100; ++k) d.cmdRight.UserClick();
    EXPECT_EQ(Col(0), (store::ReportColumn{5, 1, 91, 2}));
    EXPECT_EQ(Coords(d), "91,1");
    EXPECT_EQ(d.lblField(0).Left(), 90 * kCw);
    // An unplaced field does not move.
    d.cboFieldName.UserSelect(2);
    d.cmdDown.UserClick();
    d.cmdRight.UserClick();
    EXPECT_EQ(Col(2).Line, 0);
    EXPECT_EQ(Col(2).Column, 0);
    d.cmdOK.UserClick();
  });
}

TEST_F(Designer, AFieldBelowLoweredLinesComesBackUpButNoFurtherDown) {
  store.EditLayout = Layout({{0, 5, 3, 1}}, 3);
  Design([&](frmRptSetup& d) {
    d.Spin1.UserSpinDown();
    d.Spin1.UserSpinDown();
    d.Spin1.UserSpinDown();
    EXPECT_EQ(store.EditLayout[0].LinesPerEntry, 1);
    EXPECT_EQ(d.panNumLines.Caption(), "1");
    EXPECT_EQ(d.linRptEnd.Y1(), kCh);
    EXPECT_EQ(Col(0).Line, 3);  // stays where it was
    d.cmdDown.UserClick();
    EXPECT_EQ(Col(0).Line, 3);
    d.cmdUp.UserClick();
    EXPECT_EQ(Col(0).Line, 2);
    for (int k = 0; k < 25; ++k) d.Spin1.UserSpinUp();
    EXPECT_EQ(store.EditLayout[0].LinesPerEntry, 21);
    EXPECT_EQ(d.linRptEnd.Y1(), 21 * kCh);
    d.cmdOK.UserClick();
  });
}

TEST_F(Designer, RemoveUnplacesButKeepsTheWidthAndReselectingDoesNotPlaceAgain) {
  store.EditLayout = Layout({{0, 12, 2, 4}, {1, 5, 1, 1}}, 2);
  Design([&](frmRptSetup& d) {
    d.cmdRemove.UserClick();
    EXPECT_FALSE(d.lblField(0).Visible());
    EXPECT_EQ(Col(0), (store::ReportColumn{12, 0, 0, 2}));
    EXPECT_EQ(Coords(d), "0,0");
    d.cboFieldName.UserSelect(1);
    d.cboFieldName.UserSelect(0);
    d.cmdUp.UserClick();
    EXPECT_EQ(Col(0), (store::ReportColumn{12, 0, 0, 2}));
    EXPECT_EQ(Coords(d), "0,0");
    d.cmdRemove.UserClick();  // nothing to remove
    d.cmdScrLeft.UserClick();
    EXPECT_EQ(Col(0).Line, 0);
    EXPECT_FALSE(d.lblField(0).Visible());
    d.cmdOK.UserClick();
  });
}

TEST_F(Designer, ScrollingStopsAtNinetyColumnsAndAtTheStartWithABeep) {
  store.EditLayout = Layout({{0, 5, 1, 100}});
  Design([&](frmRptSetup& d) {
    d.cmdScrRight.UserClick();
    EXPECT_EQ(host.BeepCount(), 1);
    EXPECT_EQ(d.ScrollOffset(), 0);
    for (int k = 0; k < 90; ++k) d.cmdScrLeft.UserClick();
    EXPECT_EQ(host.BeepCount(), 1);
    d.cmdScrLeft.UserClick();  // the 91st
    EXPECT_EQ(host.BeepCount(), 2);
    EXPECT_EQ(d.ScrollOffset(), -90);
    EXPECT_EQ(d.lblField(0).Left(), 9 * kCw);
    EXPECT_EQ(Coords(d), "100,1");
    EXPECT_EQ(Col(0).Column, 100);
    // Scrolled to the end, the grid's last cell is column 255.
    EXPECT_GE(d.grdDesign.Width(), 165 * kCw);
    EXPECT_EQ(d.grdDesign.FirstColumn(), 91);
    d.cboFieldName.UserSelect(21);
    d.UserMouseDown(kLeftButton, 0, 164 * kCw + 10, 100);
    EXPECT_EQ(Col(21).Column, 255);
    d.cmdOK.UserClick();
  });
}

}  // namespace
}  // namespace kelvarin::test_support
