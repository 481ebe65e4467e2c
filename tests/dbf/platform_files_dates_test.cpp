// The platform pieces the engine brings: FileExists with its directory
// search, the case-blind path mapping, and reading dates by the user's order.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

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

// Names are matched as characters, whether the program holds them in UTF-8
// (as the disk does) or in Windows-1252.
TEST_F(FileExistsTest, NamesMatchAsCharactersNotBytes) {
  std::filesystem::create_directory(dir / "\xC3\xBC" "bung");             // "übung"
  std::ofstream(dir / "\xC3\xBC" "bung" / "n\xE2\x82\xAC.dbf") << "x";  // "n€.dbf"
  std::ofstream(dir / "\xC3\x8C.txt") << "x";                             // "Ì.txt"
  const std::string utf8 = P("\xC3\xBC" "bung/n\xE2\x82\xAC.dbf");
  EXPECT_EQ(ResolvePath(utf8), utf8);
  EXPECT_EQ(ResolvePath(P("\xC3\x9C" "BUNG/N\xE2\x82\xAC.DBF")), utf8);  // "ÜBUNG/N€.DBF"
  EXPECT_EQ(ResolvePath(P("\xDC" "BUNG/n\x80.dbf")), utf8);                // the same in Windows-1252
  EXPECT_TRUE(FileExists(P("\xDC" "bung/N\x80.DBF")));
  EXPECT_TRUE(FileExists(P("\xC3\xBC" "bung/n?.dbf")));  // "?" is one character, not one byte
  EXPECT_FALSE(FileExists(P("\xC3\xBC" "bung/n??.dbf")));
  // "Ü" is not "Ì", though their UTF-8 bytes differ only where "œ" and "Œ" do.
  EXPECT_FALSE(FileExists(P("\xC3\x9C.txt")));
  EXPECT_TRUE(FileExists(P("\xC3\xAC.txt")));  // "ì"
  // A missing name keeps its characters and reaches the disk in UTF-8.
  EXPECT_EQ(ResolvePath(P("\xDC" "BUNG/neu \x80.dbf")), P("\xC3\xBC" "bung/neu \xE2\x82\xAC.dbf"));
  EXPECT_EQ(ResolvePath(P("neu/\xE9.dbf")), P("neu/\xC3\xA9.dbf"));
}

TEST(UpperCasePathTest, KeepsTheEncodingItCameIn) {
  EXPECT_EQ(UpperCasePath("/home/me/sales.dbf"), "/HOME/ME/SALES.DBF");
  EXPECT_EQ(UpperCasePath("n\xE2\x82\xAC \xC3\xA4\xC3\x9F.dbf"), "N\xE2\x82\xAC \xC3\x84\xC3\x9F.DBF");  // "n€ äß"
  EXPECT_EQ(UpperCasePath("\xC5\xBE\xC3\xBF \xD0\xB6"), "\xC5\xBD\xC5\xB8 \xD0\x96");   // "žÿ ж"
  EXPECT_EQ(UpperCasePath("caf\xE9"), "CAF\xC9");  // Windows-1252 text stays Windows-1252
}

// Every letter at an edge of the case tables: its capital comes back in
// UTF-8, and the capital finds the file named with the small letter.
TEST_F(FileExistsTest, CaseEdgesRoundTrip) {
  const std::vector<std::pair<std::string, std::string>> letters = {
      {"a", "A"}, {"z", "Z"},
      {"\xC3\xA0", "\xC3\x80"}, {"\xC3\xBE", "\xC3\x9E"},  // à À, þ Þ
      {"\xC3\xB7", "\xC3\xB7"}, {"\xC3\x9F", "\xC3\x9F"},  // ÷ and ß have no capital
      {"\xC3\xBF", "\xC5\xB8"},                            // ÿ Ÿ
      {"\xC4\x81", "\xC4\x80"}, {"\xC4\xB7", "\xC4\xB6"},  // ā Ā, ķ Ķ
      {"\xC4\xB1", "\xC4\xB1"},                            // dotless ı stays
      {"\xC4\xBA", "\xC4\xB9"}, {"\xC5\x88", "\xC5\x87"},  // ĺ Ĺ, ň Ň
      {"\xC5\x8B", "\xC5\x8A"}, {"\xC5\xB7", "\xC5\xB6"},  // ŋ Ŋ, ŷ Ŷ
      {"\xC5\xBA", "\xC5\xB9"}, {"\xC5\xBE", "\xC5\xBD"},  // ź Ź, ž Ž
      {"\xCE\xB1", "\xCE\x91"}, {"\xCF\x89", "\xCE\xA9"},  // α Α, ω Ω
      {"\xCF\x82", "\xCF\x82"},                            // final ς stays
      {"\xD0\xB0", "\xD0\x90"}, {"\xD1\x8F", "\xD0\xAF"},  // а А, я Я
      {"\xD1\x90", "\xD0\x80"}, {"\xD1\x9F", "\xD0\x8F"},  // ѐ Ѐ, џ Џ
  };
  for (const auto& [small, capital] : letters) {
    const std::string name = "x" + small + ".dbf";
    EXPECT_EQ(UpperCasePath(name), "X" + capital + ".DBF") << small;
    std::ofstream(dir / name) << "x";
    EXPECT_EQ(ResolvePath(P("X" + capital + ".DBF")), P(name)) << small;
    std::filesystem::remove(dir / name);
  }
}

// Only well-formed UTF-8 counts as UTF-8; anything else is Windows-1252 text
// and is upper-cased byte by byte.
TEST(UpperCasePathTest, MalformedUtf8IsWindows1252) {
  for (const char* valid : {"\xE0\xA0\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF",
                            "\xED\x9F\xBF", "\xEE\x80\x80"})
    EXPECT_EQ(UpperCasePath(valid), valid);
  EXPECT_EQ(UpperCasePath("\xE0\x80\x80"), "\xC0\x80\x80");            // overlong
  EXPECT_EQ(UpperCasePath("\xED\xA0\x80"), "\xCD\xA0\x80");            // surrogate
  EXPECT_EQ(UpperCasePath("\xF4\x90\x80\x80"), "\xD4\x90\x80\x80");    // beyond Unicode
  EXPECT_EQ(UpperCasePath("\xF0\x80\x80\x80"), "\xD0\x80\x80\x80");    // overlong
  EXPECT_EQ(UpperCasePath("\xC3"), "\xC3");                            // cut short
  EXPECT_EQ(UpperCasePath("\xE9t\xE9"), "\xC9T\xC9");                  // "été"
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
