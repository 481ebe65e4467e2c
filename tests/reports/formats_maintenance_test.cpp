#include <gtest/gtest.h>

#include "formats_fixture.h"

namespace kelvarin::test_support {
namespace {

using platform::MsgAnswer;
using reports::frmRptMaintenance;
using reports::frmRptSetup;
using Strings = std::vector<std::string>;

class FormatMaintenance : public FormatsTest {};

TEST_F(FormatMaintenance, EmptyDirectoryOffersOnlyNewAndANewFormatIsListedUnselected) {
  AnswerPrompt("rep1");
  InDesigner([](frmRptSetup& d) { d.cmdOK.UserClick(); });
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(Items(f.lstReport), Strings{});
    EXPECT_EQ(EnabledButtons(f), "New");
    f.cmdNew.UserClick();
    EXPECT_EQ(Items(f.lstReport), Strings{"REP1"});
    EXPECT_EQ(f.lstReport.ListIndex(), -1);
    EXPECT_EQ(EnabledButtons(f), "New");  // until the form is opened again
  });
  // The default layout: field lengths as widths (0 for the unused slots),
  // "Entry #" six wide, nothing placed, one line, no titles.
  EXPECT_EQ(ReadBytes("REP1.FMT"), FmtBytes(Layout({}), 0));
  EXPECT_EQ(host.Transcript(), (Strings{"ShowModal(frmRptMaintenance): Report Maintenance",
                                        "ShowModal(frmEnterName): New Report",
                                        "ShowModal(frmRptSetup): Edit Report Format  (REP1)"}));
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(f.lstReport.Text(), "REP1");
    EXPECT_EQ(EnabledButtons(f), "Select Edit Report New Copy Rename Delete");
  });
}

TEST_F(FormatMaintenance, NewTakesTheFieldLengthsOfTheCatalogOpenNow) {
  Field(3, "Year", 4);
  Field(1, "Author", 0);
  AnswerPrompt("B");
  InDesigner([](frmRptSetup& d) { d.cmdOK.UserClick(); });
  Maintain([&](frmRptMaintenance& f) { f.cmdNew.UserClick(); });
  store::ReportLayout expected = Layout({});
  EXPECT_EQ(expected[1].Width, 0);
  EXPECT_EQ(expected[3].Width, 4);
  EXPECT_EQ(ReadBytes("B.FMT"), FmtBytes(expected, 0));
}

TEST_F(FormatMaintenance, NewStartsFromTheDefaultLayoutNotFromTheFormatEditedBefore) {
  WriteBytes("A.FMT", FmtBytes(Layout({{0, 10, 2, 5}, {21, 4, 1, 1}}, 3), 1));
  InDesigner([](frmRptSetup& d) { d.cmdOK.UserClick(); });
  AnswerPrompt("B");
  InDesigner([&](frmRptSetup& d) {
    EXPECT_EQ(store.EditLayout, Layout({}));
    EXPECT_EQ(store.EditLayoutHeader.ShowTitles, 0);
    d.cmdOK.UserClick();
  });
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(f.Caption(), "Report Maintenance");
    EXPECT_EQ(f.lblCurrent.Caption(), "Current Report:");
    f.cmdDesign.UserClick();
    f.cmdNew.UserClick();
  });
  EXPECT_EQ(ReadBytes("B.FMT"), FmtBytes(Layout({}), 0));
}

TEST_F(FormatMaintenance, EnterOrEscapeCloseTheForm) {
  for (int16_t key : {platform::key::kReturn, platform::key::kEscape}) {
    host.OnShowAs<frmRptMaintenance>("frmRptMaintenance", [key](frmRptMaintenance& f) { f.UserKey(key); });
    frmRptMaintenance form(host, store);
    form.Show(platform::ShowMode::Modal);
    EXPECT_FALSE(form.Loaded());
  }
}

TEST_F(FormatMaintenance, CancelInThePromptOrTheDesignerLeavesDirectoryAndListAlone) {
  WriteBytes("A.FMT", FmtBytes(Layout({{0, 10, 1, 1}}), 0));
  const std::set<std::string> before = DirFiles();
  AnswerPrompt(std::nullopt);
  AnswerPrompt("NEWONE");
  InDesigner([](frmRptSetup& d) { d.cmdCancel.UserClick(); });
  AnswerPrompt("NEWTWO");
  // The close box is a Cancel too, although the prompt before it left
  // DialogResult at 0.
  InDesigner([](frmRptSetup& d) { d.UserClose(); });
  AnswerPrompt(std::nullopt);
  AnswerPrompt(std::nullopt);
  Maintain([&](frmRptMaintenance& f) {
    f.cmdNew.UserClick();
    f.cmdNew.UserClick();
    f.cmdNew.UserClick();
    f.cmdCopy.UserClick();
    f.cmdRename.UserClick();
    EXPECT_EQ(Items(f.lstReport), Strings{"A"});
  });
  EXPECT_EQ(DirFiles(), before);
}

