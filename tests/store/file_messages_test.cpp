// A failed write tells the user which file and why: read-only file or
// folder, full disk, missing folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files/fault_file_system.h"
#include "platform/files/memory_file_system.h"
#include "app/program.h"
#include "platform/files/runtime_errors.h"
#include "platform/scripted/scripted_host.h"
#include "store/store.h"
#include "support/catalog_builder.h"
#include "support/scripted_expect.h"

namespace kelvarin::store {
namespace {

using platform::MsgAnswer;

// The catalog CAT (one entry) and QAV.INI in the in-memory folder /app.
class FileMessagesTest : public ::testing::Test {
 protected:
  FileMessagesTest() : store_(host_, pool_) {
    test_support::TempDir disk("messages");
    test_support::CatalogBuilder cat(disk.path(), "CAT");
    cat.Field(0, "Name", 10);
    cat.Entry({"One"});
    EXPECT_TRUE(cat.Write());
    for (const auto& e : std::filesystem::directory_iterator(disk.path()))
      fs_.SetFile("/app/" + e.path().filename().string(), test_support::ReadFileBytes(e.path().string()));
    fs_.SetFile("/app/QAV.INI", "[Database]\r\nCurrentDB=CAT\r\n");
    store_.SetAppDir("/app");
  }
  ~FileMessagesTest() override { test_support::ExpectScriptDone(host_); }
  std::string Bytes(const std::string& path) {
    std::string b;
    fs_.GetFile(path, &b);
    return b;
  }

