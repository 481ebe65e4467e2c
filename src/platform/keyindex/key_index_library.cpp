#include "platform/keyindex/key_index_library.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unordered_map>

#include "platform/files/file_names.h"
#include "platform/keyindex/checked_vfs.h"
#include "platform/keyindex/key_sorter.h"
#include "platform/text/codepage.h"

namespace kelvarin::platform {
namespace {

constexpr const char* kMagic = "kelvarin key index 3";
// The first layout, before page checksums: a rowid table with a covering
// index. (The second had checksums that did not name the page's place; its
// header reserves fewer bytes per page.)
constexpr const char* kEarlierMagic = "kelvarin key index 1";
// How long a change waits for another program's hold on the file to end.
constexpr int kBusyWaitMs = 2000;

std::string CutKey(std::string_view key) {
  return std::string(key.substr(0, std::min(key.size(), KeyIndexLibrary::kMaxKey)));
}

bool Exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK) {
    sqlite3_finalize(s);
    return nullptr;
  }
  return s;
}

void BindBlob(sqlite3_stmt* s, int i, std::string_view v) {
  sqlite3_bind_blob(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
}

std::string ColumnBlob(sqlite3_stmt* s, int i) {
  const void* p = sqlite3_column_blob(s, i);
  int n = sqlite3_column_bytes(s, i);
  return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
}

// The file's identity on disk; 0 when it does not exist.
uint64_t FileIdentity(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return (static_cast<uint64_t>(st.st_dev) << 40) ^ static_cast<uint64_t>(st.st_ino);
}

std::string CanonicalPath(const std::string& path) {
  std::error_code ec;
  auto p = std::filesystem::weakly_canonical(path, ec);
  return ec ? path : p.string();
}

std::string ParentOf(const std::string& path) {
  std::string parent = std::filesystem::path(path).parent_path().string();
  return parent.empty() ? "." : parent;
}

const char* kDamaged = "The index file is damaged.";
const char* kNotAnIndex = "The file is not a key index of this program; it has been left as it is.";
const char* kFolderInPlace = "A folder stands in the place of the file.";
const char* kInUse = "The file is in use by another program.";
const char* kOutOfStep = "The index is out of step with the catalog.";

std::string CauseOfErrno(int e) {
  switch (e) {
    case ENOSPC:
    case EDQUOT: return "The disk is full.";
    case EROFS:
    case EACCES:
    case EPERM: return "The file or its folder is read-only.";
    case EISDIR: return kFolderInPlace;
    case ENOENT:
    case ENOTDIR: return "The folder does not exist.";
    default: return std::string("The file cannot be read or written (") + std::strerror(e) + ").";
  }
}

std::string CauseOfSql(sqlite3* db, int rc) {
  const int primary = rc & 0xff;
  if (primary == SQLITE_FULL) return CauseOfErrno(ENOSPC);
  if (primary == SQLITE_READONLY) return CauseOfErrno(EROFS);
  // Before the system's error: a lock refused leaves EACCES or EAGAIN there.
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) return kInUse;
  if (rc == SQLITE_IOERR_DATA || primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) return kDamaged;
  const int sys = db ? sqlite3_system_errno(db) : 0;
  if (sys != 0) return CauseOfErrno(sys);
  return std::string("The file cannot be read or written (") + sqlite3_errstr(rc) + ").";
}

uint32_t ReadBe32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// Reads one text value of the meta table; nullopt when it cannot be read.
std::optional<std::string> MetaValue(sqlite3* db, const char* k) {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT v FROM meta WHERE k = ?1", -1, &s, nullptr) != SQLITE_OK) {
    sqlite3_finalize(s);
    return std::nullopt;
  }
  sqlite3_bind_text(s, 1, k, -1, SQLITE_STATIC);
  std::optional<std::string> v;
  int rc = sqlite3_step(s);
  if (rc == SQLITE_ROW) v = ColumnBlob(s, 0);
  else if (rc == SQLITE_DONE) v = std::string();
  sqlite3_finalize(s);
  return v;
}

// Whether the file is an index of the earlier layout (read-only look).
bool IsEarlierIndex(const std::string& path) {
  sqlite3* db = nullptr;
  bool yes = false;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
    auto magic = MetaValue(db, "magic");
    yes = magic && *magic == kEarlierMagic;
  }
  sqlite3_close(db);
  return yes;
}

enum class FileKind { Missing, Ours, Earlier, Damaged, Foreign, Folder, Unreadable };