TEST_F(FormatMaintenance, ANameExistsWhateverItsLetterCaseAndNothingIsReplaced) {
  const std::string mine = FmtBytes(Layout({{0, 5, 1, 1}}), 0);
  const std::string other = FmtBytes(Layout({{1, 7, 2, 3}}), 1);
  WriteBytes("MINE.FMT", mine);
  WriteBytes("other.fmt", other);
  const std::set<std::string> before = DirFiles();
  AnswerPrompt("OTHER");
  host.AnswerMsgBox(MsgAnswer::OK, "Report format already exists. NEW Aborted.");
  AnswerPrompt("other");
  host.AnswerMsgBox(MsgAnswer::OK, "Report format already exists. Copy Aborted.");
  AnswerPrompt("Other");
  host.AnswerMsgBox(MsgAnswer::OK, "Report format already exists. Rename Aborted.");
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(Items(f.lstReport), (Strings{"MINE", "OTHER"}));
    f.lstReport.UserSelect(0);
    f.cmdNew.UserClick();
    f.cmdCopy.UserClick();
    f.cmdRename.UserClick();
    EXPECT_EQ(Items(f.lstReport), (Strings{"MINE", "OTHER"}));
  });
  EXPECT_EQ(host.BeepCount(), 3);
  EXPECT_EQ(DirFiles(), before);
  EXPECT_EQ(ReadBytes("MINE.FMT"), mine);
  EXPECT_EQ(ReadBytes("other.fmt"), other);
}

TEST_F(FormatMaintenance, SelectMakesTheFormatActiveWithWidthsCutToTheFieldsAndStoresIt) {
  // Title is 30 long: the stored 40 is cut. The current report's item is
  // the one selected at load.
  WriteBytes("WIDE.FMT", FmtBytes(Layout({{0, 40, 1, 1}, {21, 6, 1, 45}}, 2), 1));
  WriteBytes("ZZ.FMT", FmtBytes(Layout({}), 0));
  store.CurrentReport = "ZZ";
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(f.lblCurrentReport.Caption(), "ZZ");
    EXPECT_EQ(f.lstReport.Text(), "ZZ");
    f.lstReport.UserSelect(0);
    f.cmdSelect.UserClick();
    EXPECT_EQ(f.lblCurrentReport.Caption(), "WIDE");
  });
  EXPECT_EQ(store.ActiveLayout, Layout({{0, 30, 1, 1}, {21, 6, 1, 45}}, 2));
  EXPECT_EQ(store.ActiveLayoutHeader.ShowTitles, 1);
  EXPECT_EQ(store.CurrentReport, "WIDE");
  auto saved = SavedSettings("BOOKS");
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->ReportName, "WIDE");
  EXPECT_EQ(saved->ReportSelected, 2);
  // Selecting writes no format file.
  EXPECT_EQ(ReadBytes("WIDE.FMT"), FmtBytes(Layout({{0, 40, 1, 1}, {21, 6, 1, 45}}, 2), 1));
}

TEST_F(FormatMaintenance, DoubleClickSelectsAnInvalidFormatIsRefusedWithNothingChanged) {
  store::ReportLayout bad = Layout({});
  std::string badBytes = FmtBytes(bad, 0);
  badBytes[12 * 3 + 6] = 22;  // record 4's lines per entry out of range
  WriteBytes("BAD.FMT", badBytes);
  WriteBytes("EMPTY.FMT", "");
  WriteBytes("GOOD.FMT", FmtBytes(Layout({{2, 8, 1, 1}}), 0));
  store.CurrentReport = "OLD";
  const store::ReportLayout active = store.ActiveLayout;
  host.AnswerMsgBox(MsgAnswer::OK, "Report is invalid.");
  host.AnswerMsgBox(MsgAnswer::OK, "Report is invalid.");
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(Items(f.lstReport), (Strings{"BAD", "EMPTY", "GOOD"}));
    f.lstReport.UserDoubleClick(0);
    f.lstReport.UserSelect(1);
    f.cmdSelect.UserClick();
    EXPECT_EQ(f.lblCurrentReport.Caption(), "OLD");
    f.lstReport.UserDoubleClick(2);
    EXPECT_EQ(f.lblCurrentReport.Caption(), "GOOD");
  });
  EXPECT_EQ(host.BeepCount(), 2);
  EXPECT_NE(store.ActiveLayout, active);
  EXPECT_EQ(store.ActiveLayout[2], (store::ReportColumn{8, 1, 1, 1}));
  EXPECT_EQ(store.CurrentReport, "GOOD");
  EXPECT_EQ(host.MessageTexts(), (Strings{"Report is invalid.", "Report is invalid."}));
  EXPECT_EQ(host.Transcript()[1], "Beep");
  EXPECT_EQ(host.Transcript()[2], "MsgBox(OK,Exclamation,\"Kelvarin Your Catalog\"): Report is invalid.");
}

