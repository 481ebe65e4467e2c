#include "platform/model/controls.h"

#include <algorithm>
#include <cctype>

#include "platform/host.h"
#include "platform/model/form.h"

namespace kelvarin::platform {

// Sets a property and tells the view, unless the value is unchanged.
#define KV_SET(field, value, prop) \
  do {                             \
    if ((field) == (value)) return; \
    (field) = (value);             \
    Notify(prop);                  \
  } while (0)

// --- Label -----------------------------------------------------------------

Label::Label(Container& parent, std::string name) : Control(parent, ControlKind::Label, std::move(name)) {
  SetBackColor(kSysButtonFace);
  SetTabStop(false);
}
void Label::SetCaption(const std::string& c) { KV_SET(caption_, c, Property::Caption); }
void Label::SetAlignment(Align a) { KV_SET(align_, a, Property::Appearance); }
void Label::SetBorderStyle(int16_t b) { KV_SET(borderStyle_, b, Property::Appearance); }
void Label::SetBackStyle(int16_t b) { KV_SET(backStyle_, b, Property::Appearance); }
void Label::UserClick() {
  if (Reachable()) RaiseEvent(Click);
}
void Label::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const Label&>(other);
  caption_ = o.caption_;
  align_ = o.align_;
  borderStyle_ = o.borderStyle_;
  backStyle_ = o.backStyle_;
}

// --- TextBox ---------------------------------------------------------------

TextBox::TextBox(Container& parent, std::string name) : Control(parent, ControlKind::TextBox, std::move(name)) {
  SetHeight(285);
}

void TextBox::SetText(std::string_view t) {
  bool changed = text_ != t;
  bool caretMoved = selStart_ != 0 || selLength_ != 0;
  if (changed) text_.assign(t);
  selStart_ = 0;
  selLength_ = 0;
  if (changed) Notify(Property::Text);
  if (caretMoved || changed) Notify(Property::Selection);
  if (changed) RaiseEvent(Change);
}

void TextBox::SetMaxLength(int32_t n) { KV_SET(maxLength_, std::max<int32_t>(0, n), Property::MaxLength); }
void TextBox::SetReadOnly(bool on) { KV_SET(readOnly_, on, Property::ReadOnly); }
void TextBox::SetMultiLine(bool on) { KV_SET(multiLine_, on, Property::Appearance); }
void TextBox::SetAlignment(Align a) { KV_SET(align_, a, Property::Appearance); }

std::string TextBox::SelText() const { return text_.substr(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_)); }

void TextBox::SetSelStart(int32_t s) {
  selStart_ = std::clamp<int32_t>(s, 0, static_cast<int32_t>(text_.size()));
  selLength_ = 0;
  caretAtStart_ = false;
  Notify(Property::Selection);
}

void TextBox::SetSelLength(int32_t n) {
  selLength_ = std::clamp<int32_t>(n, 0, static_cast<int32_t>(text_.size()) - selStart_);
  caretAtStart_ = false;
  Notify(Property::Selection);
}

void TextBox::ExtendSelection(int32_t anchor, int32_t caret) {
  caret = std::clamp<int32_t>(caret, 0, static_cast<int32_t>(text_.size()));
  selStart_ = std::min(anchor, caret);
  selLength_ = std::abs(caret - anchor);
  caretAtStart_ = caret < anchor;
  Notify(Property::Selection);
}

void TextBox::SetSelText(const std::string& t) { ReplaceSelection(t, false); }

void TextBox::ReplaceSelection(const std::string& t, bool userEdit) {
  std::string insert = t;
  if (userEdit && maxLength_ > 0) {
    int32_t room = maxLength_ - (static_cast<int32_t>(text_.size()) - selLength_);
    if (room < 0) room = 0;
    if (static_cast<int32_t>(insert.size()) > room) insert.resize(static_cast<size_t>(room));
  }
  std::string before = text_;
  text_.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), insert);
  selStart_ += static_cast<int32_t>(insert.size());
  selLength_ = 0;
  Notify(Property::Selection);
  if (text_ != before) {
    Notify(Property::Text);
    RaiseEvent(Change);
  }
}

void TextBox::SetHeight(int32_t v) {
  if (!multiLine_) v = std::max(v, GetHost().MinTextBoxHeight());
  Control::SetHeight(v);
}

void TextBox::UserClick() {
  if (!Reachable()) return;
  SetFocus();
  RaiseEvent(Click);
}

void TextBox::UserTypeChar(char ch) {
  if (!Reachable()) return;
  SetFocus();
  OwnerForm().UserKeyPress(ch);
}

void TextBox::UserType(std::string_view text) {
  for (char ch : text) UserTypeChar(ch);
}

