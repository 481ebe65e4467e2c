// The host that tests drive. A test says beforehand what the user does when a
// form is shown modally (OnShow), how message boxes and common dialogs are
// answered, and when the progress gauge's Cancel is pressed; afterwards it
// reads a transcript of what the program showed.
//
// Anything the program shows that the test did not provide for (a message
// box, a modal form, a dialog with nothing queued) is recorded as a failure
// and answered harmlessly so the program can go on; ExpectAllConsumed adds a
// failure for every answer or script left unused. Tests check Failures() (or
// use tests/support/scripted_expect.h).
//
// Transcript lines:
//   MsgBox(OK,Exclamation,"Kelvarin Your Catalog"): Invalid name
//   Beep
//   ShowModal(frmSearch): Search            (form name, then caption)
//   ShowModeless(frmGauge): Searching...
//   Hide(frmGauge)                          (modeless forms only)
//   Pointer(11)
//   SaveFileDialog(Save Report As): C:\x.txt   or   ...: <cancel>
//   OpenFileDialog(...), FontDialog: Arial 10 / <cancel>
//   FocusMessage(1045,20)
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/model/form.h"
#include "platform/recording_printer.h"

namespace kelvarin::platform {

class ScriptedHost : public Host {
 public:
  using FormScript = std::function<void(Form&)>;

  ScriptedHost();
  ~ScriptedHost() override;

  // --- what the user will do ----------------------------------------------
  // When the form named formName is next shown modally, script runs with it
  // (set controls, type, click); several scripts for one form run in order.
  // A form still shown after its script is a failure and is hidden.
  void OnShow(const std::string& formName, FormScript script);
  // The same with the form's own class: host.OnShowAs<frmSearch>("frmSearch",
  // [](frmSearch& f) { f.cmdOK.UserClick(); }); a form of another class is a
  // failure.
  template <class F>
  void OnShowAs(const std::string& formName, std::function<void(F&)> script) {
    OnShow(formName, [this, formName, script = std::move(script)](Form& form) {
      if (auto* f = dynamic_cast<F*>(&form))
        script(*f);
      else
        AddFailure("modal form " + formName + " is not of the class its script expects");
    });
  }
  // The next message box is answered so; with expectedText, a box showing
  // another text is a failure (still answered).
  void AnswerMsgBox(MsgAnswer answer);
  void AnswerMsgBox(MsgAnswer answer, const std::string& expectedText);
  // The path the user picks, as the file system's bytes (UTF-8); nullopt =
  // the user cancels.
  void AnswerSaveFile(std::optional<std::string> path);
  void AnswerOpenFile(std::optional<std::string> path);
  void AnswerFont(std::optional<FontChoice> font);
  // Runs action at the n-th DoEvents from now (1 = the next one).
  void AtDoEvents(int n, std::function<void()> action);
  // Presses Cancel on the shown modeless gauge form at the n-th DoEvents
  // from now: the enabled command button with Cancel set, or else the one
  // named "cmdCancel", of the modeless form named gaugeForm.
  void CancelGaugeAfter(int n, const std::string& gaugeForm = "frmGauge");

  // --- the environment ------------------------------------------------------
  void SetToday(CalendarDate d) { today_ = d; }
  void SetTimeOfDay(double seconds) { timeOfDay_ = seconds; }
  LocaleSettings& MutableLocale() { return locale_; }
  void SetScreen(const ScreenInfo& s) { screen_ = s; }
  void SetFontMeasures(const FontMeasures& f) { fonts_ = f; }
  RecordingPrinter& Printer() { return printer_; }

  // --- what happened --------------------------------------------------------
  const std::vector<std::string>& Transcript() const { return transcript_; }
  // The texts of the message boxes shown, in order.
  std::vector<std::string> MessageTexts() const;
  int BeepCount() const { return beeps_; }
  int DoEventsCount() const { return doEvents_; }
  // Records a failure of the test's own (shown with the host's).
  void AddFailure(std::string message) { Fail(std::move(message)); }
  // Every failure so far, one per line; "" when there is none.
  std::string Failures() const;
  // Adds a failure for each script and answer not used, forgets them, and
  // returns Failures().
  std::string ExpectAllConsumed();
  // Forgets the transcript, counts and failures (not the queued answers).
  void ClearRecord();
  // Forms shown modeless and not hidden since.
  const std::vector<Form*>& ModelessForms() const { return modeless_; }

  // --- Host -----------------------------------------------------------------
  MsgAnswer MsgBox(const std::string& text, MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None,
                   const std::string& title = "") override;
  void Beep() override;
  void DoEvents() override;
  void ShowModal(Form& form) override;
  void ShowModeless(Form& form) override;
  void HideForm(Form& form) override;
  void FormDestroyed(Form& form) override;
  ScreenInfo Screen() const override { return screen_; }
  int MousePointerShape() const override { return pointer_; }
  void SetMousePointerShape(int shape) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<FontChoice> FontDialog(const FontChoice& current) override;
  kelvarin::platform::Printer& GetPrinter() override { return printer_; }
  CalendarDate Today() const override { return today_; }
  double TimeOfDay() const override { return timeOfDay_; }
  const LocaleSettings& Locale() const override { return locale_; }
  FontMeasures MainFontMeasures() const override { return fonts_; }
  void SendFocusMessage(int message, int32_t wParam) override;

 private:
  struct Script {
    std::string form;
    FormScript run;
  };
  struct MsgAnswerItem {
    MsgAnswer answer;
    std::optional<std::string> expected;
  };
  struct DoEventsAction {
    int at;  // absolute DoEvents count
    std::function<void()> run;
  };
  void Fail(std::string message);
  std::optional<std::string> FileAnswer(std::deque<std::optional<std::string>>& queue, const char* what,
                                        const FileDialogRequest& request);

  std::deque<Script> scripts_;
  std::deque<MsgAnswerItem> msgAnswers_;
  std::deque<std::optional<std::string>> saveAnswers_;
  std::deque<std::optional<std::string>> openAnswers_;
  std::deque<std::optional<FontChoice>> fontAnswers_;
  std::vector<DoEventsAction> doEventsActions_;

  CalendarDate today_{2026, 12, 7};
  double timeOfDay_ = 9 * 3600;
  LocaleSettings locale_;
  ScreenInfo screen_;
  FontMeasures fonts_;
  RecordingPrinter printer_;
  int pointer_ = kPointerDefault;

  std::vector<std::string> transcript_;
  std::vector<std::string> messages_;
  std::vector<std::string> failures_;
  std::vector<Form*> modeless_;
  int beeps_ = 0;
  int doEvents_ = 0;
};

// The name of a message-box style as the transcript writes it.
std::string ButtonsName(MsgButtons b);
std::string IconName(MsgIcon i);
std::string AnswerName(MsgAnswer a);

}  // namespace kelvarin::platform