TEST_F(FormatMaintenance, ANameSpeltInUtf8OnDiskIsListedAndSelectedAsItsLetters) {
  WriteBytes("M\xC3\x9CLLER.FMT", FmtBytes(Layout({{0, 10, 1, 1}}), 0));
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(Items(f.lstReport), Strings{"M\xDCLLER"});
    f.lstReport.UserSelect(0);
    f.cmdSelect.UserClick();
  });
  EXPECT_EQ(store.CurrentReport, "M\xDCLLER");
  EXPECT_EQ(store.ActiveLayout, Layout({{0, 10, 1, 1}}));
}

TEST_F(FormatMaintenance, ViewOnlyAccessStillSelectsAndStoresTheChoice) {
  store.SecurityCode = -1;
  WriteBytes("A.FMT", FmtBytes(Layout({{0, 10, 1, 1}}), 0));
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(EnabledButtons(f), "Select");
    EXPECT_TRUE(f.cmdOK.Enabled());
    f.cmdSelect.UserClick();
  });
  EXPECT_EQ(store.CurrentReport, "A");
  ASSERT_TRUE(SavedSettings("BOOKS"));
  EXPECT_EQ(SavedSettings("BOOKS")->ReportName, "A");
}

TEST_F(FormatMaintenance, EditWritesOnlyAfterOkAndTheCurrentFormatFollowsAtOnce) {
  const std::string original = FmtBytes(Layout({{0, 10, 1, 1}}), 0);
  WriteBytes("CUR.FMT", original);
  WriteBytes("OTHER.FMT", original);
  store.CurrentReport = "CUR";
  const store::ReportLayout activeBefore = store.ActiveLayout;
  InDesigner([](frmRptSetup& d) {
    d.Spin1.UserSpinUp();  // two lines per entry, then cancelled
    d.cmdCancel.UserClick();
  });
  InDesigner([](frmRptSetup& d) {
    d.Spin1.UserSpinUp();
    d.cmdDown.UserClick();  // Title to line 2
    d.chkTitles.UserClick();
    d.cmdOK.UserClick();
  });
  InDesigner([](frmRptSetup& d) {
    d.Spin2.UserSpinDown();
    d.cmdOK.UserClick();
  });
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(f.lstReport.Text(), "CUR");
    f.cmdDesign.UserClick();
    EXPECT_EQ(ReadBytes("CUR.FMT"), original);
    EXPECT_EQ(store.ActiveLayout, activeBefore);
    f.cmdDesign.UserClick();
    f.lstReport.UserSelect(1);
    f.cmdDesign.UserClick();
  });
  const store::ReportLayout edited = Layout({{0, 10, 2, 1}}, 2);
  EXPECT_EQ(ReadBytes("CUR.FMT"), FmtBytes(edited, 1));
  EXPECT_EQ(store.ActiveLayout, edited);
  EXPECT_EQ(store.ActiveLayoutHeader.ShowTitles, 1);
  EXPECT_EQ(ReadBytes("OTHER.FMT"), FmtBytes(Layout({{0, 9, 1, 1}}), 0));
  EXPECT_EQ(store.ActiveLayout[0].Width, 10);  // OTHER is not the current format
  EXPECT_EQ(host.Transcript(), (Strings{"ShowModal(frmRptMaintenance): Report Maintenance", "Pointer(11)",
                                        "Pointer(0)", "ShowModal(frmRptSetup): Edit Report Format   (CUR)",
                                        "Pointer(11)", "Pointer(0)",
                                        "ShowModal(frmRptSetup): Edit Report Format   (CUR)", "Pointer(11)",
                                        "Pointer(0)", "ShowModal(frmRptSetup): Edit Report Format   (OTHER)"}));
}

