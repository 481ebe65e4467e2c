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
#include <optional>
#include <string>
#include <vector>

#include "platform/files/file_pool.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "reports/report_state.h"
#include "store/formats.h"
#include "store/store.h"
#include "support/scripted_expect.h"
#include "reports/dialogs/frmCriteria.h"
#include "runs_fixture.h"

namespace kelvarin::test_support {

// A dialog's controls in one line: "[caption]" (with " off-centre" when the
// dialog is not centred on the screen, " loose" when its client area reaches
// well beyond its controls, " missing-element" when an element of a control
// array that was never loaded has been asked for), then each visible control
// that takes input, in creation order (array elements in index order, as
// name(i)): name=value, a text in quotes with "<=n" for its maximum length, a
// list as its items with ">" before the selected one ("(editable)" before the
// "=" when text can be typed into it), a check box or option as 0 or 1, a
// button by name alone and only when disabled or focused; then its marks: "!"
// cannot be used (disabled, itself or by its frame), "#" read-only, "*" has
// the focus, "[]" a sunken frame is drawn round it, "R" right-aligned, "red"
// in key-row red, "?" never placed or reaching beyond its container. Other
// controls appear only when red or misplaced. With `only`, just the controls
// whose names begin so.
inline std::string ControlStates(const platform::Form& f, std::initializer_list<const char*> only = {}) {
  const platform::ScreenInfo screen = f.GetHost().Screen();
  const int px = screen.twipsPerPixelX, py = screen.twipsPerPixelY;
  const bool centred =
      f.Left() == (screen.widthTwips - f.Width()) / 2 && f.Top() == (screen.heightTwips - f.Height()) / 2;
  int32_t right = 0, bottom = 0;
  bool missing = false;
  for (const platform::Control* c : f.Controls())
    if (c->Parent() == &f && c->EffectiveVisible())
      right = std::max(right, c->Left() + c->Width()), bottom = std::max(bottom, c->Top() + c->Height());
  for (const platform::ControlArrayBase* a : f.Arrays()) missing = missing || a->MissingElementUses() > 0;
  std::string out = "[" + f.Caption() + (centred ? "" : " off-centre") +
                    (f.ScaleWidth() - right > 300 || f.ScaleHeight() - bottom > 300 ? " loose" : "") +
                    (missing ? " missing-element]" : "]");
  auto drawn = [&](platform::DrawnLine line) {
    return std::find(f.Drawing().begin(), f.Drawing().end(), line) != f.Drawing().end();
  };
  auto describe = [&](const platform::Control& c) {
    const std::string name = c.Name() + (c.Index() >= 0 ? "(" + std::to_string(c.Index()) + ")" : "");
    const bool red = c.ForeColor() == 0x0000FF || c.BackColor() == 0x0000FF;
    const int l = c.Left() - px, t = c.Top() - py, r = c.Left() + c.Width(), b = c.Top() + c.Height();
    const platform::Control& parent = c.Parent()->AsControl();
    const bool misplaced = (c.Left() == 0 && c.Top() == 0) || r > (&parent == &f ? f.ScaleWidth() : parent.Width()) ||
                           b > (&parent == &f ? f.ScaleHeight() : parent.Height());
    auto* box = dynamic_cast<const platform::TextBox*>(&c);
    std::string value;
    if (!c.EffectiveVisible() ||
        (only.size() && std::none_of(only.begin(), only.end(), [&](const char* p) { return name.starts_with(p); })))
      return;
    if (box) {
      value = "=\"" + box->Text() + "\"" + (box->MaxLength() > 0 ? "<=" + std::to_string(box->MaxLength()) : "");
    } else if (auto* check = dynamic_cast<const platform::CheckBox*>(&c)) {
      value = "=" + std::to_string(check->Value());
    } else if (auto* option = dynamic_cast<const platform::OptionButton*>(&c)) {
      value = option->Value() ? "=1" : "=0";
    } else if (auto* list = dynamic_cast<const platform::ComboBox*>(&c)) {
      value = list->ComboStyle() == platform::ComboBox::kDropDownList ? "=" : "(editable)=";
      for (int32_t i = 0; i < list->ListCount(); ++i) {
        std::string item = list->List(i);
        item.erase(item.find_last_not_of(' ') + 1);
        value += (i ? "|" : "") + std::string(i == list->ListIndex() ? ">" : "") + item;
      }
    } else if (!misplaced && !(dynamic_cast<const platform::Label*>(&c) && red) &&
               !(dynamic_cast<const platform::CommandButton*>(&c) && (!c.EffectiveEnabled() || c.HasFocus()))) {
      return;
    }
    const bool framed = drawn({l, t, r, t, 0x808080}) && drawn({l, t, l, b, 0x808080}) &&
                        drawn({l, b, r + px, b, platform::kWhite}) && drawn({r, t, r, b, platform::kWhite});
    out += " " + name + value + (c.EffectiveEnabled() ? "" : "!") + (box && box->ReadOnly() ? "#" : "") +
           (c.HasFocus() ? "*" : "") + (framed ? "[]" : "") +
           (box && box->Alignment() == platform::Align::Right ? "R" : "") + (red ? "red" : "") +
           (misplaced ? "?" : "");
  };
  for (const platform::Control* c : f.Controls()) {
    if (c->Index() < 0) describe(*c);
    for (int16_t i = 0; c->Index() == 0 && i <= store::kFieldCount; ++i)
      if (const platform::Control* e = f.FindControl(c->Name(), i)) describe(*e);
  }
  return out;
}

// A dialog's captions: "[caption]" (" sizable" when its border is not a fixed
// dialog's), then every label (a bold one's with "(bold)"), frame, option, check
// box and button outside the control arrays, in creation order, joined by "|";
// the default button's with "(enter)", the cancel button's with "(esc)".
inline std::string Captions(const platform::Form& f) {
  std::string out = "[" + f.Caption() + (f.BorderStyle() == platform::FormBorder::FixedDialog ? "]" : " sizable]");
  for (const platform::Control* c : f.Controls()) {
    std::string caption;
    if (auto* l = dynamic_cast<const platform::Label*>(c)) caption = l->Caption() + (l->Font().bold ? "(bold)" : "");
    if (auto* r = dynamic_cast<const platform::Frame*>(c)) caption = r->Caption();
    if (auto* o = dynamic_cast<const platform::OptionButton*>(c)) caption = o->Caption();
    if (auto* k = dynamic_cast<const platform::CheckBox*>(c)) caption = k->Caption();
    if (auto* b = dynamic_cast<const platform::CommandButton*>(c))
      caption = b->Caption() + (b == f.DefaultButton() ? "(enter)" : b == f.CancelButton() ? "(esc)" : "");
    if (c->Index() < 0 && !caption.empty()) out += (out.back() == ']' ? " " : "|") + caption.substr(0, 40);
  }
  return out;
}

// The settings block of a catalog's settings file as stored; nullopt when
// the file is missing or short.
inline std::optional<store::CatalogSettings> SettingsIn(const std::string& path) {
  std::string bytes = ReadFileBytes(path);
  if (bytes.size() < store::kSettingsOffset + store::kSettingsSize) return std::nullopt;
  store::CatalogSettings s;
  store::DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.data()) + store::kSettingsOffset, &s);
  return s;
}

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    store.SetAppDir(dir_.path());
    store.MeasureFonts();
    store.CatalogName = "BOOKS";
    store.CurrentReport = "LIST";
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

  std::string Path(const std::string& file) const { return dir_.File(file); }
  bool Exists(const std::string& file) const { return std::filesystem::exists(Path(file)); }
  std::optional<store::CatalogSettings> SavedSettings(const std::string& catalog) const {
    return SettingsIn(Path(catalog + ".SET"));
  }

  platform::ScriptedHost host;
  ScriptedExpect expect{host};
  platform::FilePool files;
  store::Store store{host, files};
  reports::ReportState state;

 private:
  TempDir dir_{"dialogs"};
};

