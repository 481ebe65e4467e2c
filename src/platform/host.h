// Everything the platform offers besides forms and controls: message boxes,
// the beep, the yield to the message loop, modal and modeless showing of
// forms, the screen and its mouse pointer, the common dialogs, the printer,
// the clock, the user's regional settings and the main window's font
// measures. Two hosts implement it: the scripted host that tests drive, and
// the Qt host of the real program.
//
// All text crossing this interface is Windows-1252; hosts convert at the GUI.
// Paths are not text: the file dialogs take and answer the file system's
// bytes (platform/text/path_text.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/locale.h"
#include "platform/printer.h"

namespace kelvarin::platform {

class Form;

// Message box buttons and icons, numbered as the classic message box flags
// so that a combined style value reads the same.
enum class MsgButtons { OK = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5 };
enum class MsgIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class MsgAnswer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// Mouse pointer shapes the program uses.
enum MousePointer : int { kPointerDefault = 0, kPointerArrow = 1, kPointerCross = 2, kPointerHourglass = 11 };

struct CalendarDate {
  int year = 1900;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

struct ScreenInfo {
  int twipsPerPixelX = 15;
  int twipsPerPixelY = 15;
  int widthTwips = 1024 * 15;
  int heightTwips = 768 * 15;
};

// Measures of the main window's font, in twips.
struct FontMeasures {
  int16_t maxCharWidth = 165;
  int16_t avgCharWidth = 90;
  int16_t charHeight = 195;
};

struct FileDialogRequest {
  std::string title;
  std::string defaultExt;  // without the dot, e.g. "txt"
  std::string filter;      // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*"
  std::string initialDir;  // a path
  std::string fileName;    // initial file name or path
};

struct FontChoice {
  std::string name;
  double size = 0;  // 0 = nothing chosen
  int weight = 400;  // 700 = bold
  bool italic = false;
  bool underline = false;
};

class Host {
 public:
  virtual ~Host() = default;

  // The program's title, shown by message boxes that give none.
  virtual std::string AppTitle() const { return "Kelvarin Your Catalog"; }

  // An empty title means the program's title.
  virtual MsgAnswer MsgBox(const std::string& text, MsgButtons buttons = MsgButtons::OK,
                           MsgIcon icon = MsgIcon::None, const std::string& title = "") = 0;
  virtual void Beep() = 0;
  // Lets pending window messages run (the classic DoEvents).
  virtual void DoEvents() = 0;

  // Shows the form modally; returns when the form is hidden or unloaded.
  virtual void ShowModal(Form& form) = 0;
  // Shows or hides a form without waiting (main window, gauge).
  virtual void ShowModeless(Form& form) = 0;
  virtual void HideForm(Form& form) = 0;
  // The form has been unloaded (after HideForm) or is being destroyed; a host
  // drops what it keeps for it.
  virtual void FormUnloaded(Form& /*form*/) {}
  virtual void FormDestroyed(Form& /*form*/) {}

  virtual ScreenInfo Screen() const = 0;
  virtual int MousePointerShape() const = 0;
  virtual void SetMousePointerShape(int shape) = 0;

  // Common dialogs; nullopt when the user cancels. A file dialog answers
  // the chosen path as the file system's bytes, exactly as picked.
  virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<FontChoice> FontDialog(const FontChoice& current) = 0;

  virtual Printer& GetPrinter() = 0;

  virtual CalendarDate Today() const = 0;
  // Seconds since midnight.
  virtual double TimeOfDay() const = 0;
  virtual const LocaleSettings& Locale() const = 0;
  virtual FontMeasures MainFontMeasures() const = 0;
  // The least height of a one-line text box in the dialogs' font, in twips:
  // a smaller height set by the program is raised to it.
  virtual int MinTextBoxHeight() const { return MainFontMeasures().charHeight + 6 * Screen().twipsPerPixelY; }

  // Sends a window message to the control that has the input focus (the DBF
  // engine's TEXTLIMIT setting uses it with message 1045).
  virtual void SendFocusMessage(int message, int32_t wParam) = 0;

  // Which form the user works in, kept by the forms themselves (Form::Show
  // and the end of a modal show) so that both hosts see the same activation.
  // Null when none has been shown or the active one went away.
  Form* ActiveForm() const { return activeForm_; }
  // Forms shown modally and not yet closed, innermost last. While one is
  // open the user reaches only it and the forms shown after it.
  const std::vector<Form*>& ModalForms() const { return modalForms_; }

 private:
  friend class Form;
  Form* activeForm_ = nullptr;
  std::vector<Form*> modalForms_;
  std::vector<Form*> modalReturnTo_;  // per modal form: the form active before it
  uint64_t showCounter_ = 0;
};

}  // namespace kelvarin::platform
