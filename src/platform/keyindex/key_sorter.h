// Sorts (upper-case key, entry number, key as added) triples for a rebuild
// with a fixed amount of memory: triples gather in a buffer of at most
// kRunBytes; a full buffer is sorted and written to an unnamed temporary
// file; the end merges the files. A catalog of any size costs the same
// memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarin::platform {

class KeySorter {
 public:
  static constexpr size_t kRunBytes = 4u << 20;

  KeySorter();
  ~KeySorter();
  KeySorter(const KeySorter&) = delete;
  KeySorter& operator=(const KeySorter&) = delete;

  // Keys are at most 255 bytes; upper and key have the same length.
  // False when a temporary file cannot be written.
  bool Add(std::string_view upper, std::string_view key, int32_t entry);

  // Hands every triple over in order (upper key, then entry number); a false
  // return of `take` stops. False when a temporary file failed.
  bool Drain(const std::function<bool(std::string_view upper, int32_t entry, std::string_view key)>& take);

  size_t Runs() const { return runs_.size(); }

 private:
  bool Spill();
  void SortBuffer();

  std::vector<unsigned char> arena_;
  std::vector<uint32_t> offsets_;
  std::vector<std::FILE*> runs_;
};

}  // namespace kelvarin::platform
