// The demo catalog the run script starts on, searched as a user would: the
// computed Value field must be found by the value the window shows.
#include <gtest/gtest.h>

#include "runs_fixture.h"
#include "support/demo_catalog.h"

namespace kelvarin::test_support {
namespace {

class DemoRunTest : public RunsTest {
 protected:
  void StartDemo() {
    ASSERT_TRUE(MakeDemoAppDir(dir_.path()));
    program_ = std::make_unique<app::Program>(host_, dir_.path());
    program_->Start();
    ASSERT_EQ(st().CatalogName, "BOOKS");
    host_.ClearRecord();
  }
  std::string Value() { return main().txtFieldData(5).Text(); }
};

TEST_F(DemoRunTest, SearchesFindTheComputedValueTheWindowShows) {
  StartDemo();
  main().ShowEntryNumbered(2);
  ASSERT_EQ(Value(), "37.5") << "12.50 times 3 copies";

  main().ShowEntryNumbered(1);
  GlobalSearchDialog("37.5");
  main().mnuVGlobalSearch.UserClick();
  EXPECT_EQ(st().CurrentEntryNumber, 2.0f);
  EXPECT_EQ(Shown(), "dune");
  EXPECT_EQ(Value(), "37.5");

  // A field search on Value alone, through the whole catalog.
  main().ShowEntryNumbered(1);
  SearchDialog({{5, "37.5"}}, true);
  main().cmdSequential.UserClick();
  EXPECT_EQ(st().CurrentEntryNumber, 2.0f);
  EXPECT_EQ(main().CurrentBrowseMode, store::bmSeqSearch);
}

TEST_F(DemoRunTest, EveryEntryStoresWhatItsFormulaGives) {
  StartDemo();
  store::EntryRecord e;
  for (float n = 1; n <= st().CatalogHeader.EntryCount; ++n) {
    ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, n, st().DatFile));
    std::string stored = e.FieldText[5];
    while (!stored.empty() && stored.back() == ' ') stored.pop_back();
    EXPECT_EQ(stored, st().EvalFormula(e, 5)) << "entry " << n;
    EXPECT_FALSE(stored.empty()) << "entry " << n;
  }
}

}  // namespace
}  // namespace kelvarin::test_support
