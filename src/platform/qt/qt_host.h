// The host of the real program: every model form gets a Qt window, message
// boxes and common dialogs are Qt's, the printer is the system's (or PDF
// files), and the clock, locale and screen come from the desktop.
//
//   QtHost host(argc, argv, appDir);
//   frmQAVMain main(host);
//   host.SetMainForm(main);   // else the first form shown modeless
//   main.Show();
//   return host.Run();        // returns once the main form is unloaded
//
// The host must outlive its forms. Windows are built at a form's first
// showing and dropped when it is unloaded.
//
// What the user does to a window reaches the model only through the
// controls' User* entry points and the form's key routing; the model's
// changes come back through the views (see FormView and Binding).
#pragma once

#include <QPointer>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"

class QApplication;
class QEventLoop;
class QWidget;
class QObject;

namespace kelvarin::platform {
class Control;
class MenuItem;
}  // namespace kelvarin::platform

namespace kelvarin::platform::qt {

class FormView;
class QtPrinter;
class EventRouter;

class QtHost : public Host {
 public:
  // Creates the QApplication (argc must outlive the host).
  QtHost(int& argc, char** argv, std::string appDir);
  // Uses the QApplication that already exists (tests), or makes one
  // without arguments.
  explicit QtHost(std::string appDir);
  ~QtHost() override;
  QtHost(const QtHost&) = delete;
  QtHost& operator=(const QtHost&) = delete;

  // The form whose unloading ends Run. Without this call it is the first
  // form shown modeless; when that one is unloaded while another form's
  // window is still shown (a splash screen shown from the main window's
  // Load), the role passes to the window still shown.
  void SetMainForm(Form& form) {
    mainForm_ = &form;
    mainChosen_ = true;
  }
  Form* MainForm() const { return mainForm_; }
  // Runs the event loop until the main form is unloaded or destroyed;
  // returns at once when there is no loaded main form.
  int Run();
  // Whether the main form has been unloaded (the program is to end).
  bool Finished() const { return finished_; }

  // The window of a form (null before its first showing); the widget of a
  // control; the action of a menu item. For tests and the program's own use.
  QWidget* WindowOf(const Form& form) const;
  QWidget* WidgetOf(const Control& control) const;
  class QAction* ActionOf(const MenuItem& item) const;
  FormView* ViewOf(const Form& form) const;

  QtPrinter& ReportPrinter();

  // --- Host -------------------------------------------------------------------
  MsgAnswer MsgBox(const std::string& text, MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None,
                   const std::string& title = "") override;
  void Beep() override;
  void DoEvents() override;
  void ShowModal(Form& form) override;
  void ShowModeless(Form& form) override;
  void HideForm(Form& form) override;
  void FormUnloaded(Form& form) override;
  void FormDestroyed(Form& form) override;
  ScreenInfo Screen() const override;
  int MousePointerShape() const override { return pointer_; }
  void SetMousePointerShape(int shape) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<FontChoice> FontDialog(const FontChoice& current) override;
  Printer& GetPrinter() override;
  CalendarDate Today() const override;
  double TimeOfDay() const override;
  const LocaleSettings& Locale() const override { return locale_; }
  FontMeasures MainFontMeasures() const override;
  void SendFocusMessage(int message, int32_t wParam) override;

 private:
  void Init();
  FormView& EnsureView(Form& form);
  // The window new windows belong to (the main form's), if any.
  QWidget* OwnerWindow(const Form& form) const;
  std::optional<std::string> FileDialog(const FileDialogRequest& request, bool save);

  std::unique_ptr<QApplication> app_;
  std::string appDir_;
  std::map<const Form*, std::unique_ptr<FormView>> views_;
  struct ModalLoop;
  std::map<const Form*, std::vector<ModalLoop*>> modalLoops_;
  std::unique_ptr<EventRouter> router_;
  std::unique_ptr<QtPrinter> printer_;
  LocaleSettings locale_;
  Form* mainForm_ = nullptr;
  bool mainChosen_ = false;
  QEventLoop* runLoop_ = nullptr;
  bool finished_ = false;
  int pointer_ = kPointerDefault;
};

// The locale settings of a Qt locale (exposed for tests).
LocaleSettings LocaleFromQt(const class QLocale& locale);
// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*" as Qt name filters.
std::vector<std::string> QtNameFilters(const std::string& filter);
// The virtual-key number of a Qt key (0 when it has none).
int16_t VirtualKeyOf(int qtKey, bool keypad);

}  // namespace kelvarin::platform::qt