// What stands at an index path, from its first two pages.
FileKind Classify(const std::string& path, int* error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    *error = errno;
    return errno == ENOENT ? FileKind::Missing : FileKind::Unreadable;
  }
  if (S_ISDIR(st.st_mode)) return FileKind::Folder;
  if (!S_ISREG(st.st_mode)) return FileKind::Foreign;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = errno;
    return FileKind::Unreadable;
  }
  std::vector<unsigned char> pages(2 * kKeyIndexPageSize);
  ssize_t got = ::pread(fd, pages.data(), pages.size(), 0);
  *error = errno;
  ::close(fd);
  if (got < 0) return FileKind::Unreadable;
  const size_t n = static_cast<size_t>(got);
  if (n >= 100 && std::memcmp(pages.data(), "SQLite format 3", 16) == 0) {
    uint32_t appId = ReadBe32(pages.data() + 68);
    if (appId == kKeyIndexAppId) {
      if (pages[20] == kPageTrailerBytes) return FileKind::Ours;
      return pages[20] == kEarlierTrailerBytes ? FileKind::Earlier : FileKind::Damaged;
    }
    if (appId == 0 && IsEarlierIndex(path)) return FileKind::Earlier;
  }
  // A header beyond recognition: the file is still ours when one of its
  // first two pages carries our trailer (for whatever place: pages may have
  // been swapped), which another file's bytes match by chance once in 2^64.
  if (n == pages.size() &&
      (PageSealed(pages.data(), kKeyIndexPageSize) || PageSealed(pages.data() + kKeyIndexPageSize, kKeyIndexPageSize)))
    return FileKind::Damaged;
  return FileKind::Foreign;
}

bool SyncPath(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

// Feeds a rebuild's keys into the sorter, cut and upper-cased.
class SorterSink : public KeySink {
 public:
  explicit SorterSink(KeySorter& sorter) : sorter_(sorter) {}
  bool Add(std::string_view key, int32_t entry) override {
    if (!ok_) return false;
    key = key.substr(0, std::min(key.size(), KeyIndexLibrary::kMaxKey));
    upper_ = AnsiUpperString(key);
    ok_ = sorter_.Add(upper_, key, entry);
    return ok_;
  }
  bool ok() const { return ok_; }

 private:
  KeySorter& sorter_;
  std::string upper_;
  bool ok_ = true;
};

}  // namespace

struct KeyIndexLibrary::Connection {
  sqlite3* db = nullptr;
  std::string path;      // canonical
  std::string openPath;  // as given
  uint64_t identity = 0;
  bool inBatch = false;
  bool batchFailed = false;  // a change of the batch failed: it was rolled back
  bool damaged = false;
  // Keys were removed whose entries never got theirs back: the index may be
  // out of step with its data file until it is built again.
  bool stale = false;
  // The removals and re-adds of the transaction in hand, undone on rollback.
  struct Pairing {
    Handle* handle;
    int32_t entry;
    int delta;
  };
  std::vector<Pairing> transaction;
  std::string owner;
  std::vector<Handle*> handles;
  sqlite3_stmt* insert = nullptr;
  sqlite3_stmt* removeOne = nullptr;
  sqlite3_stmt* addMeta = nullptr;
  sqlite3_stmt* getMeta = nullptr;

  ~Connection() { Close(); }
  void Close() {
    for (sqlite3_stmt** s : {&insert, &removeOne, &addMeta, &getMeta}) {
      sqlite3_finalize(*s);
      *s = nullptr;
    }
    if (db) {
      if (inBatch) Exec(db, "COMMIT");
      inBatch = false;
      sqlite3_close(db);
      db = nullptr;
    }
  }
  bool PrepareAll() {
    // A pair added twice gets the next sequence number, so that every row
    // has a key of its own.
    insert = Prepare(db,
                     "INSERT INTO keys(ukey, entry, seq, key) SELECT ?1, ?2, COALESCE(MAX(seq) + 1, 0), ?3 "
                     "FROM keys WHERE ukey = ?1 AND entry = ?2");
    removeOne = Prepare(db,
                        "DELETE FROM keys WHERE ukey = ?1 AND entry = ?2 AND seq = "
                        "(SELECT MAX(seq) FROM keys WHERE ukey = ?1 AND entry = ?2)");
    addMeta = Prepare(db, "UPDATE meta SET v = v + ?2 WHERE k = ?1");
    getMeta = Prepare(db, "SELECT v FROM meta WHERE k = ?1");
    return insert && removeOne && addMeta && getMeta;
  }
  int AddMeta(const char* k, int64_t delta) {
    sqlite3_bind_text(addMeta, 1, k, -1, SQLITE_STATIC);
    sqlite3_bind_int64(addMeta, 2, delta);
    int rc = sqlite3_step(addMeta);
    sqlite3_reset(addMeta);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
  }
  int64_t MetaNumber(const char* k) {
    sqlite3_bind_text(getMeta, 1, k, -1, SQLITE_STATIC);
    int64_t n = sqlite3_step(getMeta) == SQLITE_ROW ? sqlite3_column_int64(getMeta, 0) : 0;
    sqlite3_reset(getMeta);
    return n;
  }
  int64_t Count() { return MetaNumber("count"); }
  // A change outside a batch is a transaction of its own.
  int Begin() { return inBatch ? SQLITE_OK : sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr); }
  int Commit() { return inBatch ? SQLITE_OK : sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); }
  void Rollback() {
    if (!inBatch) Exec(db, "ROLLBACK");
  }
};

