// A minimal host for the engine tests: records message boxes and focus
// messages, answers OK, and holds a fixed date and locale.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/host.h"

namespace kelvarin::dbf::testing {

class NullPrinter final : public platform::Printer {
 public:
  bool PrintLine(const std::string&) override { return true; }
  bool PrintPart(const std::string&) override { return true; }
  bool PrintAtColumn(int, const std::string&) override { return true; }
  bool NewPage() override { return true; }
  bool EndDoc() override { return true; }
  bool DocumentOpen() const override { return false; }
  bool SetFont(const platform::PrinterFont& f) override {
    font_ = f;
    return true;
  }
  platform::PrinterFont Font() const override { return font_; }
  double TextWidth(const std::string& t) const override { return 90.0 * static_cast<double>(t.size()); }
  double PageWidth() const override { return 11520; }
  double ColumnWidth() const override { return 90; }
  void SetLinesPerPage(int) override {}

 private:
  platform::PrinterFont font_;
};

struct ShownBox {
  std::string text;
  platform::MsgIcon icon;
  std::string title;
};

class FakeHost final : public platform::Host {
 public:
  platform::MsgAnswer MsgBox(const std::string& text, platform::MsgButtons,
                             platform::MsgIcon icon, const std::string& title) override {
    boxes.push_back({text, icon, title});
    return platform::MsgAnswer::OK;
  }
  void Beep() override {}
  void DoEvents() override {}
  void ShowModal(platform::Form&) override {}
  void ShowModeless(platform::Form&) override {}
  void HideForm(platform::Form&) override {}
  platform::ScreenInfo Screen() const override { return {}; }
  int MousePointerShape() const override { return 0; }
  void SetMousePointerShape(int) override {}
  std::optional<std::string> SaveFileDialog(const platform::FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> OpenFileDialog(const platform::FileDialogRequest&) override { return std::nullopt; }
  std::optional<platform::FontChoice> FontDialog(const platform::FontChoice&) override { return std::nullopt; }
  platform::Printer& GetPrinter() override { return printer; }
  platform::CalendarDate Today() const override { return today; }
  double TimeOfDay() const override { return 0; }
  const platform::LocaleSettings& Locale() const override { return locale; }
  platform::FontMeasures MainFontMeasures() const override { return {}; }
  void SendFocusMessage(int message, int32_t wParam) override { focusMessages.emplace_back(message, wParam); }

  std::vector<ShownBox> boxes;
  std::vector<std::pair<int, int32_t>> focusMessages;
  platform::CalendarDate today{2026, 12, 7};
  platform::LocaleSettings locale;
  NullPrinter printer;
};

}  // namespace kelvarin::dbf::testing
