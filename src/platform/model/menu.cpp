#include "platform/model/menu.h"

#include <algorithm>

#include "platform/model/form.h"

namespace kelvarin::platform {

MenuItem::MenuItem(Form& form, std::string name) : Control(&form, nullptr, ControlKind::MenuItem, std::move(name)) {
  SetTabStop(false);
  form.RegisterMenu(this);
}

MenuItem::MenuItem(MenuItem& parent, std::string name)
    : Control(&parent.OwnerForm(), nullptr, ControlKind::MenuItem, std::move(name)), parentMenu_(&parent) {
  SetTabStop(false);
  parent.items_.push_back(this);
  parent.Notify(Property::Items);
}

MenuItem::~MenuItem() {
  for (MenuItem* child : items_) child->parentMenu_ = nullptr;
  if (parentMenu_)
    std::erase(parentMenu_->items_, this);
  else
    OwnerForm().UnregisterMenu(this);
}

void MenuItem::SetCaption(const std::string& c) {
  if (caption_ == c) return;
  caption_ = c;
  Notify(Property::Caption);
}

void MenuItem::SetChecked(bool on) {
  if (checked_ == on) return;
  checked_ = on;
  Notify(Property::Checked);
}

void MenuItem::SetShortcut(const std::string& s) {
  if (shortcut_ == s) return;
  shortcut_ = s;
  Notify(Property::Appearance);
}

bool MenuItem::Reachable() const {
  const Form& f = OwnerForm();
  if (!f.Loaded() || !f.Visible() || !f.Enabled() || f.Blocked()) return false;
  for (const MenuItem* m = this; m; m = m->parentMenu_)
    if (!m->Visible() || !m->Enabled()) return false;
  return !IsSeparator();
}

void MenuItem::UserClick() {
  if (Reachable()) RaiseEvent(Click);
}

void MenuItem::NotifyInherited(Property p) {
  Notify(p);
  for (MenuItem* child : items_) child->NotifyInherited(p);
}

void MenuItem::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const MenuItem&>(other);
  caption_ = o.caption_;
  shortcut_ = o.shortcut_;
  checked_ = o.checked_;
}

}  // namespace kelvarin::platform