struct KeyIndexLibrary::Handle {
  std::shared_ptr<Connection> conn;
  sqlite3_stmt* first = nullptr;
  sqlite3_stmt* last = nullptr;
  sqlite3_stmt* forward = nullptr;   // keys after the position
  sqlite3_stmt* backward = nullptr;  // keys before the position
  sqlite3_stmt* find = nullptr;      // keys not below a given key
  sqlite3_stmt* live = nullptr;      // the statement mid-walk, if any
  int liveDir = 0;
  // Entries whose key this handle removed and has not added back yet, with
  // how many times.
  std::unordered_map<int32_t, int> removed;
  bool positioned = false;
  std::string posU;
  int64_t posEntry = 0;
  int64_t posSeq = 0;

  ~Handle() { Finalize(); }
  void Finalize() {
    live = nullptr;
    liveDir = 0;
    for (sqlite3_stmt** s : {&first, &last, &forward, &backward, &find}) {
      sqlite3_finalize(*s);
      *s = nullptr;
    }
  }
  bool PrepareAll() {
    sqlite3* db = conn->db;
    first = Prepare(db, "SELECT key, entry, ukey, seq FROM keys ORDER BY ukey, entry, seq");
    last = Prepare(db, "SELECT key, entry, ukey, seq FROM keys ORDER BY ukey DESC, entry DESC, seq DESC");
    forward = Prepare(db,
                      "SELECT key, entry, ukey, seq FROM keys WHERE (ukey, entry, seq) > (?1, ?2, ?3) "
                      "ORDER BY ukey, entry, seq");
    backward = Prepare(db,
                       "SELECT key, entry, ukey, seq FROM keys WHERE (ukey, entry, seq) < (?1, ?2, ?3) "
                       "ORDER BY ukey DESC, entry DESC, seq DESC");
    find = Prepare(db, "SELECT key, entry, ukey, seq FROM keys WHERE ukey >= ?1 ORDER BY ukey, entry, seq");
    return first && last && forward && backward && find;
  }
  void Drop() {
    if (live) sqlite3_reset(live);
    live = nullptr;
    liveDir = 0;
  }
  // Steps the live statement; on a row moves the position there. Returns
  // the SQLite result.
  int Step(KeyEntry* out, bool withKey = true) {
    int rc = sqlite3_step(live);
    if (rc == SQLITE_ROW) {
      const void* u = sqlite3_column_blob(live, 2);
      posU.assign(u ? static_cast<const char*>(u) : "", static_cast<size_t>(sqlite3_column_bytes(live, 2)));
      posEntry = sqlite3_column_int64(live, 1);
      posSeq = sqlite3_column_int64(live, 3);
      positioned = true;
      if (out) {
        if (withKey) out->key = ColumnBlob(live, 0);
        out->entry = static_cast<int32_t>(posEntry);
      }
      return rc;
    }
    Drop();
    return rc;
  }
  int Start(sqlite3_stmt* s, int dir, KeyEntry* out, bool withKey = true) {
    Drop();
    live = s;
    liveDir = dir;
    return Step(out, withKey);
  }
  void BindPosition(sqlite3_stmt* s) {
    sqlite3_bind_blob(s, 1, posU.data(), static_cast<int>(posU.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 2, posEntry);
    sqlite3_bind_int64(s, 3, posSeq);
  }
};

KeyIndexLibrary::KeyIndexLibrary() : vfs_(std::make_unique<CheckedVfs>()) {}
KeyIndexLibrary::~KeyIndexLibrary() { InitIndexes(); }

int KeyIndexLibrary::InitIndexes() {
  for (size_t i = 0; i < handles_.size(); ++i)
    if (handles_[i]) CloseNDX(static_cast<int16_t>(i));
  handles_.clear();
  connections_.clear();
  return kKeyOk;
}

KeyIndexLibrary::Handle* KeyIndexLibrary::Get(int16_t handle) {
  if (handle < 0 || static_cast<size_t>(handle) >= handles_.size()) return nullptr;
  return handles_[static_cast<size_t>(handle)].get();
}

void KeyIndexLibrary::ResetCursors(Connection& c) {
  for (Handle* h : c.handles) h->Drop();
}

int KeyIndexLibrary::Fail(int result, const std::string& cause) {
  lastError_ = cause;
  return result;
}

int KeyIndexLibrary::FailSql(int result, sqlite3* db, int rc) {
  lastError_ = CauseOfSql(db, rc);
  return result;
}

int KeyIndexLibrary::WalkResult(Handle& h, int rc) {
  if (rc == SQLITE_ROW) return kKeyOk;
  if (rc == SQLITE_DONE) return kKeyNone;
  // Whatever stopped a read, the keys can no longer be trusted to be all
  // there: the caller builds them again.
  h.conn->damaged = true;
  return FailSql(kKeyDamaged, h.conn->db, rc);
}

int KeyIndexLibrary::WriteIndexFile(const std::string& path, const std::string& owner, KeySorter* keys,
                                    int64_t* count) {
  *count = 0;
  std::string temp = IndexRebuildTempPrefix(path) + "XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return Fail(kKeyFileError, CauseOfErrno(errno));
  // The index gets the permissions a file made the usual way would have,
  // or those of the file it replaces.
  struct stat old {};
  mode_t mode;
  if (::stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);
  ::close(fd);
  auto discard = [&](int result) {
    ::unlink(temp.c_str());
    return result;
  };
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, vfs_->Name());
  if (rc != SQLITE_OK) {
    FailSql(kKeyFileError, db, rc);
    sqlite3_close(db);
    return discard(kKeyFileError);
  }
  sqlite3_extended_result_codes(db, 1);
  int reserve = kPageTrailerBytes;
  // A salt of the file's own, so that no page of another index file passes
  // for one of this; kept positive for the pragma.
  uint32_t salt = 0;
  while (salt == 0) {
    sqlite3_randomness(sizeof salt, &salt);
    salt &= 0x7FFFFFFFu;
  }
  sqlite3_file_control(db, "main", SQLITE_FCNTL_RESERVE_BYTES, &reserve);
  const std::string setup = "PRAGMA page_size = " + std::to_string(kKeyIndexPageSize) +
                            "; PRAGMA application_id = " + std::to_string(kKeyIndexAppId) +
                            "; PRAGMA user_version = " + std::to_string(salt) +
                            "; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
                            "BEGIN;"
                            "CREATE TABLE meta(k TEXT PRIMARY KEY, v);"
                            "CREATE TABLE keys(ukey BLOB NOT NULL, entry INTEGER NOT NULL, seq INTEGER NOT NULL,"
                            " key BLOB NOT NULL, PRIMARY KEY(ukey, entry, seq)) WITHOUT ROWID;";
  rc = sqlite3_exec(db, setup.c_str(), nullptr, nullptr, nullptr);
  sqlite3_stmt* meta = rc == SQLITE_OK ? Prepare(db, "INSERT INTO meta VALUES(?1, ?2)") : nullptr;
  sqlite3_stmt* insert =
      meta ? Prepare(db, "INSERT INTO keys(ukey, entry, seq, key) VALUES(?1, ?2, ?3, ?4)") : nullptr;
  if (rc == SQLITE_OK && !insert) rc = sqlite3_errcode(db);
  bool sorterOk = true;
  if (rc == SQLITE_OK && keys) {
    std::string prevU;
    int64_t prevEntry = INT64_MIN;
    int64_t seq = 0;
    sorterOk = keys->Drain([&](std::string_view upper, int32_t entry, std::string_view key) {
      seq = (entry == prevEntry && upper == prevU) ? seq + 1 : 0;
      if (seq == 0) {
        prevU.assign(upper);
        prevEntry = entry;
      }
      sqlite3_bind_blob(insert, 1, upper.data(), static_cast<int>(upper.size()), SQLITE_STATIC);
      sqlite3_bind_int64(insert, 2, entry);
      sqlite3_bind_int64(insert, 3, seq);
      sqlite3_bind_blob(insert, 4, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
      int step = sqlite3_step(insert);
      sqlite3_reset(insert);
      if (step != SQLITE_DONE) {
        rc = step;
        return false;
      }
      ++*count;
      return true;
    });
  }
  auto putMeta = [&](const char* k, auto bindValue) {
    if (rc != SQLITE_OK) return;
    sqlite3_reset(meta);
    sqlite3_bind_text(meta, 1, k, -1, SQLITE_STATIC);
    bindValue();
    int step = sqlite3_step(meta);
    if (step != SQLITE_DONE) rc = step;
  };
  putMeta("magic", [&] { sqlite3_bind_text(meta, 2, kMagic, -1, SQLITE_STATIC); });
  putMeta("count", [&] { sqlite3_bind_int64(meta, 2, *count); });
  putMeta("pending", [&] { sqlite3_bind_int64(meta, 2, 0); });
  if (!owner.empty()) putMeta("owner", [&] { BindBlob(meta, 2, owner); });
  sqlite3_finalize(meta);
  sqlite3_finalize(insert);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    FailSql(kKeyFileError, db, rc);
    sqlite3_close(db);
    return discard(kKeyFileError);
  }
  sqlite3_close(db);
  if (!sorterOk) return discard(Fail(kKeyFileError, CauseOfErrno(errno ? errno : EIO)));
  if (!SyncPath(temp, O_RDONLY)) return discard(Fail(kKeyFileError, CauseOfErrno(errno)));
  // A journal left beside the old file would be played into the new one.
  ::unlink((path + "-journal").c_str());
  if (::rename(temp.c_str(), path.c_str()) != 0) return discard(Fail(kKeyFileError, CauseOfErrno(errno)));
  SyncPath(ParentOf(path), O_RDONLY | O_DIRECTORY);
  return kKeyOk;
}

