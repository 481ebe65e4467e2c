#include <gtest/gtest.h>

#include "platform/files/memory_file_system.h"
#include "platform/files/runtime_errors.h"
#include "reports/formats/format_files.h"

namespace kelvarin::reports {
namespace {

using platform::kErrFileExists;
using platform::kErrFileNotFound;
using Names = std::vector<std::string>;

class FormatFiles : public ::testing::Test {
 protected:
  FormatFiles() { fs_.AddDirectory("/app"); }
  void Write(const std::string& file, const std::string& bytes) { fs_.SetFile("/app/" + file, bytes); }
  std::string Read(const std::string& file) {
    std::string bytes;
    fs_.GetFile("/app/" + file, &bytes);
    return bytes;
  }
  Names Files() {
    Names names;
    fs_.List("/app", &names);
    return names;
  }
  std::optional<std::string> Find(const std::string& name) {
    std::optional<std::string> file = "left from before";
    EXPECT_EQ(FindFormatFile(fs_, "/app", name, &file), 0);
    return file;
  }

  platform::MemoryFileSystem fs_;
  std::string at_;
};

TEST_F(FormatFiles, ANameIsFoundWhateverTheCaseAndCodePageOfTheFile) {
  Write("books.fmt", "x");
  Write("AUTHORS.Fmt", "y");
  Write("BOOKSX.FMT", "z");
  Write("pr\xC3\xBC" "f.fmt", "u");  // UTF-8
  Write("M\xFCLLER.FMT", "w");       // Windows-1252 bytes
  EXPECT_EQ(Find("BOOKS"), "books.fmt");
  EXPECT_EQ(Find("authors"), "AUTHORS.Fmt");
  EXPECT_EQ(Find("BOOK"), std::nullopt);
  EXPECT_EQ(Find("PR\xDC" "F"), "pr\xC3\xBC" "f.fmt");
  EXPECT_EQ(Find("m\xFCller"), "M\xFCLLER.FMT");
  std::optional<std::string> file;
  EXPECT_EQ(FindFormatFile(fs_, "/missing", "BOOKS", &file), platform::kErrPathNotFound);
}

TEST_F(FormatFiles, CopyAndRenameNeverReplaceAFile) {
  Write("A.FMT", "first");
  Write("B.FMT", "second");
  EXPECT_EQ(CopyFormatFile(fs_, "/app", "A.FMT", "B", &at_), kErrFileExists);
  EXPECT_EQ(at_, "/app/B.FMT");
  EXPECT_EQ(RenameFormatFile(fs_, "/app", "A.FMT", "B", &at_), kErrFileExists);
  EXPECT_EQ(Files(), (Names{"A.FMT", "B.FMT"}));
  EXPECT_EQ(Read("B.FMT"), "second");

  EXPECT_EQ(CopyFormatFile(fs_, "/app", "A.FMT", "\xC4" "C", &at_), 0);
  EXPECT_EQ(Read("\xC3\x84" "C.FMT"), "first");
  EXPECT_EQ(RenameFormatFile(fs_, "/app", "\xC3\x84" "C.FMT", "D", &at_), 0);
  EXPECT_EQ(Files(), (Names{"A.FMT", "B.FMT", "D.FMT"}));
  EXPECT_EQ(Read("D.FMT"), "first");
}

TEST_F(FormatFiles, FailuresNameTheFileAndLeaveNothingBehind) {
  EXPECT_EQ(CopyFormatFile(fs_, "/app", "GONE.FMT", "NEW", &at_), kErrFileNotFound);
  EXPECT_EQ(at_, "/app/GONE.FMT");
  EXPECT_EQ(RenameFormatFile(fs_, "/app", "GONE.FMT", "NEW", &at_), kErrFileNotFound);
  EXPECT_EQ(at_, "/app/GONE.FMT");
  EXPECT_EQ(DeleteFormatFile(fs_, "/app", "GONE.FMT", &at_), kErrFileNotFound);
  Write("X.FMT", "x");
  fs_.SetCapacity(fs_.UsedBytes());  // no room for the copy
  EXPECT_EQ(CopyFormatFile(fs_, "/app", "X.FMT", "NEW", &at_), platform::kErrDiskFull);
  EXPECT_EQ(at_, "/app/NEW.FMT");
  EXPECT_EQ(Files(), Names{"X.FMT"});
  EXPECT_EQ(DeleteFormatFile(fs_, "/app", "X.FMT", &at_), 0);
  EXPECT_EQ(Files(), Names{});
}

}  // namespace
}  // namespace kelvarin::reports
