// The base of every control and of the form itself: name, place in its form
// and container, geometry in twips, visibility, enabled state, colours, font,
// tab order, focus, key and mouse events, and the host's observer.
//
// Controls are members of their form class and register themselves with the
// form and the container (the form, a frame or a picture box) given to their
// constructor; a container must be declared before the controls it holds.
//
// Events are std::function members that the form wires to its handlers:
//   txtName.KeyPress = [this](int16_t& KeyAscii) { txtName_KeyPress(KeyAscii); };
// A key handler drops a key by setting its code to 0.
//
// Two kinds of entry point change a control: property setters, which the
// program calls and which raise the events the classic controls raise when
// set from code; and User* functions, which both hosts call for what the user
// does and which are ignored while the control cannot be reached (hidden,
// disabled, or its form hidden or disabled).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/model/property.h"

namespace kelvarin::platform {

class Container;
class Form;
class Host;

// Raises an event through a copy, so that a handler may rewire the event it
// is running from.
template <class F, class... Args>
void RaiseEvent(const F& event, Args&&... args) {
  if (event) {
    F copy = event;
    copy(std::forward<Args>(args)...);
  }
}

class Control {
 public:
  Control(Container& parent, ControlKind kind, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind Kind() const { return kind_; }
  const std::string& Name() const { return name_; }
  // The element's index within its control array; -1 for a single control.
  int16_t Index() const { return index_; }
  Form& OwnerForm() const { return *form_; }
  // The form, frame or picture box holding the control; null for a form and
  // for menu items.
  Container* Parent() const { return parent_; }
  Host& GetHost() const;

  // The host's mirror; may be null.
  ControlView* View() const { return view_; }
  void SetView(ControlView* view) { view_ = view; }

  // Geometry in twips, relative to the container's client area (a form's
  // own: its outer size and its place on the screen).
  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  virtual void SetLeft(int32_t v);
  virtual void SetTop(int32_t v);
  virtual void SetWidth(int32_t v);
  virtual void SetHeight(int32_t v);
  void Move(int32_t left, int32_t top, int32_t width, int32_t height);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);
  // Own state and every container's (and the form's) together.
  bool EffectiveVisible() const;
  bool EffectiveEnabled() const;
  // Whether the user can reach the control now: effectively visible and
  // enabled, and its form loaded, shown, enabled and not behind a modal form.
  bool Reachable() const;

  Color ForeColor() const { return foreColor_; }
  void SetForeColor(Color c);
  Color BackColor() const { return backColor_; }
  void SetBackColor(Color c);
  const ControlFont& Font() const { return font_; }
  void SetFont(const ControlFont& f);
  void SetFontBold(bool b);
  void SetFontSize(double size);

  const std::string& Tag() const { return tag_; }
  void SetTag(const std::string& t);

  // Tab order: ascending TabIndex among the form's controls that can take
  // the focus and have TabStop set.
  int16_t TabIndex() const { return tabIndex_; }
  void SetTabIndex(int16_t i);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool b);

  int16_t MousePointer() const { return mousePointer_; }
  void SetMousePointer(int16_t shape);

  // Whether this kind of control can hold the input focus.
  virtual bool CanHaveFocus() const { return false; }
  bool HasFocus() const;
  // Gives the control the focus (LostFocus on the old one, then GotFocus on
  // this); false when it cannot take it (wrong kind, hidden or disabled).
  bool SetFocus();

  std::function<void()> GotFocus;
  std::function<void()> LostFocus;
  std::function<void(int16_t& KeyCode, int16_t Shift)> KeyDown;
  std::function<void(int16_t& KeyAscii)> KeyPress;
  std::function<void(int16_t& KeyCode, int16_t Shift)> KeyUp;
  std::function<void(int16_t Button, int16_t Shift, int32_t X, int32_t Y)> MouseDown;
  std::function<void(int16_t Button, int16_t Shift, int32_t X, int32_t Y)> MouseMove;
  std::function<void(int16_t Button, int16_t Shift, int32_t X, int32_t Y)> MouseUp;

  // Mouse actions at (x, y) in twips relative to the control (to a form's
  // client area).
  void UserMouseDown(int16_t button, int16_t shift, int32_t x, int32_t y);
  void UserMouseMove(int16_t button, int16_t shift, int32_t x, int32_t y);
  void UserMouseUp(int16_t button, int16_t shift, int32_t x, int32_t y);

  // What the control itself does with a key that its form's and its own
  // KeyDown handlers let through (a text box moves its caret, a grid its
  // current cell) and with a character that the KeyPress handlers let
  // through (a text box inserts it).
  virtual void DefaultKeyDown(int16_t /*keyCode*/, int16_t /*shift*/) {}
  virtual void DefaultKeyPress(char /*ch*/) {}

  // Copies the design properties (not events, focus or view) of a control of
  // the same kind; control arrays use it to load new elements.
  virtual void CopyPropertiesFrom(const Control& other);

 protected:
  // For forms (form = the form itself, no parent) and menu items (no parent).
  Control(Form* form, Container* parent, ControlKind kind, std::string name);
  // Inline: most setters run with no view attached (tests, walks).
  void Notify(Property p) {
    if (view_) view_->PropertyChanged(*this, p);
  }
  // Tells this control's view and every control inside it (a frame's
  // contents) that an inherited state changed.
  virtual void NotifyInherited(Property p);
  static void NotifyInheritedOf(Control& c, Property p) { c.NotifyInherited(p); }
  void SetIndex(int16_t index) { index_ = index; }
  // Takes the control off its form's and container's lists without telling
  // any view (an array's stand-in for a missing element).
  void Detach();
  template <class T>
  friend class ControlArray;
  friend class Form;

 private:
  ControlKind kind_;
  std::string name_;
  int16_t index_ = -1;
  Form* form_ = nullptr;
  Container* parent_ = nullptr;
  ControlView* view_ = nullptr;

  int32_t left_ = 0, top_ = 0, width_ = 1200, height_ = 375;
  bool visible_ = true;
  bool enabled_ = true;
  Color foreColor_ = kSysWindowText;
  Color backColor_ = kSysWindow;
  ControlFont font_;
  std::string tag_;
  int16_t tabIndex_ = 0;
  bool tabStop_ = true;
  int16_t mousePointer_ = 0;
};

// Something that holds controls: the form, a frame, a picture box. Option
// buttons are exclusive within their container, and a disabled or hidden
// container disables or hides what it holds.
class Container {
 public:
  virtual ~Container() = default;
  // The container as a control (the form, the frame).
  virtual Control& AsControl() = 0;
  const Control& AsControl() const { return const_cast<Container*>(this)->AsControl(); }
  Form& OwnerForm() const { return AsControl().OwnerForm(); }
  // The controls directly inside, in creation order.
  const std::vector<Control*>& Children() const { return children_; }

 private:
  friend class Control;
  std::vector<Control*> children_;
};

}  // namespace kelvarin::platform
