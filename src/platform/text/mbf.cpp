#include "platform/text/mbf.h"

#include <cmath>
#include <cstring>

namespace kelvarin::platform {

MbfBytes IeeeToMbf(float value) {
  if (std::isnan(value)) return {0, 0, 0, 0};
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  uint32_t sign = bits >> 31;
  uint32_t exponent = (bits >> 23) & 0xFF;
  uint32_t mantissa = bits & 0x7FFFFF;
  if (exponent == 0) return {0, 0, 0, 0};  // zero and subnormals
  uint32_t mbfExponent = exponent + 2;
  if (exponent == 0xFF || mbfExponent > 0xFF) {  // infinity or beyond MBF's range
    mbfExponent = 0xFF;
    mantissa = 0x7FFFFF;
  }
  return {static_cast<uint8_t>(mantissa & 0xFF), static_cast<uint8_t>((mantissa >> 8) & 0xFF),
          static_cast<uint8_t>((sign << 7) | ((mantissa >> 16) & 0x7F)),
          static_cast<uint8_t>(mbfExponent)};
}

float MbfToIeee(const MbfBytes& b) {
  if (b[3] == 0) return 0.0f;
  int exponent = static_cast<int>(b[3]) - 2;
  if (exponent <= 0) return 0.0f;  // below IEEE's normal range
  uint32_t sign = b[2] >> 7;
  uint32_t mantissa = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                      (static_cast<uint32_t>(b[2] & 0x7F) << 16);
  uint32_t bits = (sign << 31) | (static_cast<uint32_t>(exponent) << 23) | mantissa;
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}

void IEEE2MSBIN(uint8_t* fourBytes) {
  float value;
  std::memcpy(&value, fourBytes, 4);
  MbfBytes m = IeeeToMbf(value);
  std::memcpy(fourBytes, m.data(), 4);
}

void MSBIN2IEEE(uint8_t* fourBytes) {
  MbfBytes m;
  std::memcpy(m.data(), fourBytes, 4);
  float value = MbfToIeee(m);
  std::memcpy(fourBytes, &value, 4);
}

float ReadMbf(const uint8_t* p) {
  MbfBytes m;
  std::memcpy(m.data(), p, 4);
  return MbfToIeee(m);
}

void WriteMbf(uint8_t* p, float value) {
  MbfBytes m = IeeeToMbf(value);
  std::memcpy(p, m.data(), 4);
}

}  // namespace kelvarin::platform
