#include "platform/model/control.h"

#include <algorithm>

#include "platform/model/form.h"

namespace kelvarin::platform {

namespace {
void EraseFrom(std::vector<Control*>& list, Control* c) { std::erase(list, c); }
}  // namespace

Control::Control(Container& parent, ControlKind kind, std::string name)
    : Control(&parent.OwnerForm(), &parent, kind, std::move(name)) {}

Control::Control(Form* form, Container* parent, ControlKind kind, std::string name)
    : kind_(kind), name_(std::move(name)), form_(form), parent_(parent) {
  if (parent_) parent_->children_.push_back(this);
  if (kind_ != ControlKind::Form && kind_ != ControlKind::MenuItem) form_->Register(this);
}

Control::~Control() {
  if (kind_ == ControlKind::Form) return;
  if (parent_) EraseFrom(parent_->children_, this);
  if (kind_ != ControlKind::MenuItem) form_->Unregister(this);
}

void Control::Detach() {
  if (parent_) EraseFrom(parent_->children_, this);
  parent_ = nullptr;
  if (kind_ != ControlKind::MenuItem && kind_ != ControlKind::Form) form_->Unregister(this, false);
}

Host& Control::GetHost() const { return form_->GetHost(); }

void Control::NotifyInherited(Property p) { Notify(p); }

void Control::SetLeft(int32_t v) {
  if (left_ == v) return;
  left_ = v;
  Notify(Property::Geometry);
}
void Control::SetTop(int32_t v) {
  if (top_ == v) return;
  top_ = v;
  Notify(Property::Geometry);
}
void Control::SetWidth(int32_t v) {
  if (width_ == v) return;
  width_ = v;
  Notify(Property::Geometry);
}
void Control::SetHeight(int32_t v) {
  if (height_ == v) return;
  height_ = v;
  Notify(Property::Geometry);
}
void Control::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  SetLeft(left);
  SetTop(top);
  SetWidth(width);
  SetHeight(height);
}

void Control::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  NotifyInherited(Property::Visible);
}

void Control::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  NotifyInherited(Property::Enabled);
}

bool Control::EffectiveVisible() const {
  if (!visible_) return false;
  // The form's own visibility does not count: a hidden form's controls are
  // still visible in it.
  if (parent_ && parent_->AsControl().Kind() != ControlKind::Form) return parent_->AsControl().EffectiveVisible();
  return true;
}

bool Control::EffectiveEnabled() const {
  if (!enabled_) return false;
  if (parent_) return parent_->AsControl().EffectiveEnabled();
  if (kind_ != ControlKind::Form && form_ && form_ != this) return form_->Enabled();
  return true;
}

bool Control::Reachable() const {
  return form_->Loaded() && form_->Visible() && !form_->Blocked() && EffectiveVisible() && EffectiveEnabled();
}

void Control::SetForeColor(Color c) {
  if (foreColor_ == c) return;
  foreColor_ = c;
  Notify(Property::ForeColor);
}
void Control::SetBackColor(Color c) {
  if (backColor_ == c) return;
  backColor_ = c;
  Notify(Property::BackColor);
}
void Control::SetFont(const ControlFont& f) {
  if (font_ == f) return;
  font_ = f;
  Notify(Property::Font);
}
void Control::SetFontBold(bool b) {
  ControlFont f = font_;
  f.bold = b;
  SetFont(f);
}
void Control::SetFontSize(double size) {
  ControlFont f = font_;
  f.size = size;
  SetFont(f);
}
void Control::SetTag(const std::string& t) {
  if (tag_ == t) return;
  tag_ = t;
  Notify(Property::Tag);
}
void Control::SetTabIndex(int16_t i) {
  if (tabIndex_ == i) return;
  tabIndex_ = i;
  Notify(Property::TabOrder);
}
void Control::SetTabStop(bool b) {
  if (tabStop_ == b) return;
  tabStop_ = b;
  Notify(Property::TabOrder);
}
void Control::SetMousePointer(int16_t shape) {
  if (mousePointer_ == shape) return;
  mousePointer_ = shape;
  Notify(Property::MousePointer);
}

bool Control::HasFocus() const { return form_->ActiveControl() == this; }

bool Control::SetFocus() {
  if (!CanHaveFocus() || !EffectiveVisible() || !EffectiveEnabled()) return false;
  if (HasFocus()) return true;
  form_->SetActive(this);
  return true;
}

void Control::UserMouseDown(int16_t button, int16_t shift, int32_t x, int32_t y) {
  if (!Reachable()) return;
  if (CanHaveFocus()) SetFocus();
  RaiseEvent(MouseDown, button, shift, x, y);
}
void Control::UserMouseMove(int16_t button, int16_t shift, int32_t x, int32_t y) {
  if (!Reachable()) return;
  RaiseEvent(MouseMove, button, shift, x, y);
}
void Control::UserMouseUp(int16_t button, int16_t shift, int32_t x, int32_t y) {
  if (!Reachable()) return;
  RaiseEvent(MouseUp, button, shift, x, y);
}

void Control::CopyPropertiesFrom(const Control& o) {
  left_ = o.left_;
  top_ = o.top_;
  width_ = o.width_;
  height_ = o.height_;
  visible_ = o.visible_;
  enabled_ = o.enabled_;
  foreColor_ = o.foreColor_;
  backColor_ = o.backColor_;
  font_ = o.font_;
  tag_ = o.tag_;
  tabStop_ = o.tabStop_;
  mousePointer_ = o.mousePointer_;
}

}  // namespace kelvarin::platform
