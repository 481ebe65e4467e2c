// What the report format tests share: the dialog fixture's store over a
// temporary application directory, a catalog defined in memory, and format
// files written and read byte for byte as docs/FILE-FORMATS.md lays them
// out (23 records of 12 bytes: Width, Line, Column, LinesPerEntry, four
// zero bytes; then ShowTitles and ten zero bytes).
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "dialogs_fixture.h"
#include "reports/formats/frmRptMaintenance.h"
#include "reports/formats/frmRptSetup.h"
#include "store/frm_enter_name.h"

namespace kelvarin::test_support {

struct Placed {
  int slot;
  int16_t width, line, column;
};

class FormatsTest : public DialogTest {
 protected:
  FormatsTest() {
    Field(0, "Title", 30);
    Field(1, "Author", 20);
    Field(2, "Price", 8);
    Field(4, "Shelf", 6);
    store.CurrentReport = "";
  }

  // A layout with every column unplaced at the catalog's field lengths
  // (column 21 six wide), then the placed columns given.
  store::ReportLayout Layout(const std::vector<Placed>& placed, int16_t lines = 1) const {
    store::ReportLayout l{};
    for (int i = 0; i < store::kReportColumns; ++i) {
      auto& c = l[static_cast<size_t>(i)];
      c.Width = i < store::kFieldCount ? store.CatalogHeader.FieldLength[static_cast<size_t>(i)] : 6;
      c.LinesPerEntry = lines;
    }
    for (const Placed& p : placed) l[static_cast<size_t>(p.slot)] = {p.width, p.line, p.column, lines};
    return l;
  }

  static void Put16(std::string& s, int16_t v) {
    s += static_cast<char>(static_cast<uint16_t>(v) & 0xFF);
    s += static_cast<char>(static_cast<uint16_t>(v) >> 8);
  }
  // The file's bytes for a layout: every record carries column 0's lines.
  static std::string FmtBytes(const store::ReportLayout& layout, int16_t showTitles) {
    std::string s;
    for (const auto& c : layout) {
      Put16(s, c.Width);
      Put16(s, c.Line);
      Put16(s, c.Column);
      Put16(s, layout[0].LinesPerEntry);
      s.append(4, '\0');
    }
    Put16(s, showTitles);
    s.append(10, '\0');
    return s;
  }

  void WriteBytes(const std::string& file, const std::string& bytes) const {
    std::ofstream out(Path(file), std::ios::binary);
    out << bytes;
  }
  std::string ReadBytes(const std::string& file) const {
    std::ifstream in(Path(file), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The names of the files in the directory.
  std::set<std::string> DirFiles() const {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(Path("")))
      names.insert(e.path().filename().string());
    return names;
  }

  // The user types name into the next name prompt and presses OK (or,
  // with name nullopt, Cancel).
  void AnswerPrompt(std::optional<std::string> name) {
    host.OnShowAs<store::frmEnterName>("frmEnterName", [name](store::frmEnterName& p) {
      if (!name) {
        p.cmdCancel.UserClick();
        return;
      }
      p.txtName.UserType(*name);
      p.cmdOK.UserClick();
    });
  }
  void InDesigner(std::function<void(reports::frmRptSetup&)> script) {
    host.OnShowAs<reports::frmRptSetup>("frmRptSetup", std::move(script));
  }

  // Opens Report Maintenance, runs script in it, and closes it with OK.
  void Maintain(const std::function<void(reports::frmRptMaintenance&)>& script) {
    host.OnShowAs<reports::frmRptMaintenance>("frmRptMaintenance", [&](reports::frmRptMaintenance& f) {
      script(f);
      f.cmdOK.UserClick();
    });
    reports::frmRptMaintenance form(host, store);
    form.Show(platform::ShowMode::Modal);
    form.UnloadForm();
  }

  // Shows the designer on the edit layout and runs script in it.
  void Design(const std::function<void(reports::frmRptSetup&)>& script) {
    InDesigner([&](reports::frmRptSetup& d) { script(d); });
    reports::frmRptSetup form(host, store);
    form.Show(platform::ShowMode::Modal);
    form.UnloadForm();
  }

  static std::vector<std::string> Items(const platform::ListControl& list) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.ListCount(); ++i) out.push_back(list.List(i));
    return out;
  }
  // The enabled buttons among Select, Edit, New, Copy, Rename, Delete.
  static std::string EnabledButtons(reports::frmRptMaintenance& f) {
    std::string s;
    for (auto* b : {&f.cmdSelect, &f.cmdDesign, &f.cmdNew, &f.cmdCopy, &f.cmdRename, &f.cmdDelete})
      if (b->Enabled()) s += (s.empty() ? "" : " ") + platform::CaptionWithoutAccessMarks(b->Caption());
    return s;
  }
};

}  // namespace kelvarin::test_support
