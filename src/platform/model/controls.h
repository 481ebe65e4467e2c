// The simple controls: labels, text boxes, buttons, check boxes, options,
// frames, picture boxes, shapes, lines, scroll bars, the spin button, the
// timer and the progress gauge. Lists, the grid, the status bar and menus
// have headers of their own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/model/control.h"

namespace kelvarin::platform {

// Text alignment of labels and text boxes.
enum class Align { Left = 0, Right = 1, Center = 2 };

class Label : public Control {
 public:
  Label(Container& parent, std::string name);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  Align Alignment() const { return align_; }
  void SetAlignment(Align a);
  // 0 = none, 1 = fixed single.
  int16_t BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(int16_t b);
  // 0 = transparent, 1 = opaque.
  int16_t BackStyle() const { return backStyle_; }
  void SetBackStyle(int16_t b);

  std::function<void()> Click;
  std::function<void()> DblClick;
  void UserClick();
  void CopyPropertiesFrom(const Control& other) override;

 private:
  std::string caption_;
  Align align_ = Align::Left;
  int16_t borderStyle_ = 0;
  int16_t backStyle_ = 1;
};

// A one-line (or multi-line) edit box.
class TextBox : public Control {
 public:
  TextBox(Container& parent, std::string name);
  bool CanHaveFocus() const override { return true; }

  const std::string& Text() const { return text_; }
  // Replaces the text from code: the caret goes to the start, Change is
  // raised when the text differs. MaxLength does not apply.
  void SetText(std::string_view t);
  // 0 = no limit. Limits what the user types or pastes, not what code sets.
  int32_t MaxLength() const { return maxLength_; }
  void SetMaxLength(int32_t n);
  // Read-only: keeps focus, selection and scrolling but takes no typing or
  // pasting.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool on);
  Align Alignment() const { return align_; }
  void SetAlignment(Align a);

  // Selection; out-of-range values are clamped to the text.
  int32_t SelStart() const { return selStart_; }
  int32_t SelLength() const { return selLength_; }
  // Whether the caret stands at the start of the selection (after the user
  // extended it leftwards) rather than at its end.
  bool CaretAtStart() const { return caretAtStart_ && selLength_ > 0; }
  std::string SelText() const;
  void SetSelStart(int32_t s);  // also empties the selection
  void SetSelLength(int32_t n);
  // Replaces the selection (from code; MaxLength and read-only do not apply)
  // and leaves the caret after the new text.
  void SetSelText(const std::string& t);

  // A single-line box is never lower than the host's least height for one
  // line of text.
  void SetHeight(int32_t v) override;

  std::function<void()> Change;
  std::function<void()> Click;
  std::function<void()> DblClick;

  // The user clicks into the box: it takes the focus.
  void UserClick();
  // Types one character: the box takes the focus, then the form's key
  // preview, the box's KeyPress, then the box itself: Backspace deletes,
  // other control characters are ignored, a printable character replaces
  // the selection or is inserted at the caret unless the box is read-only or
  // the text would exceed MaxLength. Change follows an edit.
  void UserTypeChar(char ch);
  void UserType(std::string_view text);
  // Pastes at the caret (replacing the selection), cut to MaxLength; no
  // KeyPress is raised. Refused by a read-only box.
  void UserPaste(const std::string& text);
  // The user replaces the whole text (select all, paste).
  void UserSetText(const std::string& text);
  void UserSelect(int32_t start, int32_t length);
  // Delete key: removes the selection or the character after the caret.
  void UserDelete();

  // Delete, and the caret keys Left, Right, Home, End (Shift with Right and
  // End extends the selection).
  void DefaultKeyDown(int16_t keyCode, int16_t shift) override;
  void DefaultKeyPress(char ch) override;
  void CopyPropertiesFrom(const Control& other) override;

 private:
  void ReplaceSelection(const std::string& t, bool userEdit);

  std::string text_;
  int32_t maxLength_ = 0;
  bool readOnly_ = false;
  bool multiLine_ = false;
  Align align_ = Align::Left;
  int32_t selStart_ = 0;
  int32_t selLength_ = 0;
  bool caretAtStart_ = false;
  // Selects from anchor to caret (Shift with a caret key).
  void ExtendSelection(int32_t anchor, int32_t caret);
};

class CommandButton : public Control {
 public:
  CommandButton(Container& parent, std::string name);
  bool CanHaveFocus() const override { return true; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  // Enter presses the default button, Escape the cancel button; setting
  // either clears it on the form's other buttons.
  bool Default() const { return default_; }
  void SetDefault(bool on);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool on);

