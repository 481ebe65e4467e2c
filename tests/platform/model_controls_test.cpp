#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/model/model.h"
#include "platform/scripted/scripted_host.h"

namespace kelvarin::platform {
namespace {

using Log = std::vector<std::string>;

class frmTest : public Form {
 public:
  explicit frmTest(Host& host) : Form(host, "frmTest") {}
};

struct Fixture : ::testing::Test {
  ScriptedHost host;
  frmTest form{host};
  void SetUp() override { form.Show(); }
};

using ModelTextBox = Fixture;

TEST_F(ModelTextBox, TypingRespectsMaxLengthSelectionAndBackspace) {
  TextBox box(form, "txtName");
  int changes = 0;
  box.Change = [&] { ++changes; };
  box.SetMaxLength(4);
  box.UserType("abcdef");
  EXPECT_EQ(box.Text(), "abcd");  // typing beyond is refused
  EXPECT_EQ(changes, 4);
  box.UserSelect(1, 2);
  EXPECT_EQ(box.SelText(), "bc");
  box.UserTypeChar('X');  // replaces the selection, so it fits
  EXPECT_EQ(box.Text(), "aXd");
  EXPECT_EQ(box.SelStart(), 2);
  box.UserTypeChar('\b');
  EXPECT_EQ(box.Text(), "ad");
  box.UserSetText("123456");  // paste: cut to the limit, no KeyPress
  EXPECT_EQ(box.Text(), "1234");
  box.SetText("from code may be longer");
  EXPECT_EQ(box.Text(), "from code may be longer");
  EXPECT_EQ(box.SelStart(), 0);
  // Control characters are not inserted.
  box.SetText("");
  box.SetMaxLength(0);
  box.UserType("\x01\t\r");
  EXPECT_EQ(box.Text(), "");
}

TEST_F(ModelTextBox, AKeyPressHandlerCanChangeTheCharacterInserted) {
  TextBox box(form, "txtName");
  box.KeyPress = [](int16_t& k) {
    if (k >= 'a' && k <= 'z') k = static_cast<int16_t>(k - 'a' + 'A');
  };
  box.UserType("ab\xE9");  // Windows-1252 letters pass as codes 128..255
  EXPECT_EQ(box.Text(), "AB\xE9");
}

TEST_F(ModelTextBox, ReadOnlyBoxKeepsFocusAndSelectionButTakesNoText) {
  TextBox box(form, "txtPageLength");
  box.SetText("60");
  box.SetReadOnly(true);
  box.UserSelect(0, 2);
  EXPECT_TRUE(box.HasFocus());
  box.UserType("7");
  box.UserTypeChar('\b');
  box.UserPaste("99");
  form.UserKey(key::kDelete);
  EXPECT_EQ(box.Text(), "60");
  EXPECT_EQ(box.SelLength(), 2);
  // KeyPress handlers still see the keys (a number filter may beep).
  int seen = 0;
  box.KeyPress = [&](int16_t&) { ++seen; };
  box.UserTypeChar('5');
  EXPECT_EQ(seen, 1);
}

TEST_F(ModelTextBox, CaretKeysAndSelText) {
  TextBox box(form, "txt");
  box.SetText("hello");
  box.SetFocus();
  form.UserKey(key::kEnd);
  form.UserKey(key::kLeft);
  form.UserType("X");
  EXPECT_EQ(box.Text(), "hellXo");
  form.UserKey(key::kHome);
  form.UserKey(key::kEnd, kShiftMask);
  EXPECT_EQ(box.SelText(), "hellXo");
  box.SetSelStart(1);
  box.SetSelLength(99);  // clamped to the text
  EXPECT_EQ(box.SelLength(), 5);
  box.SetSelText("i");
  EXPECT_EQ(box.Text(), "hi");
  EXPECT_EQ(box.SelStart(), 2);
}

// Shift with a caret key moves the caret and keeps the anchor, in either
// direction; a plain caret key collapses the selection at its side.
TEST_F(ModelTextBox, ShiftCaretKeysExtendFromTheAnchor) {
  TextBox box(form, "txt");
  box.SetText("abcdef");
  box.SetFocus();
  box.SetSelStart(4);
  form.UserKey(key::kLeft, kShiftMask);
  form.UserKey(key::kLeft, kShiftMask);
  EXPECT_EQ(box.SelText(), "cd");
  EXPECT_TRUE(box.CaretAtStart());
  form.UserKey(key::kRight, kShiftMask);  // back towards the anchor
  EXPECT_EQ(box.SelText(), "d");
  form.UserKey(key::kHome, kShiftMask);
  EXPECT_EQ(box.SelText(), "abcd");
  form.UserKey(key::kEnd, kShiftMask);  // across the anchor
  EXPECT_EQ(box.SelText(), "ef");
  EXPECT_FALSE(box.CaretAtStart());
  form.UserKey(key::kLeft);
  EXPECT_EQ(box.SelStart(), 4);
  EXPECT_EQ(box.SelLength(), 0);
  form.UserKey(key::kRight, kShiftMask);
  form.UserKey(key::kRight);
  EXPECT_EQ(box.SelStart(), 5);
  EXPECT_EQ(box.SelLength(), 0);
}

TEST_F(ModelTextBox, OneLineBoxIsNeverLowerThanTheHostAllows) {
  TextBox box(form, "txt");
  box.SetHeight(1);
  EXPECT_EQ(box.Height(), host.MinTextBoxHeight());
  EXPECT_EQ(box.Height(), 195 + 6 * 15);
  box.SetMultiLine(true);
  box.SetHeight(1);
  EXPECT_EQ(box.Height(), 1);
}

using ModelChoice = Fixture;

TEST_F(ModelChoice, SettingValuesFromCodeRaisesClickWithTheNewValue) {
  CheckBox chk(form, "chkTitles");
  Log log;
  chk.Click = [&](int16_t v) {
    log.push_back("chk " + std::to_string(v));
    if (v == 1) chk.SetValue(0);  // a handler that refuses, as a collision check does
  };
  chk.SetValue(1);
  EXPECT_EQ(chk.Value(), 0);
  EXPECT_EQ(log, (Log{"chk 1", "chk 0"}));
  log.clear();
  chk.SetValue(0);  // unchanged: no event
  EXPECT_TRUE(log.empty());

  CheckBox chk2(form, "chkCase");
  chk2.Click = [&](int16_t v) { log.push_back("chk2 " + std::to_string(v)); };
  chk2.UserClick();
  chk2.UserClick();
  chk2.SetValue(2);
  chk2.UserClick();  // greyed becomes unchecked
  EXPECT_EQ(log, (Log{"chk2 1", "chk2 0", "chk2 2", "chk2 0"}));
}

TEST_F(ModelChoice, OptionsAreExclusiveWithinTheirContainer) {
  Frame fraDest(form, "fraDest");
  OptionButton optMonitor(fraDest, "optMonitor");
  OptionButton optPrinter(fraDest, "optPrinter");
  Frame fraPaper(form, "fraPaper");
  OptionButton optContinuous(fraPaper, "optContinuous");
  OptionButton optLoose(form, "optLoose");
  Log log;
  optMonitor.Click = [&](int16_t v) { log.push_back("monitor " + std::to_string(v)); };
  optPrinter.Click = [&](int16_t v) { log.push_back("printer " + std::to_string(v)); };

  optContinuous.SetValue(true);
  optLoose.SetValue(true);
  optMonitor.SetValue(true);
  optPrinter.UserClick();
  EXPECT_FALSE(optMonitor.Value());
  EXPECT_TRUE(optPrinter.Value());
  EXPECT_TRUE(optContinuous.Value());  // another frame
  EXPECT_TRUE(optLoose.Value());       // on the form itself
  optPrinter.SetValue(true);           // turning on again still runs the handler
  optPrinter.SetValue(false);          // turning off raises nothing
  EXPECT_EQ(log, (Log{"monitor -1", "printer -1", "printer -1"}));
}

TEST_F(ModelChoice, DisablingAFrameDisablesWhatItHolds) {
  Frame fra(form, "fraFormat");
  CheckBox chk(fra, "chkDashed");
  Frame inner(fra, "fraInner");
  OptionButton opt(inner, "optInner");
  int clicks = 0;
  chk.Click = [&](int16_t) { ++clicks; };
  fra.SetEnabled(false);
  EXPECT_TRUE(chk.Enabled());  // its own flag is kept
  EXPECT_FALSE(chk.EffectiveEnabled());
  EXPECT_FALSE(opt.EffectiveEnabled());
  chk.UserClick();
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(chk.SetFocus());
  chk.SetValue(1);  // code still works
  EXPECT_EQ(clicks, 1);
  fra.SetEnabled(true);
  fra.SetVisible(false);
  EXPECT_FALSE(opt.EffectiveVisible());
  fra.SetVisible(true);
  chk.UserClick();
  EXPECT_EQ(clicks, 2);
}

using ModelLists = Fixture;

TEST_F(ModelLists, ComboKeepsItemDataAndRaisesClickOnSelection) {
  ComboBox cbo(form, "cboKeyFields");
  int clicks = 0;
  cbo.Click = [&] { ++clicks; };
  cbo.AddItem("Title");
  cbo.SetItemData(cbo.NewIndex(), 3);
  cbo.AddItem("Author");
  cbo.SetItemData(cbo.NewIndex(), 5);
  cbo.AddItem("First", 0);
  cbo.SetItemData(cbo.NewIndex(), 1);
  ASSERT_EQ(cbo.ListCount(), 3);
  EXPECT_EQ(cbo.List(0), "First");
  EXPECT_EQ(cbo.ItemData(2), 5);
  EXPECT_EQ(cbo.ListIndex(), -1);
  EXPECT_EQ(cbo.Text(), "");
  EXPECT_TRUE(cbo.SetListIndex(1));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(cbo.Text(), "Title");
  EXPECT_FALSE(cbo.SetListIndex(3));
  EXPECT_EQ(cbo.ListIndex(), 1);
  cbo.SetListIndex(1);
  EXPECT_EQ(clicks, 1);
  cbo.UserSelect(2);
  EXPECT_EQ(cbo.ItemData(cbo.ListIndex()), 5);
  EXPECT_EQ(clicks, 2);
  // Outside the list: empty text and 0, never a fault.
  EXPECT_EQ(cbo.List(7), "");
  EXPECT_EQ(cbo.ItemData(-1), 0);
  cbo.RemoveItem(0);  // the selection follows its item
  EXPECT_EQ(cbo.ListIndex(), 1);
  EXPECT_EQ(cbo.Text(), "Author");
  cbo.Clear();
  EXPECT_EQ(cbo.ListCount(), 0);
  EXPECT_EQ(cbo.ListIndex(), -1);
}

TEST_F(ModelLists, FileListShowsMatchingFilesSorted) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("kv_filelist_" + std::to_string(::getpid()));
  fs::create_directories(dir / "SUB.FMT");
  for (const char* name : {"beta.fmt", "ALPHA.FMT", "notes.txt", "gamma.fmt.bak"}) std::ofstream(dir / name) << "x";
  FileList fil(form, "filReport");
  fil.SetPattern("*.fmt");
  fil.SetPath(dir.string());
  ASSERT_EQ(fil.ListCount(), 2);
  EXPECT_EQ(fil.List(0), "ALPHA.FMT");
  EXPECT_EQ(fil.List(1), "beta.fmt");
  fil.SetPattern("*.txt;*.FMT");
  EXPECT_EQ(fil.ListCount(), 3);
  fil.SetPath((dir / "missing").string());
  EXPECT_EQ(fil.ListCount(), 0);

