// The global search, list range and list-alphabetically dialogs as the View
// menu opens them: each on given settings, its controls read, every button
// pressed, and what is left (shared variables, the catalog's settings file,
// the run that followed) compared.
#include <string>

#include "dialogs_fixture.h"
#include "platform/text/number_text.h"

namespace kelvarin::test_support {
namespace {

using platform::MsgAnswer;
using reports::frmGlobalSearch;
using reports::frmListAlpha;
using reports::frmListRange;

class ListDialogsTest : public ProgramDialogTest {
 protected:
  std::string Result() { return "result=" + std::to_string(st().DialogResult); }
};

TEST_F(ListDialogsTest, GlobalSearch) {
  const char* kEmpty = "[Global Search] txtGlobalString=\"\"*[] chkCaseSense=0";
  const std::vector<DialogRow<frmGlobalSearch>> rows = {
      {"the stored text and case setting are shown; OK searches with them",
       [this] { cat_.Settings([](store::CatalogSettings& s) { s.IgnoreCase = 0; }); },
       [this] { rs().SearchString = "Boston", st().CurrentSettings.TopMargin = 9; },
       "[Global Search] txtGlobalString=\"Boston\"*[] chkCaseSense=1",
       [](frmGlobalSearch& d) { d.cmdOK.UserClick(); },
       "result=0 text=\"Boston\" case=1 saved=0/0 shown=Jones/Global Search"},
      {"only the empty text is refused, the focus back in it; blanks are searched", nullptr, nullptr, kEmpty,
       [this](frmGlobalSearch& d) {
         host_.AnswerMsgBox(MsgAnswer::OK, "No Search Text Specified");
         d.cmdOK.UserClick();
         EXPECT_EQ(ControlStates(d, {"txt"}), "[Global Search] txtGlobalString=\"\"*[]");
         d.txtGlobalString.UserType("  ");
         d.UserKey(platform::key::kReturn);
       },
       "result=0 text=\"  \" case=0 saved=1/0 shown=Jones/Global Search"},
      {"the case box is saved at once; Cancel keeps it and drops the text", nullptr, nullptr, kEmpty,
       [this](frmGlobalSearch& d) {
         d.chkCaseSense.UserClick();
         EXPECT_EQ(Saved().IgnoreCase, 0);
         d.txtGlobalString.UserType("x");
         d.cmdCancel.UserClick();
       },
       "result=-1 text=\"\" case=1 saved=0/0 shown=/Make Entries"},
      {"Report Setup is reached and the focus comes back to the text; the close box cancels", nullptr, nullptr,
       kEmpty,
       [this](frmGlobalSearch& d) {
         d.txtGlobalString.UserType("x");
         ReportSetupFrom(d);
         EXPECT_EQ(ControlStates(d, {"txt"}), "[Global Search] txtGlobalString=\"x\"*[]");
         d.UserClose();
       },
       "result=-1 text=\"\" case=0 saved=1/0 shown=/Make Entries"},
  };
  PlayRows<frmGlobalSearch>(
      "frmGlobalSearch",
      "[Global Search] Text to search for in every field:|Case Sensiti&ve|&OK(enter)|&Cancel(esc)|&Report Setup",
      rows, [this] { main().mnuVGlobalSearch.UserClick(); },
      [this] {
        return Result() + " text=\"" + rs().SearchString + "\" case=" + std::to_string(st().CaseSensitive) +
               " saved=" + std::to_string(Saved().IgnoreCase) + "/" + std::to_string(Saved().TopMargin) +
               " shown=" + ShownNow();
      });
}

TEST_F(ListDialogsTest, ListRange) {
  const char* kEmpty = "[List Range] txtStartRec=\"\"*[]R txtEndRec=\"\"[]R";
  const char* kUntouched = "result=-1 range=0..0 beeps=0 shown=/Make Entries";
  const std::vector<DialogRow<frmListRange>> rows = {
      {"first opening: empty boxes, focus in Start #; digits and Backspace only; OK lists the range", nullptr,
       nullptr, kEmpty,
       [](frmListRange& d) {
         d.txtStartRec.UserType("x2.");
         d.txtEndRec.UserType("9");
         d.txtEndRec.UserTypeChar(8);
         d.txtEndRec.UserType("4");
         d.cmdOK.UserClick();
       },
       "result=0 range=2..4 beeps=2 shown=Smith/Seq List"},
      {"last range shown; focus back to Start # after Report Setup; an end above the count set to it",
       nullptr, [this] { rs().ListRangeStart = 1, rs().ListRangeEnd = 1; },
       "[List Range] txtStartRec=\"1\"*[]R txtEndRec=\"1\"[]R",
       [this](frmListRange& d) {
         d.txtEndRec.UserSetText("400");
         ReportSetupFrom(d);
         EXPECT_EQ(ControlStates(d, {"txt"}), "[List Range] txtStartRec=\"1\"*[]R txtEndRec=\"400\"[]R");
         host_.AnswerMsgBox(MsgAnswer::OK, "End # must not be greater than the number on entries.");
         d.cmdOK.UserClick();
         EXPECT_EQ(ControlStates(d, {"txt"}), "[List Range] txtStartRec=\"1\"[]R txtEndRec=\"7\"*[]R");
         d.UserKey(platform::key::kReturn);
       },
       "result=0 range=1..7 beeps=0 shown=Jones/Seq List"},
      {"each refusal names the first fault and gives its box the focus", nullptr, nullptr, kEmpty,
       [this](frmListRange& d) {
         struct Refusal {
           const char *start, *end, *message, *boxes;
         } refusals[] = {
             {"", "", "Invalid Start #", "txtStartRec=\"\"*[]R txtEndRec=\"\"[]R"},
             {"3", "", "Invalid End #", "txtStartRec=\"3\"[]R txtEndRec=\"\"*[]R"},
             {"0", "5", "Start # must be greater than 0", "txtStartRec=\"0\"*[]R txtEndRec=\"5\"[]R"},
             {"6", "5", "End # must be greater than or equal to Start #", "txtStartRec=\"6\"[]R txtEndRec=\"5\"*[]R"},
             {"5a", "6", "Start # must be a whole number", "txtStartRec=\"5a\"*[]R txtEndRec=\"6\"[]R"},
             {"5", "6.0", "End # must be a whole number", "txtStartRec=\"5\"[]R txtEndRec=\"6.0\"*[]R"},
         };
         for (const Refusal& r : refusals) {
           d.txtStartRec.UserSetText(""), d.txtStartRec.UserPaste(r.start);
           d.txtEndRec.UserSetText(""), d.txtEndRec.UserPaste(r.end);
           host_.AnswerMsgBox(MsgAnswer::OK, r.message);
           d.cmdOK.UserClick();
           EXPECT_EQ(ControlStates(d, {"txt"}), std::string("[List Range] ") + r.boxes);
         }
         d.cmdCancel.UserClick();
       },
       kUntouched},
      {"an empty catalog: the end is set to 0, then it lies below the start", [this] { cat_ = pristine_; },
       nullptr, kEmpty,
       [this](frmListRange& d) {
         d.txtStartRec.UserType("1");
         d.txtEndRec.UserType("1");
         host_.AnswerMsgBox(MsgAnswer::OK, "End # must not be greater than the number on entries.");
         host_.AnswerMsgBox(MsgAnswer::OK, "End # must be greater than or equal to Start #");
         d.cmdOK.UserClick();
         EXPECT_EQ(d.txtEndRec.Text(), "0");
         d.cmdOK.UserClick();
         d.UserClose();
       },
       kUntouched},
  };
  PlayRows<frmListRange>(
      "frmListRange", "[List Range] Start #|End #|&OK(enter)|&Cancel(esc)|&Report Setup", rows,
      [this] { main().mnuVListRange.UserClick(); },
      [this] {
        return Result() + " range=" + platform::PlainNumber(rs().ListRangeStart) + ".." +
               platform::PlainNumber(rs().ListRangeEnd) + " beeps=" + std::to_string(host_.BeepCount()) +
               " shown=" + ShownNow();
      });
}

TEST_F(ListDialogsTest, ListAlphabetically) {
  auto keyCode = [this] { rs().KeyField = 3; };
  const char* kCode = "[List Alphabetically] cboKeyFields=Name|>Code*";
  const std::vector<DialogRow<frmListAlpha>> rows = {
      {"key field preselected, shown despite an old -1; Set Start, Set End edit their lists; Cancel",
       nullptr, [this] { rs().KeyField = 3, st().DialogResult = -1; }, kCode,
       [this](frmListAlpha& d) {
         CriteriaUser("Setup Alpha Starting Point", {{3, "B"}});
         d.cmdSetStart.UserClick();
         CriteriaUser("Setup Alpha Ending Point", {{3, "C"}});
         d.cmdSetEnd.UserClick();
         d.cboKeyFields.UserSelect(0);
         d.cmdCancel.UserClick();
       },
       "result=-1 key=3 start=[3:\"B\"] end=[3:\"C\"] beeps=0 shown=/Make Entries"},
      {"OK lists by the key field chosen, from the start key (a cancelled Set End is no cancelled list)", nullptr,
       keyCode, kCode,
       [this](frmListAlpha& d) {
         d.cboKeyFields.UserSelect(0);
         CriteriaUser("Setup Alpha Starting Point", {{0, "Smithson"}});
         d.cmdSetStart.UserClick();
         CriteriaUser("Setup Alpha Ending Point", {{0, "X"}}, false);
         d.cmdSetEnd.UserClick();
         d.cmdOK.UserClick();
       },
       "result=0 key=0 start=[0:\"Smithson\"] end=[] beeps=0 shown=Smithson/Alpha List"},
      {"Report Setup is reached; the close box cancels although the load set 0", nullptr, keyCode, kCode,
       [this](frmListAlpha& d) {
         ReportSetupFrom(d);
         d.UserClose();
       },
       "result=-1 key=3 start=[] end=[] beeps=0 shown=/Make Entries"},
      {"no key field: a beep and the message, the dialog never shows and nothing is listed",
       [this] { cat_.Field(0, "Name", 20).Field(3, "Code", 6); },
       [this, keyCode] {
         keyCode();
         host_.AnswerMsgBox(MsgAnswer::OK, "You must define at least on index field to list alphabetically.");
       },
       nullptr, nullptr, "result=-1 key=3 start=[] end=[] beeps=1 shown=/Make Entries"},
  };
  PlayRows<frmListAlpha>(
      "frmListAlpha", "[List Alphabetically] Key Field:|Set &Start|Set &End|&OK(enter)|&Cancel(esc)|&Report Setup",
      rows, [this] { main().mnuVListAlpha.UserClick(); },
      [this] {
        return Result() + " key=" + std::to_string(rs().KeyField) + " start=" + Text(rs().AlphaStartCriteria) +
               " end=" + Text(rs().AlphaEndCriteria) + " beeps=" + std::to_string(host_.BeepCount()) +
               " shown=" + ShownNow();
      });
}

}  // namespace
}  // namespace kelvarin::test_support