TEST_F(FormatMaintenance, CopyMakesAByteCopyAndLeavesSelectionAndCurrentReportAlone) {
  // Bytes past the format's 276 are kept: a copy is the file, not a re-write.
  const std::string bytes = FmtBytes(Layout({{0, 10, 1, 3}}, 3), 1) + "extra";
  WriteBytes("SRC.FMT", bytes);
  WriteBytes("T.FMT", FmtBytes(Layout({}), 0));
  store.CurrentReport = "T";
  AnswerPrompt("dup1");
  Maintain([&](frmRptMaintenance& f) {
    f.lstReport.UserSelect(0);
    f.cmdCopy.UserClick();
    EXPECT_EQ(Items(f.lstReport), (Strings{"SRC", "T", "DUP1"}));
    EXPECT_EQ(f.lstReport.Text(), "SRC");
    EXPECT_EQ(f.lblCurrentReport.Caption(), "T");
  });
  EXPECT_EQ(ReadBytes("DUP1.FMT"), bytes);
  EXPECT_EQ(ReadBytes("SRC.FMT"), bytes);
  EXPECT_EQ(store.CurrentReport, "T");
  EXPECT_EQ(host.Transcript(), (Strings{"ShowModal(frmRptMaintenance): Report Maintenance",
                                        "ShowModal(frmEnterName): Copy Report Format", "Pointer(11)",
                                        "Pointer(0)"}));
}

TEST_F(FormatMaintenance, RenamingTheCurrentFormatMovesTheFileAndTheLabelButWritesNoSettings) {
  const std::string bytes = FmtBytes(Layout({{4, 6, 1, 1}}), 0);
  WriteBytes("CUR.FMT", bytes);
  WriteBytes("B.FMT", FmtBytes(Layout({}), 0));
  store.CurrentReport = "CUR";
  AnswerPrompt("new9");
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(f.lstReport.Text(), "CUR");
    f.cmdRename.UserClick();
    EXPECT_EQ(f.lblCurrentReport.Caption(), "NEW9");
    EXPECT_EQ(Items(f.lstReport), (Strings{"B", "NEW9"}));
    EXPECT_EQ(f.lstReport.Text(), "NEW9");
  });
  EXPECT_EQ(store.CurrentReport, "NEW9");
  EXPECT_EQ(DirFiles(), (std::set<std::string>{"B.FMT", "NEW9.FMT"}));
  EXPECT_EQ(ReadBytes("NEW9.FMT"), bytes);
  EXPECT_FALSE(Exists("BOOKS.SET"));
}

TEST_F(FormatMaintenance, RenameActsOnTheFileAsSpeltOnDisk) {
  const std::string bytes = FmtBytes(Layout({{4, 6, 1, 1}}), 0);
  WriteBytes("low.fmt", bytes);
  AnswerPrompt("UP");
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(Items(f.lstReport), Strings{"LOW"});
    f.cmdRename.UserClick();
    EXPECT_EQ(Items(f.lstReport), Strings{"UP"});
  });
  EXPECT_EQ(DirFiles(), std::set<std::string>{"UP.FMT"});
  EXPECT_EQ(ReadBytes("UP.FMT"), bytes);
}

TEST_F(FormatMaintenance, ALongFileNameIsCopiedItselfNotTheFormatItsFirstEightLettersName) {
  const std::string shorter = FmtBytes(Layout({{0, 1, 1, 1}}), 0);
  const std::string longer = FmtBytes(Layout({{1, 2, 1, 1}}), 0);
  WriteBytes("LONGNAME.FMT", shorter);
  WriteBytes("LONGNAME1.FMT", longer);
  AnswerPrompt("C");
  // Nine characters are no format name: it could not be kept as the
  // catalog's current format.
  host.AnswerMsgBox(MsgAnswer::OK, "Report is invalid.");
  Maintain([&](frmRptMaintenance& f) {
    EXPECT_EQ(Items(f.lstReport), (Strings{"LONGNAME", "LONGNAME1"}));
    f.lstReport.UserSelect(1);
    f.cmdCopy.UserClick();
    f.cmdSelect.UserClick();
  });
  EXPECT_EQ(ReadBytes("C.FMT"), longer);
  EXPECT_EQ(store.CurrentReport, "");
}

