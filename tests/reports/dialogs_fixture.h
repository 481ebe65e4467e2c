// What the dialog tests share. DialogTest: a scripted host, a store over a
// temporary application directory with a catalog defined in memory, and the
// report state; files the dialogs write (QAV.INI, NAME.SET) land in the
// directory. ProgramDialogTest: the program over the scripted host on the
// people catalog of the runs' tests (Name key in slot 0, City in slot 1, Code
// key in slot 3, Ref in slot 20; report format LIST), started afresh for each
// row of a table. ControlStates: a dialog's controls in one line, for the
// tables to compare.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/files/file_pool.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "reports/report_state.h"
#include "store/formats.h"
#include "store/store.h"
#include "support/scripted_expect.h"
#include "runs_fixture.h"

namespace kelvarin::test_support {

// A dialog's controls in one line: "[caption]" (with " off-centre" when the
// dialog is not centred on the screen), then each visible control that takes
// input, in creation order (array elements in index order, as name(i)):
// name=value, a text in quotes with "<=n" for its maximum length, a list as
// its items with ">" before the selected one, a check box or option as 0 or
// 1, a button by name alone; then its marks: "!" cannot be used (disabled,
// itself or by its frame), "#" read-only, "*" has the focus, "[]" a sunken
// frame is drawn round it, "red" key-row red. A label appears only when red.
// With `only`, just the controls whose names begin so.
inline std::string ControlStates(const platform::Form& f, std::initializer_list<const char*> only = {}) {
  const platform::ScreenInfo screen = f.GetHost().Screen();
  const int px = screen.twipsPerPixelX, py = screen.twipsPerPixelY;
  std::string out = "[" + f.Caption();
  if (f.Left() != (screen.widthTwips - f.Width()) / 2 || f.Top() != (screen.heightTwips - f.Height()) / 2)
    out += " off-centre";
  out += "]";
  auto framed = [&](const platform::Control& c) {
    const int l = c.Left() - px, t = c.Top() - py, r = c.Left() + c.Width(), b = c.Top() + c.Height();
    auto drawn = [&](platform::DrawnLine line) {
      return std::find(f.Drawing().begin(), f.Drawing().end(), line) != f.Drawing().end();
    };
    constexpr platform::Color kDarkGrey = 0x808080;
    return drawn({l, t, r, t, kDarkGrey}) && drawn({l, t, l, b, kDarkGrey}) &&
           drawn({l, b, r + px, b, platform::kWhite}) && drawn({r, t, r, b, platform::kWhite});
  };
  auto describe = [&](const platform::Control& c) {
    if (!c.EffectiveVisible()) return;
    if (only.size() && std::none_of(only.begin(), only.end(), [&](const char* p) { return c.Name().starts_with(p); }))
      return;
    std::string name = c.Name() + (c.Index() >= 0 ? "(" + std::to_string(c.Index()) + ")" : "");
    std::string value;
    if (auto* t = dynamic_cast<const platform::TextBox*>(&c)) {
      value = "=\"" + t->Text() + "\"" + (t->MaxLength() > 0 ? "<=" + std::to_string(t->MaxLength()) : "");
    } else if (auto* k = dynamic_cast<const platform::CheckBox*>(&c)) {
      value = "=" + std::to_string(k->Value());
    } else if (auto* o = dynamic_cast<const platform::OptionButton*>(&c)) {
      value = o->Value() ? "=1" : "=0";
    } else if (auto* l = dynamic_cast<const platform::ComboBox*>(&c)) {
      value = "=";
      for (int32_t i = 0; i < l->ListCount(); ++i) {
        std::string item = l->List(i);
        item.erase(item.find_last_not_of(' ') + 1);
        value += (i ? "|" : "") + std::string(i == l->ListIndex() ? ">" : "") + item;
      }
    } else if (dynamic_cast<const platform::Label*>(&c)) {
      if (c.ForeColor() == 0x0000FF) out += " " + name + "=red";
      return;
    } else if (!dynamic_cast<const platform::CommandButton*>(&c)) {
      return;
    }
    auto* t = dynamic_cast<const platform::TextBox*>(&c);
    out += " " + name + value + (c.EffectiveEnabled() ? "" : "!") + (t && t->ReadOnly() ? "#" : "") +
           (c.HasFocus() ? "*" : "") + (framed(c) ? "[]" : "") + (t && c.BackColor() == 0x0000FF ? "red" : "");
  };
  for (const platform::Control* c : f.Controls()) {
    if (c->Index() > 0) continue;  // described with element 0, in index order
    auto array = std::find_if(f.Arrays().begin(), f.Arrays().end(),
                              [&](const platform::ControlArrayBase* a) { return c->Index() == 0 && a->Name() == c->Name(); });
    if (array == f.Arrays().end()) {
      describe(*c);
    } else {
      for (const platform::Control* e : (*array)->Elements()) describe(*e);
    }
  }
  return out;
}


class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() / ("kv_dialogs_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
    store.SetAppDir(dir_.string());
    store.MeasureFonts();
    store.CatalogName = "BOOKS";
    store.CurrentReport = "LIST";
  }
  ~DialogTest() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // Defines field slot `slot` of the open catalog in memory.
  void Field(int slot, const std::string& name, int16_t length, int16_t kind = store::KindPlain) {
    std::string padded = name;
    padded.resize(store::kFieldNameLength, ' ');
    store.FieldDefs[static_cast<size_t>(slot)] = store::FieldDef{padded, kind};
    store.CatalogHeader.FieldLength[static_cast<size_t>(slot)] = length;
  }
  static std::string Padded(const std::string& name) {
    std::string s = name;
    s.resize(store::kFieldNameLength, ' ');
    return s;
  }