int KeyIndexLibrary::Reopen(Connection& c) {
  for (Handle* h : c.handles) {
    h->Finalize();
    h->removed.clear();
  }
  c.Close();
  c.damaged = false;
  c.stale = false;
  c.transaction.clear();
  int rc = sqlite3_open_v2(c.openPath.c_str(), &c.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, vfs_->Name());
  if (rc != SQLITE_OK) return FailSql(kKeyFileError, c.db, rc);
  sqlite3_extended_result_codes(c.db, 1);
  sqlite3_busy_timeout(c.db, kBusyWaitMs);
  Exec(c.db, "PRAGMA synchronous = NORMAL");
  c.identity = FileIdentity(c.openPath);
  // The open check: the header was checked on the way in; the meta row, the
  // first leaf of the keys and the file's size against the page count in
  // its header. Damage further in is found by the read that meets it.
  // A file another program holds is not damaged for that.
  auto unread = [&] {
    const int err = sqlite3_errcode(c.db);
    return (err & 0xff) == SQLITE_BUSY ? FailSql(kKeyFileError, c.db, err) : Fail(kKeyDamaged, kDamaged);
  };
  auto magic = MetaValue(c.db, "magic");
  if (!magic) return unread();
  if (*magic != kMagic) return Fail(kKeyDamaged, kDamaged);
  auto owner = MetaValue(c.db, "owner");
  if (!owner) return unread();
  c.owner = *owner;
  if (!c.PrepareAll()) return FailSql(kKeyDamaged, c.db, sqlite3_errcode(c.db));
  sqlite3_stmt* s = Prepare(c.db, "SELECT 1 FROM keys LIMIT 1");
  int step = s ? sqlite3_step(s) : SQLITE_ERROR;
  sqlite3_finalize(s);
  if ((step & 0xff) == SQLITE_BUSY) return FailSql(kKeyFileError, c.db, step);
  if (step != SQLITE_ROW && step != SQLITE_DONE) return FailSql(kKeyDamaged, c.db, step);
  sqlite3_stmt* pages = Prepare(c.db, "PRAGMA page_count");
  int64_t pageCount = pages && sqlite3_step(pages) == SQLITE_ROW ? sqlite3_column_int64(pages, 0) : -1;
  sqlite3_finalize(pages);
  struct stat st {};
  if (::stat(c.openPath.c_str(), &st) != 0 || st.st_size != pageCount * kKeyIndexPageSize)
    return Fail(kKeyDamaged, kDamaged);
  if (sqlite3_db_readonly(c.db, "main") == 1) return Fail(kKeyFileError, CauseOfErrno(EROFS));
  for (Handle* h : c.handles)
    if (!h->PrepareAll()) return FailSql(kKeyFileError, c.db, sqlite3_errcode(c.db));
  return kKeyOk;
}

