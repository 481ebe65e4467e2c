#include "reports/replace/raw_entry_scan.h"

#include <algorithm>

#include "platform/text/codepage.h"

namespace kelvarin::reports {

namespace {
constexpr size_t kBlockBytes = 1 << 20;
}  // namespace

RawEntryScan::RawEntryScan(store::Store& store, const std::string& text, bool caseSensitive) : store_(store) {
  for (int b = 0; b < 256; ++b) {
    const char stored = static_cast<char>(b);
    const auto shown = static_cast<unsigned char>(platform::OemToAnsi(std::string_view(&stored, 1))[0]);
    fold_[static_cast<size_t>(b)] = caseSensitive ? shown : platform::AnsiUpper(shown);
  }
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    pattern_.push_back(static_cast<char>(caseSensitive ? u : platform::AnsiUpper(u)));
  }
  const size_t m = pattern_.size();
  shift_.fill(m);
  for (size_t i = 0; i + 1 < m; ++i) shift_[static_cast<unsigned char>(pattern_[i])] = m - 1 - i;
  if (m > 0) {
    for (int b = 0; b < 256; ++b) {
      if (fold_[static_cast<size_t>(b)] == static_cast<unsigned char>(pattern_[0]))
        firstBytes_.push_back(static_cast<unsigned char>(b));
      if (fold_[static_cast<size_t>(b)] == static_cast<unsigned char>(pattern_[m - 1]))
        lastBytes_.push_back(static_cast<unsigned char>(b));
    }
  }
  recordLength_ = static_cast<size_t>(std::max<int16_t>(store_.CatalogHeader.RecordLength, 1));
  entriesPerBlock_ = static_cast<int64_t>(std::max<size_t>(1, kBlockBytes / recordLength_));
}

bool RawEntryScan::MayHold(int64_t n) {
  if (pattern_.empty() || n < 1) return true;
  if (blockFirst_ < 0 || n < blockFirst_ || n >= blockFirst_ + entriesPerBlock_) LoadBlock(n);
  if (!blockReadable_) return true;
  const int64_t i = n - blockFirst_;
  // Past the end of the file: the entry's own read reports it.
  if (i >= blockCount_) return true;
  return candidate_[static_cast<size_t>(i)] != 0;
}

void RawEntryScan::LoadBlock(int64_t first) {
  blockFirst_ = first;
  blockCount_ = 0;
  blockReadable_ = false;
  platform::RandomAccessFile* file = store_.files().Get(store_.DatFile);
  if (!file) return;
  block_.resize(static_cast<size_t>(entriesPerBlock_) * recordLength_);
  size_t got = 0;
  if (file->Read(first * static_cast<int64_t>(recordLength_), block_.data(), block_.size(), &got) != 0) return;
  blockCount_ = static_cast<int64_t>(got / recordLength_);
  blockReadable_ = true;
  ScanBlock();
}

void RawEntryScan::ScanBlock() {
  candidate_.assign(static_cast<size_t>(blockCount_), 0);
  const size_t end = static_cast<size_t>(blockCount_) * recordLength_;
  if (end < pattern_.size()) return;
#if defined(__SSE2__)
  if (!firstBytes_.empty() && firstBytes_.size() <= kMaxProbeBytes && lastBytes_.size() <= kMaxProbeBytes) {
    ScanWide(end);
    return;
  }
#endif
  ScanNarrow(end);
}

// Whether the pattern starts at pos (in compared characters).
bool RawEntryScan::MatchesAt(size_t pos) const {
  const unsigned char* bytes = block_.data() + pos;
  for (size_t k = 0; k < pattern_.size(); ++k)
    if (fold_[bytes[k]] != static_cast<unsigned char>(pattern_[k])) return false;
  return true;
}

// Horspool's search over the compared characters, restarting at the next
// entry after each hit.
void RawEntryScan::ScanNarrow(size_t end) {
  const size_t m = pattern_.size();
  const unsigned char last = static_cast<unsigned char>(pattern_[m - 1]);
  const unsigned char* bytes = block_.data();
  size_t pos = 0;
  while (pos + m <= end) {
    const unsigned char c = fold_[bytes[pos + m - 1]];
    if (c == last && MatchesAt(pos)) {
      const size_t entry = pos / recordLength_;
      candidate_[entry] = 1;
      pos = (entry + 1) * recordLength_;
      continue;
    }
    pos += shift_[c];
  }
}

#if defined(__SSE2__)
// Sixteen places at a time: the stored bytes that can show as the
// pattern's first and last characters are looked for at once, and only the
// places where both stand are compared in full.
void RawEntryScan::ScanWide(size_t end) {
  const size_t m = pattern_.size();
  const unsigned char* bytes = block_.data();
  __m128i first[kMaxProbeBytes];
  __m128i last[kMaxProbeBytes];
  for (size_t i = 0; i < firstBytes_.size(); ++i) first[i] = _mm_set1_epi8(static_cast<char>(firstBytes_[i]));
  for (size_t i = 0; i < lastBytes_.size(); ++i) last[i] = _mm_set1_epi8(static_cast<char>(lastBytes_[i]));
  size_t pos = 0;
  size_t skipUntil = 0;  // places before this lie in an entry already found
  for (; pos + m - 1 + 16 <= end; pos += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos + m - 1));
    __m128i f = _mm_cmpeq_epi8(a, first[0]);
    for (size_t i = 1; i < firstBytes_.size(); ++i) f = _mm_or_si128(f, _mm_cmpeq_epi8(a, first[i]));
    __m128i l = _mm_setzero_si128();
    for (size_t i = 0; i < lastBytes_.size(); ++i) l = _mm_or_si128(l, _mm_cmpeq_epi8(b, last[i]));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(f, l)));
    while (mask != 0) {
      const size_t at = pos + static_cast<size_t>(__builtin_ctz(mask));
      mask &= mask - 1;
      if (at < skipUntil || !MatchesAt(at)) continue;
      const size_t entry = at / recordLength_;
      candidate_[entry] = 1;
      skipUntil = (entry + 1) * recordLength_;
    }
  }
  for (; pos + m <= end; ++pos) {
    if (pos < skipUntil || !MatchesAt(pos)) continue;
    const size_t entry = pos / recordLength_;
    candidate_[entry] = 1;
    skipUntil = (entry + 1) * recordLength_;
  }
}
#endif

}  // namespace kelvarin::reports