void TextBox::DefaultKeyPress(char ch) {
  if (readOnly_) return;
  auto uch = static_cast<unsigned char>(ch);
  if (uch == 8) {
    if (selLength_ == 0) {
      if (selStart_ == 0) return;
      --selStart_;
      selLength_ = 1;
    }
    ReplaceSelection("", true);
    return;
  }
  if (uch == 13 && multiLine_) {
    ReplaceSelection("\r\n", true);
    return;
  }
  if (uch < 32 || uch == 127) return;
  if (maxLength_ > 0 && static_cast<int32_t>(text_.size()) - selLength_ + 1 > maxLength_) return;
  ReplaceSelection(std::string(1, ch), true);
}

void TextBox::DefaultKeyDown(int16_t keyCode, int16_t shift) {
  const auto size = static_cast<int32_t>(text_.size());
  const bool extend = (shift & kShiftMask) != 0;
  switch (keyCode) {
    case key::kDelete:
      if (readOnly_) return;
      if (selLength_ == 0) {
        if (selStart_ >= size) return;
        selLength_ = 1;
      }
      ReplaceSelection("", true);
      return;
    case key::kLeft:
    case key::kHome:
    case key::kRight:
    case key::kEnd: {
      const int32_t caret = CaretAtStart() ? selStart_ : selStart_ + selLength_;
      const int32_t anchor = CaretAtStart() ? selStart_ + selLength_ : selStart_;
      if (extend) {
        int32_t to = keyCode == key::kLeft ? caret - 1 : keyCode == key::kRight ? caret + 1
                   : keyCode == key::kHome ? 0 : size;
        ExtendSelection(anchor, to);
      } else if (keyCode == key::kLeft) {
        SetSelStart(selLength_ > 0 ? selStart_ : selStart_ - 1);
      } else if (keyCode == key::kRight) {
        SetSelStart(selLength_ > 0 ? selStart_ + selLength_ : selStart_ + 1);
      } else {
        SetSelStart(keyCode == key::kHome ? 0 : size);
      }
      return;
    }
    default:
      return;
  }
}

void TextBox::UserPaste(const std::string& text) {
  if (!Reachable() || readOnly_) return;
  SetFocus();
  ReplaceSelection(text, true);
}

void TextBox::UserSetText(const std::string& text) {
  if (!Reachable() || readOnly_) return;
  SetFocus();
  selStart_ = 0;
  selLength_ = static_cast<int32_t>(text_.size());
  ReplaceSelection(text, true);
}

void TextBox::UserSelect(int32_t start, int32_t length) {
  if (!Reachable()) return;
  SetFocus();
  SetSelStart(start);
  SetSelLength(length);
}

void TextBox::UserDelete() {
  if (!Reachable()) return;
  SetFocus();
  DefaultKeyDown(key::kDelete, 0);
}

void TextBox::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const TextBox&>(other);
  text_ = o.text_;
  maxLength_ = o.maxLength_;
  readOnly_ = o.readOnly_;
  multiLine_ = o.multiLine_;
  align_ = o.align_;
}

// --- CommandButton -----------------------------------------------------------

CommandButton::CommandButton(Container& parent, std::string name)
    : Control(parent, ControlKind::CommandButton, std::move(name)) {
  SetBackColor(kSysButtonFace);
  SetForeColor(kSysButtonText);
}
void CommandButton::SetCaption(const std::string& c) { KV_SET(caption_, c, Property::Caption); }

void CommandButton::SetDefault(bool on) {
  if (on)
    for (Control* c : OwnerForm().Controls())
      if (c != this && c->Kind() == ControlKind::CommandButton) {
        auto* b = static_cast<CommandButton*>(c);
        if (b->default_) {
          b->default_ = false;
          b->Notify(Property::Buttons);
        }
      }
  KV_SET(default_, on, Property::Buttons);
}

void CommandButton::SetCancel(bool on) {
  if (on)
    for (Control* c : OwnerForm().Controls())
      if (c != this && c->Kind() == ControlKind::CommandButton) {
        auto* b = static_cast<CommandButton*>(c);
        if (b->cancel_) {
          b->cancel_ = false;
          b->Notify(Property::Buttons);
        }
      }
  KV_SET(cancel_, on, Property::Buttons);
}

void CommandButton::UserClick() {
  if (!Reachable()) return;
  SetFocus();
  if (Reachable()) RaiseEvent(Click);
}

void CommandButton::Press() {
  if (Reachable()) RaiseEvent(Click);
}

void CommandButton::DefaultKeyPress(char ch) {
  if (ch == ' ') Press();
}

void CommandButton::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  caption_ = static_cast<const CommandButton&>(other).caption_;
}

// --- CheckBox ----------------------------------------------------------------

