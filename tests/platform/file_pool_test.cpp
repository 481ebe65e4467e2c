#include <gtest/gtest.h>

#include "platform/files/file_pool.h"
#include "platform/files/runtime_errors.h"
#include "support/catalog_builder.h"

namespace kelvarin::platform {
namespace {

// A directory of each test's own: other processes run these tests at once.
class FilePoolTest : public ::testing::Test {
 protected:
  std::string P(const char* name) { return dir_.File(name); }
  test_support::TempDir dir_{"pool"};
};

TEST_F(FilePoolTest, NumbersAreTakenLowestFirstAndFreedOnClose) {
  FilePool pool;
  EXPECT_EQ(pool.FreeFile(), 1);
  ASSERT_EQ(pool.Open(1, P("a"), FileAccess::ReadWrite, FileShare::NoClause, FileCreate::OpenOrCreate), 0);
  EXPECT_EQ(pool.FreeFile(), 2);
  EXPECT_EQ(pool.Open(1, P("b"), FileAccess::ReadWrite, FileShare::NoClause, FileCreate::OpenOrCreate),
            kErrFileAlreadyOpen);
  EXPECT_EQ(pool.Open(0, P("b"), FileAccess::ReadWrite, FileShare::NoClause, FileCreate::OpenOrCreate),
            kErrBadFileNumber);
  EXPECT_EQ(pool.Close(1), 0);
  EXPECT_EQ(pool.Close(1), kErrBadFileNumber);
  EXPECT_EQ(pool.FreeFile(), 1);
}

TEST_F(FilePoolTest, CreateModesAndErrors) {
  FilePool pool;
  EXPECT_EQ(pool.Open(1, P("missing"), FileAccess::Read, FileShare::NoClause, FileCreate::OpenExisting),
            kErrFileNotFound);
  ASSERT_EQ(pool.Open(1, P("x"), FileAccess::ReadWrite, FileShare::NoClause, FileCreate::CreateNew), 0);
  ASSERT_EQ(pool.Get(1)->Write(0, "hello", 5), 0);
  pool.Close(1);
  EXPECT_EQ(pool.Open(1, P("x"), FileAccess::ReadWrite, FileShare::NoClause, FileCreate::CreateNew),
            kErrFileExists);
  ASSERT_EQ(pool.Open(1, P("x"), FileAccess::ReadWrite, FileShare::NoClause, FileCreate::OpenExisting), 0);
  int64_t size = 0;
  pool.Get(1)->Size(&size);
  EXPECT_EQ(size, 5);
  char buf[10];
  size_t got = 0;
  EXPECT_EQ(pool.Get(1)->Read(3, buf, 10, &got), 0);
  EXPECT_EQ(got, 2u);
  pool.Close(1);
  ASSERT_EQ(pool.Open(1, P("x"), FileAccess::ReadWrite, FileShare::NoClause, FileCreate::CreateOrTruncate), 0);
  pool.Get(1)->Size(&size);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(pool.Open(2, dir_.path(), FileAccess::Read, FileShare::NoClause, FileCreate::OpenExisting),
            kErrPathFileAccess);
}

TEST_F(FilePoolTest, SharingModesConflictEvenWithinOneProcess) {
  FilePool pool;
  const std::string f = P("shared");
  ASSERT_EQ(pool.Open(1, f, FileAccess::ReadWrite, FileShare::DenyWrite, FileCreate::OpenOrCreate), 0);
  EXPECT_EQ(pool.Open(2, f, FileAccess::ReadWrite, FileShare::Shared, FileCreate::OpenExisting),
            kErrPermissionDenied);
  EXPECT_EQ(pool.Open(2, f, FileAccess::Read, FileShare::Shared, FileCreate::OpenExisting), 0);
  pool.CloseAll();
  ASSERT_EQ(pool.Open(1, f, FileAccess::Read, FileShare::DenyAll, FileCreate::OpenExisting), 0);
  EXPECT_EQ(pool.Open(2, f, FileAccess::Read, FileShare::NoClause, FileCreate::OpenExisting),
            kErrPermissionDenied);
  pool.Close(1);
  ASSERT_EQ(pool.Open(1, f, FileAccess::ReadWrite, FileShare::Shared, FileCreate::OpenExisting), 0);
  ASSERT_EQ(pool.Open(2, f, FileAccess::ReadWrite, FileShare::Shared, FileCreate::OpenExisting), 0);
  // An exclusive open that fails must not have emptied the file's sharers' data.
  EXPECT_EQ(pool.Open(3, f, FileAccess::ReadWrite, FileShare::DenyAll, FileCreate::CreateOrTruncate),
            kErrPermissionDenied);
}

TEST_F(FilePoolTest, RecordLocksConflictBetweenOpens) {
  FilePool pool;
  const std::string f = P("locks");
  ASSERT_EQ(pool.Open(1, f, FileAccess::ReadWrite, FileShare::Shared, FileCreate::OpenOrCreate), 0);
  ASSERT_EQ(pool.Open(2, f, FileAccess::ReadWrite, FileShare::Shared, FileCreate::OpenExisting), 0);
  EXPECT_EQ(pool.Get(1)->Lock(100, 10), 0);
  EXPECT_EQ(pool.Get(2)->Lock(105, 1), kErrPermissionDenied);
  EXPECT_EQ(pool.Get(2)->Lock(110, 1), 0);
  EXPECT_EQ(pool.Get(1)->Unlock(100, 10), 0);
  EXPECT_EQ(pool.Get(2)->Lock(105, 1), 0);
}

TEST_F(FilePoolTest, HandleCountOnlyGrows) {
  FilePool pool(10);
  EXPECT_EQ(pool.SetHandleCount(40), 40);
  EXPECT_EQ(pool.Capacity(), 40);
  EXPECT_EQ(pool.SetHandleCount(5), 5);
  EXPECT_EQ(pool.Capacity(), 40);
  EXPECT_EQ(pool.SetHandleCount(10000), FilePool::kHardLimit);
  EXPECT_STREQ(RuntimeErrorText(53), "File not found");
}

}  // namespace
}  // namespace kelvarin::platform
