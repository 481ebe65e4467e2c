// A status bar of panels, each found by its key ("Entry") or by its 1-based
// position.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/model/control.h"

namespace kelvarin::platform {

class StatusBar;

class Panel {
 public:
  const std::string& Key() const { return key_; }
  const std::string& Text() const { return text_; }
  void SetText(std::string_view t);
  int32_t Width() const { return width_; }
  void SetWidth(int32_t twips);

 private:
  friend class StatusBar;
  Panel(StatusBar& bar, std::string key) : bar_(&bar), key_(std::move(key)) {}
  StatusBar* bar_;
  std::string key_;
  std::string text_;
  int32_t width_ = 1440;
};

class StatusBar : public Control {
 public:
  StatusBar(Container& parent, std::string name);
  ~StatusBar() override;
  // Adds a panel at the end and returns it.
  Panel& AddPanel(const std::string& key, const std::string& text = "", int32_t width = 1440);
  int32_t PanelCount() const { return static_cast<int32_t>(panels_.size()); }
  // The panel with that key; a missing key adds a panel at the end, so
  // that writing to it never fails.
  Panel& Panels(std::string_view key);
  // 1-based; null outside.
  Panel* PanelAt(int32_t position) const;
  Panel* FindPanel(std::string_view key) const;
  void CopyPropertiesFrom(const Control& other) override;

 private:
  friend class Panel;
  std::vector<std::unique_ptr<Panel>> panels_;
};

}  // namespace kelvarin::platform
