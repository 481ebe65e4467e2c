// Report Maintenance through the scripted host: opened on given format
// files, then each button pressed, checking what the dialog shows, what it
// reaches (prompt, designer, boxes) and what it writes.
#include <gtest/gtest.h>

#include <map>

#include "formats_fixture.h"
#include "platform/text/codepage.h"

namespace kelvarin::test_support {
namespace {

using platform::MsgAnswer;
using reports::frmRptMaintenance;
using reports::frmRptSetup;
using Strings = std::vector<std::string>;
using Disk = std::map<std::string, std::string>;
using Button = platform::CommandButton frmRptMaintenance::*;

class FormatMaintenance : public FormatsTest {
 protected:
  // The format files of the directory (any letter case of ".fmt").
  Disk Formats() const {
    Disk disk;
    for (const std::string& f : DirFiles())
      if (platform::AnsiUpperString(f).ends_with(".FMT")) disk[f] = ReadBytes(f);
    return disk;
  }
  void PutFormats(const Disk& disk) {
    for (const std::string& f : DirFiles()) std::filesystem::remove_all(Path(f));
    for (const auto& [f, bytes] : disk) WriteBytes(f, bytes);
  }
  // What the designer's OK writes: the layout with two lines per entry.
  static std::string Designed(store::ReportLayout layout, int16_t titles = 0) {
    for (auto& c : layout) c.LinesPerEntry = 2;
    return FmtBytes(layout, titles);
  }
  std::string Box(const std::string& icon, const std::string& text) const {
    return "MsgBox(" + icon + ",\"Kelvarin Your Catalog\"): " + text;
  }
};

// What the dialog shows when it opens: the formats on disk, whatever their
// letter case or code page, with the current one selected (else the
// first), and the buttons its access and the list allow.
TEST_F(FormatMaintenance, OpensOnTheFormatsOnDisk) {
  const std::string any = FmtBytes(Layout({}), 0);
  struct Row {
    Disk disk;
    std::string current;
    int16_t security;
    Strings list;
    std::string selected, enabled;
  } rows[] = {
      {{}, "", 0, {}, "", "New"},
      {{}, "GONE", 0, {}, "", "New"},
      {{{"MINE.FMT", any}, {"other.fmt", any}, {"M\xC3\x9CLLER.FMT", any}, {"x.txt", any}, {".fmt", any}},
       "OTHER", 0, {"MINE", "M\xDCLLER", "OTHER"}, "OTHER", "Select Edit Report New Copy Rename Delete"},
      {{{"A.FMT", any}, {"B.FMT", any}}, "GONE", 0, {"A", "B"}, "A", "Select Edit Report New Copy Rename Delete"},
      {{{"A.FMT", any}, {"B.FMT", any}}, "B", -1, {"A", "B"}, "B", "Select"},
      {{}, "", -1, {}, "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.enabled + " " + r.current);
    PutFormats(r.disk);
    store.CurrentReport = r.current;
    store.SecurityCode = r.security;
    Maintain([&](frmRptMaintenance& f) {
      EXPECT_EQ(std::tuple(f.Caption(), f.BorderStyle(), f.lblReports.Caption(), f.lblCurrent.Caption()),
                std::tuple("Report Maintenance", platform::FormBorder::FixedDialog, "Report Formats", "Current Report:"));
      EXPECT_EQ(f.lblCurrentReport.Caption(), r.current);
      EXPECT_EQ(Items(f.lstReport), r.list);
      EXPECT_EQ(f.lstReport.Text(), r.selected);
      EXPECT_EQ(EnabledButtons(f), r.enabled);
      EXPECT_TRUE(f.cmdOK.Enabled() && f.cmdOK.Default() && f.cmdOK.Cancel());
      EXPECT_TRUE(f.lstReport.HasFocus());
      EXPECT_EQ(f.filReport.Pattern(), "*.fmt");
      for (const platform::Control* c : f.Controls())
        EXPECT_TRUE(!c->Visible() || c->Left() > 0) << c->Name() << " never placed";
    });
  }
}

// Each button pressed on given files. Rows run one after another on one
// store, so a designer opened for New shows the default layout whatever
// was edited before.
TEST_F(FormatMaintenance, EachButtonReachesWhatItShouldAndWritesWhatItShould) {
  const std::string plain = FmtBytes(Layout({{0, 10, 1, 1}}), 0);
  const std::string wide = FmtBytes(Layout({{0, 40, 1, 1}, {21, 6, 1, 45}}, 2), 1);
  const std::string other = FmtBytes(Layout({{1, 7, 2, 3}}), 1);
  std::string bad = FmtBytes(Layout({}), 0);
  bad[12 * 3 + 6] = 22;  // record 4's lines per entry out of range
  const std::string extra = wide + "extra";  // a copy is the file, not a re-write
  const store::ReportLayout sentinel = Layout({{2, 3, 4, 5}});
  const std::string all = "Select Edit Report New Copy Rename Delete";
  const std::string yes = "YesNo,Question", warn = "OK,Exclamation", ok = "OK,None";
  enum Designer { kNone, kOk, kCancel, kClose };
  struct Row {
    const char* what;
    Disk disk;
    std::string current;
    int select;     // the item picked first; -1 keeps the loaded one
    Button button;  // nullptr: a double click on the item
    std::optional<std::string> typed;  // into the name prompt; "" cancels it
    Designer designer;
    std::string gone;  // a file that goes from the disk once the list is shown
    std::vector<std::pair<MsgAnswer, std::string>> boxes;
    // Afterwards:
    Strings list;
    std::string selected, enabled, currentAfter;
    Disk after;
    std::optional<store::ReportLayout> active;  // nullopt: left alone
    std::optional<std::string> stored;          // the report name written with the catalog
    Strings seen;                               // after the dialog's own ShowModal
  } rows[] = {
      {"select cuts widths to the fields", {{"WIDE.FMT", wide}, {"ZZ.FMT", plain}}, "ZZ", 0,
       &frmRptMaintenance::cmdSelect, {}, kNone, "", {},
       {"WIDE", "ZZ"}, "WIDE", all, "WIDE", {{"WIDE.FMT", wide}, {"ZZ.FMT", plain}},
       Layout({{0, 30, 1, 1}, {21, 6, 1, 45}}, 2), "WIDE", {}},
      {"select a file spelt in lower case", {{"low.fmt", plain}}, "", -1, &frmRptMaintenance::cmdSelect, {},
       kNone, "", {}, {"LOW"}, "LOW", all, "LOW", {{"low.fmt", plain}}, Layout({{0, 10, 1, 1}}), "LOW", {}},
      {"double click", {{"M\xC3\x9CLLER.FMT", plain}}, "", 0, nullptr, {}, kNone, "", {},
       {"M\xDCLLER"}, "M\xDCLLER", all, "M\xDCLLER", {{"M\xC3\x9CLLER.FMT", plain}}, Layout({{0, 10, 1, 1}}),
       "M\xDCLLER", {}},
      {"invalid formats", {{"BAD.FMT", bad}, {"EMPTY.FMT", ""}, {"LONGNAME1.FMT", plain}}, "OLD", 0,
       &frmRptMaintenance::cmdSelect, {}, kNone, "", {{MsgAnswer::OK, "Report is invalid."}},
       {"BAD", "EMPTY", "LONGNAME1"}, "BAD", all, "OLD", {{"BAD.FMT", bad}, {"EMPTY.FMT", ""}, {"LONGNAME1.FMT", plain}},
       std::nullopt, std::nullopt, {"Beep", Box(warn, "Report is invalid.")}},
      {"edit the current format, in lower case", {{"cur.fmt", plain}, {"OTHER.FMT", other}}, "CUR", -1,
       &frmRptMaintenance::cmdDesign, {}, kOk, "", {},
       {"CUR", "OTHER"}, "CUR", all, "CUR", {{"cur.fmt", Designed(Layout({{0, 10, 1, 1}}))}, {"OTHER.FMT", other}},
       Layout({{0, 10, 1, 1}}, 2), std::nullopt,
       {"Pointer(11)", "Pointer(0)", "ShowModal(frmRptSetup): Edit Report Format   (CUR)"}},
      {"edit another, cancelled", {{"CUR.FMT", plain}, {"OTHER.FMT", other}}, "CUR", 1,
       &frmRptMaintenance::cmdDesign, {}, kCancel, "", {},
       {"CUR", "OTHER"}, "OTHER", all, "CUR", {{"CUR.FMT", plain}, {"OTHER.FMT", other}}, std::nullopt, std::nullopt,
       {"Pointer(11)", "Pointer(0)", "ShowModal(frmRptSetup): Edit Report Format   (OTHER)"}},
      {"edit another", {{"CUR.FMT", plain}, {"OTHER.FMT", other}}, "CUR", 1, &frmRptMaintenance::cmdDesign, {},
       kOk, "", {}, {"CUR", "OTHER"}, "OTHER", all, "CUR",
       {{"CUR.FMT", plain}, {"OTHER.FMT", Designed(Layout({{1, 7, 2, 3}}), 1)}}, std::nullopt, std::nullopt,
       {"Pointer(11)", "Pointer(0)", "ShowModal(frmRptSetup): Edit Report Format   (OTHER)"}},
      {"new into an empty directory", {}, "", -1, &frmRptMaintenance::cmdNew, "rep1", kOk, "", {},
       {"REP1"}, "", "New", "", {{"REP1.FMT", Designed(Layout({}))}}, std::nullopt, std::nullopt,
       {"ShowModal(frmEnterName): New Report", "ShowModal(frmRptSetup): Edit Report Format  (REP1)"}},
      {"new with an accented name", {{"A.FMT", plain}}, "", -1, &frmRptMaintenance::cmdNew, "Pr\xFC" "f", kOk, "",
       {}, {"A", "PR\xDC" "F"}, "A", all, "", {{"A.FMT", plain}, {"PR\xC3\x9C" "F.FMT", Designed(Layout({}))}},
       std::nullopt, std::nullopt,
       {"ShowModal(frmEnterName): New Report", "ShowModal(frmRptSetup): Edit Report Format  (PR\xDC" "F)"}},
      {"new, cancelled in the designer", {{"A.FMT", plain}}, "", -1, &frmRptMaintenance::cmdNew, "B", kCancel, "",
       {}, {"A"}, "A", all, "", {{"A.FMT", plain}}, std::nullopt, std::nullopt,
       {"ShowModal(frmEnterName): New Report", "ShowModal(frmRptSetup): Edit Report Format  (B)"}},
      {"new, the designer closed", {{"A.FMT", plain}}, "", -1, &frmRptMaintenance::cmdNew, "B", kClose, "", {},
       {"A"}, "A", all, "", {{"A.FMT", plain}}, std::nullopt, std::nullopt,
       {"ShowModal(frmEnterName): New Report", "ShowModal(frmRptSetup): Edit Report Format  (B)"}},
      {"new, cancelled in the prompt", {{"A.FMT", plain}}, "", -1, &frmRptMaintenance::cmdNew, "", kNone, "", {},
       {"A"}, "A", all, "", {{"A.FMT", plain}}, std::nullopt, std::nullopt, {"ShowModal(frmEnterName): New Report"}},
      {"new to a name in another case", {{"other.fmt", other}}, "", -1, &frmRptMaintenance::cmdNew, "OTHER", kNone,
       "", {{MsgAnswer::OK, "Report format already exists. NEW Aborted."}},
       {"OTHER"}, "OTHER", all, "", {{"other.fmt", other}}, std::nullopt, std::nullopt,
       {"ShowModal(frmEnterName): New Report", "Beep", Box(ok, "Report format already exists. NEW Aborted.")}},
      {"copy", {{"SRC.FMT", extra}, {"T.FMT", plain}}, "T", 0, &frmRptMaintenance::cmdCopy, "dup1", kNone, "", {},
       {"SRC", "T", "DUP1"}, "SRC", all, "T", {{"SRC.FMT", extra}, {"T.FMT", plain}, {"DUP1.FMT", extra}},
       std::nullopt, std::nullopt, {"ShowModal(frmEnterName): Copy Report Format", "Pointer(11)", "Pointer(0)"}},
      {"copy onto a name in another case", {{"MINE.FMT", plain}, {"other.fmt", other}}, "", 0,
       &frmRptMaintenance::cmdCopy, "Other", kNone, "", {{MsgAnswer::OK, "Report format already exists. Copy Aborted."}},
       {"MINE", "OTHER"}, "MINE", all, "", {{"MINE.FMT", plain}, {"other.fmt", other}}, std::nullopt, std::nullopt,
       {"ShowModal(frmEnterName): Copy Report Format", "Beep", Box(ok, "Report format already exists. Copy Aborted.")}},
      {"copy a file gone meanwhile", {{"A.FMT", plain}, {"B.FMT", plain}, {"C.FMT", plain}}, "", 2,
       &frmRptMaintenance::cmdCopy, "X", kNone, "C.FMT",
       {{MsgAnswer::OK, "Report format C could not be copied to X. File not found:\r" + Path("C.FMT")}},
       {"A", "B"}, "A", all, "", {{"A.FMT", plain}, {"B.FMT", plain}}, std::nullopt, std::nullopt,
       {"ShowModal(frmEnterName): Copy Report Format", "Pointer(11)", "Pointer(0)",
        Box(warn, "Report format C could not be copied to X. File not found:\r" + Path("C.FMT"))}},
      {"rename the current format", {{"B.FMT", plain}, {"CUR.FMT", other}}, "CUR", -1, &frmRptMaintenance::cmdRename,
       "new9", kNone, "", {}, {"B", "NEW9"}, "NEW9", all, "NEW9", {{"B.FMT", plain}, {"NEW9.FMT", other}},
       std::nullopt, std::nullopt, {"ShowModal(frmEnterName): Rename Report"}},
      {"rename a file spelt in lower case", {{"low.fmt", plain}}, "", -1, &frmRptMaintenance::cmdRename, "UP",
       kNone, "", {}, {"UP"}, "UP", all, "", {{"UP.FMT", plain}}, std::nullopt, std::nullopt,
       {"ShowModal(frmEnterName): Rename Report"}},
      {"rename onto an existing name", {{"A.FMT", plain}, {"B.FMT", other}}, "", 0, &frmRptMaintenance::cmdRename, "b",
       kNone, "", {{MsgAnswer::OK, "Report format already exists. Rename Aborted."}},
       {"A", "B"}, "A", all, "", {{"A.FMT", plain}, {"B.FMT", other}}, std::nullopt, std::nullopt,
       {"ShowModal(frmEnterName): Rename Report", "Beep", Box(ok, "Report format already exists. Rename Aborted.")}},
      {"rename a file gone meanwhile", {{"B.FMT", plain}, {"C.FMT", plain}}, "", 0, &frmRptMaintenance::cmdRename,
       "Y", kNone, "B.FMT", {{MsgAnswer::OK, "Report format B could not be renamed to Y. File not found:\r" + Path("B.FMT")}},
       {"C"}, "C", all, "", {{"C.FMT", plain}}, std::nullopt, std::nullopt,
       {"ShowModal(frmEnterName): Rename Report",
        Box(warn, "Report format B could not be renamed to Y. File not found:\r" + Path("B.FMT"))}},
      {"delete, declined", {{"A.FMT", plain}, {"B.FMT", other}}, "B", -1, &frmRptMaintenance::cmdDelete, {}, kNone, "",
       {{MsgAnswer::No, "Really want to delete B?"}}, {"A", "B"}, "B", all, "B", {{"A.FMT", plain}, {"B.FMT", other}},
       std::nullopt, std::nullopt, {Box(yes, "Really want to delete B?")}},
      {"delete the current format", {{"A.FMT", plain}, {"B.FMT", other}}, "B", -1, &frmRptMaintenance::cmdDelete, {},
       kNone, "", {{MsgAnswer::Yes, "Really want to delete B?"}}, {"A"}, "A", all, "", {{"A.FMT", plain}},
       std::nullopt, std::nullopt, {Box(yes, "Really want to delete B?")}},
      {"delete the last format", {{"A.FMT", plain}}, "", -1, &frmRptMaintenance::cmdDelete, {}, kNone, "",
       {{MsgAnswer::Yes, "Really want to delete A?"}}, {}, "", "New", "", {}, std::nullopt, std::nullopt,
       {Box(yes, "Really want to delete A?")}},
      {"delete a file gone meanwhile", {{"C.FMT", plain}, {"E.FMT", plain}}, "", 0, &frmRptMaintenance::cmdDelete, {},
       kNone, "C.FMT",
       {{MsgAnswer::Yes, "Really want to delete C?"},
        {MsgAnswer::OK, "Report format C could not be deleted. File not found:\r" + Path("C.FMT")}},
       {"E"}, "E", all, "", {{"E.FMT", plain}}, std::nullopt, std::nullopt,
       {Box(yes, "Really want to delete C?"),
        Box(warn, "Report format C could not be deleted. File not found:\r" + Path("C.FMT"))}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    PutFormats(r.disk);
    std::filesystem::remove(Path("BOOKS.SET"));
    store.CurrentReport = r.current;
    store.ActiveLayout = sentinel;
    if (r.typed) AnswerPrompt(r.typed->empty() ? std::nullopt : r.typed);
    if (r.designer != kNone)
      InDesigner([&](frmRptSetup& d) {
        d.Spin1.UserSpinUp();
        if (r.designer == kOk) d.cmdOK.UserClick();
        if (r.designer == kCancel) d.cmdCancel.UserClick();
        if (r.designer == kClose) d.UserClose();
      });
    for (const auto& [answer, text] : r.boxes) host.AnswerMsgBox(answer, text);
    host.ClearRecord();
    Maintain([&](frmRptMaintenance& f) {
      if (r.select >= 0) f.lstReport.UserSelect(r.select);
      if (!r.gone.empty()) std::filesystem::remove(Path(r.gone));
      if (r.button)
        (f.*r.button).UserClick();
      else
        f.lstReport.UserDoubleClick(r.select);
      EXPECT_EQ(Items(f.lstReport), r.list);
      EXPECT_EQ(f.lstReport.Text(), r.selected);
      EXPECT_EQ(EnabledButtons(f), r.enabled);
      EXPECT_EQ(f.lblCurrentReport.Caption(), r.currentAfter);
    });
    EXPECT_EQ(store.CurrentReport, r.currentAfter);
    EXPECT_EQ(Formats(), r.after);
    EXPECT_EQ(store.ActiveLayout, r.active ? *r.active : sentinel);
    EXPECT_EQ(SavedSettings("BOOKS") ? std::optional(SavedSettings("BOOKS")->ReportName) : std::nullopt, r.stored);
    if (r.stored) {
      EXPECT_EQ(SavedSettings("BOOKS")->ReportSelected, 2);
    }
    Strings seen = host.Transcript();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0], "ShowModal(frmRptMaintenance): Report Maintenance");
    EXPECT_EQ(Strings(seen.begin() + 1, seen.end()), r.seen);
  }
}

TEST_F(FormatMaintenance, EnterOrEscapeCloseTheForm) {
  for (int16_t key : {platform::key::kReturn, platform::key::kEscape}) {
    host.OnShowAs<frmRptMaintenance>("frmRptMaintenance", [key](frmRptMaintenance& f) { f.UserKey(key); });
    frmRptMaintenance form(host, store);
    form.Show(platform::ShowMode::Modal);
    EXPECT_FALSE(form.Loaded());
  }
}

TEST_F(FormatMaintenance, AFailedWriteOfAnEditedFormatIsTold) {
  WriteBytes("A.FMT", FmtBytes(Layout({}), 0));
  InDesigner([&](frmRptSetup& d) {
    // The file turns into a directory while the designer is open.
    std::filesystem::remove(Path("A.FMT"));
    std::filesystem::create_directory(Path("A.FMT"));
    d.cmdOK.UserClick();
  });
  host.AnswerMsgBox(MsgAnswer::OK, "The file could not be written. A folder stands where the file should be:\r" +
                                       Path("A.FMT"));
  Maintain([&](frmRptMaintenance& f) {
    f.cmdDesign.UserClick();
    EXPECT_EQ(Items(f.lstReport), Strings{});  // no format file is left
    EXPECT_EQ(EnabledButtons(f), "New");
  });
}

}  // namespace
}  // namespace kelvarin::test_support
