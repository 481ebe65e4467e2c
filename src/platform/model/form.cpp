#include "platform/model/form.h"

#include <algorithm>

#include "platform/host.h"
#include "platform/model/control_array.h"
#include "platform/model/controls.h"
#include "platform/model/menu.h"

namespace kelvarin::platform {

Form::Form(Host& host, std::string name) : Control(this, nullptr, ControlKind::Form, std::move(name)), host_(&host) {
  SetBackColor(kSysButtonFace);
  SetForeColor(kSysButtonText);
  Control::SetVisible(false);
  Move(0, 0, 4800 + kFrameWidth, 3600 + kFrameHeight);
}

Form::~Form() {
  destroying_ = true;
  if (host_->activeForm_ == this) host_->activeForm_ = nullptr;
  for (size_t i = 0; i < host_->modalForms_.size();) {
    if (host_->modalForms_[i] == this) {
      host_->modalForms_.erase(host_->modalForms_.begin() + static_cast<std::ptrdiff_t>(i));
      host_->modalReturnTo_.erase(host_->modalReturnTo_.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    if (host_->modalReturnTo_[i] == this) host_->modalReturnTo_[i] = nullptr;
    ++i;
  }
  host_->FormDestroyed(*this);
  if (View()) View()->ControlRemoving(*this, *this);
}

void Form::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Notify(Property::Caption);
}

void Form::SetKeyPreview(bool on) {
  if (keyPreview_ == on) return;
  keyPreview_ = on;
  Notify(Property::KeyPreview);
}

void Form::SetBorderStyle(FormBorder b) {
  if (border_ == b) return;
  border_ = b;
  Notify(Property::Appearance);
}

void Form::Register(Control* c) {
  c->tabIndex_ = nextTabIndex_++;
  controls_.push_back(c);
}

void Form::Unregister(Control* c, bool notify) {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  if (notify && !destroying_ && View()) View()->ControlRemoving(*this, *c);
  controls_.erase(it);
  if (active_ == c) active_ = nullptr;
}

void Form::RegisterMenu(MenuItem* m) { menus_.push_back(m); }
void Form::UnregisterMenu(MenuItem* m) { std::erase(menus_, m); }
void Form::RegisterArray(ControlArrayBase* a) { arrays_.push_back(a); }
void Form::UnregisterArray(ControlArrayBase* a) { std::erase(arrays_, a); }

void Form::NotifyInherited(Property p) {
  Notify(p);
  // Enabled is inherited by every control of the form.
  if (p == Property::Enabled)
    for (Control* c : controls_) c->Notify(p);
}

void Form::SetActive(Control* c) {
  Control* old = active_;
  if (old == c) return;
  active_ = c;
  Notify(Property::Focus);
  if (old) RaiseEvent(old->LostFocus);
  if (c && active_ == c) RaiseEvent(c->GotFocus);
}

void Form::LoadForm() {
  if (loaded_) return;
  loaded_ = true;
  RaiseEvent(Load);
}

void Form::BecomeActive() {
  Form* old = host_->activeForm_;
  host_->activeForm_ = this;
  if (old && old != this && old->loaded_ && old->Visible()) RaiseEvent(old->Deactivate);
  if (host_->activeForm_ == this) RaiseEvent(Activate);
}

bool Form::Blocked() const {
  if (host_->modalForms_.empty()) return false;
  const Form* top = host_->modalForms_.back();
  return top != this && showSequence_ <= top->showSequence_;
}

void Form::Show(ShowMode mode) {
  LoadForm();
  if (!loaded_) return;  // its Load handler unloaded it
  if (shownModal_) return;
  bool wasVisible = Visible();
  Control::SetVisible(true);
  if (!wasVisible || mode == ShowMode::Modal) {
    showSequence_ = ++host_->showCounter_;
    Form* previous = host_->activeForm_;
    if (mode == ShowMode::Modal) {
      shownModal_ = true;
      host_->modalForms_.push_back(this);
      host_->modalReturnTo_.push_back(previous);
    }
    BecomeActive();
    if (!active_ && loaded_ && Visible()) {
      auto order = TabOrder();
      if (!order.empty()) order.front()->SetFocus();
    }
    if (loaded_ && Visible()) UserPaint();
    if (mode == ShowMode::Modal) {
      if (loaded_ && Visible()) host_->ShowModal(*this);
      EndModal();
      return;
    }
    if (!loaded_ || !Visible()) return;
  }
  host_->ShowModeless(*this);
}

void Form::EndModal() {
  shownModal_ = false;
  auto& forms = host_->modalForms_;
  auto it = std::find(forms.begin(), forms.end(), this);
  if (it == forms.end()) return;
  auto i = it - forms.begin();
  Form* previous = host_->modalReturnTo_[static_cast<size_t>(i)];
  forms.erase(it);
  host_->modalReturnTo_.erase(host_->modalReturnTo_.begin() + i);
  // The form underneath takes over again, as when a dialog closes.
  if (previous && previous != this && previous->loaded_ && previous->Visible()) previous->BecomeActive();
}

void Form::Hide() {
  if (!Visible()) return;
  Control::SetVisible(false);
  if (host_->activeForm_ == this) host_->activeForm_ = nullptr;
  host_->HideForm(*this);
}

void Form::SetVisible(bool v) {
  if (v)
    Show(ShowMode::Modeless);
  else
    Hide();
}

void Form::SetEnabled(bool v) { Control::SetEnabled(v); }

bool Form::UnloadForm(int16_t mode) {
  if (!loaded_) return true;
  int16_t cancel = 0;
  RaiseEvent(QueryUnload, cancel, mode);
  if (cancel != 0) return false;
  RaiseEvent(Unload, cancel);
  if (cancel != 0) return false;
  Hide();
  if (active_) {
    active_ = nullptr;
    Notify(Property::Focus);
  }
  for (ControlArrayBase* a : std::vector<ControlArrayBase*>(arrays_)) a->UnloadRuntimeElements();
  drawing_.clear();
  loaded_ = false;
  host_->FormUnloaded(*this);
  return true;
}

void Form::Cls() {
  if (drawing_.empty()) return;
  drawing_.clear();
  Notify(Property::Drawing);
}

void Form::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color color) {
  drawing_.push_back({x1, y1, x2, y2, color});
  Notify(Property::Drawing);
}

Control* Form::FindControl(std::string_view name, int16_t index) const {
  for (Control* c : controls_)
    if (c->Name() == name && c->Index() == index) return c;
  if (index < 0) {
    std::vector<const MenuItem*> stack(menus_.begin(), menus_.end());
    while (!stack.empty()) {
      const MenuItem* m = stack.back();
      stack.pop_back();
      if (m->Name() == name) return const_cast<MenuItem*>(m);
      for (const MenuItem* s : m->Items()) stack.push_back(s);
    }
  }
  return nullptr;
}

std::vector<Control*> Form::TabOrder() const {
  std::vector<Control*> out;
  for (Control* c : controls_)
    if (c->CanHaveFocus() && c->TabStop() && c->EffectiveVisible() && c->EffectiveEnabled()) out.push_back(c);
  std::stable_sort(out.begin(), out.end(), [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
  return out;
}

CommandButton* Form::DefaultButton() const {
  for (Control* c : controls_)
    if (c->Kind() == ControlKind::CommandButton) {
      auto* b = static_cast<CommandButton*>(c);
      if (b->Default() && b->EffectiveVisible() && b->EffectiveEnabled()) return b;
    }
  return nullptr;
}

CommandButton* Form::CancelButton() const {
  for (Control* c : controls_)
    if (c->Kind() == ControlKind::CommandButton) {
      auto* b = static_cast<CommandButton*>(c);
      if (b->Cancel() && b->EffectiveVisible() && b->EffectiveEnabled()) return b;
    }
  return nullptr;
}

Control* Form::FocusTarget() const {
  // A focused control that was hidden or disabled since takes no keys.
  if (active_ && active_->EffectiveVisible() && active_->EffectiveEnabled()) return active_;
  return nullptr;
}

bool Form::MoveFocus(bool backwards) {
  auto order = TabOrder();
  if (order.empty()) return false;
  auto it = std::find(order.begin(), order.end(), active_);
  if (it == order.end()) {
    order.front()->SetFocus();
    return true;
  }
  if (order.size() == 1) return false;  // nowhere else to go: the key is delivered
  size_t i = static_cast<size_t>(it - order.begin());
  size_t next = backwards ? (i + order.size() - 1) % order.size() : (i + 1) % order.size();
  order[next]->SetFocus();
  return true;
}

bool Form::UserKeyDown(int16_t keyCode, int16_t shift) {
  if (!loaded_ || !Visible() || !Enabled() || Blocked()) return false;
  // Tab between controls is the form's own business: no handler sees it.
  if (keyCode == key::kTab && (shift & (kCtrlMask | kAltMask)) == 0 && MoveFocus((shift & kShiftMask) != 0))
    return false;
  Control* target = FocusTarget();
  if (keyPreview_ || !target) {
    RaiseEvent(KeyDown, keyCode, shift);
    if (keyCode == 0) return false;
  }
  if (target) {
    if (FocusTarget() != target) return false;
    RaiseEvent(target->KeyDown, keyCode, shift);
    if (keyCode == 0) return false;
  }
  if (keyCode == key::kReturn && (shift & (kCtrlMask | kAltMask)) == 0) {
    bool multiLineBox = target && target->Kind() == ControlKind::TextBox && static_cast<TextBox*>(target)->MultiLine();
    if (target && target->Kind() == ControlKind::CommandButton) {
      static_cast<CommandButton*>(target)->Press();
      return false;
    }
    if (CommandButton* b = DefaultButton(); b && !multiLineBox) {
      b->Press();
      return false;
    }
  } else if (keyCode == key::kEscape) {
    if (CommandButton* b = CancelButton()) {
      b->Press();
      return false;
    }
  }
  if (target && active_ == target) target->DefaultKeyDown(keyCode, shift);
  return true;
}

void Form::UserKeyPress(char ch) {
  if (!loaded_ || !Visible() || !Enabled() || Blocked()) return;
  Dispatch(FocusTarget(), ch);
}

void Form::Dispatch(Control* target, char ch) {
  int16_t k = static_cast<int16_t>(static_cast<unsigned char>(ch));
  if (keyPreview_ || !target) {
    RaiseEvent(KeyPress, k);
    if (k == 0) return;
  }
  if (!target || FocusTarget() != target) return;
  RaiseEvent(target->KeyPress, k);
  if (k == 0 || active_ != target) return;
  target->DefaultKeyPress(static_cast<char>(static_cast<unsigned char>(k)));
}

void Form::UserKeyUp(int16_t keyCode, int16_t shift) {
  if (!loaded_ || !Visible() || !Enabled() || Blocked()) return;
  Control* target = FocusTarget();
  if (keyPreview_ || !target) {
    RaiseEvent(KeyUp, keyCode, shift);
    if (keyCode == 0) return;
  }
  if (target) RaiseEvent(target->KeyUp, keyCode, shift);
}

void Form::UserKey(int16_t keyCode, int16_t shift) {
  if (UserKeyDown(keyCode, shift)) {
    char ch = 0;
    switch (keyCode) {
      case key::kReturn: ch = 13; break;
      case key::kEscape: ch = 27; break;
      case key::kTab: ch = 9; break;
      case key::kBack: ch = 8; break;
      case key::kSpace: ch = ' '; break;
      default: break;
    }
    if (ch != 0 && (shift & (kCtrlMask | kAltMask)) == 0) UserKeyPress(ch);
  }
  UserKeyUp(keyCode, shift);
}

void Form::UserType(std::string_view text) {
  for (char ch : text) UserKeyPress(ch);
}

void Form::UserClose() {
  if (!loaded_ || !Visible() || !Enabled() || Blocked()) return;
  UnloadForm(kUnloadByUser);
}

void Form::UserPaint() {
  if (!loaded_) return;
  drawing_.clear();
  Notify(Property::Drawing);
  RaiseEvent(Paint);
}

}  // namespace kelvarin::platform
