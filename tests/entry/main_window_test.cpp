#include <gtest/gtest.h>

#include "entry/program_fixture.h"
#include "store/store.h"

namespace kelvarin::test_support {
namespace {

using store::EntryRecord;

class MainWindowTest : public ProgramTest {};

TEST_F(MainWindowTest, StartUpOpensTheCurrentCatalogAndErasesTheScreen) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  WriteIni("Reports", "ReportDest", "2");
  WriteIni("Search", "SearchMode", "1");
  Start();

  EXPECT_EQ(main().Caption(), "Kelvarin Your Catalog - BOOKS");
  EXPECT_TRUE(main().Visible());
  EXPECT_EQ(st().CatalogName, "BOOKS");
  EXPECT_EQ(st().CurrentReportDest, store::rdQuickView);
  EXPECT_EQ(main().CurrentSearchMode, store::smSequential);
  EXPECT_EQ(main().BrowseIndex, -1);
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_EQ(st().CurrentEntryNumber, 4.0f);
  EXPECT_EQ(main().PanelText("Entry"), "Entry # 4");
  EXPECT_EQ(main().PanelText("SearchMode"), "Make Entries");
  EXPECT_EQ(main().PanelText("RptDest"), "QUICK VIEW");
  EXPECT_EQ(main().PanelText("Deleted"), "");

  // The used slots in order, the unused one hidden.
  EXPECT_EQ(main().lblFieldName(0).Caption(), "Title");
  EXPECT_EQ(main().lblFieldName(5).Caption(), "Shelf");
  EXPECT_TRUE(main().txtFieldData(3).Visible());
  EXPECT_FALSE(main().txtFieldData(4).Visible());
  EXPECT_FALSE(main().txtFieldData(20).Visible());
  EXPECT_EQ(main().txtFieldData(1).MaxLength(), 20);
  EXPECT_LT(main().txtFieldData(0).Top(), main().txtFieldData(1).Top());
  EXPECT_LT(main().txtFieldData(3).Top(), main().cmdNext.Top());
  EXPECT_EQ(main().txtFieldData(0).Text(), "");
  // Typing starts in the first field; Tab goes down the fields, then to the buttons.
  EXPECT_TRUE(main().txtFieldData(0).HasFocus());
  std::vector<platform::Control*> order = main().TabOrder();
  ASSERT_GE(order.size(), 6u);
  EXPECT_EQ(order[4], &main().txtFieldData(5));
  EXPECT_EQ(order[5], &main().cmdPrevious);

