#include "platform/model/status_bar.h"

namespace kelvarin::platform {

void Panel::SetText(std::string_view t) {
  if (text_ == t) return;
  text_.assign(t);
  bar_->Notify(Property::Items);
}

void Panel::SetWidth(int32_t twips) {
  if (width_ == twips) return;
  width_ = twips;
  bar_->Notify(Property::Items);
}

StatusBar::StatusBar(Container& parent, std::string name) : Control(parent, ControlKind::StatusBar, std::move(name)) {
  SetBackColor(kSysButtonFace);
  SetTabStop(false);
}

StatusBar::~StatusBar() = default;

Panel& StatusBar::AddPanel(const std::string& key, const std::string& text, int32_t width) {
  panels_.push_back(std::unique_ptr<Panel>(new Panel(*this, key)));
  Panel& p = *panels_.back();
  p.text_ = text;
  p.width_ = width;
  Notify(Property::Items);
  return p;
}

Panel* StatusBar::FindPanel(std::string_view key) const {
  for (auto& p : panels_)
    if (p->key_ == key) return p.get();
  return nullptr;
}

Panel& StatusBar::Panels(std::string_view key) {
  if (Panel* p = FindPanel(key)) return *p;
  return AddPanel(std::string(key));
}

Panel* StatusBar::PanelAt(int32_t position) const {
  if (position < 1 || position > PanelCount()) return nullptr;
  return panels_[static_cast<size_t>(position - 1)].get();
}

void StatusBar::CopyPropertiesFrom(const Control& other) {
  Control::CopyPropertiesFrom(other);
  const auto& o = static_cast<const StatusBar&>(other);
  panels_.clear();
  for (auto& p : o.panels_) {
    panels_.push_back(std::unique_ptr<Panel>(new Panel(*this, p->key_)));
    panels_.back()->text_ = p->text_;
    panels_.back()->width_ = p->width_;
  }
}

}  // namespace kelvarin::platform
