// The platform pieces the engine brings: FileExists with its directory
// search, the case-blind path mapping, and reading dates by the user's order.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/dates.h"
#include "platform/file_exists.h"

namespace kelvarin::platform {
namespace {

class FileExistsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvfeXXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    std::filesystem::create_directory(dir / "Sub");
    std::ofstream(dir / "Sub" / "Data.Dbf") << "x";
    std::ofstream(dir / "README") << "x";
    std::ofstream(dir / ".hidden") << "x";
    std::filesystem::create_directory(dir / "folder.dbf");
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string P(const std::string& rest) const { return dir.string() + "/" + rest; }
  std::filesystem::path dir;
};

TEST_F(FileExistsTest, NormalFilesOnlyAndCaseBlind) {
  EXPECT_TRUE(FileExists(P("Sub/Data.Dbf")));
  EXPECT_TRUE(FileExists(P("SUB/DATA.DBF")));
  EXPECT_TRUE(FileExists(P("sub\\data.dbf")));
  EXPECT_FALSE(FileExists(P("Sub")));            // a folder
  EXPECT_FALSE(FileExists(P("folder.dbf")));     // a folder with a file-like name
  EXPECT_FALSE(FileExists(P(".hidden")));        // hidden
  EXPECT_FALSE(FileExists(P("missing.dbf")));
  EXPECT_FALSE(FileExists(P("nowhere/Data.Dbf")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(P("Sub/")));
}

TEST_F(FileExistsTest, WildcardsSearchTheFolder) {
  EXPECT_TRUE(FileExists(P("sub/*.dbf")));
  EXPECT_TRUE(FileExists(P("sub/D?TA.*")));
  EXPECT_TRUE(FileExists(P("*.*")));        // README has no dot, yet "*.*" finds it
  EXPECT_TRUE(FileExists(P("READ*")));
  EXPECT_TRUE(FileExists(P("readme.*")));
  EXPECT_FALSE(FileExists(P("*.dbf")));     // only a folder and a hidden file match
  EXPECT_FALSE(FileExists(P("sub/*.txt")));
  EXPECT_FALSE(FileExists(P("sub/D??.dbf")));
}

TEST_F(FileExistsTest, ResolvePathFindsExistingComponents) {
  EXPECT_EQ(ResolvePath(P("SUB\\DATA.DBF")), P("Sub/Data.Dbf"));
  EXPECT_EQ(ResolvePath(P("SUB/NEW.DBF")), P("Sub/NEW.DBF"));
  EXPECT_EQ(ResolvePath(P("NOPE/DATA.DBF")), P("NOPE/DATA.DBF"));
  EXPECT_EQ(ResolvePath("relative/x"), "relative/x");
}

TEST(ParseDateTextTest, UserOrderYearRulesAndNames) {
  LocaleSettings us;  // M/d/yyyy
  LocaleSettings de;
  de.shortDate = "dd.MM.yyyy";
  de.dateSeparator = ".";
  const CalendarDate today{2026, 12, 7};
  auto parse = [&](const std::string& text, const LocaleSettings& l) {
    const auto d = ParseDateText(text, l, today);
    return d ? std::to_string(d->year) + "-" + std::to_string(d->month) + "-" + std::to_string(d->day)
             : std::string("none");
  };
  EXPECT_EQ(parse("11/15/1997", us), "1997-11-15");
  EXPECT_EQ(parse("15.11.1997", de), "1997-11-15");
  EXPECT_EQ(parse("03/04/01", us), "2001-3-4");
  EXPECT_EQ(parse("03/04/01", de), "2001-4-3");
  EXPECT_EQ(parse("1/2/29", us), "2029-1-2");
  EXPECT_EQ(parse("1/2/30", us), "1930-1-2");
  EXPECT_EQ(parse("1997-11-15", de), "1997-11-15");
  EXPECT_EQ(parse("13/12/1997", us), "1997-12-13");  // impossible month: day and month swap
  EXPECT_EQ(parse("2/29/2000", us), "2000-2-29");
  EXPECT_EQ(parse("2/29/1900", us), "none");
  EXPECT_EQ(parse("Nov 15, 1997", us), "1997-11-15");
  EXPECT_EQ(parse("15 november 1997", us), "1997-11-15");
  EXPECT_EQ(parse("12/25", us), "2026-12-25");
  EXPECT_EQ(parse("", us), "none");
  EXPECT_EQ(parse("hello", us), "none");
  EXPECT_EQ(parse("1/2/3/4", us), "none");
  EXPECT_EQ(parse("11/15/1997 x", us), "none");
  EXPECT_EQ(parse("99999/1/1", us), "none");
  EXPECT_EQ(parse("0/1/1997", us), "none");
}

}  // namespace
}  // namespace kelvarin::platform
