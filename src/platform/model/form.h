// A window of the program: a container of controls with a caption, menus,
// a life cycle (load, show modal or modeless, hide, unload) and the keyboard
// routing of the classic forms (key preview, default and cancel buttons, tab
// order). A program window is a class deriving from Form whose controls and
// handlers are members:
//
//   class frmEnterName : public Form {
//    public:
//     explicit frmEnterName(Host& host) : Form(host, "frmEnterName") {
//       Load = [this] { Form_Load(); };
//       cmdOK.Click = [this] { cmdOK_Click(); };
//     }
//     TextBox txtName{*this, "txtName"};
//     CommandButton cmdOK{*this, "cmdOK"};
//     ...
//   };
//
// The host must outlive its forms.
//
// Unloading forgets the run-time elements of the form's control arrays and
// its focus; the design properties of its other controls keep their values,
// so an opener that needs a form as designed constructs a fresh object.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/model/control.h"

namespace kelvarin::platform {

class ControlArrayBase;
class CommandButton;
class MenuItem;

enum class ShowMode { Modeless, Modal };

enum class FormBorder { None = 0, FixedSingle = 1, Sizable = 2, FixedDialog = 3 };

// A line drawn on the form's surface (in twips, client coordinates).
struct DrawnLine {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Color color = kBlack;
  friend bool operator==(const DrawnLine&, const DrawnLine&) = default;
};

class Form : public Control, public Container {
 public:
  // Width and height of the window frame (borders and caption bar) in twips:
  // Width = ScaleWidth + kFrameWidth, Height = ScaleHeight + kFrameHeight.
  static constexpr int32_t kFrameWidth = 120;
  static constexpr int32_t kFrameHeight = 405;

  Form(Host& host, std::string name);
  ~Form() override;

  Control& AsControl() override { return *this; }
  Host& GetHost() const { return *host_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  // The client area; setting it changes Width / Height by the frame size.
  int32_t ScaleWidth() const { return Width() - kFrameWidth; }
  int32_t ScaleHeight() const { return Height() - kFrameHeight; }
  void SetScaleWidth(int32_t w) { SetWidth(w + kFrameWidth); }
  void SetScaleHeight(int32_t h) { SetHeight(h + kFrameHeight); }

  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool on);
  FormBorder BorderStyle() const { return border_; }
  void SetBorderStyle(FormBorder b);

  // --- life cycle -------------------------------------------------------
  bool Loaded() const { return loaded_; }
  // Shown modally and not yet hidden.
  bool ShownModal() const { return shownModal_; }
  // Raises Load once per load.
  void LoadForm();
  // Loads the form if needed, makes it visible, makes it the host's active
  // form (Deactivate on the form that was active and is still shown, then
  // Activate on this one), gives the first control in tab order the focus
  // when none has it, raises Paint and hands the form to the host. A modal
  // show returns when the form has been hidden or unloaded; the form that
  // was active before it is then active again and hears Activate. A form
  // unloaded by its own Load handler is not shown.
  void Show(ShowMode mode = ShowMode::Modeless);
  // True while a modal form shown after this one is open: the user cannot
  // reach this form then.
  bool Blocked() const;
  void Hide();
  // QueryUnload and Unload (either may cancel), then hides the form and
  // forgets its run-time state. False when a handler cancelled.
  bool UnloadForm(int16_t mode = kUnloadByCode);
  // Form's own Visible: true shows modeless, false hides.
  void SetVisible(bool v) override;
  void SetEnabled(bool v) override;

  // --- drawing ----------------------------------------------------------
  // Lines drawn by the program (the sunken frames round text boxes). Paint
  // starts from an empty surface.
  void Cls();
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color color);
  const std::vector<DrawnLine>& Drawing() const { return drawing_; }

  // --- contents ---------------------------------------------------------
  Control* ActiveControl() const { return active_; }
  // Every control except menu items, in creation order, including the
  // loaded elements of control arrays.
  const std::vector<Control*>& Controls() const { return controls_; }
  // Top-level menu items in creation order.
  const std::vector<MenuItem*>& Menus() const { return menus_; }
  const std::vector<ControlArrayBase*>& Arrays() const { return arrays_; }
  // A control (or a loaded array element when index >= 0) by name; null
  // when there is none. Menu items are found too.
  Control* FindControl(std::string_view name, int16_t index = -1) const;
  // The controls that Tab visits, in order.
  std::vector<Control*> TabOrder() const;
  // The enabled, visible command button marked Default (Cancel); null if none.
  CommandButton* DefaultButton() const;
  CommandButton* CancelButton() const;

  // --- events -----------------------------------------------------------
  std::function<void()> Load;
  std::function<void()> Activate;
  std::function<void()> Deactivate;
  std::function<void()> Paint;
  std::function<void()> Resize;
  std::function<void()> Click;
  std::function<void()> DblClick;
  std::function<void(int16_t& Cancel, int16_t UnloadMode)> QueryUnload;
  std::function<void(int16_t& Cancel)> Unload;

  // --- what the user does -----------------------------------------------
  // Keys go to the active control (to the form when none has the focus);
  // with KeyPreview the form's handler sees each key first and can drop it.
  // KeyDown of Enter clicks the focused command button or else the default
  // button; Escape clicks the cancel button; Tab moves the focus along the
  // tab order without raising any key event (it reaches the handlers only
  // when no other control can take the focus). A key so used raises no
  // KeyPress. A key that went on is then handled by the control itself
  // (DefaultKeyDown). Returns whether the key
  // went on unused, so that its character (if any) is to be delivered.
  bool UserKeyDown(int16_t keyCode, int16_t shift = 0);
  void UserKeyPress(char ch);
  void UserKeyUp(int16_t keyCode, int16_t shift = 0);
  // A whole key stroke: KeyDown, the character it produces (Enter 13,
  // Escape 27, Tab 9, Backspace 8, Space 32; none for other keys) unless it
  // was used or dropped, then KeyUp.
  void UserKey(int16_t keyCode, int16_t shift = 0);
  // Characters typed into the active control (KeyPress only).
  void UserType(std::string_view text);
  // The close box.
  void UserClose();
  // The window needs painting: the drawing is cleared and Paint raised.
  void UserPaint();

 private:
  friend class Control;
  friend class ControlArrayBase;
  friend class MenuItem;
  void Register(Control* c);
  void Unregister(Control* c, bool notify = true);
  void RegisterMenu(MenuItem* m);
  void UnregisterMenu(MenuItem* m);
  void RegisterArray(ControlArrayBase* a);
  void UnregisterArray(ControlArrayBase* a);
  void SetActive(Control* c);
  void NotifyInherited(Property p) override;
  bool MoveFocus(bool backwards);
  Control* FocusTarget() const;
  void BecomeActive();
  void EndModal();
  void Dispatch(Control* target, char ch);

  Host* host_;
  std::string caption_;
  bool keyPreview_ = false;
  FormBorder border_ = FormBorder::Sizable;
  bool loaded_ = false;
  bool shownModal_ = false;
  bool destroying_ = false;
  Control* active_ = nullptr;
  std::vector<Control*> controls_;
  std::vector<MenuItem*> menus_;
  std::vector<ControlArrayBase*> arrays_;
  std::vector<DrawnLine> drawing_;
  int16_t nextTabIndex_ = 0;
  uint64_t showSequence_ = 0;  // order of the latest show among the host's forms
};

}  // namespace kelvarin::platform
