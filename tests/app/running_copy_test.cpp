#include "app/running_copy.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <filesystem>
#include <memory>
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
  const std::string link = other.File("link");
  std::filesystem::create_directory_symlink(dir.path(), link);
  {
    RunningCopy first;
    ASSERT_TRUE(first.Claim(dir.path()));
    EXPECT_EQ(first.TakeRequests(), 0);  // nothing waiting: no block
    for (const std::string& path : {dir.path() + "/", dir.path() + "/./", link}) {
      RunningCopy second;
      EXPECT_FALSE(second.Claim(path)) << path;
      int taken = 0;
      std::thread running([&] {
        pollfd p{first.Fd(), POLLIN, 0};
        if (::poll(&p, 1, 10000) > 0) taken = first.TakeRequests();
      });
      EXPECT_TRUE(second.AskToShow()) << path;
      running.join();
      EXPECT_EQ(taken, 1) << path;
    }
    RunningCopy elsewhere;
    EXPECT_TRUE(elsewhere.Claim(other.path()));
    // Moved while the first copy runs: the new name leads to it too.
    const std::string moved = dir.path() + "-moved";
    std::filesystem::rename(dir.path(), moved);
    RunningCopy late;
    EXPECT_FALSE(late.Claim(moved));
    std::filesystem::rename(moved, dir.path());
  }
  RunningCopy next;
  EXPECT_TRUE(next.Claim(link));
}

TEST(RunningCopy, OfCopiesStartedTogetherOneRuns) {
  test_support::TempDir dir("copyrace");
  for (int round = 0; round < 20; ++round) {
    std::vector<std::unique_ptr<RunningCopy>> copies;
    for (int i = 0; i < 4; ++i) copies.push_back(std::make_unique<RunningCopy>());
    std::atomic<int> ready{0}, claimed{0};
    std::vector<std::thread> starts;
    for (auto& copy : copies)
      starts.emplace_back([&, c = copy.get()] {
        ++ready;
        while (ready < 4) {
        }
        if (c->Claim(dir.path())) ++claimed;
      });
    for (auto& t : starts) t.join();
    ASSERT_EQ(claimed, 1) << round;
  }
}

}  // namespace
}  // namespace kelvarin::app