std::shared_ptr<KeyIndexLibrary::Connection> KeyIndexLibrary::Connect(const std::string& path, int mode,
                                                                       KeyIndexOpenInfo* info, int* error) {
  std::string canon = CanonicalPath(path);
  // A file deleted (and perhaps made again) since is not the open index.
  const uint64_t identity = FileIdentity(path);
  auto makeEmpty = [&](Connection& c, bool damaged) -> int {
    int64_t count = 0;
    int rc = WriteIndexFile(path, "", nullptr, &count);
    if (rc == kKeyOk) rc = Reopen(c);
    if (rc != kKeyOk) return rc;
    info->createdEmpty = true;
    info->wasDamaged = damaged;
    return kKeyOk;
  };
  for (auto& weak : connections_) {
    auto c = weak.lock();
    if (!c || c->path != canon || c->identity != identity) continue;
    if (mode == 1 || c->damaged) {
      if (c->inBatch) {
        c->inBatch = false;
        Exec(c->db, "ROLLBACK");
      }
      ResetCursors(*c);
      if ((*error = makeEmpty(*c, c->damaged)) != kKeyOk) return nullptr;
    }
    return c;
  }

  int sysError = 0;
  FileKind kind = Classify(path, &sysError);
  switch (kind) {
    case FileKind::Folder: *error = Fail(kKeyFileError, kFolderInPlace); return nullptr;
    case FileKind::Foreign: *error = Fail(kKeyForeign, kNotAnIndex); return nullptr;
    case FileKind::Unreadable: *error = Fail(kKeyFileError, CauseOfErrno(sysError)); return nullptr;
    default: break;
  }
  auto c = std::make_shared<Connection>();
  c->path = canon;
  c->openPath = path;
  bool fresh = kind != FileKind::Ours || mode == 1;
  if (!fresh) {
    int rc = Reopen(*c);
    if (rc == kKeyDamaged) {
      kind = FileKind::Damaged;
      fresh = true;
    } else if (rc != kKeyOk) {
      *error = rc;
      return nullptr;
    }
  }
  if (fresh && (*error = makeEmpty(*c, kind == FileKind::Damaged)) != kKeyOk) return nullptr;
  std::erase_if(connections_, [](const std::weak_ptr<Connection>& w) { return w.expired(); });
  connections_.push_back(c);
  return c;
}

