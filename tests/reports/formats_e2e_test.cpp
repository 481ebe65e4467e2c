// A report format made in the designer, selected, and used by a List Range
// to an ASCII file: the file's lines are where the design put the fields.
#include <gtest/gtest.h>

#include <string>

#include "entry/program_fixture.h"
#include "reports/dialogs/frmListRange.h"
#include "reports/dialogs/frmReportDest.h"
#include "reports/formats/frmRptMaintenance.h"
#include "reports/formats/frmRptSetup.h"
#include "store/frm_enter_name.h"

namespace kelvarin::test_support {
namespace {

using reports::frmRptMaintenance;
using reports::frmRptSetup;

class FormatsEndToEnd : public ProgramTest {
 protected:
  void SetUp() override {
    WriteBooks();
    WriteIni("Database", "CurrentDB", "BOOKS");
    Start();
    ASSERT_EQ(st().CatalogName, "BOOKS");
  }

  // A left click in the designer's grid cell at column, line.
  void Click(frmRptSetup& d, int column, int line) {
    const int32_t cw = st().AvgCharWidth, ch = st().CharHeight;
    d.UserMouseDown(platform::kLeftButton, 0, (column - 1) * cw + cw / 2, (line - 1) * ch + ch / 2 + 30);
  }
  void Choose(frmRptSetup& d, int slot) { d.cboFieldName.UserSelect(slot); }
  void Narrow(frmRptSetup& d, int by) {
    for (int i = 0; i < by; ++i) d.Spin2.UserSpinDown();
  }

  // Report Maintenance: New (named name) laid out by design, OK; opened
  // again (New leaves the list's selection and buttons as they were): the
  // format picked in the list, Select, OK.
  void NewFormat(const std::string& name, std::function<void(frmRptSetup&)> design) {
    host_.OnShowAs<frmRptMaintenance>("frmRptMaintenance", [](frmRptMaintenance& f) {
      f.cmdNew.UserClick();
      f.cmdOK.UserClick();
    });
    host_.OnShowAs<store::frmEnterName>("frmEnterName", [name](store::frmEnterName& p) {
      p.txtName.UserType(name);
      p.cmdOK.UserClick();
    });
    host_.OnShowAs<frmRptSetup>("frmRptSetup", [design = std::move(design)](frmRptSetup& d) {
      design(d);
      d.cmdOK.UserClick();
    });
    main().mnuRSelectLayout.UserClick();
    host_.OnShowAs<frmRptMaintenance>("frmRptMaintenance", [](frmRptMaintenance& f) {
      ASSERT_EQ(f.lstReport.ListCount(), 1);
      f.lstReport.UserSelect(0);
      EXPECT_EQ(f.lstReport.Text(), "SHELF");
      f.cmdSelect.UserClick();
      EXPECT_EQ(f.lblCurrentReport.Caption(), "SHELF");
      f.cmdOK.UserClick();
    });
    main().mnuRSelectLayout.UserClick();
    ASSERT_EQ(st().CurrentReport, "SHELF");
  }

  // Report Setup with the ASCII file chosen, then a List Range of
  // first..last into path; the file's bytes.
  std::string ListToAscii(int first, int last, const std::string& path) {
    host_.OnShowAs<reports::frmReportDest>("frmReportDest", [](reports::frmReportDest& d) {
      d.optASCIIFile.UserClick();
      d.cmdOK.UserClick();
    });
    main().mnuOSetup.UserClick();
    EXPECT_EQ(st().CurrentReportDest, store::rdAsciiFile);
    host_.OnShowAs<reports::frmListRange>("frmListRange", [first, last](reports::frmListRange& f) {
      f.txtStartRec.UserSetText(std::to_string(first));
      f.txtEndRec.UserSetText(std::to_string(last));
      f.cmdOK.UserClick();
    });
    host_.AnswerSaveFile(path);
    host_.AnswerMsgBox(platform::MsgAnswer::OK);
    main().mnuVListRange.UserClick();
    EXPECT_EQ(host_.Failures(), "");
    return ReadFileBytes(path);
  }

  static std::string Blanks(size_t n) { return std::string(n, ' '); }
};

TEST_F(FormatsEndToEnd, TwoFieldsAndTheEntryNumberLandInTheColumnsTheDesignGaveThem) {
  NewFormat("shelf", [&](frmRptSetup& d) {
    d.Spin1.UserSpinUp();  // two lines an entry
    Choose(d, 1);          // Author, cut to 5 characters
    Narrow(d, 15);
    Click(d, 3, 1);
    Choose(d, 3);  // Year, 4 wide, one blank column after Author's range
    Click(d, 10, 1);
    Choose(d, 21);  // Entry #, six wide
    Click(d, 4, 2);
    EXPECT_EQ(d.lblXCoord.Caption(), "4");
    EXPECT_EQ(d.lblYCoord.Caption(), "2");
  });

  const std::string bytes = ListToAscii(1, 3, dir_.File("shelf.txt"));
  // Two lines an entry (the deleted entry 2 included, as a range lists
  // it), every line ended by CR LF and cut after its last character; the
  // totals follow.
  const std::string entries = "  Herbe  1965\r\n" + Blanks(3) + "1\r\n" +  //
                              "  Auste  1815\r\n" + Blanks(3) + "2\r\n" +  //
                              "  Joyce  1922\r\n" + Blanks(3) + "3\r\n";
  EXPECT_EQ(bytes.substr(0, entries.size()), entries);
  EXPECT_EQ(bytes.substr(entries.size()).rfind(" \r\n          TOTAL PRINTED: 3\r\n", 0), 0u);
}

TEST_F(FormatsEndToEnd, TitlesTakeTheirSixteenColumnsInTheFileAsInTheDesigner) {
  NewFormat("shelf", [&](frmRptSetup& d) {
    d.chkTitles.UserClick();
    Choose(d, 1);  // Author, 5 wide: with its title columns 1..21
    Narrow(d, 15);
    Click(d, 1, 1);
    Choose(d, 3);
    Click(d, 21, 1);  // would touch Author's title block: refused
    EXPECT_EQ(d.lblXCoord.Caption(), "0");
    Click(d, 22, 1);  // the earliest column beside it
    Choose(d, 21);
    Click(d, 5, 1);  // on Author's block: refused, so Entry # stays off
    EXPECT_EQ(d.lblYCoord.Caption(), "0");
  });
  EXPECT_EQ(st().ActiveLayoutHeader.ShowTitles, 1);
  EXPECT_EQ(st().ActiveLayout[3].Column, 22);
  EXPECT_EQ(st().ActiveLayout[21].Line, 0);

  // The field names are stored blank-padded to 14 characters.
  const std::string author = "Author" + Blanks(8) + ": ", yearTitle = "Year" + Blanks(10) + ": ";
  const std::string bytes = ListToAscii(1, 3, dir_.File("titles.txt"));
  const std::string entries = author + "Herbe" + yearTitle + "1965\r\n" + author + "Auste" + yearTitle + "1815\r\n" +
                              author + "Joyce" + yearTitle + "1922\r\n";
  EXPECT_EQ(bytes.substr(0, entries.size()), entries);
  EXPECT_EQ(bytes.substr(entries.size()).rfind(" \r\n          TOTAL PRINTED: 3\r\n", 0), 0u);
}

}  // namespace
}  // namespace kelvarin::test_support
