#include <gtest/gtest.h>

#include "platform/model/model.h"
#include "platform/scripted/scripted_host.h"

namespace kelvarin::platform {
namespace {

// A small dialog in the shape the program's dialogs take.
class frmPrompt : public Form {
 public:
  explicit frmPrompt(Host& host) : Form(host, "frmPrompt") {
    SetCaption("Prompt");
    Load = [this] { log.push_back("Load"); };
    Activate = [this] { log.push_back("Activate"); };
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
  }
  TextBox txtName{*this, "txtName"};
  CommandButton cmdOK{*this, "cmdOK"};
  CommandButton cmdCancel{*this, "cmdCancel"};
  std::vector<std::string> log;
};

TEST(ModelForm, ModalShowRunsTheScriptAndReturnsWhenHidden) {
  ScriptedHost host;
  frmPrompt f(host);
  host.OnShow("frmPrompt", [](Form& form) {
    auto& p = static_cast<frmPrompt&>(form);
    p.txtName.UserType("abc");
    p.UserKey(key::kReturn);
  });
  f.Show(ShowMode::Modal);
  EXPECT_EQ(f.log, (std::vector<std::string>{"Load", "Activate", "OK:abc"}));
  EXPECT_FALSE(f.Visible());
  EXPECT_TRUE(f.Loaded());
  EXPECT_EQ(host.ExpectAllConsumed(), "");
}

}  // namespace
}  // namespace kelvarin::platform
