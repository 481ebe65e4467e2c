#include "platform/keyindex/key_sorter.h"

#include <algorithm>
#include <cstring>
#include <queue>

namespace kelvarin::platform {
namespace {

// A triple in the buffer and in the run files: length n, n bytes of the
// upper-case key, n bytes of the key, the entry number (4 bytes).
struct Rec {
  const unsigned char* p;
  size_t Len() const { return p[0]; }
  std::string_view Upper() const { return {reinterpret_cast<const char*>(p + 1), Len()}; }
  std::string_view Key() const { return {reinterpret_cast<const char*>(p + 1 + Len()), Len()}; }
  int32_t Entry() const {
    int32_t e;
    std::memcpy(&e, p + 1 + 2 * Len(), 4);
    return e;
  }
  size_t Size() const { return 1 + 2 * Len() + 4; }
};

bool Less(Rec a, Rec b) {
  int c = a.Upper().compare(b.Upper());
  return c != 0 ? c < 0 : a.Entry() < b.Entry();
}

// One run file read back record by record.
struct RunReader {
  std::FILE* f = nullptr;
  unsigned char rec[1 + 2 * 255 + 4];
  bool Next() {
    int n = std::fgetc(f);
    if (n == EOF) return false;
    rec[0] = static_cast<unsigned char>(n);
    size_t rest = 2 * static_cast<size_t>(n) + 4;
    return std::fread(rec + 1, 1, rest, f) == rest;
  }
};

}  // namespace

KeySorter::KeySorter() { arena_.reserve(kRunBytes); }

KeySorter::~KeySorter() {
  for (std::FILE* f : runs_) std::fclose(f);
}

bool KeySorter::Add(std::string_view upper, std::string_view key, int32_t entry) {
  const size_t n = std::min<size_t>({upper.size(), key.size(), 255});
  const size_t size = 1 + 2 * n + 4;
  if (arena_.size() + size > kRunBytes && !Spill()) return false;
  const size_t at = arena_.size();
  offsets_.push_back(static_cast<uint32_t>(at));
  arena_.resize(at + size);
  unsigned char* p = arena_.data() + at;
  p[0] = static_cast<unsigned char>(n);
  std::memcpy(p + 1, upper.data(), n);
  std::memcpy(p + 1 + n, key.data(), n);
  std::memcpy(p + 1 + 2 * n, &entry, 4);
  return true;
}

void KeySorter::SortBuffer() {
  const unsigned char* base = arena_.data();
  std::sort(offsets_.begin(), offsets_.end(),
            [base](uint32_t a, uint32_t b) { return Less(Rec{base + a}, Rec{base + b}); });
}

bool KeySorter::Spill() {
  if (offsets_.empty()) return true;
  SortBuffer();
  std::FILE* f = std::tmpfile();
  if (!f) return false;
  runs_.push_back(f);
  const unsigned char* base = arena_.data();
  for (uint32_t off : offsets_) {
    Rec r{base + off};
    if (std::fwrite(r.p, 1, r.Size(), f) != r.Size()) return false;
  }
  if (std::fflush(f) != 0) return false;
  arena_.clear();
  offsets_.clear();
  return true;
}

bool KeySorter::Drain(const std::function<bool(std::string_view, int32_t, std::string_view)>& take) {
  if (runs_.empty()) {
    SortBuffer();
    for (uint32_t off : offsets_) {
      Rec r{arena_.data() + off};
      if (!take(r.Upper(), r.Entry(), r.Key())) break;
    }
    return true;
  }
  if (!Spill()) return false;
  // The buffer is not needed while merging.
  std::vector<unsigned char>().swap(arena_);
  std::vector<uint32_t>().swap(offsets_);
  std::vector<RunReader> readers(runs_.size());
  auto later = [&](size_t a, size_t b) { return Less(Rec{readers[b].rec}, Rec{readers[a].rec}); };
  std::priority_queue<size_t, std::vector<size_t>, decltype(later)> heap(later);
  for (size_t i = 0; i < runs_.size(); ++i) {
    readers[i].f = runs_[i];
    if (std::fseek(runs_[i], 0, SEEK_SET) != 0) return false;
    if (readers[i].Next()) heap.push(i);
  }
  bool ok = true;
  while (!heap.empty()) {
    size_t i = heap.top();
    heap.pop();
    Rec r{readers[i].rec};
    if (!take(r.Upper(), r.Entry(), r.Key())) break;
    if (readers[i].Next()) heap.push(i);
    else ok = ok && !std::ferror(readers[i].f);
  }
  for (std::FILE* f : runs_) std::fclose(f);
  runs_.clear();
  return ok;
}

}  // namespace kelvarin::platform
