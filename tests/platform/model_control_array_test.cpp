#include <gtest/gtest.h>

#include "platform/model/model.h"
#include "platform/scripted/scripted_host.h"

namespace kelvarin::platform {
namespace {

// Rows of a label and a box, built at load time as the criteria dialogs do.
class frmRows : public Form {
 public:
  explicit frmRows(Host& host) : Form(host, "frmRows") {
    txtFieldData.Wire([this](TextBox& t, int16_t i) {
      t.KeyPress = [this, i](int16_t& k) { typed.push_back(std::to_string(i) + ":" + char(k)); };
    });
    lblFieldName(0).SetCaption("Title");
    lblFieldName(0).Move(120, 120, 2310, 285);
    lblFieldName(0).SetForeColor(kRed);
  }
  Frame fraRows{*this, "fraRows"};
  ControlArray<Label> lblFieldName{fraRows, "lblFieldName"};
  ControlArray<TextBox> txtFieldData{fraRows, "txtFieldData"};
  std::vector<std::string> typed;
};

TEST(ModelControlArray, LoadedElementsAreHiddenCopiesOfElementZero) {
  ScriptedHost host;
  frmRows f(host);
  ASSERT_TRUE(f.lblFieldName.Load(1));
  EXPECT_FALSE(f.lblFieldName.Load(1));  // already loaded
  EXPECT_FALSE(f.lblFieldName.Load(0));
  Label& l1 = f.lblFieldName(1);
  EXPECT_EQ(l1.Caption(), "Title");
  EXPECT_EQ(l1.Left(), 120);
  EXPECT_EQ(l1.Width(), 2310);
  EXPECT_EQ(l1.ForeColor(), kRed);
  EXPECT_FALSE(l1.Visible());
  EXPECT_EQ(l1.Index(), 1);
  EXPECT_EQ(l1.Parent(), &f.fraRows);
  EXPECT_EQ(f.FindControl("lblFieldName", 1), &l1);
  // Later changes of element 0 do not reach copies made before.
  f.lblFieldName(0).SetCaption("Author");
  EXPECT_EQ(l1.Caption(), "Title");
  EXPECT_EQ(f.lblFieldName.UBound(), 1);
  EXPECT_EQ(f.lblFieldName.Count(), 2);
}

TEST(ModelControlArray, WiringReachesElementsLoadedLaterWithTheirIndex) {
  ScriptedHost host;
  frmRows f(host);
  f.Show();
  for (int16_t i = 1; i <= 3; ++i) f.txtFieldData.Load(i);
  f.txtFieldData(3).SetVisible(true);
  f.txtFieldData(0).UserTypeChar('a');
  f.txtFieldData(3).UserTypeChar('b');
  f.txtFieldData(2).UserTypeChar('c');  // hidden: ignored
  EXPECT_EQ(f.typed, (std::vector<std::string>{"0:a", "3:b"}));
  EXPECT_EQ(f.txtFieldData(3).Text(), "b");
}

TEST(ModelControlArray, UnloadAndFormUnloadDestroyRuntimeElements) {
  ScriptedHost host;
  frmRows f(host);
  f.Show();
  f.txtFieldData.Load(1);
  f.txtFieldData.Load(2);
  f.txtFieldData(2).SetVisible(true);
  f.txtFieldData(2).SetFocus();
  EXPECT_FALSE(f.txtFieldData.Unload(0));
  EXPECT_TRUE(f.txtFieldData.Unload(2));
  EXPECT_EQ(f.ActiveControl(), nullptr);  // the focused element went away
  EXPECT_EQ(f.FindControl("txtFieldData", 2), nullptr);
  size_t before = f.Controls().size();
  f.UnloadForm();
  EXPECT_EQ(f.Controls().size(), before - 1);
  EXPECT_EQ(f.txtFieldData.Count(), 1);
  // The next load may create them again.
  f.Show();
  EXPECT_TRUE(f.txtFieldData.Load(1));
}

TEST(ModelControlArray, AMissingElementIsAHarmlessCountedStandIn) {
  ScriptedHost host;
  frmRows f(host);
  size_t controls = f.Controls().size();
  f.txtFieldData(7).SetText("lost");
  EXPECT_EQ(f.txtFieldData.MissingElementUses(), 1);
  EXPECT_EQ(f.Controls().size(), controls);
  EXPECT_EQ(f.fraRows.Children().size(), 2u);
  EXPECT_EQ(f.txtFieldData(0).Text(), "");
}

struct AddRemoveView : ControlView {
  std::vector<std::string> log;
  void PropertyChanged(Control&, Property) override {}
  void ControlAdded(Form&, Control& c) override {
    // The element is complete when the host hears of it.
    log.push_back("added " + c.Name() + "(" + std::to_string(c.Index()) + ") " +
                  static_cast<Label&>(c).Caption());
  }
  void ControlRemoving(Form&, Control& c) override {
    log.push_back("removing " + c.Name() + "(" + std::to_string(c.Index()) + ")");
  }
};

TEST(ModelControlArray, TheFormsViewHearsOfElementsComingAndGoing) {
  ScriptedHost host;
  frmRows f(host);
  AddRemoveView view;
  f.SetView(&view);
  f.lblFieldName.Load(1);
  f.lblFieldName.Unload(1);
  EXPECT_EQ(view.log, (std::vector<std::string>{"added lblFieldName(1) Title", "removing lblFieldName(1)"}));
  f.SetView(nullptr);
}

}  // namespace
}  // namespace kelvarin::platform
