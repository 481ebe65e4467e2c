#include "app/running_copy.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <thread>

#include "support/catalog_builder.h"

namespace kelvarin::app {
namespace {

TEST(RunningCopy, ASecondCopyReachesTheFirstOfItsDirectoryOnly) {
  test_support::TempDir dir("copy");
  test_support::TempDir other("copyother");
  EXPECT_NE(RunningCopyAddress(dir.path()), RunningCopyAddress(other.path()));
  EXPECT_EQ(RunningCopyAddress(dir.path()), RunningCopyAddress(dir.path() + "/"));
  EXPECT_FALSE(AskRunningCopyToShow(dir.path()));  // nobody runs yet

  {
    RunningCopyListener first;
    ASSERT_TRUE(first.Listen(dir.path()));
    RunningCopyListener second;
    EXPECT_FALSE(second.Listen(dir.path()));  // the place is taken
    EXPECT_EQ(first.TakeRequests(), 0);       // nothing waiting: no block

    int taken = 0;
    std::thread running([&] {
      pollfd p{first.Fd(), POLLIN, 0};
      if (::poll(&p, 1, 10000) > 0) taken = first.TakeRequests();
    });
    EXPECT_TRUE(AskRunningCopyToShow(dir.path()));
    running.join();
    EXPECT_EQ(taken, 1);
    EXPECT_FALSE(AskRunningCopyToShow(other.path()));
  }
  // The place goes with the copy that held it.
  EXPECT_FALSE(AskRunningCopyToShow(dir.path()));
  RunningCopyListener next;
  EXPECT_TRUE(next.Listen(dir.path()));
}

}  // namespace
}  // namespace kelvarin::app