  static reports::CriteriaList List(const std::vector<reports::CriteriaItem>& items) {
    reports::CriteriaList list;
    for (const auto& item : items) list.Items[static_cast<size_t>(list.Count++)] = item;
    return list;
  }
  static std::vector<reports::CriteriaItem> Items(const reports::CriteriaList& list) {
    return {list.Items.begin(), list.Items.begin() + list.Count};
  }

  std::string Path(const std::string& file) const { return (dir_ / file).string(); }
  bool Exists(const std::string& file) const { return std::filesystem::exists(dir_ / file); }
  int IniInt(const std::string& section, const std::string& key) const {
    return platform::GetPrivateProfileInt(section, key, -99, store.IniPath());
  }
  // The settings block of a catalog's settings file as stored; nullopt when
  // the file is missing or short.
  std::optional<store::CatalogSettings> SavedSettings(const std::string& catalog) const {
    std::ifstream in(Path(catalog + ".SET"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < store::kSettingsOffset + store::kSettingsSize) return std::nullopt;
    store::CatalogSettings s;
    store::DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.data()) + store::kSettingsOffset, &s);
    return s;
  }

  platform::ScriptedHost host;
  ScriptedExpect expect{host};
  platform::FilePool files;
  store::Store store{host, files};
  reports::ReportState state;

 private:
  std::filesystem::path dir_;
};

class ProgramDialogTest : public RunsTest {
 protected:
  ProgramDialogTest() {
    cat_.Settings([](store::CatalogSettings& s) { s.ReportName = "LIST"; });
    pristine_ = cat_;
  }

  // Starts the program afresh for one row of a table, on an empty
  // application directory with the people in the catalog; `before` may change
  // the catalog (cat_) or write QAV.INI first. Checks that the row before
  // used every answer it queued.
  void Restart(const std::function<void()>& before = {}, int16_t dest = store::rdMonitor) {
    ExpectScriptDone(host_);
    program_.reset();
    for (const auto& e : std::filesystem::directory_iterator(dir_.path())) std::filesystem::remove_all(e.path());
    cat_ = pristine_;
    People();
    if (before) before();
    Start(dest);
  }

  // Runs `script` in the dialog when it is next shown modally.
  template <class F>
  void OnDialog(const std::string& name, std::function<void(F&)> script) {
    host_.OnShowAs<F>(name, std::move(script));
  }

  void WriteIni(const std::string& section, const std::string& key, const std::string& value) {
    platform::WritePrivateProfileString(section, key, value, dir_.File("QAV.INI"));
  }
  int Ini(const std::string& section, const std::string& key) const {
    return platform::GetPrivateProfileInt(section, key, -99, dir_.File("QAV.INI"));
  }
  // The settings block of PEOPLE.SET as stored.
  store::CatalogSettings Saved() const {
    std::string bytes = ReadFileBytes(dir_.File("PEOPLE.SET"));
    store::CatalogSettings s;
    if (bytes.size() >= store::kSettingsOffset + store::kSettingsSize)
      store::DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.data()) + store::kSettingsOffset, &s);
    return s;
  }

  static reports::CriteriaList List(const std::vector<reports::CriteriaItem>& items) {
    reports::CriteriaList list;
    for (const auto& item : items) list.Items[static_cast<size_t>(list.Count++)] = item;
    return list;
  }
  // `[0:"Dune" 3:"B"]`
  static std::string Text(const reports::CriteriaList& list) {
    std::string out = "[";
    for (int16_t k = 0; k < list.Count; ++k)
      out += (k ? " " : "") + std::to_string(list.Items[static_cast<size_t>(k)].FieldIndex) + ":\"" +
             list.Items[static_cast<size_t>(k)].Text + "\"";
    return out + "]";
  }
  // The entry the main window shows and its browse mode.
  std::string ShownNow() { return Shown() + "/" + Panel("SearchMode"); }

  // The criteria dialog's user: texts typed into boxes by slot, then OK or Cancel.
  void CriteriaUser(const std::string& caption, std::vector<std::pair<int16_t, std::string>> texts, bool ok = true) {
    host_.OnShow("frmCriteria", [=](platform::Form& f) {
      EXPECT_EQ(f.Caption(), caption);
      for (const auto& [slot, text] : texts)
        static_cast<platform::TextBox*>(f.FindControl("txtFieldData", slot))->UserSetText(text);
      static_cast<platform::CommandButton*>(f.FindControl(ok ? "cmdOK" : "cmdCancel"))->UserClick();
    });
  }

  CatalogBuilder pristine_{"", ""};
};

}  // namespace kelvarin::test_support

namespace kelvarin::reports {
inline bool operator==(const CriteriaItem& a, const CriteriaItem& b) {
  return a.FieldIndex == b.FieldIndex && a.Text == b.Text;
}
inline void PrintTo(const CriteriaItem& item, std::ostream* os) {
  *os << "{" << item.FieldIndex << ", \"" << item.Text << "\"}";
}
}  // namespace kelvarin::reports
