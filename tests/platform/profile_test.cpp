#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/profile.h"
#include "support/catalog_builder.h"

namespace kelvarin::platform {
namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Read() {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  test_support::TempDir dir_{"profile"};
  std::string path_ = dir_.File("QAV.INI");
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(GetPrivateProfileString("Database", "CurrentDB", "none", path_), "none");
  EXPECT_EQ(GetPrivateProfileInt("Reports", "ReportDest", 7, path_), 7);
  Write("[Database]\r\nCurrentDB=BOOKS\r\n");
  EXPECT_EQ(GetPrivateProfileString("Search", "CurrentDB", "d", path_), "d");
  EXPECT_EQ(GetPrivateProfileString("Database", "Other", "d", path_), "d");
}

TEST_F(ProfileTest, NamesMatchWithoutRegardToCase) {
  Write("; comment\n[dataBASE]\n  currentdb = BOOKS \n[Search]\nSearchMode=1\n");
  EXPECT_EQ(GetPrivateProfileString("Database", "CurrentDB", "", path_), "BOOKS");
  EXPECT_EQ(GetPrivateProfileInt("SEARCH", "searchmode", 0, path_), 1);
}

TEST_F(ProfileTest, IntegerValues) {
  Write("[A]\nN=-12xyz\nT=abc\nE=\n");
  EXPECT_EQ(GetPrivateProfileInt("A", "N", 5, path_), -12);
  EXPECT_EQ(GetPrivateProfileInt("A", "T", 5, path_), 0);
  EXPECT_EQ(GetPrivateProfileInt("A", "E", 5, path_), 0);
}

TEST_F(ProfileTest, WritingKeepsTheRestOfTheFile) {
  Write("; keep me\r\n[Database]\r\nCurrentDB=OLD\r\nOther=1\r\n\r\n[Reports]\r\nReportDest=2\r\n");
  ASSERT_TRUE(WritePrivateProfileString("database", "currentdb", "NEW", path_));
  EXPECT_EQ(Read(), "; keep me\r\n[Database]\r\ncurrentdb=NEW\r\nOther=1\r\n\r\n[Reports]\r\nReportDest=2\r\n");
  ASSERT_TRUE(WritePrivateProfileString("Database", "Added", "x", path_));
  EXPECT_EQ(GetPrivateProfileString("Database", "Added", "", path_), "x");
  EXPECT_EQ(GetPrivateProfileString("Reports", "ReportDest", "", path_), "2");
  ASSERT_TRUE(WritePrivateProfileString("Search", "SearchMode", "1", path_));
  EXPECT_EQ(GetPrivateProfileString("Search", "SearchMode", "", path_), "1");
  EXPECT_EQ(GetPrivateProfileString("Database", "CurrentDB", "", path_), "NEW");
}

// Files edited elsewhere, with lines ended by CR alone or a UTF-8 byte-order
// mark (values in UTF-8), are read, and a write lands in their section.
TEST_F(ProfileTest, FilesEditedElsewhereAreReadAndRewrittenInPlace) {
  const std::string bom = "\xEF\xBB\xBF";
  for (const std::string& start : {std::string(), bom}) {
    const bool utf8 = !start.empty();
    Write(start + (utf8 ? "[Database]\r\nCurrentDB=B\xC3\xBC" "cher\r\n[Reports]\n"
                        : "[Database]\rCurrentDB=B\r[Reports]\r"));
    EXPECT_EQ(GetPrivateProfileString("Database", "CurrentDB", "", path_), utf8 ? "B\xFC" "cher" : "B");
    ASSERT_TRUE(WritePrivateProfileString("Database", "CurrentDB", "K\xE4se", path_));
    ASSERT_TRUE(WritePrivateProfileString("Reports", "ReportDest", "4", path_));
    EXPECT_EQ(Read(), start + "[Database]\r\nCurrentDB=K" + (utf8 ? "\xC3\xA4" : "\xE4") +
                          "se\r\n[Reports]\r\nReportDest=4\r\n");
  }
}

TEST_F(ProfileTest, WritingCreatesTheFile) {
  ASSERT_TRUE(WritePrivateProfileString("Reports", "ReportDest", "3", path_));
  EXPECT_EQ(Read(), "[Reports]\r\nReportDest=3\r\n");
  EXPECT_FALSE(WritePrivateProfileString("A", "B", "C", dir_.File("no/such/x.ini")));
}

}  // namespace
}  // namespace kelvarin::platform