// One row of a dialog's table: the settings it opens on, what the user does
// in it and what is left afterwards.
template <class F>
struct DialogRow {
  const char* what;
  std::function<void()> before;  // the catalog (cat_) and QAV.INI before the start
  std::function<void()> given;   // the program's state once started
  const char* opened;            // ControlStates at opening; null: the dialog is not shown
  std::function<void(F&)> user;
  const char* left;              // what the table's describer says afterwards
};

class ProgramDialogTest : public RunsTest {
 protected:
  ProgramDialogTest() {
    cat_.Settings([](store::CatalogSettings& s) { s.ReportName = "LIST"; });
    pristine_ = cat_;
  }

  // Starts the program afresh for one row of a table, on an empty
  // application directory with the people in the catalog; `before` may change
  // the catalog (cat_) or write QAV.INI first.
  void Restart(const std::function<void()>& before = {}) {
    program_.reset();
    for (const auto& e : std::filesystem::directory_iterator(dir_.path())) std::filesystem::remove_all(e.path());
    cat_ = pristine_;
    People();
    if (before) before();
    Start();
  }

  // Plays each row: a fresh start with a DialogResult left over from some
  // other dialog, the dialog opened by `open` (as the form named `name`), its
  // captions (first row) and controls compared at opening, the user's
  // actions, and then `left()` compared.
  template <class F>
  void PlayRows(const std::string& name, const std::string& captions, const std::vector<DialogRow<F>>& rows,
                const std::function<void()>& open, const std::function<std::string()>& left) {
    for (const DialogRow<F>& row : rows) {
      SCOPED_TRACE(row.what);
      Restart(row.before);
      st().DialogResult = 7;
      if (row.given) row.given();
      if (row.opened)
        host_.OnShowAs<F>(name, [&](F& d) {
          if (&row == &rows.front()) {
            EXPECT_EQ(Captions(d), captions);
          }
          EXPECT_EQ(ControlStates(d), row.opened);
          row.user(d);
        });
      open();
      EXPECT_EQ(left(), row.left);
      ExpectScriptDone(host_);
    }
  }