  EXPECT_TRUE(main().cmdNext.Enabled());
  EXPECT_TRUE(main().mnuVNext.Enabled());
  EXPECT_TRUE(main().mnuVNext.Visible());
  // Commands whose handlers are not attached do not show; the program
  // attaches the runs.
  EXPECT_TRUE(main().mnuVSearch.Visible());
  EXPECT_TRUE(main().mnuVPrintEntry.Visible());
  EXPECT_TRUE(main().mnuOSetup.Visible());
  EXPECT_TRUE(main().mnuRSelectLayout.Visible());
  EXPECT_TRUE(main().cmdAlpha.Visible());
  EXPECT_TRUE(main().mnuUCatMaint.Visible());
}

TEST_F(MainWindowTest, WithoutACatalogTheCommandsThatNeedOneAreDisabled) {
  Start();  // no QAV.INI at all: nothing to open and nothing to complain about
  EXPECT_EQ(main().Caption(), "Kelvarin Your Catalog");
  EXPECT_TRUE(st().CatalogName.empty());
  for (platform::Control* c : std::initializer_list<platform::Control*>{
           &main().cmdNext, &main().cmdPrevious, &main().cmdAlpha, &main().cmdSequential, &main().mnuVNext,
           &main().mnuVPrevious, &main().mnuEEraseScreen, &main().mnuVSearch, &main().mnuVPrintEntry,
           &main().mnuRSelectLayout, &main().mnuVReplace})
    EXPECT_FALSE(c->Enabled()) << c->Name();
  EXPECT_TRUE(main().mnuOSetup.Enabled());
  EXPECT_TRUE(main().mnuUCatMaint.Enabled());
  EXPECT_TRUE(main().mnuFExit.Enabled());
  for (int16_t i = 0; i < store::kFieldCount; ++i) EXPECT_FALSE(main().txtFieldData(i).Visible());
  EXPECT_EQ(main().PanelText("Entry"), "");
  EXPECT_EQ(main().PanelText("RptDest"), "MAIN WINDOW");
  // Closing without a catalog writes nothing.
  program_->Quit();
  EXPECT_TRUE(program_->Finished());
}

TEST_F(MainWindowTest, ACatalogThatCannotBeOpenedIsReportedAndLeavesNoneOpen) {
  WriteIni("Database", "CurrentDB", "GONE");
  WriteIni("Reports", "ReportDest", "17");  // a destination no run knows
  host_.AnswerMsgBox(platform::MsgAnswer::OK);
  Start();
  EXPECT_NE(host_.MessageTexts().at(0).find("GONE"), std::string::npos);
  EXPECT_TRUE(st().CatalogName.empty());
  EXPECT_FALSE(main().cmdNext.Enabled());
  EXPECT_EQ(st().CurrentReportDest, store::rdMonitor);
}

TEST_F(MainWindowTest, StartUpReadsTheCatalogsReportFormat) {
  CatalogBuilder cat(dir_.path(), "BOOKS");
  cat.Field(0, "Title", 30, store::KindKey).Field(1, "Author", 20);
  cat.Settings([](store::CatalogSettings& s) { s.ReportName = "SHORT"; });
  cat.Entry({"Dune", "Herbert"});
  ASSERT_TRUE(cat.Write());
  store::ReportLayout layout = LinedLayout({{1, 20}, {0, 30}});
  store::ReportHeader header;
  header.ShowTitles = 1;
  ASSERT_TRUE(WriteReportFormatFile(dir_.path(), "SHORT", layout, header));
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  EXPECT_EQ(st().CurrentReport, "SHORT");
  EXPECT_EQ(st().ActiveLayout, layout);
  EXPECT_EQ(st().ActiveLayoutHeader.ShowTitles, 1);
}

TEST_F(MainWindowTest, AMissingReportFormatLeavesAnEmptyLayout) {
  CatalogBuilder cat(dir_.path(), "BOOKS");
  cat.Field(0, "Title", 30, store::KindKey);
  cat.Settings([](store::CatalogSettings& s) { s.ReportName = "GONE"; });
  ASSERT_TRUE(cat.Write());
  WriteIni("Database", "CurrentDB", "BOOKS");
  program_ = std::make_unique<app::Program>(host_, dir_.path());
  st().ActiveLayout[0].Line = 5;  // left over from before
  program_->Start();
  EXPECT_EQ(st().ActiveLayout, store::ReportLayout{});
  EXPECT_EQ(st().CurrentReport, "GONE");  // kept: the settings file still names it
}

TEST_F(MainWindowTest, ViewOnlyAccessStartsOnTheLastEntryWithChangesDisabled) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  program_ = std::make_unique<app::Program>(host_, dir_.path());
  st().SecurityCode = -1;
  program_->Start();
  EXPECT_EQ(st().CurrentEntryNumber, 3.0f);
  EXPECT_EQ(main().txtFieldData(0).Text(), "Ulysses");
  EXPECT_EQ(main().PanelText("Entry"), "Entry # 3");
  EXPECT_EQ(main().PanelText("SearchMode"), "Edit");
  EXPECT_FALSE(main().mnuVReplace.Enabled());
  EXPECT_FALSE(main().mnuVFindDeleted.Enabled());
  EXPECT_TRUE(main().mnuVNext.Enabled());
}

