// A small dialog for the GUI tests: a text box that refuses the digit 5, a
// default OK button that hides the dialog, a cancel button, a check box, a
// grid and a menu.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <string>

#include "platform/model/model.h"
#include "platform/qt/qt_host.h"

namespace kelvarin::testing {

using namespace kelvarin::platform;

class SampleForm : public Form {
 public:
  explicit SampleForm(Host& host, bool withMenu = false) : Form(host, "frmSample") {
    SetCaption("Enter Name");
    SetBorderStyle(FormBorder::FixedDialog);
    SetScaleWidth(4560);
    SetScaleHeight(2400);
    lblName.SetCaption("&Name:");
    lblName.Move(120, 150, 900, 255);
    txtName.Move(1080, 120, 3240, 285);
    txtName.KeyPress = [this](int16_t& k) {
      if (k == '5') k = 0;
    };
    chkCase.SetCaption("&Case sensitive");
    chkCase.Move(1080, 540, 2400, 255);
    chkCase.Click = [this](int16_t v) { lastCheck = v; };
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.Move(1920, 1920, 1215, 375);
    cmdOK.Click = [this] {
      ++okClicks;
      Hide();
    };
    cmdCancel.SetCaption("Cancel");
    cmdCancel.SetCancel(true);
    cmdCancel.Move(3240, 1920, 1215, 375);
    cmdCancel.Click = [this] {
      ++cancelClicks;
      UnloadForm();
    };
    if (withMenu) {
      mnuFile = std::make_unique<MenuItem>(*this, "mnuFile");
      mnuFile->SetCaption("&File");
      mnuFSave = std::make_unique<MenuItem>(*mnuFile, "mnuFSave");
      mnuFSave->SetCaption("&Save Entry");
      mnuFSave->SetShortcut("Ctrl+S");
      mnuFSave->Click = [this] { ++saveClicks; };
    }
  }

  Label lblName{*this, "lblName"};
  TextBox txtName{*this, "txtName"};
  CheckBox chkCase{*this, "chkCase"};
  CommandButton cmdOK{*this, "cmdOK"};
  CommandButton cmdCancel{*this, "cmdCancel"};
  std::unique_ptr<MenuItem> mnuFile;
  std::unique_ptr<MenuItem> mnuFSave;

  int okClicks = 0;
  int cancelClicks = 0;
  int saveClicks = 0;
  int lastCheck = -1;
};

// Shows the form modeless and waits until its window is the active one.
inline QWidget* ShowAndActivate(platform::qt::QtHost& host, Form& form) {
  form.Show();
  QWidget* window = host.WindowOf(form);
  if (window) {
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window);
  }
  QApplication::processEvents();
  return window;
}

}  // namespace kelvarin::testing
