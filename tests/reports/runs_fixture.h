// A program over the scripted host with a catalog of people of its own:
// Name (key, 20) in slot 0, City (15) in slot 1, Code (key, 6) in slot 3,
// Ref (12) in slot 20. Tests add the entries, start the program with the
// catalog open and then play the user through the View menu.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "reports/dialogs/frmGlobalSearch.h"
#include "reports/dialogs/frmListAlpha.h"
#include "reports/dialogs/frmListRange.h"
#include "reports/dialogs/frmSearch.h"
#include "support/catalog_program.h"

namespace kelvarin::test_support {

class RunsTest : public CatalogProgramTest {
 protected:
  RunsTest() : CatalogProgramTest("runs", "PEOPLE") {
    cat_.Field(0, "Name", 20, store::KindKey).Field(1, "City", 15).Field(3, "Code", 6, store::KindKey);
    cat_.Field(20, "Ref", 12);
  }


  // The user's answers to the run dialogs.
  void GlobalSearchDialog(const std::string& text) {
    host_.OnShowAs<reports::frmGlobalSearch>("frmGlobalSearch", [text](reports::frmGlobalSearch& f) {
      f.txtGlobalString.UserSetText(text);
      f.cmdOK.UserClick();
    });
  }
  void ListRangeDialog(const std::string& first, const std::string& last) {
    host_.OnShowAs<reports::frmListRange>("frmListRange", [first, last](reports::frmListRange& f) {
      f.txtStartRec.UserSetText(first);
      f.txtEndRec.UserSetText(last);
      f.cmdOK.UserClick();
    });
  }
  // Search dialog: texts by slot, the order, OK.
  void SearchDialog(std::vector<std::pair<int16_t, std::string>> texts, bool sequential) {
    host_.OnShowAs<reports::frmSearch>("frmSearch", [texts, sequential](reports::frmSearch& f) {
      (sequential ? f.optSequential : f.optAlpha).UserClick();
      for (int16_t i = 0; i < reports::frmSearch::kRows; ++i) f.txtFieldData[i].SetText("");
      for (const auto& [slot, text] : texts) f.txtFieldData[slot].UserSetText(text);
      f.cmdOK.UserClick();
    });
  }
  // The criteria dialog: one text for a slot, then OK.
  void CriteriaScript(int16_t slot, const std::string& text) {
    host_.OnShow("frmCriteria", [slot, text](platform::Form& f) {
      static_cast<platform::TextBox*>(f.FindControl("txtFieldData", slot))->UserSetText(text);
      static_cast<platform::CommandButton*>(f.FindControl("cmdOK"))->UserClick();
    });
  }
  // List Alphabetically: start and end texts for the key field in slot 0.
  void ListAlphaDialog(const std::string& start, const std::string& end) {
    host_.OnShowAs<reports::frmListAlpha>("frmListAlpha", [this, start, end](reports::frmListAlpha& f) {
      if (!start.empty()) {
        CriteriaScript(0, start);
        f.cmdSetStart.UserClick();
      }
      if (!end.empty()) {
        CriteriaScript(0, end);
        f.cmdSetEnd.UserClick();
      }
      f.cmdOK.UserClick();
    });
  }
  void SpeedPrompt(const std::string& text) {
    host_.OnShow("frmEnterName", [text](platform::Form& f) {
      static_cast<platform::TextBox*>(f.FindControl("txtName"))->UserSetText(text);
      static_cast<platform::CommandButton*>(f.FindControl("cmdOK"))->UserClick();
    });
  }

  // In name order: Adams 3, Jones 1, Smith 2, Smithers 6 (deleted),
  // Smithson 4, Smithy 7, Smyth 5.
  void People() {
    cat_.Entry({"Jones", "Boston", "", "A1"});
    cat_.Entry({"Smith", "Portland", "", "B2"});
    cat_.Entry({"Adams", "Lands End", "", "A2"});
    cat_.Entry({"Smithson", "Portland", "", "C1"});
    cat_.Entry({"Smyth", "Portland", "", "B3"});
    cat_.DeletedEntry({"Smithers", "Portland", "", "C2"});
    cat_.Entry({"Smithy", "Boston", "", "C9"});
  }

  // Rewrites an entry's sort links in the open catalog.
  void Relink(float n, float next, float prev) {
    store::EntryRecord e;
    ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, n, st().DatFile));
    e.NextLink = next;
    e.PrevLink = prev;
    ASSERT_TRUE(st().WriteEntry(e, st().CatalogHeader, n, st().DatFile));
  }

  // What the main window shows now.
  std::string Shown() { return main().txtFieldData(0).Text(); }
  std::string Panel(const std::string& key) { return main().PanelText(key); }
  // The transcript without the pointer changes and yields.
  std::vector<std::string> Seen() const {
    std::vector<std::string> out;
    for (const std::string& line : host_.Transcript())
      if (line.rfind("Pointer(", 0) != 0) out.push_back(line);
    return out;
  }
  static std::string Box(const std::string& text) { return "MsgBox(OK,None,\"Kelvarin Your Catalog\"): " + text; }

  // The next message box is expected to show this text (answered OK).
  void Expect(const std::string& text) { host_.AnswerMsgBox(platform::MsgAnswer::OK, text); }

  // The user steps.
  void Next() { main().cmdNext.UserClick(); }
  void Previous() { main().cmdPrevious.UserClick(); }
};

}  // namespace kelvarin::test_support
