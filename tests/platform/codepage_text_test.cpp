// Whole texts convert byte by byte as single characters do, wherever the
// bytes above 0x7F fall among plain ones.
#include <gtest/gtest.h>

#include <random>

#include "platform/text/codepage.h"

namespace kelvarin::platform {
namespace {

TEST(CodepageTextTest, ATextConvertsAsItsBytesDo) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string oem(random() % 41, ' ');
    // Mostly plain bytes, some high ones, so that whole runs of eight are plain.
    for (char& c : oem) c = static_cast<char>(random() % 6 == 0 ? 0x80 + random() % 128 : random() % 128);
    std::string expected;
    for (char c : oem) expected += OemToAnsi(std::string(1, c));
    ASSERT_EQ(OemToAnsi(oem), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace kelvarin::platform