int16_t KeyIndexLibrary::OpenNDX(const std::string& path, int mode, KeyIndexOpenInfo* info) {
  KeyIndexOpenInfo local;
  if (!info) info = &local;
  *info = {};
  if (mode != 0 && mode != 1) return static_cast<int16_t>(Fail(kKeyFileError, "Bad open mode."));
  size_t slot = 0;
  while (slot < handles_.size() && handles_[slot]) ++slot;
  if (slot >= static_cast<size_t>(kMaxHandles))
    return static_cast<int16_t>(Fail(kKeyTooManyOpen, "Too many key indexes are open."));
  int error = kKeyOk;
  auto conn = Connect(path, mode, info, &error);
  if (!conn) return static_cast<int16_t>(error);
  auto h = std::make_unique<Handle>();
  h->conn = conn;
  if (!h->PrepareAll()) return static_cast<int16_t>(FailSql(kKeyFileError, conn->db, sqlite3_errcode(conn->db)));
  info->keyCount = conn->Count();
  info->outOfStep = conn->stale || conn->MetaNumber("pending") != 0;
  info->owner = conn->owner;
  conn->handles.push_back(h.get());
  if (slot == handles_.size()) handles_.emplace_back();
  handles_[slot] = std::move(h);
  return static_cast<int16_t>(slot);
}

int KeyIndexLibrary::CloseNDX(int16_t handle) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  h->Drop();
  Connection& c = *h->conn;
  // Keys removed and never added back: the entries may hold other keys now.
  if (!h->removed.empty()) c.stale = true;
  std::erase_if(c.transaction, [h](const Connection::Pairing& p) { return p.handle == h; });
  auto& hs = c.handles;
  hs.erase(std::remove(hs.begin(), hs.end(), h), hs.end());
  handles_[static_cast<size_t>(handle)].reset();
  return kKeyOk;
}

int KeyIndexLibrary::Change(Handle& h, const std::string& rawKey, int32_t entry, bool add) {
  Connection& c = *h.conn;
  if (!c.db) return Fail(kKeyDamaged, kDamaged);  // a reopen after a rebuild failed
  // The batch is gone; its failure has been told.
  if (c.inBatch && c.batchFailed) return kKeyFileError;
  std::string key = CutKey(rawKey);
  std::string upper = AnsiUpperString(key);
  ResetCursors(c);
  int rc = c.Begin();
  if (rc != SQLITE_OK) return FailSql(kKeyFileError, c.db, rc);
  sqlite3_stmt* s = add ? c.insert : c.removeOne;
  sqlite3_reset(s);
  BindBlob(s, 1, upper);
  sqlite3_bind_int64(s, 2, entry);
  if (add) BindBlob(s, 3, key);
  rc = sqlite3_step(s);
  sqlite3_reset(s);
  int changed = 0;
  if (rc == SQLITE_DONE) {
    changed = sqlite3_changes(c.db);
    rc = changed > 0 ? c.AddMeta("count", add ? 1 : -1) : SQLITE_OK;
    // A removal marks the index out of step in the file, in the same
    // transaction, until the entry's key comes back through this handle:
    // whatever fails or stops in between, the next opening rebuilds it.
    const int pending = changed == 0 ? 0 : !add ? 1 : h.removed.contains(entry) ? -1 : 0;
    if (pending != 0) {
      if (rc == SQLITE_OK) rc = c.AddMeta("pending", pending);
      // Undone by Settle if the transaction fails.
      if ((h.removed[entry] += pending) == 0) h.removed.erase(entry);
      c.transaction.push_back({&h, entry, pending});
    }
  }
  if (rc == SQLITE_OK) rc = c.Commit();
  if (rc != SQLITE_OK) {
    if (c.inBatch) {
      // SQLite may have rolled back the batch already; whatever it holds
      // goes, and its later changes fail without touching the file.
      Exec(c.db, "ROLLBACK");
      c.batchFailed = true;
    } else {
      c.Rollback();
    }
    Settle(c, false);
    const int primary = rc & 0xff;
    if (rc == SQLITE_IOERR_DATA || primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
      c.damaged = true;
      return FailSql(kKeyDamaged, c.db, rc);
    }
    return FailSql(kKeyFileError, c.db, rc);
  }
  if (!c.inBatch) Settle(c, true);
  return changed > 0 ? kKeyOk : kKeyNone;
}

