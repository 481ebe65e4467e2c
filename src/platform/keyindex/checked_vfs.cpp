#include "platform/keyindex/checked_vfs.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <vector>

namespace kelvarin::platform {
namespace {

uint32_t ReadBe32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

uint32_t ReadLe32(const unsigned char* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

uint64_t ReadLe64(const unsigned char* p) { return ReadLe32(p) | (uint64_t{ReadLe32(p + 4)} << 32); }

void WriteLe32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Whether a database header asks for page trailers.
bool HeaderWantsTrailers(const unsigned char* header) {
  return std::memcmp(header, "SQLite format 3", 16) == 0 && header[20] == kPageTrailerBytes &&
         ReadBe32(header + 68) == kKeyIndexAppId;
}

// The salt the header keeps (its user version).
uint32_t HeaderSalt(const unsigned char* header) { return ReadBe32(header + 60); }

// Two running sums over the 32-bit words before the checksum (a Fletcher
// sum): every byte and the order of the words count, the salt and the page
// number too.
uint64_t Checksum(const unsigned char* page, size_t pageSize) {
  uint32_t s1 = 0x9E3779B9u;
  uint32_t s2 = 0x7F4A7C15u;
  const size_t n = pageSize - 8;
  for (size_t i = 0; i + 8 <= n; i += 8) {
    s1 += ReadLe32(page + i) + s2;
    s2 += ReadLe32(page + i + 4) + s1;
  }
  return (uint64_t{s1} << 32) | s2;
}

}  // namespace

void SealPage(unsigned char* page, size_t pageSize, uint32_t pageNumber, uint32_t salt) {
  unsigned char* trailer = page + pageSize - kPageTrailerBytes;
  WriteLe32(trailer, salt);
  WriteLe32(trailer + 4, pageNumber);
  const uint64_t sum = Checksum(page, pageSize);
  WriteLe32(trailer + 8, static_cast<uint32_t>(sum));
  WriteLe32(trailer + 12, static_cast<uint32_t>(sum >> 32));
}

bool PageSealOk(const unsigned char* page, size_t pageSize, uint32_t pageNumber, uint32_t salt) {
  if (pageSize < 512 || pageSize % 8 != 0) return false;
  const unsigned char* trailer = page + pageSize - kPageTrailerBytes;
  return ReadLe32(trailer) == salt && ReadLe32(trailer + 4) == pageNumber &&
         ReadLe64(trailer + 8) == Checksum(page, pageSize);
}

bool PageSealed(const unsigned char* page, size_t pageSize) {
  const unsigned char* trailer = page + pageSize - kPageTrailerBytes;
  return PageSealOk(page, pageSize, ReadLe32(trailer + 4), ReadLe32(trailer));
}

struct CheckedVfs::State {
  sqlite3_vfs vfs{};
  sqlite3_vfs* real = nullptr;
  std::atomic<int> faultCode{0};
  int faultErrno = 0;
  int64_t faultBudget = 0;
  int lastFaultErrno = 0;
};

namespace {

using State = CheckedVfs::State;

struct File {
  sqlite3_file base;  // must come first
  State* state;
  bool mainDb;
  bool checked;   // the header asks for page trailers
  uint32_t salt;  // the header's
  std::vector<unsigned char>* scratch;
  sqlite3_file* Real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
  void ReadHeader(const unsigned char* header) {
    checked = HeaderWantsTrailers(header);
    salt = HeaderSalt(header);
  }
};

File* AsFile(sqlite3_file* f) { return reinterpret_cast<File*>(f); }

int Close(sqlite3_file* f) {
  File* p = AsFile(f);
  int rc = p->Real()->pMethods ? p->Real()->pMethods->xClose(p->Real()) : SQLITE_OK;
  delete p->scratch;
  p->scratch = nullptr;
  return rc;
}

bool PageSized(int amount) { return amount >= 512 && amount <= 65536 && (amount & (amount - 1)) == 0; }

uint32_t PageNumber(sqlite3_int64 offset, int pageSize) { return static_cast<uint32_t>(offset / pageSize + 1); }

int Read(sqlite3_file* f, void* buf, int amount, sqlite3_int64 offset) {
  File* p = AsFile(f);
  int rc = p->Real()->pMethods->xRead(p->Real(), buf, amount, offset);
  if (rc != SQLITE_OK || !p->mainDb) return rc;
  auto* bytes = static_cast<unsigned char*>(buf);
  // The header is read first on every open: it says whether the pages carry
  // trailers, and the salt they carry.
  if (offset == 0 && amount >= 100) p->ReadHeader(bytes);
  if (p->checked && PageSized(amount) && offset % amount == 0 &&
      !PageSealOk(bytes, static_cast<size_t>(amount), PageNumber(offset, amount), p->salt))
    return SQLITE_IOERR_DATA;
  return SQLITE_OK;
}

bool Faulted(State* s, int amount) {
  if (s->faultCode.load() == 0) return false;
  if (s->faultBudget >= amount) {
    s->faultBudget -= amount;
    return false;
  }
  s->lastFaultErrno = s->faultErrno;
  return true;
}

int Write(sqlite3_file* f, const void* buf, int amount, sqlite3_int64 offset) {
  File* p = AsFile(f);
  if (Faulted(p->state, amount)) return p->state->faultCode.load();
  if (p->mainDb) {
    const auto* bytes = static_cast<const unsigned char*>(buf);
    if (offset == 0 && amount >= 100) p->ReadHeader(bytes);
    if (p->checked && PageSized(amount) && offset % amount == 0) {
      // The page cache's buffer is not ours to change: seal a copy.
      p->scratch->assign(bytes, bytes + amount);
      unsigned char* page = p->scratch->data();
      SealPage(page, static_cast<size_t>(amount), PageNumber(offset, amount), p->salt);
      return p->Real()->pMethods->xWrite(p->Real(), page, amount, offset);
    }
  }
  return p->Real()->pMethods->xWrite(p->Real(), buf, amount, offset);
}

int Truncate(sqlite3_file* f, sqlite3_int64 size) { return AsFile(f)->Real()->pMethods->xTruncate(AsFile(f)->Real(), size); }
int Sync(sqlite3_file* f, int flags) { return AsFile(f)->Real()->pMethods->xSync(AsFile(f)->Real(), flags); }
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
  return AsFile(f)->Real()->pMethods->xFileSize(AsFile(f)->Real(), size);
}
int Lock(sqlite3_file* f, int level) { return AsFile(f)->Real()->pMethods->xLock(AsFile(f)->Real(), level); }
int Unlock(sqlite3_file* f, int level) { return AsFile(f)->Real()->pMethods->xUnlock(AsFile(f)->Real(), level); }
int CheckReserved(sqlite3_file* f, int* out) {
  return AsFile(f)->Real()->pMethods->xCheckReservedLock(AsFile(f)->Real(), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
  return AsFile(f)->Real()->pMethods->xFileControl(AsFile(f)->Real(), op, arg);
}
int SectorSize(sqlite3_file* f) { return AsFile(f)->Real()->pMethods->xSectorSize(AsFile(f)->Real()); }
int DeviceCharacteristics(sqlite3_file* f) {
  return AsFile(f)->Real()->pMethods->xDeviceCharacteristics(AsFile(f)->Real());
}

// Version 1: no shared memory (no WAL) and no memory-mapped reads, which
// would pass by the checks.
const sqlite3_io_methods kMethods = {1,     Close,         Read,      Write,         Truncate,    Sync,
                                     FileSize, Lock,       Unlock,    CheckReserved, FileControl, SectorSize,
                                     DeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

State* StateOf(sqlite3_vfs* vfs) { return static_cast<State*>(vfs->pAppData); }

int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
  State* s = StateOf(vfs);
  File* p = AsFile(f);
  p->base.pMethods = nullptr;
  p->state = s;
  p->mainDb = (flags & SQLITE_OPEN_MAIN_DB) != 0;
  p->checked = false;
  p->salt = 0;
  p->scratch = nullptr;
  std::memset(p->Real(), 0, static_cast<size_t>(s->real->szOsFile));
  int rc = s->real->xOpen(s->real, name, p->Real(), flags, outFlags);
  if (rc != SQLITE_OK) return rc;
  p->scratch = new std::vector<unsigned char>();
  p->base.pMethods = &kMethods;
  return SQLITE_OK;
}

int Delete(sqlite3_vfs* vfs, const char* name, int syncDir) {
  return StateOf(vfs)->real->xDelete(StateOf(vfs)->real, name, syncDir);
}
int Access(sqlite3_vfs* vfs, const char* name, int flags, int* out) {
  return StateOf(vfs)->real->xAccess(StateOf(vfs)->real, name, flags, out);
}
int FullPathname(sqlite3_vfs* vfs, const char* name, int n, char* out) {
  return StateOf(vfs)->real->xFullPathname(StateOf(vfs)->real, name, n, out);
}
void* DlOpen(sqlite3_vfs* vfs, const char* name) { return StateOf(vfs)->real->xDlOpen(StateOf(vfs)->real, name); }
void DlError(sqlite3_vfs* vfs, int n, char* out) { StateOf(vfs)->real->xDlError(StateOf(vfs)->real, n, out); }
void (*DlSym(sqlite3_vfs* vfs, void* h, const char* sym))(void) {
  return StateOf(vfs)->real->xDlSym(StateOf(vfs)->real, h, sym);
}
void DlClose(sqlite3_vfs* vfs, void* h) { StateOf(vfs)->real->xDlClose(StateOf(vfs)->real, h); }
int Randomness(sqlite3_vfs* vfs, int n, char* out) { return StateOf(vfs)->real->xRandomness(StateOf(vfs)->real, n, out); }
int SleepFor(sqlite3_vfs* vfs, int us) { return StateOf(vfs)->real->xSleep(StateOf(vfs)->real, us); }
int CurrentTime(sqlite3_vfs* vfs, double* out) { return StateOf(vfs)->real->xCurrentTime(StateOf(vfs)->real, out); }
int GetLastError(sqlite3_vfs* vfs, int n, char* out) {
  State* s = StateOf(vfs);
  if (s->lastFaultErrno != 0) {
    int e = s->lastFaultErrno;
    s->lastFaultErrno = 0;
    return e;
  }
  return s->real->xGetLastError ? s->real->xGetLastError(s->real, n, out) : 0;
}
int CurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* out) {
  sqlite3_vfs* real = StateOf(vfs)->real;
  if (real->iVersion >= 2 && real->xCurrentTimeInt64) return real->xCurrentTimeInt64(real, out);
  double days = 0;
  int rc = real->xCurrentTime(real, &days);
  *out = static_cast<sqlite3_int64>(days * 86400000.0);
  return rc;
}

}  // namespace

CheckedVfs::CheckedVfs() : state_(new State) {
  static std::atomic<unsigned> serial{0};
  name_ = "kelvarin-checked-" + std::to_string(++serial);
  sqlite3_initialize();
  State& s = *state_;
  s.real = sqlite3_vfs_find(nullptr);
  sqlite3_vfs& v = s.vfs;
  v.iVersion = 2;
  v.szOsFile = static_cast<int>(sizeof(File)) + s.real->szOsFile;
  v.mxPathname = s.real->mxPathname;
  v.zName = name_.c_str();
  v.pAppData = state_;
  v.xOpen = Open;
  v.xDelete = Delete;
  v.xAccess = Access;
  v.xFullPathname = FullPathname;
  v.xDlOpen = DlOpen;
  v.xDlError = DlError;
  v.xDlSym = DlSym;
  v.xDlClose = DlClose;
  v.xRandomness = Randomness;
  v.xSleep = SleepFor;
  v.xCurrentTime = CurrentTime;
  v.xGetLastError = GetLastError;
  v.xCurrentTimeInt64 = CurrentTimeInt64;
  sqlite3_vfs_register(&v, 0);
}

CheckedVfs::~CheckedVfs() {
  sqlite3_vfs_unregister(&state_->vfs);
  delete state_;
}

void CheckedVfs::FailWrites(int sqliteCode, int errnoValue, int64_t afterBytes) {
  state_->faultErrno = errnoValue;
  state_->faultBudget = afterBytes;
  state_->lastFaultErrno = 0;
  state_->faultCode.store(sqliteCode);
}

}  // namespace kelvarin::platform