  DirList dirs(form, "dirData");
  int changes = 0;
  dirs.Change = [&] { ++changes; };
  dirs.SetPath(dir.string());
  ASSERT_EQ(dirs.ListCount(), 1);
  EXPECT_EQ(dirs.List(0), (dir / "SUB.FMT").string());
  dirs.UserOpen(0);
  EXPECT_EQ(dirs.Path(), (dir / "SUB.FMT").string());
  EXPECT_EQ(dirs.ListCount(), 0);
  dirs.UserOpenParent();
  EXPECT_EQ(dirs.Path(), dir.string());
  EXPECT_EQ(changes, 3);
  fs::remove_all(dir);

  EXPECT_TRUE(MatchesFilePattern("README", "*.*"));
  EXPECT_TRUE(MatchesFilePattern("a.b.c", "*.c"));
  EXPECT_TRUE(MatchesFilePattern("AB1.fmt", "a?1.*"));
  EXPECT_FALSE(MatchesFilePattern("ab.fmtx", "*.fmt"));
}

using ModelOther = Fixture;

TEST_F(ModelOther, ScrollBarKeepsValueInRangeAndRaisesChange) {
  HScrollBar bar(form, "HScroll1");
  Log log;
  bar.Change = [&] { log.push_back(std::to_string(bar.Value())); };
  bar.SetMin(1);  // the value follows the range
  bar.SetMax(5);
  bar.SetValue(9);
  bar.SetValue(5);
  bar.SetLargeChange(3);
  bar.UserPageUp();
  bar.UserLineDown();
  EXPECT_EQ(log, (Log{"1", "5", "2", "3"}));
  bar.SetMax(0);  // Max below Min: the range is 0..1
  EXPECT_EQ(bar.Value(), 1);
}

TEST_F(ModelOther, MenusAreReachableOnlyThroughEnabledVisibleParents) {
  MenuItem mnuView(form, "mnuView");
  MenuItem mnuVSpeed1(mnuView, "mnuVSpeed1");
  mnuVSpeed1.SetCaption("Search for &Title");
  int clicks = 0;
  mnuVSpeed1.Click = [&] { ++clicks; };
  mnuVSpeed1.SetVisible(false);
  mnuVSpeed1.UserClick();
  mnuVSpeed1.SetVisible(true);
  mnuView.SetEnabled(false);
  mnuVSpeed1.UserClick();
  mnuView.SetEnabled(true);
  mnuVSpeed1.UserClick();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(AccessKey(mnuVSpeed1.Caption()), 'T');
  EXPECT_EQ(AccessKey("Fish && &Chips"), 'C');
  EXPECT_EQ(CaptionWithoutAccessMarks("Fish && &Chips"), "Fish & Chips");
  EXPECT_EQ(AccessKey("None"), 0);
}

TEST_F(ModelOther, StatusBarPanelsByKeyAndPosition) {
  struct : ControlView {  // each panel made or changed is told to the screen
    int told = 0;
    void PropertyChanged(Control&, Property p) override { told += p == Property::Items; }
  } view;
  StatusBar bar(form, "StatusBar1");
  bar.SetView(&view);
  bar.AddPanel("Entry", "Entry # 1");
  bar.AddPanel("SearchMode");
  bar.Panels("SearchMode").SetText("Make Entries");
  EXPECT_EQ(bar.PanelAt(2)->Text(), "Make Entries");
  EXPECT_EQ(bar.PanelAt(3), nullptr);
  bar.Panels("RptDest").SetText("PRINTER");  // unknown keys get a panel
  EXPECT_EQ(bar.PanelCount(), 3);
  EXPECT_EQ(view.told, 5);
  EXPECT_EQ(bar.FindPanel("RptDest")->Text(), "PRINTER");
  EXPECT_EQ(bar.BackColor(), kSysButtonFace);
  EXPECT_FALSE(bar.TabStop());  // Tab passes it by

  // A copy (a loaded control-array element): its panels, none other; its place.
  bar.SetLeft(120);
  StatusBar copy(form, "StatusBar2");
  copy.AddPanel("Old");
  copy.CopyPropertiesFrom(bar);
  EXPECT_EQ(copy.Left(), 120);
  ASSERT_EQ(copy.PanelCount(), 3);
  EXPECT_EQ(copy.PanelAt(3)->Text(), "PRINTER");
}

TEST_F(ModelOther, GaugeTimerSpinAndShapes) {
  Gauge gauge(form, "Gauge1");
  gauge.SetMax(200);
  gauge.SetValue(250);
  EXPECT_EQ(gauge.Value(), 200);
  gauge.SetValue(50);
  EXPECT_EQ(gauge.Percent(), 25);

  Timer tmr(form, "Timer1");
  int ticks = 0;
  tmr.TimerEvent = [&] { ++ticks; };
  tmr.Tick();  // interval 0: not running
  tmr.SetInterval(7000);
  tmr.Tick();
  tmr.SetEnabled(false);
  tmr.Tick();
  EXPECT_EQ(ticks, 1);

  SpinButton spin(form, "Spin1");
  Log log;
  spin.SpinUp = [&] { log.push_back("up"); };
  spin.SpinDown = [&] { log.push_back("down"); };
  spin.UserSpinUp();
  spin.UserSpinDown();
  EXPECT_EQ(log, (Log{"up", "down"}));

  Line lin(form, "linRptEnd");
  lin.SetEnds(0, 390, 9000, 390);
  EXPECT_EQ(lin.Y2(), 390);
}

}  // namespace
}  // namespace kelvarin::platform