void KeyIndexLibrary::Settle(Connection& c, bool committed) {
  if (!committed) {
    for (auto p = c.transaction.rbegin(); p != c.transaction.rend(); ++p)
      if ((p->handle->removed[p->entry] -= p->delta) == 0) p->handle->removed.erase(p->entry);
    for (Handle* h : c.handles)
      if (!h->removed.empty()) c.stale = true;
  }
  c.transaction.clear();
}

int KeyIndexLibrary::AddKey(int16_t handle, const std::string& key, int32_t entry) {
  Handle* h = Get(handle);
  return h ? Change(*h, key, entry, true) : kKeyBadHandle;
}

int KeyIndexLibrary::DeleteKey(int16_t handle, const std::string& key, int32_t entry) {
  Handle* h = Get(handle);
  return h ? Change(*h, key, entry, false) : kKeyBadHandle;
}

KeyIndexLibrary::Handle* KeyIndexLibrary::Walker(int16_t handle, int* rc) {
  Handle* h = Get(handle);
  *rc = !h ? kKeyBadHandle : h->conn->stale ? Fail(kKeyStale, kOutOfStep) : kKeyOk;
  return *rc == kKeyOk ? h : nullptr;
}

int KeyIndexLibrary::GetKey(int16_t handle, const std::string& key, KeyEntry* found) {
  int rc;
  Handle* h = Walker(handle, &rc);
  if (!h) return rc;
  std::string upper = AnsiUpperString(CutKey(key));
  h->Drop();
  sqlite3_bind_blob(h->find, 1, upper.data(), static_cast<int>(upper.size()), SQLITE_TRANSIENT);
  rc = WalkResult(*h, h->Start(h->find, +1, found));
  if (rc == kKeyNone) {
    // Past the last key: the walk back starts from the last key.
    h->positioned = true;
    h->posU = upper;
    h->posEntry = INT64_MIN;
    h->posSeq = INT64_MIN;
  }
  return rc;
}

int KeyIndexLibrary::GetFirst(int16_t handle, KeyEntry* found) {
  int rc;
  Handle* h = Walker(handle, &rc);
  return h ? WalkResult(*h, h->Start(h->first, +1, found)) : rc;
}

int KeyIndexLibrary::GetLast(int16_t handle, KeyEntry* found) {
  int rc;
  Handle* h = Walker(handle, &rc);
  return h ? WalkResult(*h, h->Start(h->last, -1, found)) : rc;
}

int KeyIndexLibrary::GetNext(int16_t handle, KeyEntry* found, bool withKey) {
  int rc;
  Handle* h = Walker(handle, &rc);
  if (!h) return rc;
  if (h->live && h->liveDir > 0) return WalkResult(*h, h->Step(found, withKey));
  if (!h->positioned) return WalkResult(*h, h->Start(h->first, +1, found, withKey));
  h->Drop();
  h->BindPosition(h->forward);
  return WalkResult(*h, h->Start(h->forward, +1, found, withKey));
}

int KeyIndexLibrary::GetPrev(int16_t handle, KeyEntry* found, bool withKey) {
  int rc;
  Handle* h = Walker(handle, &rc);
  if (!h) return rc;
  if (h->live && h->liveDir < 0) return WalkResult(*h, h->Step(found, withKey));
  if (!h->positioned) return WalkResult(*h, h->Start(h->last, -1, found, withKey));
  h->Drop();
  h->BindPosition(h->backward);
  return WalkResult(*h, h->Start(h->backward, -1, found, withKey));
}