  std::function<void()> Click;
  // A click by the user: the button takes the focus, then Click.
  void UserClick();
  // Enter or Space while the button has the focus, Enter on the default
  // button, Escape on the cancel button: Click without a focus change.
  void Press();
  void DefaultKeyPress(char ch) override;  // Space presses
  void CopyPropertiesFrom(const Control& other) override;

 private:
  std::string caption_;
  bool default_ = false;
  bool cancel_ = false;
};

// Check box: Value 0 unchecked, 1 checked, 2 greyed. Click carries the new
// value and is raised whenever the value changes, also from code.
class CheckBox : public Control {
 public:
  CheckBox(Container& parent, std::string name);
  bool CanHaveFocus() const override { return true; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  int16_t Value() const { return value_; }
  void SetValue(int16_t v);

  std::function<void(int16_t Value)> Click;
  // Takes the focus and toggles (greyed becomes unchecked).
  void UserClick();
  void DefaultKeyPress(char ch) override;  // Space toggles
  void CopyPropertiesFrom(const Control& other) override;

 private:
  std::string caption_;
  int16_t value_ = 0;
};

// Option button, exclusive within its container. Turning it on (from code
// or by the user) turns the others off silently and raises Click with -1,
// also when it was on already; turning it off from code raises nothing.
class OptionButton : public Control {
 public:
  OptionButton(Container& parent, std::string name);
  bool CanHaveFocus() const override { return true; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  bool Value() const { return value_; }
  void SetValue(bool on);

  std::function<void(int16_t Value)> Click;
  void UserClick();
  void CopyPropertiesFrom(const Control& other) override;

 private:
  std::string caption_;
  bool value_ = false;
};

// A captioned group; disabling or hiding it disables or hides its contents.
class Frame : public Control, public Container {
 public:
  Frame(Container& parent, std::string name);
  Control& AsControl() override { return *this; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  void CopyPropertiesFrom(const Control& other) override;

 protected:
  void NotifyInherited(Property p) override;

 private:
  std::string caption_;
};

// A raised three-dimensional panel with a caption (a read-out such as a
// count); it can also hold controls.
class Panel3D : public Control, public Container {
 public:
  Panel3D(Container& parent, std::string name);
  Control& AsControl() override { return *this; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  Align Alignment() const { return align_; }
  void SetAlignment(Align a);
  void CopyPropertiesFrom(const Control& other) override;

 protected:
  void NotifyInherited(Property p) override;

 private:
  std::string caption_;
  Align align_ = Align::Center;
};

// A picture (by file path) that can also hold controls.
class PictureBox : public Control, public Container {
 public:
  PictureBox(Container& parent, std::string name);
  Control& AsControl() override { return *this; }
  bool CanHaveFocus() const override { return true; }
  // Path of the picture shown; empty = none.
  const std::string& Picture() const { return picture_; }
  void SetPicture(const std::string& path);
  int16_t BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(int16_t b);

  std::function<void()> Click;
  std::function<void()> DblClick;
  void UserClick();
  void CopyPropertiesFrom(const Control& other) override;

 protected:
  void NotifyInherited(Property p) override;

 private:
  std::string picture_;
  int16_t borderStyle_ = 1;
};

// 0 rectangle, 1 square, 2 oval, 3 circle, 4 rounded rectangle, 5 rounded square.
class Shape : public Control {
 public:
  Shape(Container& parent, std::string name);
  int16_t ShapeKind() const { return shape_; }
  void SetShapeKind(int16_t s);
  Color BorderColor() const { return borderColor_; }
  void SetBorderColor(Color c);
  int16_t BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int16_t w);
  Color FillColor() const { return fillColor_; }
  void SetFillColor(Color c);
  // 0 solid, 1 transparent, ...
  int16_t FillStyle() const { return fillStyle_; }
  void SetFillStyle(int16_t s);
  void CopyPropertiesFrom(const Control& other) override;