CheckBox::CheckBox(Container& parent, std::string name) : Control(parent, ControlKind::CheckBox, std::move(name)) {
  SetBackColor(kSysButtonFace);
}
void CheckBox::SetCaption(const std::string& c) { KV_SET(caption_, c, Property::Caption); }

void CheckBox::SetValue(int16_t v) {
  if (v < 0 || v > 2 || v == value_) return;
  value_ = v;
  Notify(Property::Value);
  RaiseEvent(Click, value_);
}

void CheckBox::UserClick() {
  if (!Reachable()) return;
  SetFocus();
  if (Reachable()) SetValue(value_ == 0 ? 1 : 0);
}

void CheckBox::DefaultKeyPress(char ch) {
  if (ch == ' ') SetValue(value_ == 0 ? 1 : 0);
}

void CheckBox::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const CheckBox&>(other);
  caption_ = o.caption_;
  value_ = o.value_;
}

// --- OptionButton ------------------------------------------------------------

OptionButton::OptionButton(Container& parent, std::string name)
    : Control(parent, ControlKind::OptionButton, std::move(name)) {
  SetBackColor(kSysButtonFace);
}
void OptionButton::SetCaption(const std::string& c) { KV_SET(caption_, c, Property::Caption); }

void OptionButton::SetValue(bool on) {
  if (!on) {
    KV_SET(value_, false, Property::Value);
    return;
  }
  if (Parent())
    for (Control* c : Parent()->Children())
      if (c != this && c->Kind() == ControlKind::OptionButton) {
        auto* o = static_cast<OptionButton*>(c);
        if (o->value_) {
          o->value_ = false;
          o->Notify(Property::Value);
        }
      }
  if (!value_) {
    value_ = true;
    Notify(Property::Value);
  }
  RaiseEvent(Click, int16_t{-1});
}

void OptionButton::UserClick() {
  if (!Reachable()) return;
  SetFocus();
  if (Reachable()) SetValue(true);
}

void OptionButton::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  caption_ = static_cast<const OptionButton&>(other).caption_;
  // A copy never takes the selection away from its original.
  value_ = false;
}

// --- Frame and PictureBox ----------------------------------------------------

Frame::Frame(Container& parent, std::string name) : Control(parent, ControlKind::Frame, std::move(name)) {
  SetBackColor(kSysButtonFace);
  SetTabStop(false);
}
void Frame::SetCaption(const std::string& c) { KV_SET(caption_, c, Property::Caption); }
void Frame::NotifyInherited(Property p) {
  Notify(p);
  for (Control* c : Children()) NotifyInheritedOf(*c, p);
}
void Frame::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  caption_ = static_cast<const Frame&>(other).caption_;
}

Panel3D::Panel3D(Container& parent, std::string name) : Control(parent, ControlKind::Panel3D, std::move(name)) {
  SetBackColor(kSysButtonFace);
  SetTabStop(false);
}
void Panel3D::SetCaption(const std::string& c) { KV_SET(caption_, c, Property::Caption); }
void Panel3D::SetAlignment(Align a) { KV_SET(align_, a, Property::Appearance); }
void Panel3D::NotifyInherited(Property p) {
  Notify(p);
  for (Control* c : Children()) NotifyInheritedOf(*c, p);
}
void Panel3D::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const Panel3D&>(other);
  caption_ = o.caption_;
  align_ = o.align_;
}

PictureBox::PictureBox(Container& parent, std::string name)
    : Control(parent, ControlKind::PictureBox, std::move(name)) {
  SetBackColor(kSysButtonFace);
}
void PictureBox::SetPicture(const std::string& path) { KV_SET(picture_, path, Property::Picture); }
void PictureBox::SetBorderStyle(int16_t b) { KV_SET(borderStyle_, b, Property::Appearance); }
void PictureBox::UserClick() {
  if (!Reachable()) return;
  SetFocus();
  RaiseEvent(Click);
}
void PictureBox::NotifyInherited(Property p) {
  Notify(p);
  for (Control* c : Children()) NotifyInheritedOf(*c, p);
}
void PictureBox::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const PictureBox&>(other);
  picture_ = o.picture_;
  borderStyle_ = o.borderStyle_;
}

// --- Shape and Line ----------------------------------------------------------

