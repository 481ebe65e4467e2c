// Report formats through the whole program: Reports, Report Maintenance,
// a new format laid out with the mouse, selected for output.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "entry/program_fixture.h"
#include "reports/formats/frmRptMaintenance.h"
#include "reports/formats/frmRptSetup.h"
#include "store/frm_enter_name.h"

namespace kelvarin::test_support {
namespace {

using reports::frmRptMaintenance;
using reports::frmRptSetup;

class FormatsProgram : public ProgramTest {};

TEST_F(FormatsProgram, ANewFormatPlacedByMouseBecomesTheActiveLayoutColumnForColumn) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  ASSERT_TRUE(main().mnuRSelectLayout.Visible());
  EXPECT_EQ(main().mnuRSelectLayout.Caption(), "&Report Maintenance");

  const int32_t cw = st().AvgCharWidth, ch = st().CharHeight;
  auto click = [&](frmRptSetup& d, int column, int line) {
    d.UserMouseDown(platform::kLeftButton, 0, (column - 1) * cw + 1, (line - 1) * ch + 60);
  };
  host_.OnShowAs<frmRptMaintenance>("frmRptMaintenance", [](frmRptMaintenance& f) {
    f.cmdNew.UserClick();
    f.cmdOK.UserClick();
  });
  // Opened again: the new format is listed (and the buttons enabled).
  host_.OnShowAs<frmRptMaintenance>("frmRptMaintenance", [](frmRptMaintenance& f) {
    EXPECT_EQ(f.lstReport.Text(), "LIST1");
    f.lstReport.UserDoubleClick(f.lstReport.ListIndex());
    EXPECT_EQ(f.lblCurrentReport.Caption(), "LIST1");
    f.cmdOK.UserClick();
  });
  host_.OnShowAs<store::frmEnterName>("frmEnterName", [](store::frmEnterName& p) {
    p.txtName.UserType("list1");
    p.cmdOK.UserClick();
  });
  host_.OnShowAs<frmRptSetup>("frmRptSetup", [&](frmRptSetup& d) {
    d.Spin1.UserSpinUp();
    click(d, 1, 1);  // Title, 30 wide
    d.cboFieldName.UserSelect(3);
    click(d, 33, 1);  // Year, 4 wide
    d.cboFieldName.UserSelect(21);
    click(d, 5, 2);  // Entry #
    d.cmdOK.UserClick();
  });
  main().mnuRSelectLayout.UserClick();
  main().mnuRSelectLayout.UserClick();

  store::ReportLayout expected{};
  for (int i = 0; i < store::kReportColumns; ++i) {
    auto& c = expected[static_cast<size_t>(i)];
    c.Width = i < store::kFieldCount ? st().CatalogHeader.FieldLength[static_cast<size_t>(i)] : 6;
    c.LinesPerEntry = 2;
  }
  expected[0] = {30, 1, 1, 2};
  expected[3] = {4, 1, 33, 2};
  expected[21] = {6, 2, 5, 2};
  EXPECT_EQ(st().ActiveLayout, expected);
  EXPECT_EQ(st().ActiveLayoutHeader.ShowTitles, 0);
  EXPECT_EQ(st().CurrentReport, "LIST1");

  // What output reads back from the file is the same layout.
  store::ReportLayout reread{};
  store::ReportHeader header;
  ASSERT_TRUE(st().ReadReportFormat("LIST1", reread, header));
  EXPECT_EQ(reread, expected);
  std::ifstream in(dir_.File("LIST1.FMT"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}).size(), 276u);

  // The choice is the catalog's: it is there after the program starts again.
  program_->Quit();
  program_.reset();
  Start();
  EXPECT_EQ(st().CurrentReport, "LIST1");
}

}  // namespace
}  // namespace kelvarin::test_support
