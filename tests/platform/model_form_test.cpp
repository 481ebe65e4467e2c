#include <gtest/gtest.h>

#include "platform/model/model.h"
#include "platform/scripted/scripted_host.h"
#include "support/scripted_expect.h"

namespace kelvarin::platform {
namespace {

using kelvarin::test_support::ScriptedExpect;
using Log = std::vector<std::string>;

// A small dialog in the shape the program's dialogs take.
class frmPrompt : public Form {
 public:
  explicit frmPrompt(Host& host) : Form(host, "frmPrompt") {
    SetCaption("Prompt");
    Load = [this] { log.push_back("Load"); };
    Activate = [this] { log.push_back("Activate"); };
    Paint = [this] { log.push_back("Paint"); };
    Unload = [this](int16_t& cancel) {
      log.push_back("Unload");
      cancel = refuseUnload ? -1 : 0;
    };
    cmdOK.SetCaption("&OK");
    cmdOK.SetDefault(true);
    cmdCancel.SetCaption("&Cancel");
    cmdCancel.SetCancel(true);
    cmdOK.Click = [this] {
      log.push_back("OK:" + txtName.Text());
      Hide();
    };
    cmdCancel.Click = [this] {
      log.push_back("Cancel");
      UnloadForm();
    };
    txtName.GotFocus = [this] { log.push_back("txtName.GotFocus"); };
    txtName.LostFocus = [this] { log.push_back("txtName.LostFocus"); };
    txtOther.GotFocus = [this] { log.push_back("txtOther.GotFocus"); };
  }
  TextBox txtName{*this, "txtName"};
  TextBox txtOther{*this, "txtOther"};
  CommandButton cmdOK{*this, "cmdOK"};
  CommandButton cmdCancel{*this, "cmdCancel"};
  bool refuseUnload = false;
  Log log;
};

TEST(ModelForm, ModalShowRunsLifeCycleAndReturnsWhenHidden) {
  ScriptedHost host;
  ScriptedExpect expect(host);
  frmPrompt f(host);
  host.OnShow("frmPrompt", [](Form& form) {
    auto& p = static_cast<frmPrompt&>(form);
    EXPECT_EQ(p.ActiveControl(), &p.txtName);  // first in tab order
    p.txtName.UserType("abc");
    p.UserKey(key::kReturn);  // default button
  });
  f.Show(ShowMode::Modal);
  EXPECT_EQ(f.log, (Log{"Load", "Activate", "txtName.GotFocus", "Paint", "OK:abc"}));
  EXPECT_FALSE(f.Visible());
  EXPECT_TRUE(f.Loaded());
  EXPECT_EQ(host.Transcript(), (Log{"ShowModal(frmPrompt): Prompt"}));

  // A second show of the still-loaded form does not load it again.
  f.log.clear();
  host.OnShow("frmPrompt", [](Form& form) { form.UserKey(key::kEscape); });
  f.Show(ShowMode::Modal);
  EXPECT_EQ(f.log, (Log{"Activate", "Paint", "Cancel", "Unload"}));
  EXPECT_FALSE(f.Loaded());
}

TEST(ModelForm, AModalFormBlocksTheFormsBehindItAndHandsActivationBack) {
  ScriptedHost host;
  ScriptedExpect expect(host);
  frmPrompt main(host);
  frmPrompt dialog(host);
  MenuItem mnuFile(main, "mnuFile");
  Log order;
  main.Activate = [&] { order.push_back("main.Activate"); };
  main.Deactivate = [&] { order.push_back("main.Deactivate"); };
  dialog.Activate = [&] { order.push_back("dialog.Activate"); };
  int mainClicks = 0;
  main.cmdOK.Click = [&] { ++mainClicks; };
  mnuFile.Click = [&] { ++mainClicks; };
  main.Show();
  EXPECT_EQ(host.ActiveForm(), &main);
  host.OnShow("frmPrompt", [&](Form&) {
    EXPECT_TRUE(main.Blocked());
    main.cmdOK.UserClick();
    main.UserKey(key::kReturn);
    mnuFile.UserClick();
    EXPECT_EQ(host.ModalForms(), (std::vector<Form*>{&dialog}));
    dialog.cmdOK.UserClick();
  });
  dialog.Show(ShowMode::Modal);
  EXPECT_EQ(mainClicks, 0);
  EXPECT_FALSE(main.Blocked());
  EXPECT_EQ(order, (Log{"main.Activate", "main.Deactivate", "dialog.Activate", "main.Activate"}));
  EXPECT_EQ(host.ActiveForm(), &main);
  main.cmdOK.UserClick();
  EXPECT_EQ(mainClicks, 1);
}

TEST(ModelForm, UnloadCanBeCancelledAndUnloadingInLoadPreventsTheShow) {
  ScriptedHost host;
  ScriptedExpect expect(host);
  frmPrompt f(host);
  f.refuseUnload = true;
  f.Show();
  EXPECT_FALSE(f.UnloadForm());
  EXPECT_TRUE(f.Loaded());
  EXPECT_TRUE(f.Visible());

  int16_t seenMode = -1;
  f.QueryUnload = [&](int16_t& cancel, int16_t mode) {
    seenMode = mode;
    cancel = 0;
  };
  f.refuseUnload = false;
  f.UserClose();
  EXPECT_EQ(seenMode, kUnloadByUser);
  EXPECT_FALSE(f.Loaded());
  EXPECT_FALSE(f.Visible());

  frmPrompt g(host);
  g.Load = [&g] { g.UnloadForm(); };
  g.Show(ShowMode::Modal);  // nothing queued: the host must not see it
  EXPECT_FALSE(g.Visible());
  EXPECT_EQ(host.Transcript(), (Log{"ShowModeless(frmPrompt): Prompt", "Hide(frmPrompt)"}));
}

TEST(ModelForm, KeyPreviewSeesKeysFirstAndCanDropThem) {
  ScriptedHost host;
  ScriptedExpect expect(host);
  frmPrompt f(host);
  f.SetKeyPreview(true);
  Log order;
  f.KeyPress = [&](int16_t& k) {
    order.push_back("form:" + std::string(1, static_cast<char>(k)));
    if (k == 'x') k = 0;
  };
  f.txtName.KeyPress = [&](int16_t& k) {
    order.push_back("box:" + std::string(1, static_cast<char>(k)));
    if (k >= '0' && k <= '9') k = 0;
  };
  f.Show();
  f.txtName.UserType("a1x");
  EXPECT_EQ(f.txtName.Text(), "a");
  EXPECT_EQ(order, (Log{"form:a", "box:a", "form:1", "box:1", "form:x"}));

  // Without preview only the box's handler runs.
  order.clear();
  f.SetKeyPreview(false);
  f.txtName.UserType("b");
  EXPECT_EQ(order, (Log{"box:b"}));
  EXPECT_EQ(f.txtName.Text(), "ab");

  // A KeyDown dropped by the form never reaches the box nor the buttons.
  f.SetKeyPreview(true);
  f.KeyDown = [](int16_t& code, int16_t) {
    if (code == key::kReturn) code = 0;
  };
  f.UserKey(key::kReturn);
  EXPECT_EQ(f.log.back(), "Paint");
}

TEST(ModelForm, TabMovesFocusInTabOrderSkippingWhatCannotTakeIt) {
  ScriptedHost host;
  ScriptedExpect expect(host);
  frmPrompt f(host);
  f.Show();
  f.log.clear();
  f.cmdCancel.SetTabIndex(-1);  // first
  f.txtOther.SetEnabled(false);
  f.cmdOK.SetTabStop(false);
  EXPECT_EQ(f.TabOrder(), (std::vector<Control*>{&f.cmdCancel, &f.txtName}));
  f.UserKey(key::kTab);
  EXPECT_EQ(f.ActiveControl(), &f.cmdCancel);
  f.UserKey(key::kTab);
  EXPECT_EQ(f.ActiveControl(), &f.txtName);
  f.UserKey(key::kTab, kShiftMask);
  EXPECT_EQ(f.ActiveControl(), &f.cmdCancel);
  EXPECT_EQ(f.log, (Log{"txtName.LostFocus", "txtName.GotFocus", "txtName.LostFocus"}));

  // With one tab stop left, Tab reaches the key handlers as character 9.
  f.cmdCancel.SetTabStop(false);
  f.txtName.SetFocus();
  int16_t seen = 0;
  f.txtName.KeyPress = [&](int16_t& k) { seen = k; };
  f.UserKey(key::kTab);
  EXPECT_EQ(seen, 9);
  EXPECT_EQ(f.ActiveControl(), &f.txtName);
}

TEST(ModelForm, EnterClicksTheFocusedButtonOrTheDefaultAndEscapeTheCancel) {
  ScriptedHost host;
  ScriptedExpect expect(host);
  frmPrompt f(host);
  f.Show();
  f.cmdCancel.SetFocus();
  f.UserKey(key::kReturn);  // the focused button wins over the default one
  EXPECT_EQ(f.log.back(), "Unload");

  frmPrompt g(host);
  g.Show();
  g.cmdOK.SetEnabled(false);
  g.UserKey(key::kReturn);  // a disabled default button is not pressed
  EXPECT_TRUE(g.Visible());
  int16_t enterChar = 0;
  g.txtName.KeyPress = [&](int16_t& k) { enterChar = k; };
  g.UserKey(key::kReturn);
  EXPECT_EQ(enterChar, 13);  // no default button to take it: the box sees it

  g.cmdCancel.SetCancel(false);
  g.UserKey(key::kEscape);
  EXPECT_TRUE(g.Loaded());
  g.cmdOK.SetCancel(true);  // only one cancel button per form
  EXPECT_FALSE(g.cmdCancel.Cancel());
}

TEST(ModelForm, UserActionsAreIgnoredWhenNotReachable) {
  ScriptedHost host;
  ScriptedExpect expect(host);
  frmPrompt f(host);
  int clicks = 0;
  f.cmdOK.Click = [&] { ++clicks; };
  f.cmdOK.UserClick();  // form not shown
  f.txtName.UserType("a");
  f.Show();
  f.cmdOK.SetVisible(false);
  f.cmdOK.UserClick();
  f.cmdOK.SetVisible(true);
  f.SetEnabled(false);  // the whole window, as during a long run
  f.cmdOK.UserClick();
  f.UserKey(key::kReturn);
  EXPECT_FALSE(f.txtName.EffectiveEnabled());
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(f.txtName.Text(), "");
  f.SetEnabled(true);
  f.cmdOK.UserClick();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(f.ActiveControl(), &f.cmdOK);  // a click takes the focus
}

TEST(ModelForm, SpaceActsOnTheFocusedButtonOrCheckBoxAndAHiddenFocusTakesNoKeys) {
  ScriptedHost host;
  ScriptedExpect expect(host);
  frmPrompt f(host);
  CheckBox chk(f, "chkCase");
  f.Show();
  chk.SetFocus();
  f.UserKey(key::kSpace);
  EXPECT_EQ(chk.Value(), 1);
  f.cmdOK.SetFocus();
  f.UserKey(key::kSpace);
  EXPECT_EQ(f.log.back(), "OK:");

  f.Show();
  f.txtName.SetFocus();
  f.txtName.SetVisible(false);
  int formKeys = 0;
  f.KeyPress = [&](int16_t&) { ++formKeys; };
  f.UserType("zz");
  EXPECT_EQ(f.txtName.Text(), "");
  EXPECT_EQ(formKeys, 2);  // the form takes what no control can
}

TEST(ModelForm, SetFocusRefusesControlsThatCannotTakeIt) {
  ScriptedHost host;
  frmPrompt f(host);
  Label lbl(f, "lblX");
  EXPECT_FALSE(lbl.SetFocus());
  f.txtOther.SetVisible(false);
  EXPECT_FALSE(f.txtOther.SetFocus());
  EXPECT_TRUE(f.txtName.SetFocus());
  EXPECT_TRUE(f.txtName.HasFocus());
}

struct RecordingView : ControlView {
  Log changes;
  void PropertyChanged(Control& c, Property p) override {
    changes.push_back(c.Name() + ":" + std::to_string(static_cast<int>(p)));
  }
  void ControlAdded(Form&, Control& c) override { changes.push_back("added " + c.Name()); }
  void ControlRemoving(Form&, Control& c) override { changes.push_back("removing " + c.Name()); }
};

TEST(ModelForm, ViewsHearOfChangesOnlyWhenSomethingChanged) {
  ScriptedHost host;
  frmPrompt f(host);
  RecordingView view;
  f.txtName.SetView(&view);
  f.txtName.SetText("x");
  f.txtName.SetText("x");
  f.txtName.SetLeft(10);
  f.txtName.SetLeft(10);
  f.txtName.SetBackColor(kRed);
  EXPECT_EQ(view.changes, (Log{"txtName:" + std::to_string(static_cast<int>(Property::Text)),
                               "txtName:" + std::to_string(static_cast<int>(Property::Selection)),
                               "txtName:" + std::to_string(static_cast<int>(Property::Geometry)),
                               "txtName:" + std::to_string(static_cast<int>(Property::BackColor))}));
}

TEST(ModelForm, FormsListTheirControlsMenusAndArrays) {
  ScriptedHost host;
  frmPrompt f(host);
  MenuItem mnuFile(f, "mnuFile");
  MenuItem mnuFExit(mnuFile, "mnuFExit");
  ControlArray<Label> lblFieldName(f, "lblFieldName");
  ASSERT_EQ(f.Controls().size(), 5u);
  EXPECT_EQ(f.Controls()[4], &lblFieldName(0));
  EXPECT_EQ(f.Menus(), (std::vector<MenuItem*>{&mnuFile}));
  EXPECT_EQ(mnuFile.Items(), (std::vector<MenuItem*>{&mnuFExit}));
  EXPECT_EQ(f.Arrays().size(), 1u);
  EXPECT_EQ(f.FindControl("cmdOK"), &f.cmdOK);
  EXPECT_EQ(f.FindControl("mnuFExit"), &mnuFExit);
  EXPECT_EQ(f.FindControl("lblFieldName", 0), &lblFieldName(0));
  EXPECT_EQ(f.FindControl("lblFieldName"), nullptr);
  EXPECT_EQ(f.FindControl("nothing"), nullptr);
}

TEST(ModelForm, ScaleSizeIsTheClientAreaAndPaintStartsFromAnEmptySurface) {
  ScriptedHost host;
  frmPrompt f(host);
  f.SetScaleWidth(9375);
  f.SetScaleHeight(6795);
  EXPECT_EQ(f.Width(), 9375 + Form::kFrameWidth);
  EXPECT_EQ(f.ScaleHeight(), 6795);
  f.Paint = [&f] { f.DrawLine(0, 0, 100, 0, kBlack); };
  f.Show();
  f.UserPaint();
  EXPECT_EQ(f.Drawing().size(), 1u);
}

}  // namespace
}  // namespace kelvarin::platform
