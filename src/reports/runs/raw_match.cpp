#include "reports/runs/raw_match.h"

#include <algorithm>

#include "platform/text/codepage.h"
#include "platform/text/mbf.h"
#include "store/formats.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvarin::reports {
namespace {

// What DecodeEntry makes of each stored byte: one entry of two 128-byte
// fields holding every byte value, decoded.
std::array<uint8_t, 256> DecodedBytes() {
  store::DatHeader h;
  h.FieldLength[0] = 128;
  h.FieldLength[1] = 128;
  h.RecordLength = static_cast<int16_t>(store::ComputeRecordLength(h.FieldLength));
  std::vector<uint8_t> record(static_cast<size_t>(h.RecordLength), 0);
  for (int b = 0; b < 256; ++b) record[4 + static_cast<size_t>(b)] = static_cast<uint8_t>(b);
  store::EntryRecord e;
  store::DecodeEntry(record.data(), h, &e);
  std::array<uint8_t, 256> out{};
  for (size_t b = 0; b < 256; ++b) {
    const std::string& field = e.FieldText[b / 128];
    out[b] = field.size() == 128 ? static_cast<uint8_t>(field[b % 128]) : static_cast<uint8_t>(b);
  }
  return out;
}

}  // namespace

RawTextTest::RawTextTest(const std::string& text, bool caseSensitive, const store::DatHeader& header,
                         const std::vector<int16_t>& slots)
    : text_(text), caseSensitive_(caseSensitive), header_(header), slots_(slots) {
  const std::array<uint8_t, 256> decoded = DecodedBytes();
  for (size_t b = 0; b < 256; ++b) key_[b] = caseSensitive ? decoded[b] : platform::AnsiUpper(decoded[b]);
  for (char c : text)
    wanted_.push_back(static_cast<char>(caseSensitive ? static_cast<unsigned char>(c)
                                                      : platform::AnsiUpper(static_cast<unsigned char>(c))));
  if (wanted_.empty()) {
    never_ = true;
    return;
  }
  const auto first = static_cast<uint8_t>(wanted_.front());
  const auto last = static_cast<uint8_t>(wanted_.back());
  for (size_t b = 0; b < 256; ++b) {
    isFirst_[b] = key_[b] == first;
    isLast_[b] = key_[b] == last;
    if (isFirst_[b]) firstBytes_.push_back(static_cast<uint8_t>(b));
    if (isLast_[b]) lastBytes_.push_back(static_cast<uint8_t>(b));
  }

  fieldEnd_.assign(static_cast<size_t>(std::max<int16_t>(header.RecordLength, 0)), 0);
  uint32_t pos = 4;
  for (int16_t slot = 0; slot < store::kFieldCount; ++slot) {
    const auto len = static_cast<uint32_t>(std::max<int16_t>(0, header.FieldLength[static_cast<size_t>(slot)]));
    const bool searched = slots.empty() || std::find(slots.begin(), slots.end(), slot) != slots.end();
    if (len > 0 && pos + len <= fieldEnd_.size()) {
      for (uint32_t p = pos; p < pos + len; ++p) fieldEnd_[p] = pos + len;
      if (searched && len >= wanted_.size()) {
        if (!spans_.empty() && spans_.back().end == pos)
          spans_.back().end = pos + len;
        else
          spans_.push_back({pos, pos + len});
      }
    }
    pos += len;
  }
  never_ = spans_.empty() || firstBytes_.empty() || lastBytes_.empty();
}

bool RawTextTest::MadeFor(const std::string& text, bool caseSensitive, const store::DatHeader& header,
                          const std::vector<int16_t>& slots) const {
  return text == text_ && caseSensitive == caseSensitive_ && slots == slots_ &&
         header.RecordLength == header_.RecordLength && header.FieldLength == header_.FieldLength;
}

bool RawTextTest::Verify(const uint8_t* record, uint32_t at) const {
  const size_t m = wanted_.size();
  if (at + m > fieldEnd_[at]) return false;
  for (size_t i = 0; i < m; ++i)
    if (key_[record[at + i]] != static_cast<uint8_t>(wanted_[i])) return false;
  return true;
}

bool RawTextTest::ScanSpan(const uint8_t* record, const Span& span) const {
  const uint32_t m = static_cast<uint32_t>(wanted_.size());
  if (span.end - span.begin < m) return false;
  const uint32_t lastStart = span.end - m;  // the last place a match may begin
  uint32_t p = span.begin;
#if defined(__SSE2__)
  // Sixteen places at a time: those whose first and last bytes could stand
  // for the text's first and last characters are verified.
  if (firstBytes_.size() <= 4 && lastBytes_.size() <= 4) {
    // Up to four stored bytes each (a letter in both cases, and the Greek
    // letters that decode to it); a short list repeats its last byte.
    auto any = [](const std::vector<uint8_t>& bytes, __m128i v) {
      auto at = [&](size_t i) { return _mm_set1_epi8(static_cast<char>(bytes[std::min(i, bytes.size() - 1)])); };
      return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, at(0)), _mm_cmpeq_epi8(v, at(1))),
                          _mm_or_si128(_mm_cmpeq_epi8(v, at(2)), _mm_cmpeq_epi8(v, at(3))));
    };
    for (; p + 15 <= lastStart; p += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(record + p));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(record + p + m - 1));
      auto mask = static_cast<uint32_t>(_mm_movemask_epi8(_mm_and_si128(any(firstBytes_, a), any(lastBytes_, b))));
      while (mask != 0) {
        const auto bit = static_cast<uint32_t>(__builtin_ctz(mask));
        if (Verify(record, p + bit)) return true;
        mask &= mask - 1;
      }
    }
  }
#endif
  for (; p <= lastStart; ++p)
    if (isFirst_[record[p]] && isLast_[record[p + m - 1]] && Verify(record, p)) return true;
  return false;
}

bool RawTextTest::Contains(const uint8_t* record) const {
  if (never_) return false;
  for (const Span& span : spans_)
    if (ScanSpan(record, span)) return true;
  return false;
}

float RawStatus(const uint8_t* record) { return platform::ReadMbf(record); }

namespace {
size_t LinksAt(const store::DatHeader& header) {
  size_t pos = 4;
  for (int16_t len : header.FieldLength) pos += static_cast<size_t>(std::max<int16_t>(0, len));
  return pos;
}
}  // namespace

float RawNextLink(const uint8_t* record, const store::DatHeader& header) {
  return platform::ReadMbf(record + LinksAt(header));
}

float RawPrevLink(const uint8_t* record, const store::DatHeader& header) {
  return platform::ReadMbf(record + LinksAt(header) + 4);
}

}  // namespace kelvarin::reports
