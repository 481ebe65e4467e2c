#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "reports/formats/format_files.h"

namespace kelvarin::reports {
namespace {

class FormatFiles : public ::testing::Test {
 protected:
  FormatFiles() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() / ("kv_fmtfiles_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
  }
  ~FormatFiles() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Dir() const { return dir_.string(); }
  void Write(const std::string& file, const std::string& bytes) const {
    std::ofstream(dir_ / file, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& file) const {
    std::ifstream in(dir_ / file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::set<std::string> Files() const {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) out.insert(e.path().filename().string());
    return out;
  }

 private:
  std::filesystem::path dir_;
};

TEST(FormatNames, OneToEightLettersAndDigits) {
  EXPECT_TRUE(IsFormatName("A"));
  EXPECT_TRUE(IsFormatName("abc12345"));
  EXPECT_FALSE(IsFormatName(""));
  EXPECT_FALSE(IsFormatName("ABCDEFGHI"));
  for (const char* bad : {"A.B", "A B", "../X", "A/B", "A-1", "\xC4X", "A*"}) EXPECT_FALSE(IsFormatName(bad)) << bad;
  EXPECT_EQ(FormatFileName("list1"), "LIST1.FMT");
}

TEST_F(FormatFiles, ANameIsFoundWhateverTheCaseOfTheFile) {
  Write("books.fmt", "x");
  Write("AUTHORS.Fmt", "y");
  Write("BOOKSX.FMT", "z");
  EXPECT_EQ(FindFormatFile(Dir(), "BOOKS"), "books.fmt");
  EXPECT_EQ(FindFormatFile(Dir(), "authors"), "AUTHORS.Fmt");
  EXPECT_EQ(FindFormatFile(Dir(), "BOOK"), std::nullopt);
  EXPECT_EQ(FindFormatFile(Dir() + "/missing", "BOOKS"), std::nullopt);
}

TEST_F(FormatFiles, CopyAndRenameNeverReplaceAFileOfTheNameInAnyCase) {
  Write("A.FMT", "first");
  Write("b.fmt", "second");
  EXPECT_EQ(CopyFormatFile(Dir(), "A.FMT", "B.FMT"), "File exists");
  EXPECT_EQ(RenameFormatFile(Dir(), "A.FMT", "B.FMT"), "File exists");
  EXPECT_EQ(Files(), (std::set<std::string>{"A.FMT", "b.fmt"}));
  EXPECT_EQ(Read("b.fmt"), "second");

  EXPECT_EQ(CopyFormatFile(Dir(), "A.FMT", "C.FMT"), "");
  EXPECT_EQ(Read("C.FMT"), "first");
  EXPECT_EQ(RenameFormatFile(Dir(), "C.FMT", "D.FMT"), "");
  EXPECT_EQ(Files(), (std::set<std::string>{"A.FMT", "b.fmt", "D.FMT"}));
  EXPECT_EQ(Read("D.FMT"), "first");
}

TEST_F(FormatFiles, FailuresSayWhyAndLeaveNothingBehind) {
  EXPECT_EQ(CopyFormatFile(Dir(), "GONE.FMT", "NEW.FMT"), "No such file or directory");
  EXPECT_EQ(RenameFormatFile(Dir(), "GONE.FMT", "NEW.FMT"), "No such file or directory");
  EXPECT_EQ(DeleteFormatFile(Dir(), "GONE.FMT"), "No such file or directory");
  // A directory cannot be read as a file: the half-made copy goes.
  std::filesystem::create_directory(std::filesystem::path(Dir()) / "DIR.FMT");
  EXPECT_NE(CopyFormatFile(Dir(), "DIR.FMT", "NEW.FMT"), "");
  EXPECT_EQ(Files(), std::set<std::string>{"DIR.FMT"});
  Write("X.FMT", "x");
  EXPECT_EQ(DeleteFormatFile(Dir(), "X.FMT"), "");
  EXPECT_EQ(Files(), std::set<std::string>{"DIR.FMT"});
}

}  // namespace
}  // namespace kelvarin::reports