  platform::MemoryFileSystem fs_;
  platform::FilePool pool_{fs_};
  platform::ScriptedHost host_;
  Store store_;
};

TEST_F(FileMessagesTest, ClosingACatalogWithAReadOnlySettingsFile) {
  ASSERT_TRUE(store_.OpenCatalog("CAT"));
  std::string before = Bytes("/app/CAT.SET");
  fs_.SetReadOnly("/app/CAT.SET", true);
  store_.CurrentSettings.PageLength = 40;
  host_.AnswerMsgBox(MsgAnswer::OK, "The file could not be written. The file is read-only:\r/app/CAT.SET");
  store_.CloseCatalog();
  EXPECT_EQ(Bytes("/app/CAT.SET"), before);
  EXPECT_EQ(store_.CatalogName, "");
}

TEST_F(FileMessagesTest, AFullDiskStopsAnEntryAndAFormat) {
  ASSERT_TRUE(store_.OpenCatalog("CAT"));
  fs_.SetCapacity(fs_.UsedBytes());
  EntryRecord e;
  ASSERT_TRUE(store_.ReadEntry(e, store_.CatalogHeader, 1, store_.DatFile));
  EXPECT_TRUE(store_.WriteEntry(e, store_.CatalogHeader, 1, store_.DatFile));  // in place: no room needed
  host_.AnswerMsgBox(MsgAnswer::OK, "The entry could not be written. The disk is full:\r/app/CAT.DAT");
  EXPECT_FALSE(store_.WriteEntry(e, store_.CatalogHeader, 2, store_.DatFile));
  ReportLayout layout{};
  host_.AnswerMsgBox(MsgAnswer::OK, "The file could not be written. The disk is full:\r/app/NEW.FMT");
  EXPECT_FALSE(store_.WriteReportFormat("NEW", layout, ReportHeader{}));
  EXPECT_FALSE(fs_.Exists("/app/NEW.FMT"));
  EXPECT_FALSE(fs_.Exists("/app/NEW.FMT.kvtmp"));
}

TEST_F(FileMessagesTest, ProgramSettingsInAReadOnlyOrMissingFolder) {
  fs_.SetReadOnly("/app", true);
  host_.AnswerMsgBox(MsgAnswer::OK, "The file could not be written. The folder is read-only:\r/app/QAV.INI");
  EXPECT_FALSE(store_.WriteSearchMode(smSequential));
  host_.AnswerMsgBox(MsgAnswer::OK, "The file could not be written. The folder is read-only:\r/app/QAV.INI");
  EXPECT_FALSE(store_.WriteReportDest(rdPrinter));
  EXPECT_EQ(Bytes("/app/QAV.INI"), "[Database]\r\nCurrentDB=CAT\r\n");

  store_.SetAppDir("/gone");
  host_.AnswerMsgBox(MsgAnswer::OK, "The file could not be written. Path not found:\r/gone/QAV.INI");
  EXPECT_FALSE(store_.WriteCurrentDB("CAT"));
}

// Opening a read-only file for writing names the cause, not "cannot be
// reached"; a folder standing at the path is named too.
TEST_F(FileMessagesTest, TheFileErrorDialogNamesTheCause) {
  fs_.SetReadOnly("/app/CAT.DAT", true);
  host_.AnswerMsgBox(MsgAnswer::Cancel, "The file is read-only:\r/app/CAT.DAT");
  EXPECT_EQ(store_.OpenFileChecked("/app/CAT.DAT", 5, 54, 0), 0);
  fs_.AddDirectory("/app/DIR.TXT");
  host_.AnswerMsgBox(MsgAnswer::Cancel, "A folder stands where the file should be:\r/app/DIR.TXT");
  EXPECT_EQ(store_.OpenFileChecked("/app/DIR.TXT", 1, 0, 0), 0);
  host_.AnswerMsgBox(MsgAnswer::Cancel, "Path not found:\r/none/X.TXT");
  EXPECT_EQ(store_.OpenFileChecked("/none/X.TXT", 1, 0, 0), 0);
  host_.AnswerMsgBox(MsgAnswer::Cancel, "Path not found:\r/app/CAT.SET/X.TXT");  // a file where a folder should be
  EXPECT_EQ(store_.OpenFileChecked("/app/CAT.SET/X.TXT", 1, 0, 0), 0);
  EXPECT_EQ(store_.OpenFileChecked("/app/CAT.SET", 3, 0, 0), 0);  // no such mode
}

// Access refused for a cause the layer cannot name (a writable file in a
// writable folder) keeps the general text; Retry tries again.
TEST_F(FileMessagesTest, AnUnnamedAccessFailureAndAHalfMadeCatalog) {
  platform::FaultFileSystem faults(fs_);
  platform::FilePool pool(faults);
  Store store(host_, pool);
  store.SetAppDir("/app");
  faults.FailOperation(1, platform::kErrPathFileAccess);
  host_.AnswerMsgBox(MsgAnswer::Retry, "The file cannot be reached:\r/app/CAT.DAT");
  int16_t n = store.OpenFileChecked("/app/CAT.DAT", 5, 54, 0);
  EXPECT_GT(n, 0);
  pool.Close(n);

  // A new catalog's data file that cannot take its name is told; no half stays.
  std::string build;
  ASSERT_TRUE(store.BeginNewCatalog("NEW", &build));
  fs_.SetFile(build + ".SET", "");
  faults.FailOperation(2, platform::kErrDiskFull);
  host_.AnswerMsgBox(MsgAnswer::OK, "The file could not be written. The disk is full:\r/app/NEW.DAT");
  EXPECT_FALSE(store.FinishNewCatalog(build, "NEW"));
  EXPECT_FALSE(fs_.Exists("/app/NEW.SET"));
}

TEST_F(FileMessagesTest, PromptsBeforeCreatingOrReplacing) {
  host_.AnswerMsgBox(MsgAnswer::No, "Create File?");
  EXPECT_EQ(store_.OpenFileChecked("/app/NEW.DAT", 5, 54, 1), 0);
  EXPECT_FALSE(fs_.Exists("/app/NEW.DAT"));
  host_.AnswerMsgBox(MsgAnswer::No, "Replace File?");
  EXPECT_EQ(store_.OpenFileChecked("/app/QAV.INI", 1, 0, 1), 0);
  EXPECT_EQ(Bytes("/app/QAV.INI"), "[Database]\r\nCurrentDB=CAT\r\n");
  int16_t n = store_.OpenFileChecked("/app/CAT.DAT", 4, 54, 1);  // exists: no question
  EXPECT_GT(n, 0);
  pool_.Close(n);
  host_.AnswerMsgBox(MsgAnswer::Yes, "Create File?");
  n = store_.OpenFileChecked("/app/NEW.DAT", 4, 54, 1);
  EXPECT_GT(n, 0);
  pool_.Close(n);
  EXPECT_TRUE(fs_.Exists("/app/NEW.DAT"));
}

// The whole program over the in-memory files: start-up opens the catalog
// QAV.INI names; shutting down on a full disk tells that the settings could
// not be saved and leaves them as they were.
TEST_F(FileMessagesTest, TheProgramRunsOverTheFileLayerItIsGiven) {
  std::string set = Bytes("/app/CAT.SET");
  {
    app::Program program(host_, "/app/", &fs_);
    program.Start();
    ASSERT_EQ(program.store().CatalogName, "CAT");
    program.store().CurrentSettings.TopMargin = 3;
    fs_.SetCapacity(fs_.UsedBytes());
    host_.AnswerMsgBox(MsgAnswer::OK, "The file could not be written. The disk is full:\r/app/CAT.SET");
    program.Quit();
  }
  EXPECT_EQ(Bytes("/app/CAT.SET"), set);
  EXPECT_FALSE(fs_.Exists("/app/CAT.SET.kvtmp"));
}

}  // namespace
}  // namespace kelvarin::store
