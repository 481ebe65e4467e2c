// A quick look at the data file's bytes that tells which entries cannot
// hold a text, so that a walk over a large catalog decodes only the few that
// may.
//
// The entries are read in large blocks straight from the open catalog's data
// file and searched for the text as the entries would show it: each stored
// byte is taken through the same code-page conversion as when an entry is
// read (and, without case sensitivity, the same upper-casing as the
// substring functions), so an entry whose fields hold the text is never
// passed over. A hit that spans two fields or two entries only costs a
// needless read.
//
//   RawEntryScan scan(store, text, caseSensitive);
//   for (n ...) if (scan.MayHold(n)) { read entry n, look closely }
//
// Entries must be asked for in ascending order; an entry written after its
// block was read is not seen again (callers write only the entry in hand).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "store/store.h"

namespace kelvarin::reports {

class RawEntryScan {
 public:
  RawEntryScan(store::Store& store, const std::string& text, bool caseSensitive);

  // False only when entry n's bytes cannot hold the text. True when the
  // data file could not be read there (the entry's own read then decides).
  bool MayHold(int64_t n);

 private:
  // Stored bytes per probed character beyond which the wide scan would
  // cost more than it saves.
  static constexpr size_t kMaxProbeBytes = 4;

  void LoadBlock(int64_t first);
  void ScanBlock();
  bool MatchesAt(size_t pos) const;
  void ScanNarrow(size_t end);
  void ScanWide(size_t end);

  store::Store& store_;
  std::array<unsigned char, 256> fold_{};     // stored byte -> compared character
  std::array<size_t, 256> shift_{};           // skip table by compared character
  std::string pattern_;                       // compared characters
  // The stored bytes that show as the pattern's first and last characters.
  std::vector<unsigned char> firstBytes_;
  std::vector<unsigned char> lastBytes_;
  size_t recordLength_ = 0;
  int64_t entriesPerBlock_ = 0;
  int64_t blockFirst_ = -1;  // entry number of the block's first entry
  int64_t blockCount_ = 0;   // entries read into the block
  bool blockReadable_ = false;
  std::vector<unsigned char> block_;
  std::vector<uint8_t> candidate_;
};

}  // namespace kelvarin::reports