TEST_F(FormatMaintenance, DeleteAsksThenRemovesFileAndItemAndForgetsTheCurrentName) {
  WriteBytes("A.FMT", FmtBytes(Layout({{0, 10, 1, 1}}), 0));
  WriteBytes("B.FMT", FmtBytes(Layout({{1, 10, 1, 1}}), 0));
  store.CurrentReport = "B";
  store.ActiveLayout = Layout({{1, 10, 1, 1}});
  host.AnswerMsgBox(MsgAnswer::No, "Really want to delete B?");
  host.AnswerMsgBox(MsgAnswer::Yes, "Really want to delete B?");
  host.AnswerMsgBox(MsgAnswer::Yes, "Really want to delete A?");
  Maintain([&](frmRptMaintenance& f) {
    f.cmdDelete.UserClick();
    EXPECT_TRUE(Exists("B.FMT"));
    f.cmdDelete.UserClick();
    EXPECT_FALSE(Exists("B.FMT"));
    EXPECT_EQ(f.lblCurrentReport.Caption(), "");
    EXPECT_EQ(Items(f.lstReport), Strings{"A"});
    EXPECT_EQ(f.lstReport.ListIndex(), 0);
    EXPECT_EQ(EnabledButtons(f), "Select Edit Report New Copy Rename Delete");
    f.cmdDelete.UserClick();
    EXPECT_EQ(Items(f.lstReport), Strings{});
    EXPECT_EQ(EnabledButtons(f), "New");
  });
  EXPECT_EQ(store.CurrentReport, "");
  EXPECT_EQ(store.ActiveLayout, Layout({{1, 10, 1, 1}}));  // output keeps its layout
  EXPECT_EQ(DirFiles(), std::set<std::string>{});
  EXPECT_EQ(host.Transcript()[1], "MsgBox(YesNo,Question,\"Kelvarin Your Catalog\"): Really want to delete B?");
}

TEST_F(FormatMaintenance, AFileGoneBehindTheListIsToldAndTheListShowsTheDirectory) {
  WriteBytes("A.FMT", FmtBytes(Layout({}), 0));
  WriteBytes("B.FMT", FmtBytes(Layout({}), 0));
  AnswerPrompt("X");
  host.AnswerMsgBox(MsgAnswer::OK, "Report format A could not be copied to X. File not found:\r" + Path("A.FMT"));
  AnswerPrompt("Y");
  host.AnswerMsgBox(MsgAnswer::OK, "Report format B could not be renamed to Y. File not found:\r" + Path("B.FMT"));
  host.AnswerMsgBox(MsgAnswer::Yes, "Really want to delete C?");
  host.AnswerMsgBox(MsgAnswer::OK, "Report format C could not be deleted. File not found:\r" + Path("C.FMT"));
  Maintain([&](frmRptMaintenance& f) {
    std::filesystem::remove(Path("A.FMT"));
    f.cmdCopy.UserClick();
    EXPECT_EQ(Items(f.lstReport), Strings{"B"});
    EXPECT_EQ(f.lstReport.Text(), "B");

    std::filesystem::remove(Path("B.FMT"));
    WriteBytes("C.FMT", FmtBytes(Layout({}), 0));
    f.cmdRename.UserClick();
    EXPECT_EQ(Items(f.lstReport), Strings{"C"});

    std::filesystem::remove(Path("C.FMT"));
    WriteBytes("E.FMT", FmtBytes(Layout({}), 0));
    f.cmdDelete.UserClick();
    EXPECT_EQ(Items(f.lstReport), Strings{"E"});
    EXPECT_EQ(EnabledButtons(f), "Select Edit Report New Copy Rename Delete");
  });
  EXPECT_EQ(DirFiles(), std::set<std::string>{"E.FMT"});
}

TEST_F(FormatMaintenance, AFailedWriteOfAnEditedFormatIsTold) {
  WriteBytes("A.FMT", FmtBytes(Layout({}), 0));
  InDesigner([&](frmRptSetup& d) {
    // The file turns into a directory while the designer is open.
    std::filesystem::remove(Path("A.FMT"));
    std::filesystem::create_directory(Path("A.FMT"));
    d.cmdOK.UserClick();
  });
  host.AnswerMsgBox(MsgAnswer::OK);  // the store tells why, naming the file
  Maintain([&](frmRptMaintenance& f) {
    f.cmdDesign.UserClick();
    EXPECT_EQ(Items(f.lstReport), Strings{});  // no format file is left
    EXPECT_EQ(EnabledButtons(f), "New");
  });
}

}  // namespace
}  // namespace kelvarin::test_support
