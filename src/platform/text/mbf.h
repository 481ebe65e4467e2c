// Microsoft Binary Format singles, the number format of the catalog files.
//
// MBF single, 4 bytes little-endian:
//   byte 0..1  mantissa bits 0..15
//   byte 2     bit 7: sign; bits 0..6: mantissa bits 16..22
//   byte 3     exponent, bias 129 (0 means the value 0, whatever the rest)
// The mantissa has an implied leading 1, as in IEEE. So 1.0 is 00 00 00 81.
//
// IEEE values too small for MBF become 0; values too large become the
// largest MBF magnitude with their sign (MBF has no infinity or NaN; a NaN
// becomes 0).
#pragma once

#include <array>
#include <cstdint>

namespace kelvarin::platform {

using MbfBytes = std::array<uint8_t, 4>;

MbfBytes IeeeToMbf(float value);
float MbfToIeee(const MbfBytes& bytes);

// In-place conversion of four bytes, as the companion library offered it:
// the bytes hold an IEEE single (little-endian) before IEEE2MSBIN and an MBF
// single after it, and the reverse for MSBIN2IEEE.
void IEEE2MSBIN(uint8_t* fourBytes);
void MSBIN2IEEE(uint8_t* fourBytes);

// Reads or writes an MBF single at p (4 bytes).
float ReadMbf(const uint8_t* p);
void WriteMbf(uint8_t* p, float value);

}  // namespace kelvarin::platform