Shape::Shape(Container& parent, std::string name) : Control(parent, ControlKind::Shape, std::move(name)) {
  SetTabStop(false);
}
void Shape::SetShapeKind(int16_t s) { KV_SET(shape_, s, Property::Appearance); }
void Shape::SetBorderColor(Color c) { KV_SET(borderColor_, c, Property::Appearance); }
void Shape::SetBorderWidth(int16_t w) { KV_SET(borderWidth_, w, Property::Appearance); }
void Shape::SetFillColor(Color c) { KV_SET(fillColor_, c, Property::Appearance); }
void Shape::SetFillStyle(int16_t s) { KV_SET(fillStyle_, s, Property::Appearance); }
void Shape::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const Shape&>(other);
  shape_ = o.shape_;
  borderColor_ = o.borderColor_;
  borderWidth_ = o.borderWidth_;
  fillColor_ = o.fillColor_;
  fillStyle_ = o.fillStyle_;
}

Line::Line(Container& parent, std::string name) : Control(parent, ControlKind::Line, std::move(name)) {
  SetTabStop(false);
}
void Line::SetEnds(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (x1 == x1_ && y1 == y1_ && x2 == x2_ && y2 == y2_) return;
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
  Notify(Property::Appearance);
}
void Line::SetBorderColor(Color c) { KV_SET(borderColor_, c, Property::Appearance); }
void Line::SetBorderWidth(int16_t w) { KV_SET(borderWidth_, w, Property::Appearance); }
void Line::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const Line&>(other);
  x1_ = o.x1_;
  y1_ = o.y1_;
  x2_ = o.x2_;
  y2_ = o.y2_;
  borderColor_ = o.borderColor_;
  borderWidth_ = o.borderWidth_;
}

// --- ScrollBar ---------------------------------------------------------------

ScrollBar::ScrollBar(Container& parent, ControlKind kind, std::string name) : Control(parent, kind, std::move(name)) {
  SetBackColor(kSysButtonFace);
}

int32_t ScrollBar::Clamp(int32_t v) const { return std::clamp(v, std::min(min_, max_), std::max(min_, max_)); }

void ScrollBar::SetValue(int32_t v) {
  v = Clamp(v);
  if (v == value_) return;
  value_ = v;
  Notify(Property::Value);
  RaiseEvent(Change);
}

void ScrollBar::SetMin(int32_t v) {
  if (min_ == v) return;
  min_ = v;
  Notify(Property::Range);
  SetValue(value_);
}

void ScrollBar::SetMax(int32_t v) {
  if (max_ == v) return;
  max_ = v;
  Notify(Property::Range);
  SetValue(value_);
}

void ScrollBar::SetSmallChange(int32_t v) { KV_SET(small_, std::max<int32_t>(1, v), Property::Range); }
void ScrollBar::SetLargeChange(int32_t v) { KV_SET(large_, std::max<int32_t>(1, v), Property::Range); }

void ScrollBar::UserScrollTo(int32_t v) {
  if (!Reachable()) return;
  SetValue(v);
}

void ScrollBar::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const ScrollBar&>(other);
  min_ = o.min_;
  max_ = o.max_;
  value_ = o.value_;
  small_ = o.small_;
  large_ = o.large_;
}

// --- SpinButton, Timer, Gauge ------------------------------------------------

SpinButton::SpinButton(Container& parent, std::string name) : Control(parent, ControlKind::SpinButton, std::move(name)) {
  SetTabStop(false);
}
void SpinButton::UserSpinUp() {
  if (Reachable()) RaiseEvent(SpinUp);
}
void SpinButton::UserSpinDown() {
  if (Reachable()) RaiseEvent(SpinDown);
}

Timer::Timer(Container& parent, std::string name) : Control(parent, ControlKind::Timer, std::move(name)) {
  SetTabStop(false);
}
void Timer::SetInterval(int32_t ms) { KV_SET(interval_, std::max<int32_t>(0, ms), Property::Interval); }
bool Timer::Running() const { return Enabled() && interval_ > 0 && OwnerForm().Loaded(); }
void Timer::Tick() {
  if (Running()) RaiseEvent(TimerEvent);
}

Gauge::Gauge(Container& parent, std::string name) : Control(parent, ControlKind::Gauge, std::move(name)) {
  SetTabStop(false);
}
void Gauge::SetMin(int32_t v) {
  KV_SET(min_, v, Property::Range);
}
void Gauge::SetMax(int32_t v) { KV_SET(max_, v, Property::Range); }
void Gauge::SetValue(int32_t v) {
  v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
  KV_SET(value_, v, Property::Value);
}
int32_t Gauge::Percent() const {
  if (max_ == min_) return 0;
  return static_cast<int32_t>((static_cast<int64_t>(value_ - min_) * 100) / (max_ - min_));
}
void Gauge::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const Gauge&>(other);
  min_ = o.min_;
  max_ = o.max_;
  value_ = o.value_;
}

// --- captions ----------------------------------------------------------------

char AccessKey(std::string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

std::string CaptionWithoutAccessMarks(std::string_view caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += caption[i];
  }
  return out;
}

}  // namespace kelvarin::platform
