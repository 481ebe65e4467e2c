// The report setup dialog as the Reports menu opens it: on given settings,
// its controls read, every option, switch and button used, and what is left
// compared (the settings in memory and in PEOPLE.SET, the destination and
// QAV.INI, the paper option, the status panel, the report font).
#include <filesystem>
#include <string>

#include "dialogs_fixture.h"

namespace kelvarin::test_support {
namespace {

using platform::MsgAnswer;
using reports::frmReportDest;

// Page length / top margin / Quick View lines / column width, then the
// switches: dashed line, headings, lock top line, page numbers, memos.
std::string Figures(const store::CatalogSettings& s) {
  return std::to_string(s.PageLength) + "/" + std::to_string(s.TopMargin) + "/" + std::to_string(s.QVMaxLines) +
         "/" + std::to_string(s.QVColumnWidth) + " d" + std::to_string(s.DashedLine) + " h" +
         std::to_string(s.ColumnHeadings) + " l" + std::to_string(s.LockTopLine) + " p" +
         std::to_string(s.PageNumbers) + " m" + std::to_string(s.PrintMemos);
}

class ReportDestTest : public ProgramDialogTest {
 protected:
  // The settings file's figures only when they differ from those held; the
  // report font only once one is chosen.
  std::string Left() {
    const std::string held = Figures(st().CurrentSettings), saved = Figures(Saved());
    const auto font = host_.Printer().Font();
    return "result=" + std::to_string(st().DialogResult) + " dest=" + std::to_string(st().CurrentReportDest) +
           " paper=" + std::to_string(st().PaperMode) + " ini=" + std::to_string(Ini("Reports", "ReportDest")) +
           " panel=" + Panel("RptDest") + " held=" + held + (saved == held ? "" : " saved=" + saved) +
           (std::filesystem::exists(dir_.File(".SET")) ? " nameless.SET" : "") +
           (st().ReportFontName.empty() ? "" : " font=" + st().ReportFontName + "/" + font.name) +
           (font.bold ? " bold" : "");
  }
  // The four numbers pasted into their boxes.
  static void Boxes(frmReportDest& d, const char* page, const char* top, const char* lines, const char* width) {
    const std::pair<platform::TextBox*, const char*> boxes[] = {
        {&d.txtPageLength, page}, {&d.txtTopMargin, top}, {&d.txtQVMaxLines, lines}, {&d.txtQVColWidth, width}};
    for (const auto& [box, text] : boxes) box->UserSetText(""), box->UserPaste(text);
  }
};

TEST_F(ReportDestTest, OpensOnTheSettingsAndOkStoresWhatItShows) {
  const char* kDefaults =
      "[Report Setup] optMonitor=0* optPrinter=0 optQuickView=1 optASCIIFile=0 optDBase=0 chkDashed=0 "
      "chkColHeadings=0 chkLockTop=0 chkNoSpace=0! chkPageNum=0 chkPrintMemos=1 txtPageLength=\"60\"<=3[]R "
      "txtTopMargin=\"0\"<=2[]R txtQVMaxLines=\"4011\"<=4[]R txtQVColWidth=\"20\"<=2[]R optContinuous=1 optSingle=0 "
      "optLabels=0";
  auto quickView = [this] { st().CurrentReportDest = store::rdQuickView; };
  const std::vector<DialogRow<frmReportDest>> rows = {
      {"the stored settings shown; OK without a change writes them all back",
       [this] {
         cat_.Settings([](store::CatalogSettings& s) {
           s = {"LIST", 0, 1, 1, 72, 3, 2, 0, 2, 30, 100, 1, 0, 0, 0};
         });
       },
       [this] {
         st().CurrentReportDest = store::rdAsciiFile;
         st().PaperMode = store::poSingleSheet;
       },
       "[Report Setup] optMonitor=0* optPrinter=0 optQuickView=0 optASCIIFile=1 optDBase=0 chkDashed=1 "
       "chkColHeadings=1 chkLockTop=1 chkNoSpace=1 chkPageNum=1 chkPrintMemos=0 txtPageLength=\"72\"<=3[]R "
       "txtTopMargin=\"3\"<=2[]R txtQVMaxLines=\"100\"<=4[]R txtQVColWidth=\"30\"<=2[]R optContinuous=0 optSingle=1 "
       "optLabels=0",
       [](frmReportDest& d) { d.UserKey(platform::key::kReturn); },
       "result=0 dest=3 paper=1 ini=3 panel=ASCII FILE held=72/3/100/30 d1 h1 l2 p2 m0"},
      {"the upper bounds, every switch, No Space only with Lock Top Line, dBase and Labels", nullptr, quickView,
       kDefaults,
       [](frmReportDest& d) {
         Boxes(d, "500", "99", "4011", "64");
         for (platform::CheckBox* c : {&d.chkDashed, &d.chkColHeadings, &d.chkPageNum, &d.chkPrintMemos,
                                       &d.chkLockTop, &d.chkNoSpace, &d.chkLockTop})
           c->UserClick();
         EXPECT_EQ(ControlStates(d, {"chkLock", "chkNo"}), "[Report Setup] chkLockTop=0* chkNoSpace=0!");
         d.chkLockTop.UserClick();
         EXPECT_EQ(ControlStates(d, {"chkLock", "chkNo"}), "[Report Setup] chkLockTop=1* chkNoSpace=0");
         d.optLabels.UserClick();
         d.optDBase.UserClick();
         d.cmdOK.UserClick();
       },
       "result=0 dest=4 paper=2 ini=4 panel=DBASE III held=500/99/4011/64 d1 h1 l1 p2 m0"},
      {"lower bounds with blanks, a margin equal to this page length, Lock Top Line alone, ASCII, Continuous",
       [this] { cat_.Settings([](store::CatalogSettings& s) { s.LockTopLine = 1; }); },
       [this] { st().CurrentReportDest = store::rdQuickView, st().PaperMode = store::poLabels; },
       "[Report Setup] optMonitor=0* optPrinter=0 optQuickView=1 optASCIIFile=0 optDBase=0 chkDashed=0 "
       "chkColHeadings=0 chkLockTop=1 chkNoSpace=0 chkPageNum=0 chkPrintMemos=1 txtPageLength=\"60\"<=3[]R "
       "txtTopMargin=\"0\"<=2[]R txtQVMaxLines=\"4011\"<=4[]R txtQVColWidth=\"20\"<=2[]R optContinuous=0 optSingle=0 "
       "optLabels=1",
       [](frmReportDest& d) {
         Boxes(d, " 4", "4 ", " 1 ", "3");
         d.optASCIIFile.UserClick();
         d.optContinuous.UserClick();
         d.cmdOK.UserClick();
       },
       "result=0 dest=3 paper=0 ini=3 panel=ASCII FILE held=4/4/1/3 d0 h0 l1 p1 m1"},
      {"Quick View lines 0: the box shows 1 with the focus and the next OK takes it; Printer and Single Sheet",
       nullptr, quickView, kDefaults,
       [this](frmReportDest& d) {
         Boxes(d, "60", "0", "0", "20");
         host_.AnswerMsgBox(MsgAnswer::OK, "Quick View must be set to have at least one entry.");
         d.cmdOK.UserClick();
         EXPECT_EQ(ControlStates(d, {"txtQV"}), "[Report Setup] txtQVMaxLines=\"1\"<=4*[]R txtQVColWidth=\"20\"<=2[]R");
         d.optPrinter.UserClick();
         d.optSingle.UserClick();
         d.cmdOK.UserClick();
       },
       "result=0 dest=1 paper=1 ini=1 panel=PRINTER held=60/0/1/20 d0 h0 l0 p1 m1"},
      {"each refusal: the first fault, its box focused, what passed held, nothing written",
       nullptr, quickView, kDefaults,
       [this](frmReportDest& d) {
         struct Refusal {
           const char *page, *top, *lines, *width, *message, *box, *held;
         } refusals[] = {
             {"", "", "", "", "Page Length is blank.", "txtPageLength", "60/0/4011/20"},
             {"3", "0", "1", "3", "Page length must be between 4 and 500.", "txtPageLength", "60/0/4011/20"},
             {"501", "0", "1", "3", "Page length must be between 4 and 500.", "txtPageLength", "60/0/4011/20"},
             {"  ", "0", "1", "3", "Page Length must be a whole number.", "txtPageLength", "60/0/4011/20"},
             {"10", "", "", "", "Top Margin is blank.", "txtTopMargin", "10/0/4011/20"},
             {"9", "10", "1", "3", "Top Margin must be between 0 and Page Length.", "txtTopMargin", "9/0/4011/20"},
             {"60", "-1", "1", "3", "Top Margin must be between 0 and Page Length.", "txtTopMargin", "60/0/4011/20"},
             {"60", "1.", "1", "3", "Top Margin must be a whole number.", "txtTopMargin", "60/0/4011/20"},
             {"60", "5", "", "", "Quick View max # of lines is blank.", "txtQVMaxLines", "60/5/4011/20"},
             {"60", "5", "4012", "3", "Quick View max # of lines must be between 1 and 4011.", "txtQVMaxLines",
              "60/5/4011/20"},
             {"60", "5", "1e3", "3", "Quick View max # of lines must be a whole number.", "txtQVMaxLines",
              "60/5/4011/20"},
             {"60", "5", "100", "", "Quick View column width is blank.", "txtQVColWidth", "60/5/100/20"},
             {"60", "5", "100", "2", "Quick View column width must be between 3 and 64.", "txtQVColWidth",
              "60/5/100/20"},
             {"60", "5", "100", "65", "Quick View column width must be between 3 and 64.", "txtQVColWidth",
              "60/5/100/20"},
             {"60", "6", "99", "ab", "Quick View column width must be a whole number.", "txtQVColWidth", "60/6/99/20"},
         };
         for (const Refusal& r : refusals) {
           SCOPED_TRACE(r.message);
           Boxes(d, r.page, r.top, r.lines, r.width);
           host_.AnswerMsgBox(MsgAnswer::OK, r.message);
           d.cmdOK.UserClick();
           ASSERT_NE(d.ActiveControl(), nullptr);
           EXPECT_EQ(d.ActiveControl()->Name(), r.box);
           EXPECT_EQ(Figures(st().CurrentSettings), r.held + std::string(" d0 h0 l0 p1 m1"));
         }
         d.cmdCancel.UserClick();
       },
       "result=-1 dest=2 paper=0 ini=0 panel=MAIN WINDOW held=60/6/99/20 d0 h0 l0 p1 m1 saved=60/0/4011/20 d0 h0 l0 "
       "p1 m1"},
      {"no report format: told at opening, Printer and ASCII File disabled, a stored Printer shown and kept",
       [this] { cat_.Settings([](store::CatalogSettings& s) { s.ReportName.clear(); }); },
       [this] {
         st().CurrentReportDest = store::rdPrinter;
         host_.AnswerMsgBox(MsgAnswer::OK,
                            "No report format selected. Printer and file output disabled.  Go to the Report "
                            "Maintenance screen and select a report format.");
       },
       "[Report Setup] optMonitor=0* optPrinter=1! optQuickView=0 optASCIIFile=0! optDBase=0 chkDashed=0 "
       "chkColHeadings=0 chkLockTop=0 chkNoSpace=0! chkPageNum=0 chkPrintMemos=1 txtPageLength=\"60\"<=3[]R "
       "txtTopMargin=\"0\"<=2[]R txtQVMaxLines=\"4011\"<=4[]R txtQVColWidth=\"20\"<=2[]R optContinuous=1 optSingle=0 "
       "optLabels=0",
       [](frmReportDest& d) { d.cmdOK.UserClick(); },
       "result=0 dest=1 paper=0 ini=1 panel=PRINTER held=60/0/4011/20 d0 h0 l0 p1 m1"},
      {"a destination outside 0 to 4: no option on, written back, panel left; no catalog: no settings file",
       nullptr, [this] { st().CurrentReportDest = 9, st().CatalogName.clear(); },
       "[Report Setup] optMonitor=0* optPrinter=0 optQuickView=0 optASCIIFile=0 optDBase=0 chkDashed=0 "
       "chkColHeadings=0 chkLockTop=0 chkNoSpace=0! chkPageNum=0 chkPrintMemos=1 txtPageLength=\"60\"<=3[]R "
       "txtTopMargin=\"0\"<=2[]R txtQVMaxLines=\"4011\"<=4[]R txtQVColWidth=\"20\"<=2[]R optContinuous=1 optSingle=0 "
       "optLabels=0",
       [](frmReportDest& d) { d.cmdOK.UserClick(); },
       "result=0 dest=9 paper=0 ini=9 panel=MAIN WINDOW held=60/0/4011/20 d0 h0 l0 p1 m1"},
      {"view-only on Monitor: only Cancel works; the boxes take the focus but no typing", nullptr,
       [this] { st().CurrentReportDest = store::rdMonitor, st().SecurityCode = -1; },
       "[Report Setup] optMonitor=1! optPrinter=0! optQuickView=0! optASCIIFile=0! optDBase=0! chkDashed=0! "
       "chkColHeadings=0! chkLockTop=0! chkNoSpace=0! chkPageNum=0! chkPrintMemos=1! txtPageLength=\"60\"<=3#*[]R "
       "txtTopMargin=\"0\"<=2#[]R txtQVMaxLines=\"4011\"<=4#[]R txtQVColWidth=\"20\"<=2#[]R optContinuous=1! "
       "optSingle=0! optLabels=0! cmdOK! cmdFonts!",
       [](frmReportDest& d) {
         d.txtTopMargin.UserClick();
         d.txtTopMargin.UserType("9");
         d.UserKey(platform::key::kReturn);
         EXPECT_EQ(ControlStates(d, {"txtTop"}), "[Report Setup] txtTopMargin=\"0\"<=2#*[]R");
         d.UserKey(platform::key::kEscape);
       },
       "result=-1 dest=0 paper=0 ini=0 panel=MAIN WINDOW held=60/0/4011/20 d0 h0 l0 p1 m1"},
      {"number boxes take digits and Backspace up to their lengths; a font chosen outlives Cancel", nullptr,
       [this, quickView] {
         quickView();
         platform::FontChoice courier;
         courier.name = "Lucida";
         courier.size = 10;
         courier.weight = 700;
         host_.AnswerFont(courier);
         host_.AnswerFont(std::nullopt);
       },
       kDefaults,
       [this](frmReportDest& d) {
         d.txtPageLength.UserSetText("");
         d.txtPageLength.UserType("1a0-.");
         d.txtPageLength.UserTypeChar(8);
         d.txtTopMargin.UserSetText("");
         d.txtTopMargin.UserType("123");
         EXPECT_EQ(host_.BeepCount(), 3);
         EXPECT_EQ(ControlStates(d, {"txtP", "txtT"}),
                   "[Report Setup] txtPageLength=\"1\"<=3[]R txtTopMargin=\"12\"<=2*[]R");
         d.cmdFonts.UserClick();
         d.cmdFonts.UserClick();
         d.cmdCancel.UserClick();
       },
       "result=-1 dest=2 paper=0 ini=0 panel=MAIN WINDOW held=60/0/4011/20 d0 h0 l0 p1 m1 font=Lucida/Lucida bold"},
  };
  PlayRows<frmReportDest>(
      "frmReportDest",
      "[Report Setup] Report Destination|&Monitor|&Printer|&Quick View|&ASCII File|d&Base File|Report Format|"
      "&Dashed Line|Column &Headings|Loc&k Top Line|&No Space|Page Numbers|P&rint Memos|Page Length:|Top Margin|"
      "QV Max # Lines:|QV Max Col Width:|Paper Options|Contin&uous|Single Sh&eet|&Labels|Notes: Paper Options(bold)|"
      "Continuous suits every printer that feed|OK(enter)|&Cancel(esc)|Fonts...",
      rows, [this] { main().mnuOSetup.UserClick(); }, [this] { return Left(); });
}

}  // namespace
}  // namespace kelvarin::test_support