TEST_F(MainWindowTest, LayoutBindsTheFirstThreeKeyFieldsToTheSpeedSearches) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  program_ = std::make_unique<app::Program>(host_, dir_.path());
  int ran = 0;
  main().AttachMenu(main().mnuVSpeed1, [&] { ++ran; });
  main().AttachMenu(main().mnuVSpeed2, [&] { ++ran; });
  main().AttachMenu(main().mnuVSpeed3, nullptr);
  // mnuVSpeed3 is bound but stays hidden: nothing would answer it.
  program_->Start();

  auto& fields = program_->reportState().SpeedSearchFields;
  EXPECT_EQ(fields[0], 0);
  EXPECT_EQ(fields[1], 1);
  EXPECT_EQ(fields[2], 3);  // slot 2 is not a key, slot 5 comes too late
  EXPECT_EQ(main().mnuVSpeed1.Caption(), "Search for Title");
  EXPECT_EQ(main().mnuVSpeed2.Caption(), "Search for Author");
  EXPECT_EQ(main().mnuVSpeed3.Caption(), "Search for Year");
  EXPECT_TRUE(main().mnuVSpeed1.Visible());
  EXPECT_TRUE(main().mnuView.Visible());
  EXPECT_FALSE(main().mnuVSpeed3.Visible());
  main().mnuVSpeed2.UserClick();
  EXPECT_EQ(ran, 1);

  main().ResetSpeedSearchMenus();
  EXPECT_FALSE(main().mnuVSpeed1.Visible());
  EXPECT_EQ(fields[0], -1);
  // Attaching an unbound item does not show it.
  main().AttachMenu(main().mnuVSpeed3, [] {});
  EXPECT_FALSE(main().mnuVSpeed3.Visible());
}

TEST_F(MainWindowTest, ShowEntryFillsTheBoxesAndTellsADeletedEntry) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  EntryRecord e;
  ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, 2, st().DatFile));
  main().ShowEntry(e);
  EXPECT_EQ(main().txtFieldData(0).Text(), "Emma");
  EXPECT_EQ(main().txtFieldData(5).Text(), "B2");
  EXPECT_EQ(main().PanelText("Deleted"), "DELETED");
  ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, 3, st().DatFile));
  main().ShowEntry(e);
  EXPECT_EQ(main().txtFieldData(1).Text(), "Joyce");
  EXPECT_EQ(main().txtFieldData(6).Text(), "24");  // from its formula
  EXPECT_TRUE(main().txtFieldData(6).ReadOnly());
  EXPECT_EQ(main().PanelText("Deleted"), "");
}

TEST_F(MainWindowTest, EraseScreenClearsForANewEntryAndClosesTheBrowsingIndex) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  EntryRecord e;
  ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, 2, st().DatFile));
  main().ShowEntry(e);
  st().CurrentEntryNumber = 2;
  main().CurrentBrowseMode = store::bmAlphaList;
  main().BrowseIndex = st().OpenIndex(0, st().CatalogHeader, "BOOKS", 0);
  int16_t handle = main().BrowseIndex;
  ASSERT_NE(handle, -1);
  st().CatalogHeader.EntryCount = 7;  // as after saving more entries

  main().mnuEEraseScreen.UserClick();
  EXPECT_EQ(main().BrowseIndex, -1);
  EXPECT_EQ(st().CurrentEntryNumber, 8.0f);
  EXPECT_EQ(main().CurrentBrowseMode, store::bmNewEntry);
  EXPECT_EQ(main().PanelText("SearchMode"), "Make Entries");
  EXPECT_EQ(main().PanelText("Entry"), "Entry # 8");
  EXPECT_EQ(main().PanelText("Deleted"), "");
  EXPECT_EQ(main().txtFieldData(0).Text(), "");
  EXPECT_LT(st().indexLibrary().KeyCount(handle), 0);  // closed
  st().CatalogHeader.EntryCount = 3;
}

TEST_F(MainWindowTest, LimitKeyLengthCutsToTheKeyFieldOrTwentyFour) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  auto& state = program_->reportState();
  std::string key(40, 'k');
  state.KeyField = 0;  // 30 long: the 24-character limit applies
  main().LimitKeyLength(key);
  EXPECT_EQ(key.size(), 24u);
  key = "196512";
  state.KeyField = 3;  // 4 long
  main().LimitKeyLength(key);
  EXPECT_EQ(key, "1965");
  key = "19";
  main().LimitKeyLength(key);
  EXPECT_EQ(key, "19");
}

