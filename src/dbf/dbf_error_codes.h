// The DBF engine's own error codes (their texts: DbfEngine::DbfErrorText);
// the engine's other codes are the platform's run-time errors.
#pragma once

#include <cstdint>

namespace kelvarin::dbf {

constexpr int16_t kErrHandles = 100;
constexpr int16_t kErrNoSlot = 101;
constexpr int16_t kErrType = 103;
constexpr int16_t kErrHandle = 104;
constexpr int16_t kErrMode = 105;
constexpr int16_t kErrFieldName = 106;
constexpr int16_t kErrNoFields = 107;
constexpr int16_t kErrFieldNoHigh = 108;
constexpr int16_t kErrNameInUse = 109;
constexpr int16_t kErrFieldLength = 110;
constexpr int16_t kErrDecimals = 111;
constexpr int16_t kErrRecordTooLong = 112;
constexpr int16_t kErrRecordNumber = 113;
constexpr int16_t kErrRecordLength = 114;
constexpr int16_t kErrNotDbf = 115;
constexpr int16_t kErrFieldNumber = 116;
constexpr int16_t kErrRequest = 117;
constexpr int16_t kErrPool = 118;
constexpr int16_t kErrDate = 146;
constexpr int16_t kErrLock = 70;

}  // namespace kelvarin::dbf
