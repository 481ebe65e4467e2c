// The ASCII report's file writes: gathered lines reach the file in order
// with CR LF, and a failed write keeps them for a retry.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/files/file_pool.h"
#include "reports/output/text_file_writer.h"

namespace kelvarin::reports {
namespace {

// A file in memory whose writes fail while `failing` is set.
class MemoryFile : public platform::RandomAccessFile {
 public:
  explicit MemoryFile(std::string& bytes, bool& failing) : bytes_(bytes), failing_(failing) {}
  int Read(int64_t, void*, size_t, size_t* got) override {
    *got = 0;
    return 0;
  }
  int Write(int64_t offset, const void* data, size_t len) override {
    if (failing_) return 61;  // disk full
    bytes_.resize(std::max(bytes_.size(), static_cast<size_t>(offset) + len));
    bytes_.replace(static_cast<size_t>(offset), len, static_cast<const char*>(data), len);
    return 0;
  }
  int Size(int64_t* size) override {
    *size = static_cast<int64_t>(bytes_.size());
    return 0;
  }
  int Truncate(int64_t) override { return 0; }
  int Flush() override { return 0; }
  int Lock(int64_t, int64_t) override { return 0; }
  int Unlock(int64_t, int64_t) override { return 0; }
  const std::string& Path() const override { return path_; }

 private:
  std::string& bytes_;
  bool& failing_;
  std::string path_ = "memory";
};

TEST(TextFileWriter, KeepsWhatAFailedWriteLeftForTheRetry) {
  platform::FilePool files;
  std::string bytes;
  bool failing = false;
  ASSERT_EQ(files.Adopt(3, std::make_unique<MemoryFile>(bytes, failing)), 0);
  TextFileWriter w;
  w.Start();
  EXPECT_EQ(w.Flush(files, 3), 0) << "nothing to write";
  w.WriteLine(files, 3, "Caf\xE9");
  w.WriteLine(files, 3, " ");
  EXPECT_EQ(bytes, "") << "lines gather before they are written";
  failing = true;
  EXPECT_EQ(w.Flush(files, 3), 61);
  EXPECT_EQ(w.Error(), 61);
  failing = false;
  EXPECT_EQ(w.Flush(files, 3), 0);
  EXPECT_EQ(w.Error(), 0);
  w.WriteLine(files, 3, "end");
  EXPECT_EQ(w.Flush(files, 3), 0);
  EXPECT_EQ(bytes, "Caf\xE9\r\n \r\nend\r\n");
  EXPECT_EQ(w.BytesWritten(), 14);
  // A file number that is not open is a failure, not a crash.
  w.WriteLine(files, 9, "x");
  EXPECT_EQ(w.Flush(files, 9), 52);
}

TEST(TextFileWriter, LargeReportsReachTheFileWhileTheyAreWritten) {
  platform::FilePool files;
  std::string bytes;
  bool failing = false;
  ASSERT_EQ(files.Adopt(1, std::make_unique<MemoryFile>(bytes, failing)), 0);
  TextFileWriter w;
  w.Start();
  const std::string line(98, 'x');
  for (int i = 0; i < 20000; ++i) w.WriteLine(files, 1, line);
  EXPECT_GE(bytes.size(), 1000000u);
  EXPECT_EQ(bytes.size() % 100, 0u) << "whole lines";
  failing = true;
  for (int i = 0; i < 20000; ++i) w.WriteLine(files, 1, line);
  EXPECT_EQ(w.Error(), 61) << "a failure while writing ahead is kept for the owner";
  failing = false;
  EXPECT_EQ(w.Flush(files, 1), 0);
  EXPECT_EQ(bytes.size(), 40000u * 100);
}

}  // namespace
}  // namespace kelvarin::reports