TEST_F(MainWindowTest, NextAndPreviousTakeOverOnlyANewEntryNumber) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  EntryRecord first;
  ASSERT_TRUE(st().ReadEntry(first, st().CatalogHeader, 1, st().DatFile));
  st().CurrentEntry = first;
  st().CurrentEntryNumber = 1;
  main().ShowEntry(first);

  float answer = 3;
  int nexts = 0, previouses = 0;
  main().SetStepper(
      store::bmSeqList,
      [&](EntryRecord& work) {
        ++nexts;
        st().ReadEntry(work, st().CatalogHeader, 3, st().DatFile);
        return answer;
      },
      [&](EntryRecord& work) {
        ++previouses;
        work.FieldText[0] = "scratch";
        return 0.0f;
      });

  // No stepper for the mode: nothing happens.
  main().CurrentBrowseMode = store::bmEdit;
  main().cmdNext.UserClick();
  EXPECT_EQ(nexts, 0);
  EXPECT_EQ(st().CurrentEntryNumber, 1.0f);

  main().CurrentBrowseMode = store::bmSeqList;
  main().cmdPrevious.UserClick();  // 0: nothing found
  EXPECT_EQ(previouses, 1);
  EXPECT_EQ(st().CurrentEntry, first);
  EXPECT_EQ(main().txtFieldData(0).Text(), "Dune");

  main().mnuVNext.UserClick();
  EXPECT_EQ(nexts, 1);
  EXPECT_EQ(st().CurrentEntryNumber, 3.0f);
  EXPECT_EQ(st().CurrentEntry.FieldText[0].substr(0, 7), "Ulysses");
  EXPECT_EQ(main().txtFieldData(0).Text(), "Ulysses");
  EXPECT_EQ(main().PanelText("Entry"), "Entry # 3");

  // The entry shown again: the window stays as it is.
  st().CurrentEntry.FieldText[0] = "kept";
  main().SetPanel("Entry", "unchanged");
  main().cmdNext.UserClick();
  EXPECT_EQ(nexts, 2);
  EXPECT_EQ(st().CurrentEntry.FieldText[0], "kept");
  EXPECT_EQ(main().PanelText("Entry"), "unchanged");
}

TEST_F(MainWindowTest, SearchButtonsSetTheModeAndRunTheAttachedSearch) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  main().AttachMenu(main().mnuVSearch, nullptr);
  main().cmdSequential.Press();  // hidden and unattached: nothing
  std::vector<int16_t> modes;
  main().AttachMenu(main().mnuVSearch, [&] { modes.push_back(main().CurrentSearchMode); });
  EXPECT_TRUE(main().mnuVSearch.Visible());
  EXPECT_TRUE(main().cmdAlpha.Visible());
  main().cmdSequential.UserClick();
  main().cmdAlpha.UserClick();
  main().mnuVSearch.UserClick();
  EXPECT_EQ(modes, (std::vector<int16_t>{store::smSequential, store::smAlpha, store::smAlpha}));
}

TEST_F(MainWindowTest, ExitEndsThePrintJobAndSavesTheCatalogState) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  bool finished = false;
  program_->OnFinished = [&] { finished = true; };
  host_.Printer().PrintLine("pending");
  // As after saving a fourth entry and changing a report setting.
  EntryRecord e;
  ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, 3, st().DatFile));
  ASSERT_TRUE(st().WriteEntry(e, st().CatalogHeader, 4, st().DatFile));
  st().CatalogHeader.EntryCount = 4;
  st().CurrentSettings.PageLength = 66;

  main().mnuFExit.UserClick();
  EXPECT_TRUE(finished);
  EXPECT_FALSE(main().Loaded());
  EXPECT_EQ(host_.Printer().Documents().size(), 1u);
  EXPECT_TRUE(st().CatalogName.empty());

  store::CatalogFiles files;
  std::string fault;
  ASSERT_TRUE(st().ReadCatalogFiles(dir_.File("BOOKS"), &files, &fault)) << fault;
  EXPECT_EQ(files.Header.EntryCount, 4.0f);
  EXPECT_EQ(files.Settings.PageLength, 66);
}

TEST_F(MainWindowTest, EjectPageEndsTheDocumentAndTheCloseBoxShutsDown) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  host_.Printer().PrintLine("one");
  main().mnuFEjectPage.UserClick();
  EXPECT_EQ(host_.Printer().Documents().size(), 1u);
  main().UserClose();
  EXPECT_TRUE(program_->Finished());
  EXPECT_TRUE(st().CatalogName.empty());
}

}  // namespace
}  // namespace kelvarin::test_support
