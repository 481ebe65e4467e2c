// The ASCII file of a run at a path the code page cannot spell: the file
// lands where the dialog's answer says, and every message names it whole.
#include <filesystem>

#include "output_fixture.h"
#include "platform/text/path_text.h"

namespace kelvarin::test_support {
namespace {

class OutputPathTest : public OutputTest {
 protected:
  void SetUp() override {
    cat_.Entry({"Dune", "Herbert", "9.50", "2"});
    cat_.Entry({"Kim", "Kipling", "3", "1"});
    Format({{0, 1, 1, 30}, {2, 1, 40, 8}}, 1);
    folder_ = dir_.File("Ελλάδα");
    std::filesystem::create_directory(folder_);
    Start(store::rdAsciiFile);
  }
  // The names in the folder, as the disk spells them.
  std::vector<std::string> Listed() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder_)) names.push_back(e.path().filename().string());
    return names;
  }
  // The message boxes as the GUI shows them.
  std::vector<std::string> Shown() const {
    std::vector<std::string> out;
    for (const std::string& text : host_.MessageTexts()) out.push_back(platform::TextToUtf8(text));
    return out;
  }
  std::string folder_;
};

TEST_F(OutputPathTest, TheReportIsWrittenToThePickedNameAndTheMessageNamesIt) {
  const std::string path = folder_ + "/報告.txt";
  ListRangeDialog(1, 2);
  host_.AnswerSaveFile(path);
  AnyBox();
  main().mnuVListRange.UserClick();
  EXPECT_EQ(Listed(), std::vector<std::string>{"報告.txt"});
  EXPECT_EQ(ReadFileBytes(path).substr(0, 4), "Dune");
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].substr(0, Shown()[0].find('\r')), "Wrote 2 entries to ASCII file: " + path);

  // The same name again: the question names the file, and No keeps it.
  const std::string before = ReadFileBytes(path);
  host_.ClearRecord();
  ListRangeDialog(1, 1);
  host_.AnswerSaveFile(path);
  host_.AnswerMsgBox(platform::MsgAnswer::No);
  main().mnuVListRange.UserClick();
  EXPECT_EQ(Shown(), std::vector<std::string>{"ASCII File: " + path + " already exists, OVERWRITE?"});
  EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(OutputPathTest, ARunWithoutMatchesRemovesTheFileItMadeThere) {
  const std::string path = folder_ + "/данные.txt";
  host_.AnswerSaveFile(path);
  Expect("No Deleted Records Found");
  main().mnuVFindDeleted.UserClick();
  EXPECT_TRUE(Listed().empty());
}

TEST_F(OutputPathTest, AFileThatCannotBeMadeIsNamedInTheErrorBox) {
  // A folder that does not exist.
  const std::string path = folder_ + "/Μηνιαία/報告.txt";
  ListRangeDialog(1, 2);
  host_.AnswerSaveFile(path);
  host_.AnswerMsgBox(platform::MsgAnswer::Cancel);
  main().mnuVListRange.UserClick();
  EXPECT_EQ(Shown(), std::vector<std::string>{"Path not found:\r" + path});
  EXPECT_TRUE(Listed().empty());
}

}  // namespace
}  // namespace kelvarin::test_support
