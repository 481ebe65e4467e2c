// The report setup dialog: the order of OK's checks, what a refused OK has
// already stored, what OK writes, the switches, view-only access, and the
// destinations that cannot be chosen yet.
#include <string>

#include "dialogs_fixture.h"
#include "reports/dialogs/frmReportDest.h"

namespace kelvarin::test_support {
namespace {

using platform::Form;
using platform::MsgAnswer;
using reports::frmReportDest;

class ReportDestTest : public DialogTest {
 protected:
  ReportDestTest() {
    Field(0, "Title", 30, store::KindKey);
    store.CurrentReportDest = store::rdMonitor;
  }
  // Opens the dialog and plays `script` in it.
  void Open(const std::function<void(frmReportDest&)>& script) {
    frmReportDest dlg(host, store, [this](const std::string& text) { panel = text; });
    host.OnShow("frmReportDest", [&](Form&) { script(dlg); });
    dlg.Show(platform::ShowMode::Modal);
  }
  void SetBoxes(frmReportDest& d, const char* page, const char* top, const char* qv, const char* col) {
    d.txtPageLength.UserSetText(page);
    d.txtTopMargin.UserSetText(top);
    d.txtQVMaxLines.UserSetText(qv);
    d.txtQVColWidth.UserSetText(col);
  }
  std::string panel = "<untouched>";
};

struct Refusal {
  const char* page;
  const char* top;
  const char* qv;
  const char* col;
  const char* message;
  const char* box;  // the box that gets the focus
};

TEST_F(ReportDestTest, EachRefusalNamesTheFirstFaultKeepsTheDialogOpenAndFocusesItsBox) {
  const Refusal cases[] = {
      {"", "", "", "", "Page Length is blank.", "txtPageLength"},
      {"3", "", "", "", "Page length must be between 4 and 500.", "txtPageLength"},
      {"501", "0", "1", "3", "Page length must be between 4 and 500.", "txtPageLength"},
      {"6x", "0", "1", "3", "Page Length must be a whole number.", "txtPageLength"},
      {"60", "", "", "", "Top Margin is blank.", "txtTopMargin"},
      {"60", "61", "1", "3", "Top Margin must be between 0 and Page Length.", "txtTopMargin"},
      {"60", "-1", "1", "3", "Top Margin must be between 0 and Page Length.", "txtTopMargin"},
      {"60", "1.", "1", "3", "Top Margin must be a whole number.", "txtTopMargin"},
      {"60", "0", "", "", "Quick View max # of lines is blank.", "txtQVMaxLines"},
      {"60", "0", "4012", "3", "Quick View max # of lines must be between 1 and 4011.", "txtQVMaxLines"},
      {"60", "0", "9999", "3", "Quick View max # of lines must be between 1 and 4011.", "txtQVMaxLines"},
      {"60", "0", "1e3", "3", "Quick View max # of lines must be a whole number.", "txtQVMaxLines"},
      {"60", "0", "4011", "", "Quick View column width is blank.", "txtQVColWidth"},
      {"60", "0", "4011", "2", "Quick View column width must be between 3 and 64.", "txtQVColWidth"},
      {"60", "0", "4011", "65", "Quick View column width must be between 3 and 64.", "txtQVColWidth"},
      {"60", "0", "4011", "ab", "Quick View column width must be a whole number.", "txtQVColWidth"},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(std::string(c.page) + "|" + c.top + "|" + c.qv + "|" + c.col);
    host.ClearRecord();
    store.DialogResult = 7;
    host.AnswerMsgBox(MsgAnswer::OK, c.message);
    Open([&](frmReportDest& d) {
      SetBoxes(d, c.page, c.top, c.qv, c.col);
      d.txtQVColWidth.SetFocus();
      d.cmdOK.UserClick();
      EXPECT_TRUE(d.Visible());
      ASSERT_NE(d.ActiveControl(), nullptr);
      EXPECT_EQ(d.ActiveControl()->Name(), c.box);
      d.cmdCancel.UserClick();
    });
    EXPECT_EQ(host.MessageTexts().size(), 1u);
    EXPECT_EQ(store.DialogResult, -1);
    EXPECT_EQ(panel, "<untouched>");
    EXPECT_EQ(IniInt("Reports", "ReportDest"), -99);
  }
  EXPECT_FALSE(SavedSettings("BOOKS").has_value()) << "a refused OK saves nothing";
}

TEST_F(ReportDestTest, NumbersThatPassedBeforeARefusalStayStoredAfterCancel) {
  host.AnswerMsgBox(MsgAnswer::OK, "Top Margin must be between 0 and Page Length.");
  Open([&](frmReportDest& d) {
    SetBoxes(d, "10", "11", "5", "9");
    d.cmdOK.UserClick();
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(store.CurrentSettings.PageLength, 10);
  EXPECT_EQ(store.CurrentSettings.TopMargin, 0);
  EXPECT_EQ(store.CurrentSettings.QVMaxLines, 4011);
}

TEST_F(ReportDestTest, QuickViewZeroIsResetToOneWithTheFocus) {
  host.AnswerMsgBox(MsgAnswer::OK, "Quick View must be set to have at least one entry.");
  Open([&](frmReportDest& d) {
    SetBoxes(d, "60", "0", "0", "20");
    d.cmdOK.UserClick();
    EXPECT_EQ(d.txtQVMaxLines.Text(), "1");
    EXPECT_TRUE(d.txtQVMaxLines.HasFocus());
    d.cmdOK.UserClick();  // now accepted
  });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(store.CurrentSettings.QVMaxLines, 1);
}

TEST_F(ReportDestTest, BoundaryValuesAreAcceptedAndOkStoresWritesAndSaves) {
  store.CaseSensitive = true;
  Open([&](frmReportDest& d) {
    SetBoxes(d, "500", "99", "4011", "64");
    d.chkDashed.UserClick();
    d.chkColHeadings.UserClick();
    d.chkPageNum.UserClick();
    d.chkPrintMemos.UserClick();  // on by default: now off
    d.optLabels.UserClick();
    d.txtPageLength.UserClick();
    d.UserKey(platform::key::kReturn);  // Enter presses OK from a box
  });
  EXPECT_EQ(store.DialogResult, 0);
  const store::CatalogSettings& s = store.CurrentSettings;
  EXPECT_EQ(s.PageLength, 500);
  EXPECT_EQ(s.TopMargin, 99);
  EXPECT_EQ(s.QVMaxLines, 4011);
  EXPECT_EQ(s.QVColumnWidth, 64);
  EXPECT_EQ(s.DashedLine, 1);
  EXPECT_EQ(s.ColumnHeadings, 1);
  EXPECT_EQ(s.PageNumbers, 2);
  EXPECT_EQ(s.PrintMemos, 0);
  EXPECT_EQ(store.PaperMode, store::poLabels);
  EXPECT_EQ(store.CurrentReportDest, store::rdMonitor);
  EXPECT_EQ(panel, "MAIN WINDOW");
  EXPECT_EQ(IniInt("Reports", "ReportDest"), 0);
  auto saved = SavedSettings("BOOKS");
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->PageLength, 500);
  EXPECT_EQ(saved->PageNumbers, 2);
  EXPECT_EQ(saved->IgnoreCase, 0);
  EXPECT_EQ(saved->ReportName, "LIST");

  // Lower bounds, and the settings shown again at the next opening.
  Open([&](frmReportDest& d) {
    EXPECT_EQ(d.txtPageLength.Text(), "500");
    EXPECT_EQ(d.chkPageNum.Value(), 1);
    EXPECT_EQ(d.chkPrintMemos.Value(), 0);
    EXPECT_TRUE(d.optLabels.Value());
    SetBoxes(d, "4", "4", "1", "3");  // a margin equal to this OK's page length
    d.chkPageNum.UserClick();
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.CurrentSettings.PageLength, 4);
  EXPECT_EQ(store.CurrentSettings.TopMargin, 4);
  EXPECT_EQ(store.CurrentSettings.QVColumnWidth, 3);
  EXPECT_EQ(store.CurrentSettings.PageNumbers, 1);
}

TEST_F(ReportDestTest, NoSpaceGoesOnlyWithLockTopLine) {
  Open([&](frmReportDest& d) {
    EXPECT_FALSE(d.chkNoSpace.Enabled()) << "Lock Top Line is off";
    d.chkLockTop.UserClick();
    EXPECT_TRUE(d.chkNoSpace.Enabled());
    d.chkNoSpace.UserClick();
    d.chkLockTop.UserClick();  // off again: No Space cleared and disabled
    EXPECT_EQ(d.chkNoSpace.Value(), 0);
    EXPECT_FALSE(d.chkNoSpace.Enabled());
    d.chkLockTop.UserClick();
    EXPECT_EQ(d.chkNoSpace.Value(), 0);
    d.chkNoSpace.UserClick();
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.CurrentSettings.LockTopLine, 2);

  Open([&](frmReportDest& d) {
    EXPECT_EQ(d.chkLockTop.Value(), 1);
    EXPECT_EQ(d.chkNoSpace.Value(), 1);
    EXPECT_TRUE(d.chkNoSpace.Enabled());
    d.chkNoSpace.UserClick();
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.CurrentSettings.LockTopLine, 1);
}

TEST_F(ReportDestTest, NumberBoxesTakeDigitsAndBackspaceOnlyAndBeepOtherwise) {
  Open([&](frmReportDest& d) {
    d.txtPageLength.UserSetText("");
    d.txtPageLength.UserType("1a2");
    EXPECT_EQ(d.txtPageLength.Text(), "12");
    EXPECT_EQ(host.BeepCount(), 1);
    d.txtPageLength.UserType("-.");
    d.txtPageLength.UserTypeChar(8);
    EXPECT_EQ(d.txtPageLength.Text(), "1");
    EXPECT_EQ(host.BeepCount(), 3);
    d.txtTopMargin.UserSetText("");
    d.txtTopMargin.UserType("123");  // at most two characters
    EXPECT_EQ(d.txtTopMargin.Text(), "12");
    d.cmdCancel.UserClick();
  });
}

TEST_F(ReportDestTest, WithoutCatalogOkSavesNoSettingsFile) {
  store.CatalogName.clear();
  Open([&](frmReportDest& d) { d.cmdOK.UserClick(); });
  EXPECT_EQ(store.DialogResult, 0);
  EXPECT_EQ(IniInt("Reports", "ReportDest"), 0);
  for (const auto& entry : std::filesystem::directory_iterator(Path("")))
    EXPECT_NE(entry.path().extension(), ".SET") << entry.path();
}

TEST_F(ReportDestTest, ViewOnlyAccessLeavesOnlyCancel) {
  store.SecurityCode = -1;
  Open([&](frmReportDest& d) {
    EXPECT_FALSE(d.cmdOK.EffectiveEnabled());
    EXPECT_FALSE(d.cmdFonts.EffectiveEnabled());
    EXPECT_FALSE(d.optMonitor.EffectiveEnabled());
    EXPECT_FALSE(d.chkDashed.EffectiveEnabled());
    EXPECT_FALSE(d.optSingle.EffectiveEnabled());
    d.txtPageLength.UserClick();
    EXPECT_TRUE(d.txtPageLength.HasFocus()) << "the boxes can still be entered";
    d.txtPageLength.UserType("9");
    EXPECT_EQ(d.txtPageLength.Text(), "60");
    d.UserKey(platform::key::kReturn);  // no default button to press
    EXPECT_TRUE(d.Visible());
    d.UserKey(platform::key::kEscape);
  });
  EXPECT_EQ(store.DialogResult, -1);
  EXPECT_EQ(panel, "<untouched>");
}

TEST_F(ReportDestTest, DestinationsWithoutOutputAreDisabledButAStoredOneIsKept) {
  store.CurrentReportDest = store::rdPrinter;
  Open([&](frmReportDest& d) {
    EXPECT_TRUE(d.optMonitor.Enabled());
    platform::OptionButton* byDest[] = {&d.optMonitor, &d.optPrinter, &d.optQuickView, &d.optASCIIFile,
                                        &d.optDBase};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(byDest[i]->Enabled(), reports::kDestinationAvailable[i]) << i;
    EXPECT_TRUE(d.optPrinter.Value()) << "shown on although it cannot be picked";
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.CurrentReportDest, store::rdPrinter);
  EXPECT_EQ(panel, "PRINTER");

  Open([&](frmReportDest& d) {
    d.optMonitor.UserClick();
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(store.CurrentReportDest, store::rdMonitor);
  EXPECT_EQ(IniInt("Reports", "ReportDest"), 0);
}

TEST_F(ReportDestTest, DestinationOutsideTheRangeTurnsNoOptionOnAndIsWrittenBackUnchanged) {
  store.CurrentReportDest = 9;
  Open([&](frmReportDest& d) {
    for (platform::OptionButton* o : {&d.optMonitor, &d.optPrinter, &d.optQuickView, &d.optASCIIFile, &d.optDBase})
      EXPECT_FALSE(o->Value()) << o->Name();
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(panel, "<untouched>");
  EXPECT_EQ(IniInt("Reports", "ReportDest"), 9);
}

TEST_F(ReportDestTest, WithoutReportFormatTheOpeningWarnsAndPrinterAndFileAreDisabled) {
  store.CurrentReport.clear();
  host.AnswerMsgBox(MsgAnswer::OK,
                    "No report format selected. Printer and file output disabled.  Go to the Report Maintenance "
                    "screen and select a report format.");
  Open([&](frmReportDest& d) {
    EXPECT_FALSE(d.optPrinter.Enabled());
    EXPECT_FALSE(d.optASCIIFile.Enabled());
    EXPECT_TRUE(d.optMonitor.Enabled());
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(host.Transcript().front(),
            "MsgBox(OK,None,\"Kelvarin Your Catalog\"): No report format selected. Printer and file output "
            "disabled.  Go to the Report Maintenance screen and select a report format.");
}

TEST_F(ReportDestTest, FontChoiceTakesEffectAtOnceAndSurvivesCancel) {
  platform::FontChoice courier;
  courier.name = "Courier New";
  courier.size = 10;
  courier.weight = 700;
  host.AnswerFont(courier);
  host.AnswerFont(std::nullopt);
  Open([&](frmReportDest& d) {
    d.cmdFonts.UserClick();
    d.cmdFonts.UserClick();  // cancelled: nothing changes
    d.cmdCancel.UserClick();
  });
  EXPECT_EQ(store.ReportFontName, "Courier New");
  EXPECT_EQ(store.ReportFontSize, 10);
  EXPECT_TRUE(store.ReportFontFlags.Bold);
  EXPECT_EQ(host.Printer().Font().name, "Courier New");
  EXPECT_TRUE(host.Printer().Font().bold);
}

}  // namespace
}  // namespace kelvarin::test_support