 private:
  int16_t shape_ = 0;
  Color borderColor_ = kSysWindowText;
  int16_t borderWidth_ = 1;
  Color fillColor_ = kBlack;
  int16_t fillStyle_ = 1;
};

// A straight line from (X1, Y1) to (X2, Y2), twips in its container.
class Line : public Control {
 public:
  Line(Container& parent, std::string name);
  int32_t X1() const { return x1_; }
  int32_t Y1() const { return y1_; }
  int32_t X2() const { return x2_; }
  int32_t Y2() const { return y2_; }
  void SetEnds(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void SetX1(int32_t v) { SetEnds(v, y1_, x2_, y2_); }
  void SetY1(int32_t v) { SetEnds(x1_, v, x2_, y2_); }
  void SetX2(int32_t v) { SetEnds(x1_, y1_, v, y2_); }
  void SetY2(int32_t v) { SetEnds(x1_, y1_, x2_, v); }
  Color BorderColor() const { return borderColor_; }
  void SetBorderColor(Color c);
  int16_t BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int16_t w);
  void CopyPropertiesFrom(const Control& other) override;

 private:
  int32_t x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  Color borderColor_ = kSysWindowText;
  int16_t borderWidth_ = 1;
};

// Scroll bar. Value stays within Min..Max (either may be the larger);
// Change is raised whenever Value changes, also from code.
class ScrollBar : public Control {
 public:
  ScrollBar(Container& parent, ControlKind kind, std::string name);
  bool CanHaveFocus() const override { return true; }
  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Value() const { return value_; }
  int32_t SmallChange() const { return small_; }
  int32_t LargeChange() const { return large_; }
  void SetMin(int32_t v);
  void SetMax(int32_t v);
  void SetValue(int32_t v);
  void SetSmallChange(int32_t v);
  void SetLargeChange(int32_t v);

  std::function<void()> Change;
  std::function<void()> Scroll;

  void UserScrollTo(int32_t v);
  void UserLineUp() { UserScrollTo(value_ - Step(small_)); }
  void UserLineDown() { UserScrollTo(value_ + Step(small_)); }
  void UserPageUp() { UserScrollTo(value_ - Step(large_)); }
  void UserPageDown() { UserScrollTo(value_ + Step(large_)); }
  void CopyPropertiesFrom(const Control& other) override;

 private:
  int32_t Clamp(int32_t v) const;
  int32_t Step(int32_t change) const { return max_ >= min_ ? change : -change; }
  int32_t min_ = 0, max_ = 32767, value_ = 0, small_ = 1, large_ = 1;
};

class HScrollBar : public ScrollBar {
 public:
  HScrollBar(Container& parent, std::string name) : ScrollBar(parent, ControlKind::HScrollBar, std::move(name)) {}
};

class VScrollBar : public ScrollBar {
 public:
  VScrollBar(Container& parent, std::string name) : ScrollBar(parent, ControlKind::VScrollBar, std::move(name)) {}
};

// Two arrow buttons that raise SpinUp and SpinDown.
class SpinButton : public Control {
 public:
  SpinButton(Container& parent, std::string name);
  std::function<void()> SpinUp;
  std::function<void()> SpinDown;
  void UserSpinUp();
  void UserSpinDown();
};

// Raises Timer every Interval milliseconds while enabled; the host drives it
// through Tick.
class Timer : public Control {
 public:
  Timer(Container& parent, std::string name);
  int32_t Interval() const { return interval_; }
  void SetInterval(int32_t ms);
  // Whether the host should be counting.
  bool Running() const;
  std::function<void()> TimerEvent;
  // One elapsed interval; ignored unless running.
  void Tick();

 private:
  int32_t interval_ = 0;
};

// A progress bar: Value within Min..Max.
class Gauge : public Control {
 public:
  Gauge(Container& parent, std::string name);
  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Value() const { return value_; }
  void SetMin(int32_t v);
  void SetMax(int32_t v);
  void SetValue(int32_t v);
  // Value as a whole percentage of the range.
  int32_t Percent() const;
  void CopyPropertiesFrom(const Control& other) override;

 private:
  int32_t min_ = 0, max_ = 100, value_ = 0;
};

// The character after a single "&" in a caption ("&OK" -> 'O'), upper case;
// 0 when there is none ("&&" is a literal ampersand).
char AccessKey(std::string_view caption);
// The caption as shown: "&&" becomes "&", other "&" are removed.
std::string CaptionWithoutAccessMarks(std::string_view caption);

}  // namespace kelvarin::platform
