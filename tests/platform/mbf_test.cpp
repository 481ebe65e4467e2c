#include <gtest/gtest.h>

#include <cstring>

#include "platform/text/mbf.h"

namespace kelvarin::platform {
namespace {

TEST(Mbf, KnownValues) {
  EXPECT_EQ(IeeeToMbf(1.0f), (MbfBytes{0x00, 0x00, 0x00, 0x81}));
  EXPECT_EQ(IeeeToMbf(6.0f), (MbfBytes{0x00, 0x00, 0x40, 0x83}));
  EXPECT_EQ(IeeeToMbf(9.0f), (MbfBytes{0x00, 0x00, 0x10, 0x84}));
  EXPECT_EQ(IeeeToMbf(0.0f), (MbfBytes{0, 0, 0, 0}));
  EXPECT_EQ(IeeeToMbf(-1.0f), (MbfBytes{0x00, 0x00, 0x80, 0x81}));
  EXPECT_EQ(IeeeToMbf(16777216.0f), (MbfBytes{0x00, 0x00, 0x00, 0x99}));
}

TEST(Mbf, RoundTrips) {
  // 0x1.8p126f: the top of MBF's range, exponent byte 0xFF.
  for (float v : {1.0f, 6.0f, 9.0f, -2.5f, 0.125f, 16777216.0f, 1234567.0f, 3.4e30f, -1e-30f, 0x1.8p126f})
    EXPECT_EQ(MbfToIeee(IeeeToMbf(v)), v) << v;
}

TEST(Mbf, OutOfRangeValuesAreClampedNotGarbage) {
  EXPECT_EQ(IeeeToMbf(1e-45f), (MbfBytes{0, 0, 0, 0}));            // subnormal
  EXPECT_EQ(IeeeToMbf(3.4e38f)[3], 0xFF);                             // beyond MBF range
  EXPECT_EQ(IeeeToMbf(-3.4e38f)[2] & 0x80, 0x80);                     // keeps its sign
  EXPECT_EQ(MbfToIeee({0, 0, 0, 0x01}), 0.0f);                        // below IEEE normals
  EXPECT_EQ(MbfToIeee({0xFF, 0xFF, 0xFF, 0x00}), 0.0f);               // zero exponent, whatever the mantissa
}

TEST(Mbf, InPlaceConversions) {
  uint8_t bytes[4];
  float six = 6.0f;
  std::memcpy(bytes, &six, 4);
  IEEE2MSBIN(bytes);
  EXPECT_EQ(bytes[3], 0x83);
  MSBIN2IEEE(bytes);
  float back;
  std::memcpy(&back, bytes, 4);
  EXPECT_EQ(back, 6.0f);
}

}  // namespace
}  // namespace kelvarin::platform
