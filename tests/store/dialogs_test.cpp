// The shared prompt, the progress gauge and the small shared routines.
#include <gtest/gtest.h>

#include <functional>

#include "store/form_helpers.h"
#include "store/frm_enter_name.h"
#include "store_fixture.h"

namespace kelvarin::store {
namespace {

using platform::Form;
using platform::MsgAnswer;

int CountOf(const std::vector<std::string>& lines, const std::string& text) {
  int n = 0;
  for (const auto& l : lines) n += l == text;
  return n;
}

TEST_F(StoreTest, GaugeWindowOnlyFromAStepOfTwo) {
  struct Case {
    float total;
    int64_t step;
  };
  for (Case c : {Case{149, 1}, Case{150, 2}, Case{250, 2}, Case{350, 4}, Case{0, 0}}) {
    store_.ShowGauge(c.total, "Working....", true);
    EXPECT_EQ(store_.gauge().GaugeStep(), c.step) << c.total;
    EXPECT_EQ(store_.gauge().Shown(), c.step >= 2) << c.total;
    store_.CloseGauge();
  }
  EXPECT_EQ(CountOf(host_.Transcript(), "ShowModeless(frmGauge): Working...."), 3);
  EXPECT_EQ(CountOf(host_.Transcript(), "Hide(frmGauge)"), 3);

  // Without a window no step yields.
  store_.ShowGauge(120, "Small", true);
  int before = host_.DoEventsCount();
  for (int i = 0; i < 120; ++i) EXPECT_FALSE(store_.StepGauge());
  EXPECT_EQ(host_.DoEventsCount(), before);
  store_.CloseGauge();

  // 1,000 entries: a yield every 10 steps, and the bar follows.
  store_.ShowGauge(1000, "Big", false);
  EXPECT_FALSE(store_.gauge().Form()->cmdCancel.Enabled());
  before = host_.DoEventsCount();
  for (int i = 0; i < 500; ++i) store_.StepGauge();
  EXPECT_EQ(host_.DoEventsCount() - before, 50);
  EXPECT_EQ(store_.gauge().Form()->gauProgress.Value(), 50);
  store_.CloseGauge();
}

TEST_F(StoreTest, GaugeCancelIsSeenThroughStepGauge) {
  store_.ShowGauge(300, "Searching....", true);  // a step of 3
  host_.CancelGaugeAfter(2);
  int steps = 0;
  while (!store_.StepGauge()) ++steps;
  EXPECT_EQ(steps, 5);  // the 6th step yields the 2nd time and sees Cancel
  EXPECT_TRUE(store_.StepGauge());
  store_.CloseGauge();
  // A new gauge forgets the cancel.
  store_.ShowGauge(300, "Again", true);
  EXPECT_FALSE(store_.StepGauge());
  store_.CloseGauge();

  // The close box does not take the window away from a running operation;
  // it cancels when Cancel is offered.
  for (bool allowCancel : {false, true}) {
    store_.ShowGauge(300, "Closing", allowCancel);
    store_.gauge().Form()->UserClose();
    EXPECT_TRUE(store_.gauge().Form()->Visible());
    bool cancelled = false;
    for (int i = 0; i < 3; ++i) cancelled = store_.StepGauge();
    EXPECT_EQ(cancelled, allowCancel);
    store_.CloseGauge();
    EXPECT_FALSE(store_.gauge().Shown());
  }
}

// The name prompt as its callers open it: what it shows, the keys its Tag
// lets through (under "0" the file name rule's letters, accented ones too,
// digits and Backspace), and how it answers.
TEST_F(StoreTest, EnterNamePromptShowsFiltersAndAnswers) {
  using User = std::function<void(frmEnterName&)>;
  auto type = [](std::string keys, bool ok = true) -> User {
    return [=](frmEnterName& p) {
      p.txtName.UserType(keys);
      if (ok) p.cmdOK.UserClick();
    };
  };
  struct Case {
    const char* tag;
    std::string start;
    int32_t maxLength;  // 0: as loaded
    User user;
    std::string text;  // in the box when the prompt closes
    int refusals;      // "Invalid name" boxes
    int16_t result;
    std::string answer;  // the Tag afterwards
  } cases[] = {
      {"0", "", 0, type("my-cat 2024.x!"), "mycat202", 0, 0, "mycat202"},
      {"0", "", 0, type("Pr\xFC" "f\x8A\x80\xD7_\xE9"), "Pr\xFC" "f\x8A\xE9", 0, 0, "Pr\xFC" "f\x8A\xE9"},
      {"0", "BOOKS", 0, [](frmEnterName& p) {
         p.UserKey(platform::key::kEnd);
         p.txtName.UserType("\b\bX");
         p.UserKey(platform::key::kReturn);
       }, "BOOX", 0, 0, "BOOX"},
      {"1", "", 20, type("Q1 report, v2"), "Q1 report, v2", 0, 0, "Q1 report, v2"},
      {"0", "", 0, [](frmEnterName& p) {
         p.cmdOK.UserClick();  // empty
         EXPECT_TRUE(p.txtName.HasFocus());
         p.txtName.UserPaste("../cat");  // a paste passes the keys by, not OK
         p.cmdOK.UserClick();
         EXPECT_TRUE(p.txtName.HasFocus());
         p.UserKey(platform::key::kEscape);
       }, "../cat", 2, -1, "0"},
      {"1", "", 0, [](frmEnterName& p) { p.cmdOK.UserClick(); p.txtName.UserType("a b"); p.cmdOK.UserClick(); },
       "a b", 1, 0, "a b"},
      {"0", "KEEP", 0, type("X", false), "XKEEP", 0, 0, "0"},  // left by the close box
      {"0", "KEEP", 0, [](frmEnterName& p) { p.cmdCancel.UserClick(); }, "KEEP", 0, -1, "0"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.text);
    frmEnterName prompt(store_);
    prompt.LoadForm();
    prompt.SetCaption("Caption");
    prompt.lblUserAction.SetCaption("Question");
    prompt.txtName.SetText(c.start);
    if (c.maxLength > 0) prompt.txtName.SetMaxLength(c.maxLength);
    prompt.SetTag(c.tag);
    const bool viaCloseBox = c.answer == "0" && c.result == 0;
    host_.OnShow("frmEnterName", [&](Form& f) {
      auto& p = static_cast<frmEnterName&>(f);
      EXPECT_EQ(p.lblUserAction.Caption(), "Question");
      EXPECT_EQ(p.BorderStyle(), platform::FormBorder::FixedDialog);
      EXPECT_EQ(p.txtName.Text(), c.start);
      EXPECT_EQ(p.txtName.MaxLength(), c.maxLength > 0 ? c.maxLength : 8);
      EXPECT_TRUE(p.txtName.HasFocus());
      EXPECT_TRUE(p.cmdOK.Enabled() && p.cmdOK.Default() && p.cmdOK.Caption() == "OK");
      EXPECT_TRUE(p.cmdCancel.Enabled() && p.cmdCancel.Cancel() && p.cmdCancel.Caption() == "Cancel");
      // A sunken frame one pixel round the box.
      ASSERT_EQ(p.Drawing().size(), 4u);
      EXPECT_EQ(p.Drawing()[0].x1, p.txtName.Left() - host_.Screen().twipsPerPixelX);
      EXPECT_EQ(p.Drawing()[0].y1, p.txtName.Top() - host_.Screen().twipsPerPixelY);
      EXPECT_EQ(p.Drawing()[2].y1, p.txtName.Top() + p.txtName.Height());
      c.user(p);
      EXPECT_EQ(p.txtName.Text(), c.text);
      if (viaCloseBox) p.UserClose();
    });
    for (int i = 0; i < c.refusals; ++i) host_.AnswerMsgBox(MsgAnswer::OK, "Invalid name");
    store_.DialogResult = 0;
    prompt.Show(platform::ShowMode::Modal);
    EXPECT_EQ(store_.DialogResult, viaCloseBox ? -1 : c.result);
    EXPECT_EQ(prompt.Tag(), c.answer);
    EXPECT_FALSE(prompt.Visible());
    EXPECT_EQ(host_.Transcript()[0], "ShowModal(frmEnterName): Caption");
    host_.ClearRecord();
  }
}

TEST_F(StoreTest, FormsCentreAndFrameTheirBoxes) {
  platform::ScreenInfo screen;
  screen.widthTwips = 12000;
  screen.heightTwips = 9000;
  host_.SetScreen(screen);
  frmEnterName prompt(store_);
  prompt.LoadForm();
  EXPECT_EQ(prompt.Left(), (12000 - prompt.Width()) / 2);
  EXPECT_EQ(prompt.Top(), (9000 - prompt.Height()) / 2);
  SetTextReadOnly(prompt.txtName);
  EXPECT_TRUE(prompt.txtName.ReadOnly());

  store_.MousePointerHourglass();
  EXPECT_EQ(host_.MousePointerShape(), 11);
  store_.MousePointerDefault();
  EXPECT_EQ(host_.MousePointerShape(), 0);
}

TEST_F(StoreTest, KeyFieldListAndReportFont) {
  store_.FieldDefs[2] = {"Author        ", KindKey};
  store_.FieldDefs[5] = {"Price         ", KindKeySummed};
  store_.FieldDefs[6] = {"Total         ", KindSummed};
  frmEnterName form(store_);
  platform::ComboBox list(form, "cboFieldName");
  list.AddItem("kept");
  store_.FillKeyFieldList(list, 5);
  ASSERT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.List(1), "Author        ");
  EXPECT_EQ(list.ItemData(2), 5);
  EXPECT_EQ(list.ListIndex(), 2);
  platform::ComboBox other(form, "cboOther");
  store_.FillKeyFieldList(other, 9);  // not a key field: the first item
  EXPECT_EQ(other.ListIndex(), 0);

  auto& printer = host_.Printer();
  store_.ApplyReportFont();  // nothing chosen yet
  EXPECT_TRUE(printer.Log().empty());
  host_.AnswerFont(platform::FontChoice{"Arial", 0});
  store_.ChooseReportFont();  // size 0: nothing changes
  EXPECT_TRUE(store_.ReportFontName.empty());
  host_.AnswerFont(platform::FontChoice{"Arial", 12, 700, true, false});
  store_.ChooseReportFont();
  EXPECT_EQ(store_.ReportFontName, "Arial");
  EXPECT_TRUE(store_.ReportFontFlags.Bold);
  EXPECT_TRUE(store_.ReportFontFlags.Italic);
  EXPECT_FALSE(printer.DocumentOpen()) << "a font alone begins no document";
  EXPECT_EQ(printer.Font().name, "Arial");
  EXPECT_EQ(printer.Font().size, 12);
  EXPECT_TRUE(printer.Font().bold);
}

}  // namespace
}  // namespace kelvarin::store
