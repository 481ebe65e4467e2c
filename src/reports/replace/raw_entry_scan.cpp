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

// Horspool's search over the compared characters, restarting at the next
// entry after each hit.
void RawEntryScan::ScanBlock() {
  candidate_.assign(static_cast<size_t>(blockCount_), 0);
  const size_t m = pattern_.size();
  const size_t end = static_cast<size_t>(blockCount_) * recordLength_;
  const unsigned char last = static_cast<unsigned char>(pattern_[m - 1]);
  const unsigned char* bytes = block_.data();
  size_t pos = 0;
  while (pos + m <= end) {
    const unsigned char c = fold_[bytes[pos + m - 1]];
    if (c == last) {
      size_t k = 0;
      while (k + 1 < m && fold_[bytes[pos + k]] == static_cast<unsigned char>(pattern_[k])) ++k;
      if (k + 1 >= m) {
        const size_t entry = pos / recordLength_;
        candidate_[entry] = 1;
        pos = (entry + 1) * recordLength_;
        continue;
      }
    }
    pos += shift_[c];
  }
}

}  // namespace kelvarin::reports