int KeyIndexLibrary::Rebuild(int16_t handle, const std::function<bool(KeySink&)>& feed) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  Connection& c = *h->conn;
  ResetCursors(c);
  if (c.inBatch) {
    c.inBatch = false;
    Exec(c.db, "COMMIT");
  }
  // A damaged index that is not replaced goes, so that the next open builds
  // it again instead of trusting it.
  auto dropDamaged = [&] {
    if (c.damaged && FileIdentity(c.openPath) == c.identity) {
      ::unlink(c.openPath.c_str());
      ::unlink((c.openPath + "-journal").c_str());
    }
  };
  KeySorter sorter;
  SorterSink sink(sorter);
  const bool go = feed(sink);
  if (!sink.ok()) {
    dropDamaged();
    return Fail(kKeyFileError, CauseOfErrno(errno ? errno : EIO));
  }
  if (!go) {
    dropDamaged();
    return kKeyCancelled;
  }
  int64_t count = 0;
  int rc = WriteIndexFile(c.openPath, c.owner, &sorter, &count);
  if (rc != kKeyOk) {
    dropDamaged();
    return rc;
  }
  return Reopen(c);
}

int KeyIndexLibrary::Rebuild(int16_t handle, std::vector<KeyEntry> keys) {
  return Rebuild(handle, [&](KeySink& sink) {
    for (const KeyEntry& k : keys)
      if (!sink.Add(k.key, k.entry)) return false;
    return true;
  });
}

int64_t KeyIndexLibrary::KeyCount(int16_t handle) {
  Handle* h = Get(handle);
  return h ? h->conn->Count() : static_cast<int64_t>(kKeyBadHandle);
}

int KeyIndexLibrary::SetOwner(int16_t handle, const std::string& owner) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  Connection& c = *h->conn;
  if (!c.db) return Fail(kKeyDamaged, kDamaged);
  sqlite3_stmt* s = Prepare(c.db, "INSERT OR REPLACE INTO meta(k, v) VALUES('owner', ?1)");
  if (!s) return FailSql(kKeyFileError, c.db, sqlite3_errcode(c.db));
  BindBlob(s, 1, owner);
  ResetCursors(c);
  int rc = c.Begin();
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(s);
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  sqlite3_finalize(s);
  if (rc == SQLITE_OK) rc = c.Commit();
  if (rc != SQLITE_OK) {
    c.Rollback();
    return FailSql(kKeyFileError, c.db, rc);
  }
  c.owner = owner;
  return kKeyOk;
}

int KeyIndexLibrary::BeginBatch(int16_t handle) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  Connection& c = *h->conn;
  if (c.inBatch) return kKeyOk;
  if (!c.db) return Fail(kKeyDamaged, kDamaged);
  ResetCursors(c);
  int rc = sqlite3_exec(c.db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) return FailSql(kKeyFileError, c.db, rc);
  c.inBatch = true;
  c.batchFailed = false;
  return kKeyOk;
}

int KeyIndexLibrary::EndBatch(int16_t handle, bool keep) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  Connection& c = *h->conn;
  if (!c.inBatch || !c.db) return kKeyOk;
  ResetCursors(c);
  c.inBatch = false;
  if (c.batchFailed) return keep ? kKeyFileError : kKeyOk;
  int rc = sqlite3_exec(c.db, keep ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
  if (keep && rc != SQLITE_OK) Exec(c.db, "ROLLBACK");
  Settle(c, keep && rc == SQLITE_OK);
  return rc == SQLITE_OK ? kKeyOk : FailSql(kKeyFileError, c.db, rc);
}

std::string KeyIndexLibrary::PathOf(int16_t handle) {
  Handle* h = Get(handle);
  return h ? h->conn->openPath : std::string();
}

std::optional<std::string> KeyIndexLibrary::OwnerOf(const std::string& path) {
  const std::string canon = CanonicalPath(path);
  const uint64_t identity = FileIdentity(path);
  for (auto& weak : connections_) {
    auto c = weak.lock();
    if (c && c->path == canon && c->identity == identity) return c->owner;
  }
  int sysError = 0;
  if (Classify(path, &sysError) != FileKind::Ours) return std::nullopt;
  sqlite3* db = nullptr;
  std::optional<std::string> owner;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, vfs_->Name()) == SQLITE_OK) {
    sqlite3_busy_timeout(db, kBusyWaitMs);
    auto magic = MetaValue(db, "magic");
    if (magic && *magic == kMagic) owner = MetaValue(db, "owner");
  }
  sqlite3_close(db);
  return owner;
}

void KeyIndexLibrary::FailWrites(int sqliteCode, int errnoValue, int64_t afterBytes) {
  vfs_->FailWrites(sqliteCode, errnoValue, afterBytes);
}

}  // namespace kelvarin::platform
