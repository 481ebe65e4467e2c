#include "app/running_copy.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <filesystem>
#include <latch>
#include <thread>
#include <vector>

#include "support/catalog_builder.h"

namespace kelvarin::app {
namespace {

// Every way to the directory (other spellings, a link, its new name after a
// move) meets the one copy that holds it, which is asked to show itself;
// another directory is free; the place goes with the copy that held it.
TEST(RunningCopy, EveryPathToTheDirectoryMeetsTheCopyThatHoldsIt) {
  test_support::TempDir dir("copy");
  test_support::TempDir other("copyother");
  const std::string link = other.File("link"), moved = dir.path() + "-moved";
  std::filesystem::create_directory_symlink(dir.path(), link);
  {
    RunningCopy elsewhere, first;
    ASSERT_TRUE(elsewhere.Claim(other.path()));  // its request does not go astray
    ASSERT_TRUE(first.Claim(dir.path()));
    EXPECT_EQ(first.TakeRequests(), 0);  // nothing waiting: no block
    EXPECT_FALSE(RunningCopy().Claim(dir.path() + "/./"));
    RunningCopy second;
    EXPECT_FALSE(second.Claim(link));
    int taken = 0;
    std::thread running([&] {
      pollfd p{first.Fd(), POLLIN, 0};
      if (::poll(&p, 1, 10000) > 0) taken = first.TakeRequests();
    });
    EXPECT_TRUE(second.AskToShow());
    running.join();
    EXPECT_EQ(taken, 1);
    std::filesystem::rename(dir.path(), moved);
    EXPECT_FALSE(RunningCopy().Claim(moved));
    std::filesystem::rename(moved, dir.path());
  }
  EXPECT_TRUE(RunningCopy().Claim(link));
}

TEST(RunningCopy, OfCopiesStartedTogetherOneRuns) {
  test_support::TempDir dir("copyrace");
  for (int round = 0; round < 20; ++round) {
    RunningCopy copies[4];
    std::latch go(4);
    std::atomic<int> claimed{0};
    std::vector<std::thread> starts;
    for (RunningCopy& copy : copies)
      starts.emplace_back([&] {
        go.arrive_and_wait();
        claimed += copy.Claim(dir.path());
      });
    for (std::thread& start : starts) start.join();
    ASSERT_EQ(claimed, 1) << round;
  }
}

}  // namespace
}  // namespace kelvarin::app
