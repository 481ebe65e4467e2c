// The search dialog as View, Search opens it, the criteria dialog, the field
// rows both lay out, and the speed searches: each opened on given settings,
// its controls read, every button pressed, and what is left compared.
#include <string>

#include "dialogs_fixture.h"
#include "reports/dialogs/frmCriteria.h"
#include "store/frm_enter_name.h"

namespace kelvarin::test_support {
namespace {

using platform::MsgAnswer;
using reports::frmCriteria;
using reports::frmSearch;

const char kQuestion[] =
    "There is no search text in the Key Field.\rThis will search the entire catalog and may take awhile.\r\r"
    "Do you want continue the search anyway?";

class SearchDialogTest : public ProgramDialogTest {
 protected:
  // The start and end lists only when one is set; the case setting and the
  // saved one with the saved top margin only when one is not the default.
  std::string Left() {
    const reports::ReportState& s = rs();
    std::string out = "result=" + std::to_string(st().DialogResult) + " mode=" +
                      std::to_string(main().CurrentSearchMode) + " ini=" + std::to_string(Ini("Search", "SearchMode")) +
                      " key=" + std::to_string(s.KeyField) + " search=" + Text(s.SearchCriteria);
    if (s.AlphaStartCriteria.Count || s.AlphaEndCriteria.Count)
      out += " start=" + Text(s.AlphaStartCriteria) + " end=" + Text(s.AlphaEndCriteria);
    if (st().CaseSensitive || Saved().IgnoreCase != 1 || Saved().TopMargin != 0)
      out += " case=" + std::to_string(st().CaseSensitive) + " saved=" + std::to_string(Saved().IgnoreCase) + "/" +
             std::to_string(Saved().TopMargin);
    return out + " shown=" + ShownNow();
  }
  void Type(frmSearch& d, int16_t slot, const std::string& text) { d.txtFieldData[slot].UserSetText(text); }
  void Answer(MsgAnswer a, const char* text) { host_.AnswerMsgBox(a, text); }
};

TEST_F(SearchDialogTest, OpensOnTheSettingsAndLeavesWhatItsButtonsSet) {
  auto searchMode = [this](const char* v) { return [this, v] { WriteIni("Search", "SearchMode", v); }; };
  auto keyCode = [this](std::vector<reports::CriteriaItem> criteria) {
    return [this, criteria] { rs().KeyField = 3, rs().SearchCriteria = List(criteria); };
  };
  auto alphabetical = [](const std::string& box0) {
    return "[Search] lblFieldName(3)red txtFieldData(0)=\"" + box0 +
           "\"*[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"\"[]red optAlpha=1 optSequential=0 chkCaseSense=0! "
           "cboKeyFields=Name|>Code";
  };
  const std::string kAlphabetical = alphabetical(""), kJones = alphabetical("Jones");
  const char* kSequential =
      "[Search] txtFieldData(0)=\"\"*[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"\"[] optAlpha=0 optSequential=1 "
      "chkCaseSense=0 cboKeyFields=Name|>Code! cmdSetStart! cmdSetEnd!";
  const std::vector<DialogRow<frmSearch>> rows = {
      {"alphabetical: the key row red as the combo and the order options say; key text asks nothing", nullptr,
       [this, keyCode] { keyCode({{1, "Portland"}})(), st().CurrentSettings.TopMargin = 9; },
       "[Search] lblFieldName(3)red txtFieldData(0)=\"\"*[] txtFieldData(1)=\"Portland\"[] txtFieldData(3)=\"\"[]red "
       "optAlpha=1 optSequential=0 chkCaseSense=0! cboKeyFields=Name|>Code",
       [this](frmSearch& d) {
         d.cboKeyFields.UserSelect(0);
         EXPECT_EQ(ControlStates(d, {"lbl", "txtFieldData(0)", "txtFieldData(3)"}),
                   "[Search] lblFieldName(0)red txtFieldData(0)=\"\"[]red txtFieldData(3)=\"\"[]");
         d.optSequential.UserClick();
         EXPECT_EQ(ControlStates(d, {"lbl", "txtFieldData(0)", "chk", "cbo", "cmdSet"}),
                   "[Search] txtFieldData(0)=\"\"[] chkCaseSense=0! cboKeyFields=>Name|Code! cmdSetStart! cmdSetEnd!");
         d.optAlpha.UserClick();
         EXPECT_EQ(ControlStates(d, {"lbl", "cbo", "cmdSet"}), "[Search] lblFieldName(0)red cboKeyFields=>Name|Code");
         Type(d, 0, "Smith");
         d.cmdOK.UserClick();
       },
       "result=0 mode=0 ini=0 key=0 search=[0:\"Smith\" 1:\"Portland\"] shown=Smith/Alpha Search"},
      {"sequential from QAV.INI: rows plain, case box usable; texts kept as typed, no question", searchMode("1"),
       keyCode({}), kSequential,
       [this](frmSearch& d) {
         Type(d, 1, "Portland ");
         Type(d, 3, "B");
         d.cmdOK.UserClick();
       },
       "result=0 mode=1 ini=1 key=3 search=[1:\"Portland \" 3:\"B\"] shown=Smith/Seq Search"},
      {"a stored mode other than 0 or 1 opens the sequential order; OK in alphabetical order stores 0",
       searchMode("2"), keyCode({}), kSequential,
       [this](frmSearch& d) {
         d.optAlpha.UserClick();
         Type(d, 3, "C");
         d.cmdOK.UserClick();
       },
       "result=0 mode=0 ini=0 key=3 search=[3:\"C\"] shown=Smithson/Alpha Search"},
      {"no key field: sequential at once, alphabetical not to be picked, OK keeps the key field",
       [this] { cat_.Field(0, "Name", 20).Field(3, "Code", 6); }, keyCode({}),
       "[Search] txtFieldData(0)=\"\"*[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"\"[] optAlpha=0! optSequential=1 "
       "chkCaseSense=0 cboKeyFields=! cmdSetStart! cmdSetEnd!",
       [this](frmSearch& d) {
         EXPECT_EQ(main().CurrentSearchMode, store::smSequential);
         d.optAlpha.UserClick();
         d.cmdOK.UserClick();
       },
       "result=0 mode=1 ini=1 key=3 search=[] shown=Jones/Seq Search"},
      {"no key text: No keeps the dialog open with what OK had set, Cancel runs nothing", nullptr,
       [this, keyCode] { keyCode({{0, "Jones"}})(), rs().AlphaStartCriteria = List({{3, "A"}}); }, kJones.c_str(),
       [this](frmSearch& d) {
         Type(d, 1, "Boston");
         Answer(MsgAnswer::No, kQuestion);
         d.cmdOK.UserClick();
         EXPECT_TRUE(d.Visible());
         d.cmdCancel.UserClick();
       },
       "result=-1 mode=0 ini=-99 key=3 search=[0:\"Jones\" 1:\"Boston\"] start=[3:\"A\"] end=[] shown=/Make Entries"},
      {"blanks in the key row are key text; Enter presses OK", nullptr, keyCode({}), kAlphabetical.c_str(),
       [this](frmSearch& d) {
         Type(d, 3, "  ");
         Answer(MsgAnswer::OK, "No Matches Found");
         d.UserKey(platform::key::kReturn);
       },
       "result=0 mode=0 ini=0 key=3 search=[3:\"  \"] shown=/Make Entries"},
      {"the 21st field as key: no row carries its text, so OK always asks",
       [this] { cat_.Field(20, "Ref", 12, store::KindKey); }, [this] { rs().KeyField = 20; },
       "[Search] txtFieldData(0)=\"\"*[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"\"[] optAlpha=1 optSequential=0 "
       "chkCaseSense=0! cboKeyFields=Name|Code|>Ref",
       [this](frmSearch& d) {
         Type(d, 0, "Smith");
         Type(d, 3, "B");
         Answer(MsgAnswer::Yes, kQuestion);
         d.cmdOK.UserClick();
       },
       "result=0 mode=0 ini=0 key=20 search=[0:\"Smith\" 3:\"B\"] shown=Smith/Alpha Search"},
      {"the case box shows the stored setting (saving nothing) and saves a change at once; Cancel keeps it",
       [this] {
         WriteIni("Search", "SearchMode", "1");
         cat_.Settings([](store::CatalogSettings& s) { s.IgnoreCase = 0; });
       },
       [this, keyCode] { keyCode({})(), st().CurrentSettings.TopMargin = 9; },
       "[Search] txtFieldData(0)=\"\"*[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"\"[] optAlpha=0 optSequential=1 "
       "chkCaseSense=1 cboKeyFields=Name|>Code! cmdSetStart! cmdSetEnd!",
       [this](frmSearch& d) {
         EXPECT_EQ(Saved().TopMargin, 0);
         d.chkCaseSense.UserClick();
         d.UserClose();
       },
       "result=-1 mode=1 ini=1 key=3 search=[] case=0 saved=1/9 shown=/Make Entries"},
      {"Set Start, Set End edit their lists; Search Setup OK refills the boxes; Clear; Cancel keeps lists",
       nullptr, keyCode({{0, "Jones"}}), kJones.c_str(),
       [this](frmSearch& d) {
         CriteriaUser("Setup Alpha Starting Point", {{3, "B"}});
         d.cmdSetStart.UserClick();
         CriteriaUser("Setup Alpha Ending Point", {{3, "C"}});
         d.cmdSetEnd.UserClick();
         Type(d, 1, "Paris");
         CriteriaUser("Setup Search Criteria", {{0, "X"}}, false);
         d.cmdSrcSetup.UserClick();
         EXPECT_EQ(ControlStates(d, {"txt"}),
                   "[Search] txtFieldData(0)=\"Jones\"[] txtFieldData(1)=\"Paris\"[] txtFieldData(3)=\"\"[]red");
         CriteriaUser("Setup Search Criteria", {{0, ""}, {1, "Boston"}, {20, "pic"}});
         d.cmdSrcSetup.UserClick();
         EXPECT_EQ(ControlStates(d, {"txt"}),
                   "[Search] txtFieldData(0)=\"\"[] txtFieldData(1)=\"Boston\"[] txtFieldData(3)=\"\"[]red");
         d.cmdClear.UserClick();
         EXPECT_EQ(ControlStates(d, {"txt"}),
                   "[Search] txtFieldData(0)=\"\"[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"\"[]red");
         d.cmdCancel.UserClick();
       },
       "result=-1 mode=0 ini=-99 key=3 search=[1:\"Boston\" 20:\"pic\"] start=[3:\"B\"] end=[3:\"C\"] "
       "shown=/Make Entries"},
      {"unused slots' criteria hidden, dropped by OK; a key field's namesake red too; Report Setup",
       [this] { cat_.Field(1, "Code", 15); }, keyCode({{2, "unused"}, {3, "B"}, {20, "pic"}}),
       "[Search] lblFieldName(1)red lblFieldName(3)red txtFieldData(0)=\"\"*[] txtFieldData(1)=\"\"[]red "
       "txtFieldData(3)=\"B\"[]red optAlpha=1 optSequential=0 chkCaseSense=0! cboKeyFields=Name|>Code",
       [this](frmSearch& d) {
         ReportSetupFrom(d);
         d.cmdOK.UserClick();
       },
       "result=0 mode=0 ini=0 key=3 search=[3:\"B\"] shown=Smith/Alpha Search"},
  };
  PlayRows<frmSearch>(
      "frmSearch",
      "[Search] Field Search Criteria(bold)|Enter text to search for on the appropri|Search Order|&Alphabetically By "
      "Key Field|Entire Catalog Se&quentially|Case Sensiti&ve|Alphabetical Search Order Setup|Key Field:|Set &Start|"
      "Set &End|Note: In an alphabetical search the line|Search Setu&p|&Report/Output Setup|Clear|&OK(enter)|"
      "&Cancel(esc)",
      rows, [this] { main().mnuVSearch.UserClick(); }, [this] { return Left(); });
}

// Both dialogs lay their rows out alike: row i at row 0's top + i pitches
// (a hidden row keeps its place), a used row's label and box sized from the
// font measures, the boxes first in the tab order; the search dialog has no
// row for slot 20 and a narrower label.
TEST_F(SearchDialogTest, FieldRowsKeepTheirPlacesInBothDialogs) {
  host_.SetFontMeasures({200, 100, 240});  // not the measures the dialogs were designed on
  Restart([this] { cat_.Field(0, "Name", 0).Field(20, "Ref", 12); });
  const int px = host_.Screen().twipsPerPixelX, py = host_.Screen().twipsPerPixelY;
  auto check = [&](auto& d, int16_t rows, int labelWidth) {
    SCOPED_TRACE(d.Name());
    d.LoadForm();
    const int h = d.txtFieldData[0].Height(), top0 = d.lblFieldName[0].Top(), left0 = d.lblFieldName[0].Left();
    EXPECT_EQ(h, host_.MinTextBoxHeight());
    EXPECT_EQ(std::pair(d.lblFieldName.Count(), d.txtFieldData.Count()), std::pair(rows, rows));
    for (int16_t i = 0; i < rows; ++i) {
      const platform::Label& label = d.lblFieldName[i];
      const platform::TextBox& box = d.txtFieldData[i];
      const bool used = i == 1 || i == 3 || i == 20;
      const int top = top0 + i * (h + 3 * py);
      EXPECT_EQ(std::tuple(label.Visible(), label.Left(), label.Top(), label.Width(), box.Visible(), box.Left(),
                           box.Top()),
                std::tuple(used, left0, top, labelWidth, used, left0 + labelWidth + 3 * px, top))
          << i;
      if (used) {
        EXPECT_EQ(std::tuple(box.Width(), box.Height(), label.Height(), box.MaxLength(), label.Caption()),
                  std::tuple(40 * (st().AvgCharWidth + 2 * px), h, st().LineHeight, 0, st().FieldDefs[i].FieldName))
            << i;
      }
    }
    const platform::TextBox& last = d.txtFieldData[static_cast<int16_t>(rows - 1)];
    EXPECT_LE(last.Top() + h, rows == 21 ? d.cmdOK.Top() : d.ScaleHeight()) << "the criteria's buttons below";
    EXPECT_LE(d.cmdOK.Top() + d.cmdOK.Height(), d.ScaleHeight());
    EXPECT_LT(last.TabIndex(), d.cmdOK.TabIndex()) << "the boxes are visited first, in slot order";
  };
  frmSearch search(host_, st(), rs(), main().CurrentSearchMode);
  check(search, 20, 14 * st().MaxCharWidth - 800);
  frmCriteria criteria(host_, st(), rs());
  check(criteria, 21, 14 * st().MaxCharWidth);
  EXPECT_EQ(std::pair(criteria.lblFieldName[0].Left(), criteria.lblFieldName[0].Top()), std::pair(120, 120));
}

// --- the criteria dialog and the speed searches ----------------------------------

TEST_F(SearchDialogTest, CriteriaEditsOnlyTheListItsModeNames) {
  auto lists = [this](int16_t mode) {
    return [this, mode] {
      rs().SearchCriteria = List({{0, "s"}});
      rs().AlphaStartCriteria = List({{0, "a"}});
      rs().AlphaEndCriteria = List({{3, "old"}, {2, "gone"}});
      rs().CriteriaMode = mode;
      st().DialogResult = 9;
    };
  };
  const char* kUnchanged = "result=-1 search=[0:\"s\"] start=[0:\"a\"] end=[3:\"old\" 2:\"gone\"]";
  const std::vector<DialogRow<frmCriteria>> rows = {
      {"the ending point: OK keeps texts as typed, in slot order, and drops unused slots", nullptr,
       lists(reports::CriteriaAlphaEnd),
       "[Setup Alpha Ending Point] txtFieldData(0)=\"\"*[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"old\"[] "
       "txtFieldData(20)=\"\"[]",
       [](frmCriteria& d) {
         d.txtFieldData[20].UserType(" z ");
         d.txtFieldData[1].UserType("   ");
         d.cmdOK.UserClick();
       },
       "result=0 search=[0:\"s\"] start=[0:\"a\"] end=[1:\"   \" 3:\"old\" 20:\" z \"]"},
      {"the starting point: Esc after typing changes nothing", nullptr, lists(reports::CriteriaAlphaStart),
       "[Setup Alpha Starting Point] txtFieldData(0)=\"a\"*[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"\"[] "
       "txtFieldData(20)=\"\"[]",
       [](frmCriteria& d) {
         d.txtFieldData[0].UserSetText("b");
         d.UserKey(platform::key::kEscape);
       },
       kUnchanged},
      {"the search criteria: boxes emptied and Enter leave an empty list", nullptr, lists(reports::CriteriaSearch),
       "[Setup Search Criteria] txtFieldData(0)=\"s\"*[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"\"[] "
       "txtFieldData(20)=\"\"[]",
       [](frmCriteria& d) {
         d.txtFieldData[0].UserSetText("");
         d.UserKey(platform::key::kReturn);
       },
       "result=0 search=[] start=[0:\"a\"] end=[3:\"old\" 2:\"gone\"]"},
      {"another mode: no list is shown or changed", nullptr, lists(7),
       "[Criteria] txtFieldData(0)=\"\"*[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"\"[] txtFieldData(20)=\"\"[]",
       [](frmCriteria& d) {
         d.txtFieldData[1].UserType("x");
         d.cmdOK.UserClick();
       },
       "result=0 search=[0:\"s\"] start=[0:\"a\"] end=[3:\"old\" 2:\"gone\"]"},
      {"the close box cancels", nullptr, lists(reports::CriteriaSearch),
       "[Setup Search Criteria] txtFieldData(0)=\"s\"*[] txtFieldData(1)=\"\"[] txtFieldData(3)=\"\"[] "
       "txtFieldData(20)=\"\"[]",
       [](frmCriteria& d) { d.UserClose(); }, kUnchanged},
  };
  PlayRows<frmCriteria>("frmCriteria", "[Setup Alpha Ending Point] &OK(enter)|&Cancel(esc)", rows,
      [this] {
        frmCriteria dialog(host_, st(), rs());
        dialog.Show(platform::ShowMode::Modal);
      },
      [this] {
        return "result=" + std::to_string(st().DialogResult) + " search=" + Text(rs().SearchCriteria) +
               " start=" + Text(rs().AlphaStartCriteria) + " end=" + Text(rs().AlphaEndCriteria);
      });
}

TEST_F(SearchDialogTest, SpeedSearchesAskForOneKeyTextAndSearchAlphabetically) {
  int item = 1;
  auto given = [&, this](int k) {
    return [&, this, k] {
      item = k;
      rs().KeyField = 3;
      rs().SearchCriteria = List({{1, "Boston"}});
    };
  };
  auto sequential = [this] { WriteIni("Search", "SearchMode", "1"); };
  const char* kUnchanged = "mode=1 ini=1 key=3 search=[1:\"Boston\"] shown=/Make Entries";
  const std::vector<DialogRow<store::frmEnterName>> rows = {
      {"the first item searches the name alphabetically; QAV.INI keeps the sequential mode", sequential, given(1),
       "[Search for Name] txtName=\"\"<=20*[]",
       [](store::frmEnterName& p) {
         EXPECT_EQ(p.lblUserAction.Caption(), "Enter search criteria");
         p.txtName.UserType("Smith");
         p.cmdOK.UserClick();
       },
       "mode=0 ini=1 key=0 search=[0:\"Smith\"] shown=Smith/Alpha Search"},
      {"the second item searches the code and takes any character", nullptr, given(2),
       "[Search for Code] txtName=\"\"<=6*[]",
       [this](store::frmEnterName& p) {
         p.txtName.UserType("B-3 x!");
         host_.AnswerMsgBox(MsgAnswer::OK, "No Matches Found");
         p.UserKey(platform::key::kReturn);
       },
       "mode=0 ini=-99 key=3 search=[3:\"B-3 x!\"] shown=/Make Entries"},
      {"Cancel runs nothing and changes no criteria", sequential, given(2), "[Search for Code] txtName=\"\"<=6*[]",
       [](store::frmEnterName& p) {
         p.txtName.UserType("B");
         p.cmdCancel.UserClick();
       },
       kUnchanged},
      {"the close box cancels too", sequential, given(1), "[Search for Name] txtName=\"\"<=20*[]",
       [](store::frmEnterName& p) { p.UserClose(); }, kUnchanged},
      {"an item bound to no field is hidden and does nothing", sequential, given(3), nullptr, nullptr, kUnchanged},
      {"the third item, with a third key field", [this] { cat_.Field(1, "City", 15, store::KindKey); }, given(3),
       "[Search for Code] txtName=\"\"<=6*[]",
       [](store::frmEnterName& p) {
         p.txtName.UserType("C1");
         p.cmdOK.UserClick();
       },
       "mode=0 ini=-99 key=3 search=[3:\"C1\"] shown=Smithson/Alpha Search"},
  };
  PlayRows<store::frmEnterName>("frmEnterName", "[Search for Name] Enter search criteria|OK(enter)|Cancel(esc)", rows,
      [&, this] {
        platform::MenuItem& menu = *main().SpeedMenus()[static_cast<size_t>(item - 1)];
        if (menu.Visible())
          menu.UserClick();
        else
          menu.Click();
      },
      [this] {
        return "mode=" + std::to_string(main().CurrentSearchMode) + " ini=" +
               std::to_string(Ini("Search", "SearchMode")) + " key=" + std::to_string(rs().KeyField) +
               " search=" + Text(rs().SearchCriteria) + " shown=" + ShownNow();
      });
}

}  // namespace
}  // namespace kelvarin::test_support
