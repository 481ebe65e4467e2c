// The substring tests of the walks, made on an entry's stored bytes before
// it is decoded, so that a walk decodes only the entries that match.
//
// The answer is the substring test's (platform::IsSubstr) on the decoded
// texts: a byte stands for the character DecodeEntry makes of it, compared
// in upper case when the test ignores case, and a match lies inside one
// field. The walks still decode a matching entry and test it in full, so
// these only spare the work on the entries that cannot match.
//
//   RawTextTest t("stone", false, header, {7});
//   if (t.Contains(bytes)) { DecodeEntry(bytes, header, &e); ... }
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "store/types.h"

namespace kelvarin::reports {

class RawTextTest {
 public:
  // The text (Windows-1252) in any of the given field slots; with no slots,
  // in any field.
  RawTextTest(const std::string& text, bool caseSensitive, const store::DatHeader& header,
              const std::vector<int16_t>& slots = {});

  // record: header.RecordLength stored bytes, as ReadEntry reads them.
  bool Contains(const uint8_t* record) const;

  // Whether this test was made for these arguments.
  bool MadeFor(const std::string& text, bool caseSensitive, const store::DatHeader& header,
               const std::vector<int16_t>& slots) const;

 private:
  struct Span {
    uint32_t begin, end;  // byte offsets in the record; end exclusive
  };
  bool Verify(const uint8_t* record, uint32_t at) const;
  bool ScanSpan(const uint8_t* record, const Span& span) const;

  std::string text_;
  bool caseSensitive_;
  store::DatHeader header_;
  std::vector<int16_t> slots_;

  // The stored byte as the test compares it, and the text so treated.
  std::array<uint8_t, 256> key_{};
  std::string wanted_;
  // The stored bytes that stand for the text's first and last characters;
  // a SIMD scan is used when each has at most four.
  std::array<bool, 256> isFirst_{}, isLast_{};
  std::vector<uint8_t> firstBytes_, lastBytes_;
  // Runs of adjacent searched fields, and the end of the field each byte
  // offset lies in.
  std::vector<Span> spans_;
  std::vector<uint32_t> fieldEnd_;
  bool never_ = false;
};

// The entry's status, sort links, read from its stored bytes.
float RawStatus(const uint8_t* record);
float RawNextLink(const uint8_t* record, const store::DatHeader& header);
float RawPrevLink(const uint8_t* record, const store::DatHeader& header);

}  // namespace kelvarin::reports
