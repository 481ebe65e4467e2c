#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/files/fault_file_system.h"
#include "platform/files/memory_file_system.h"
#include "platform/files/runtime_errors.h"
#include "platform/profile.h"

namespace kelvarin::platform {
namespace {

std::string Read(FileSystem& fs, const std::string& path) {
  std::string bytes;
  return ReadWholeFile(fs, path, &bytes) == kErrNone ? bytes : "<error>";
}

TEST(MemoryFileSystemTest, OpensCreatesAndRefusesAsADiskWould) {
  MemoryFileSystem fs;
  fs.AddDirectory("/app");
  std::unique_ptr<RandomAccessFile> f;
  EXPECT_EQ(fs.Open("/app/A.DAT", FileAccess::Read, FileShare::NoClause, FileCreate::OpenExisting, &f),
            kErrFileNotFound);
  EXPECT_EQ(fs.Open("/none/A.DAT", FileAccess::Write, FileShare::NoClause, FileCreate::OpenOrCreate, &f),
            kErrFileNotFound);
  EXPECT_EQ(fs.Open("/app", FileAccess::Read, FileShare::NoClause, FileCreate::OpenExisting, &f),
            kErrPathFileAccess);

  ASSERT_EQ(fs.Open("/app/A.DAT", FileAccess::ReadWrite, FileShare::NoClause, FileCreate::OpenOrCreate, &f), 0);
  ASSERT_EQ(f->Write(3, "xy", 2), 0);  // a gap reads as zeros
  f.reset();
  EXPECT_EQ(Read(fs, "/app/A.DAT"), std::string("\0\0\0xy", 5));
  EXPECT_EQ(fs.Open("/app/A.DAT", FileAccess::Write, FileShare::NoClause, FileCreate::CreateNew, &f),
            kErrFileExists);
  ASSERT_EQ(fs.Open("/app/A.DAT", FileAccess::Write, FileShare::NoClause, FileCreate::CreateOrTruncate, &f), 0);
  EXPECT_EQ(Read(fs, "/app/A.DAT"), "");

  fs.SetReadOnly("/app/A.DAT", true);
  EXPECT_EQ(fs.Open("/app/A.DAT", FileAccess::ReadWrite, FileShare::NoClause, FileCreate::OpenOrCreate, &f),
            kErrPathFileAccess);
  EXPECT_EQ(fs.Open("/app/A.DAT", FileAccess::Read, FileShare::NoClause, FileCreate::OpenExisting, &f), 0);
  EXPECT_EQ(f->Write(0, "z", 1), kErrBadFileMode);

  fs.SetReadOnly("/app", true);
  EXPECT_EQ(fs.Open("/app/B.DAT", FileAccess::Write, FileShare::NoClause, FileCreate::OpenOrCreate, &f),
            kErrPathFileAccess);
  FileInfo info;
  ASSERT_EQ(fs.Stat("/app", &info), 0);
  EXPECT_TRUE(info.isDirectory && info.readOnly);
}

TEST(MemoryFileSystemTest, CapacityMakesTheDiskFull) {
  MemoryFileSystem fs;
  fs.SetFile("/d/OLD", "12345");
  fs.SetCapacity(8);
  std::unique_ptr<RandomAccessFile> f;
  ASSERT_EQ(fs.Open("/d/NEW", FileAccess::Write, FileShare::NoClause, FileCreate::OpenOrCreate, &f), 0);
  EXPECT_EQ(f->Write(0, "abc", 3), 0);
  EXPECT_EQ(f->Write(3, "d", 1), kErrDiskFull);
  EXPECT_EQ(f->Write(0, "xyz", 3), 0);  // overwriting needs no room
  EXPECT_EQ(fs.UsedBytes(), 8);
  EXPECT_TRUE(f->Truncate(0) == 0 && fs.UsedBytes() == 5);
}

TEST(MemoryFileSystemTest, ListsRenamesAndRemoves) {
  MemoryFileSystem fs;
  fs.SetFile("/d/B.SET", "b");
  fs.SetFile("/d/A.SET", "a");
  fs.SetFile("/d/sub/C.SET", "c");
  std::vector<std::string> names;
  ASSERT_EQ(fs.List("/d", &names), 0);
  EXPECT_EQ(names, (std::vector<std::string>{"A.SET", "B.SET"}));
  EXPECT_EQ(fs.List("/none", &names), kErrPathNotFound);

  ASSERT_EQ(fs.Rename("/d/A.SET", "/d/B.SET"), 0);  // replaces
  EXPECT_EQ(Read(fs, "/d/B.SET"), "a");
  EXPECT_FALSE(fs.Exists("/d/A.SET"));
  EXPECT_EQ(fs.Rename("/d/A.SET", "/d/X"), kErrFileNotFound);
  fs.SetFile("/d/C.SET", "c");
  EXPECT_EQ(fs.RenameNoReplace("/d/C.SET", "/d/B.SET"), kErrFileExists);
  EXPECT_EQ(fs.RenameNoReplace("/d/C.SET", "/d/D.SET"), 0);
  EXPECT_EQ(Read(fs, "/d/D.SET"), "c");
  // A unique file is always a new one, never one already there.
  std::unique_ptr<RandomAccessFile> f;
  std::string path;
  for (int i = 0; i < 9; ++i) ASSERT_EQ(CreateUniqueFile(fs, "/d/B.", ".X", &f, &path), 0);
  EXPECT_TRUE(path.starts_with("/d/B.") && path.ends_with(".X") && path.size() == 13) << path;
  ASSERT_EQ(fs.List("/d", &names), 0);
  EXPECT_EQ(names.size(), 11u);
  EXPECT_EQ(fs.Remove("/d/B.SET"), 0);
  EXPECT_EQ(fs.Remove("/d/B.SET"), kErrFileNotFound);
}

TEST(FaultFileSystemTest, FailsTheChosenOperationOnceOrFromThereOn) {
  MemoryFileSystem mem;
  mem.SetFile("/d/F", "abc");
  FaultFileSystem fs(mem);
  std::unique_ptr<RandomAccessFile> f;
  ASSERT_EQ(fs.Open("/d/F", FileAccess::ReadWrite, FileShare::NoClause, FileCreate::OpenExisting, &f), 0);
  EXPECT_EQ(fs.Operations(), 1);

  fs.FailOperation(2, kErrDeviceIO);
  char buf[3];
  size_t got = 0;
  EXPECT_EQ(f->Read(0, buf, 3, &got), 0);
  EXPECT_EQ(f->Write(0, "X", 1), kErrDeviceIO);  // the second from then, and it wrote nothing
  EXPECT_EQ(f->Write(1, "Y", 1), 0);
  EXPECT_EQ(Read(mem, "/d/F"), "aYc");

  fs.FailOperation(1, kErrDiskFull, true);
  FileInfo info;
  EXPECT_EQ(fs.Stat("/d/F", &info), kErrDiskFull);
  EXPECT_EQ(fs.Remove("/d/F"), kErrDiskFull);
  EXPECT_EQ(fs.Failures(), 3);
  fs.Clear();
  EXPECT_EQ(fs.Remove("/d/F"), 0);
}

TEST(FileSystemTest, DirectoryOfAPath) {
  EXPECT_EQ(DirectoryOf("/app/QAV.INI"), "/app");
  EXPECT_EQ(DirectoryOf("/QAV.INI"), "/");
  EXPECT_EQ(DirectoryOf("QAV.INI"), ".");
}

TEST(FaultFileSystemTest, AFailedListingListsNothing) {
  MemoryFileSystem mem;
  mem.SetFile("/d/A", "a");
  FaultFileSystem fs(mem);
  std::vector<std::string> names{"stale"};
  fs.FailOperation(1, kErrDeviceIO);
  EXPECT_EQ(fs.List("/d", &names), kErrDeviceIO);
  EXPECT_TRUE(names.empty());
}

TEST(FaultFileSystemTest, FailsWritesBeyondAByteBudget) {
  MemoryFileSystem mem;
  mem.AddDirectory("/d");
  FaultFileSystem fs(mem);
  std::unique_ptr<RandomAccessFile> f;
  ASSERT_EQ(fs.Open("/d/F", FileAccess::Write, FileShare::NoClause, FileCreate::OpenOrCreate, &f), 0);
  fs.FailWritesAfter(4, kErrDiskFull);
  EXPECT_EQ(f->Write(0, "abc", 3), 0);
  EXPECT_EQ(f->Write(3, "de", 2), kErrDiskFull);  // "d" fits, "e" does not
  EXPECT_EQ(f->Write(5, "f", 1), kErrDiskFull);
  EXPECT_EQ(Read(mem, "/d/F"), "abcd");
}

// Whatever operation fails, and whether it fails once or from there on,
// the file holds its old bytes or its new ones, no temporary is left, and
// the failure is reported.
TEST(AtomicWriteTest, EveryFailedOperationLeavesTheOldFileOrTheNew) {
  for (bool persistent : {false, true}) {
    for (int n = 1;; ++n) {
      MemoryFileSystem mem;
      mem.SetFile("/app/QAV.INI", "old content");
      FaultFileSystem fs(mem);
      fs.FailOperation(n, kErrDiskFull, persistent);
      int error = WriteFileAtomic(fs, "/app/QAV.INI", "the new, longer content");
      if (fs.Failures() == 0) {
        EXPECT_EQ(error, 0);
        EXPECT_EQ(Read(mem, "/app/QAV.INI"), "the new, longer content");
        EXPECT_GT(n, 3);
        break;
      }
      std::string now = Read(mem, "/app/QAV.INI");
      SCOPED_TRACE("operation " + std::to_string(n));
      EXPECT_EQ(error, kErrDiskFull);
      EXPECT_TRUE(now == "old content" || now == "the new, longer content") << now;
      std::vector<std::string> names;
      mem.List("/app", &names);
      if (!persistent) {
        EXPECT_EQ(names, std::vector<std::string>{"QAV.INI"});
      }
    }
  }
}

TEST(AtomicWriteTest, AReadOnlyFileIsNotReplaced) {
  MemoryFileSystem mem;
  mem.SetFile("/app/X.FMT", "old");
  mem.SetReadOnly("/app/X.FMT", true);
  EXPECT_EQ(WriteFileAtomic(mem, "/app/X.FMT", "new"), kErrPathFileAccess);
  EXPECT_EQ(Read(mem, "/app/X.FMT"), "old");
  EXPECT_EQ(WriteFileAtomic(mem, "/none/X.FMT", "new"), kErrFileNotFound);
}

TEST(AtomicWriteTest, OnDiskReplacesAndLeavesNoTemporary) {
  auto dir = std::filesystem::temp_directory_path() /
             ("kv_atomic_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "A.SET").string();
  std::ofstream(path, std::ios::binary) << "old";
  // A link planted where a temporary file once went, to a file elsewhere:
  // nothing is written through it.
  std::ofstream((dir / "elsewhere").string(), std::ios::binary) << "theirs";
  std::filesystem::create_symlink(dir / "elsewhere", dir / "A.SET.kvtmp");
  DiskFileSystem disk;
  ASSERT_EQ(WriteFileAtomic(disk, path, "new bytes"), 0);
  EXPECT_EQ(Read(disk, path), "new bytes");
  EXPECT_EQ(Read(disk, (dir / "elsewhere").string()), "theirs");
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  std::filesystem::remove(dir / "A.SET.kvtmp");
  std::filesystem::remove(dir / "elsewhere");
  std::vector<std::string> names;
  ASSERT_EQ(disk.List(dir.string(), &names), 0);
  EXPECT_EQ(names, std::vector<std::string>{"A.SET"});
  std::ofstream((dir / "B.SET").string(), std::ios::binary) << "b";
  EXPECT_EQ(disk.RenameNoReplace((dir / "B.SET").string(), path), kErrFileExists);
  EXPECT_EQ(Read(disk, path), "new bytes");
  std::filesystem::remove(dir / "B.SET");

  // No write bits is read-only, whoever runs the program.
  ::chmod(path.c_str(), 0444);
  FileInfo info;
  ASSERT_EQ(disk.Stat(path, &info), 0);
  EXPECT_TRUE(info.exists && info.readOnly);
  EXPECT_EQ(WriteFileAtomic(disk, path, "other"), kErrPathFileAccess);
  EXPECT_EQ(Read(disk, path), "new bytes");
  std::filesystem::create_directory(dir / "sub");
  ASSERT_EQ(disk.List(dir.string(), &names), 0);
  EXPECT_EQ(names, std::vector<std::string>{"A.SET"});  // files only
  std::filesystem::remove_all(dir);
}

TEST(ProfileFaultTest, AFailedSettingsWriteKeepsEveryKey) {
  const std::string before = "[Database]\r\nCurrentDB=BOOKS\r\n[Search]\r\nSearchMode=1\r\n";
  for (int n = 1;; ++n) {
    MemoryFileSystem mem;
    mem.SetFile("/app/QAV.INI", before);
    FaultFileSystem fs(mem);
    fs.FailOperation(n, kErrDeviceIO);
    int error = WriteProfileString(fs, "Reports", "ReportDest", "3", "/app/QAV.INI");
    std::string now = Read(mem, "/app/QAV.INI");
    if (fs.Failures() == 0) {
      EXPECT_EQ(now, before + "\r\n[Reports]\r\nReportDest=3\r\n");
      break;
    }
    EXPECT_EQ(error, kErrDeviceIO);
    EXPECT_TRUE(now == before || now == before + "\r\n[Reports]\r\nReportDest=3\r\n") << n;
  }
}

}  // namespace
}  // namespace kelvarin::platform
