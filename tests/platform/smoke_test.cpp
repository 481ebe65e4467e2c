#include <gtest/gtest.h>

#include "platform/host.h"

TEST(Build, HostHeaderCompiles) { EXPECT_EQ(static_cast<int>(kelvarin::platform::MsgAnswer::Yes), 6); }
