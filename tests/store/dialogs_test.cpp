// The shared prompt, the progress gauge and the small shared routines.
#include <gtest/gtest.h>

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

TEST_F(StoreTest, EnterNamePromptFiltersAndValidates) {
  frmEnterName prompt(store_);
  prompt.SetCaption("New Catalog");
  prompt.lblUserAction.SetCaption("Enter New Catalog Name");
  prompt.SetTag("0");
  host_.OnShow("frmEnterName", [&](Form& f) {
    auto& p = static_cast<frmEnterName&>(f);
    p.cmdOK.UserClick();  // empty: refused
    EXPECT_TRUE(p.ShownModal());
    p.txtName.UserPaste("../cat");  // a paste is not filtered by keys: refused on OK
    p.cmdOK.UserClick();
    EXPECT_TRUE(p.ShownModal());
    p.txtName.UserSetText("");
    p.txtName.UserType("my-cat 2024.x!");
    p.UserKey(platform::key::kReturn);
  });
  host_.AnswerMsgBox(MsgAnswer::OK, "Invalid name");
  host_.AnswerMsgBox(MsgAnswer::OK, "Invalid name");
  store_.DialogResult = 5;
  prompt.Show(platform::ShowMode::Modal);
  EXPECT_EQ(store_.DialogResult, 0);
  EXPECT_EQ(prompt.Tag(), "mycat202");  // letters and digits, at most 8
  EXPECT_FALSE(prompt.Visible());
  prompt.UnloadForm();

  frmEnterName free(store_);
  free.SetTag("1");
  free.txtName.SetMaxLength(20);
  host_.OnShow("frmEnterName", [&](Form& f) {
    auto& p = static_cast<frmEnterName&>(f);
    p.txtName.UserType("Q1 report, v2");
    p.cmdOK.UserClick();
  });
  free.Show(platform::ShowMode::Modal);
  EXPECT_EQ(free.Tag(), "Q1 report, v2");

  frmEnterName cancelled(store_);
  cancelled.SetTag("0");
  host_.OnShow("frmEnterName", [&](Form& f) {
    auto& p = static_cast<frmEnterName&>(f);
    p.txtName.UserType("abc");
    p.UserKey(platform::key::kEscape);
  });
  cancelled.Show(platform::ShowMode::Modal);
  EXPECT_EQ(store_.DialogResult, -1);
  EXPECT_EQ(cancelled.Tag(), "0");
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
  prompt.UserPaint();
  EXPECT_EQ(prompt.Drawing().size(), 4u);
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
