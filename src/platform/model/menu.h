// Menu items: a caption with an "&" access key, visible, enabled and checked
// states, a Click event and sub-items. Top-level items belong to the form;
// an item is reachable only while it, every menu above it and its form are
// visible and enabled.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/model/control.h"

namespace kelvarin::platform {

class MenuItem : public Control {
 public:
  // A top-level menu of the form.
  MenuItem(Form& form, std::string name);
  // An item under another menu item.
  MenuItem(MenuItem& parent, std::string name);
  ~MenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  // A caption of "-" is a separator.
  bool IsSeparator() const { return caption_ == "-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  // Shortcut text shown beside the caption ("Ctrl+S"); the host binds it.
  const std::string& Shortcut() const { return shortcut_; }
  void SetShortcut(const std::string& s);

  MenuItem* ParentMenu() const { return parentMenu_; }
  const std::vector<MenuItem*>& Items() const { return items_; }

  std::function<void()> Click;
  // Ignored unless the item is reachable.
  void UserClick();
  bool Reachable() const;
  void CopyPropertiesFrom(const Control& other) override;

 protected:
  void NotifyInherited(Property p) override;

 private:
  MenuItem* parentMenu_ = nullptr;
  std::vector<MenuItem*> items_;
  std::string caption_;
  std::string shortcut_;
  bool checked_ = false;
};

}  // namespace kelvarin::platform