  void WriteIni(const std::string& section, const std::string& key, const std::string& value) {
    platform::WritePrivateProfileString(section, key, value, dir_.File("QAV.INI"));
  }
  int Ini(const std::string& section, const std::string& key) const {
    return platform::GetPrivateProfileInt(section, key, -99, dir_.File("QAV.INI"));
  }
  store::CatalogSettings Saved() const {
    return SettingsIn(dir_.File("PEOPLE.SET")).value_or(store::CatalogSettings{});
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

  // Report Setup is reached from the dialog d: the page length set there is saved.
  template <class F>
  void ReportSetupFrom(F& d) {
    host_.OnShowAs<reports::frmReportDest>("frmReportDest", [](reports::frmReportDest& r) {
      r.txtPageLength.UserSetText("66");
      r.cmdOK.UserClick();
    });
    d.cmdRptSetup.UserClick();
    EXPECT_EQ(Saved().PageLength, 66);
  }

  // The criteria dialog's user: texts typed into boxes by slot, then OK or Cancel.
  void CriteriaUser(const std::string& caption, std::vector<std::pair<int16_t, std::string>> texts, bool ok = true) {
    host_.OnShowAs<reports::frmCriteria>("frmCriteria", [=](reports::frmCriteria& f) {
      EXPECT_EQ(f.Caption(), caption);
      for (const auto& [slot, text] : texts) f.txtFieldData[slot].UserSetText(text);
      (ok ? f.cmdOK : f.cmdCancel).UserClick();
    });
  }

  CatalogBuilder pristine_{"", ""};
};

}  // namespace kelvarin::test_support
