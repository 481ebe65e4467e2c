#include "platform/keyindex/key_index_library.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

#include "platform/text/codepage.h"

namespace kelvarin::platform {
namespace {

constexpr const char* kMagic = "kelvarin key index 1";

std::string CutKey(const std::string& key) {
  return key.size() > KeyIndexLibrary::kMaxKey ? key.substr(0, KeyIndexLibrary::kMaxKey) : key;
}

bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK) {
    sqlite3_finalize(s);
    return nullptr;
  }
  return s;
}

void BindBlob(sqlite3_stmt* s, int i, const std::string& v) {
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

// Whether the open database is an index of ours; false for another program's
// file, a damaged file or an empty one.
bool IsOurIndex(sqlite3* db) {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT v FROM meta WHERE k='magic'", -1, &s, nullptr) != SQLITE_OK) {
    sqlite3_finalize(s);
    return false;
  }
  bool ok = false;
  if (sqlite3_step(s) == SQLITE_ROW) {
    const unsigned char* v = sqlite3_column_text(s, 0);
    ok = v && std::string(reinterpret_cast<const char*>(v)) == kMagic;
  }
  sqlite3_finalize(s);
  if (!ok) return false;
  // The tables must be usable as well.
  return sqlite3_exec(db, "SELECT ukey, entry, key FROM keys LIMIT 1", nullptr, nullptr, nullptr) ==
         SQLITE_OK;
}

bool CreateSchema(sqlite3* db) {
  return Exec(db,
              "BEGIN;"
              "CREATE TABLE meta(k TEXT PRIMARY KEY, v);"
              "CREATE TABLE keys(ukey BLOB NOT NULL, entry INTEGER NOT NULL, key BLOB NOT NULL);"
              "CREATE INDEX keys_order ON keys(ukey, entry, key);"
              "INSERT INTO meta VALUES('count', 0);") &&
         [&] {
           sqlite3_stmt* s = Prepare(db, "INSERT INTO meta VALUES('magic', ?1)");
           if (!s) return false;
           sqlite3_bind_text(s, 1, kMagic, -1, SQLITE_STATIC);
           bool ok = sqlite3_step(s) == SQLITE_DONE;
           sqlite3_finalize(s);
           return ok;
         }() &&
         Exec(db, "COMMIT;");
}

}  // namespace

struct KeyIndexLibrary::Connection {
  sqlite3* db = nullptr;
  std::string path;
  uint64_t identity = 0;
  bool inBatch = false;
  std::vector<Handle*> handles;
  sqlite3_stmt* insert = nullptr;
  sqlite3_stmt* removeOne = nullptr;
  sqlite3_stmt* addCount = nullptr;
  sqlite3_stmt* getCount = nullptr;

  ~Connection() {
    for (sqlite3_stmt* s : {insert, removeOne, addCount, getCount}) sqlite3_finalize(s);
    if (db) {
      if (inBatch) Exec(db, "COMMIT");
      sqlite3_close(db);
    }
  }
  bool PrepareAll() {
    insert = Prepare(db, "INSERT INTO keys(ukey, entry, key) VALUES(?1, ?2, ?3)");
    removeOne = Prepare(db,
                        "DELETE FROM keys WHERE rowid = (SELECT rowid FROM keys "
                        "WHERE ukey = ?1 AND entry = ?2 LIMIT 1)");
    addCount = Prepare(db, "UPDATE meta SET v = v + ?1 WHERE k = 'count'");
    getCount = Prepare(db, "SELECT v FROM meta WHERE k = 'count'");
    return insert && removeOne && addCount && getCount;
  }
  bool AddCount(int64_t delta) {
    sqlite3_reset(addCount);
    sqlite3_bind_int64(addCount, 1, delta);
    return sqlite3_step(addCount) == SQLITE_DONE;
  }
  std::string Owner() {
    sqlite3_stmt* s = Prepare(db, "SELECT v FROM meta WHERE k = 'owner'");
    std::string owner;
    if (s && sqlite3_step(s) == SQLITE_ROW) owner = ColumnBlob(s, 0);
    sqlite3_finalize(s);
    return owner;
  }
  int64_t Count() {
    sqlite3_reset(getCount);
    int64_t n = sqlite3_step(getCount) == SQLITE_ROW ? sqlite3_column_int64(getCount, 0) : 0;
    sqlite3_reset(getCount);
    return n;
  }
  // A change outside a batch is a transaction of its own.
  bool Begin() { return inBatch || Exec(db, "BEGIN IMMEDIATE"); }
  bool Commit() { return inBatch || Exec(db, "COMMIT"); }
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
  bool positioned = false;
  std::string posU;
  int64_t posEntry = 0;

  ~Handle() {
    for (sqlite3_stmt* s : {first, last, forward, backward, find}) sqlite3_finalize(s);
  }
  bool PrepareAll() {
    sqlite3* db = conn->db;
    first = Prepare(db, "SELECT key, entry, ukey FROM keys ORDER BY ukey, entry");
    last = Prepare(db, "SELECT key, entry, ukey FROM keys ORDER BY ukey DESC, entry DESC");
    forward = Prepare(db,
                      "SELECT key, entry, ukey FROM keys WHERE (ukey, entry) > (?1, ?2) "
                      "ORDER BY ukey, entry");
    backward = Prepare(db,
                       "SELECT key, entry, ukey FROM keys WHERE (ukey, entry) < (?1, ?2) "
                       "ORDER BY ukey DESC, entry DESC");
    find = Prepare(db, "SELECT key, entry, ukey FROM keys WHERE ukey >= ?1 ORDER BY ukey, entry");
    return first && last && forward && backward && find;
  }
  void Drop() {
    if (live) sqlite3_reset(live);
    live = nullptr;
    liveDir = 0;
  }
  // Steps the live statement; on a row moves the position there.
  int Step(KeyEntry* out, bool withKey = true) {
    int rc = sqlite3_step(live);
    if (rc == SQLITE_ROW) {
      const void* u = sqlite3_column_blob(live, 2);
      posU.assign(u ? static_cast<const char*>(u) : "", static_cast<size_t>(sqlite3_column_bytes(live, 2)));
      posEntry = sqlite3_column_int64(live, 1);
      positioned = true;
      if (out) {
        if (withKey) out->key = ColumnBlob(live, 0);
        out->entry = static_cast<int32_t>(posEntry);
      }
      return kKeyOk;
    }
    Drop();
    return rc == SQLITE_DONE ? kKeyNone : kKeyFileError;
  }
  int Start(sqlite3_stmt* s, int dir, KeyEntry* out, bool withKey = true) {
    Drop();
    live = s;
    liveDir = dir;
    return Step(out, withKey);
  }
};

KeyIndexLibrary::KeyIndexLibrary() = default;
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

std::shared_ptr<KeyIndexLibrary::Connection> KeyIndexLibrary::Connect(const std::string& path, int mode,
                                                                       KeyIndexOpenInfo* info,
                                                                       int* error) {
  std::string canon = CanonicalPath(path);
  std::error_code ec;
  // A file deleted (and perhaps made again) since is not the open index.
  const uint64_t identity = FileIdentity(path);
  const bool onDisk = identity != 0;
  for (auto& weak : connections_) {
    auto c = weak.lock();
    if (!c || c->path != canon || c->identity != identity) continue;
    if (mode == 1) {
      ResetCursors(*c);
      if (!c->Begin() || !Exec(c->db, "DELETE FROM keys") || !c->AddCount(-c->Count()) || !c->Commit()) {
        c->Rollback();
        *error = kKeyFileError;
        return nullptr;
      }
      info->createdEmpty = true;
    }
    return c;
  }

  bool existed = onDisk;
  if (mode == 1 && existed) {
    std::filesystem::remove(path, ec);
    existed = false;
  }
  auto c = std::make_shared<Connection>();
  c->path = canon;
  auto open = [&] {
    return sqlite3_open_v2(path.c_str(), &c->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr) ==
           SQLITE_OK;
  };
  if (!open()) {
    *error = kKeyFileError;
    return nullptr;
  }
  sqlite3_busy_timeout(c->db, 2000);
  if (!existed || !IsOurIndex(c->db)) {
    // Missing, foreign or damaged: start afresh in its place.
    sqlite3_close(c->db);
    c->db = nullptr;
    std::filesystem::remove(path, ec);
    std::filesystem::remove(path + "-journal", ec);
    if (!open() || !CreateSchema(c->db)) {
      *error = kKeyFileError;
      return nullptr;
    }
    info->createdEmpty = true;
  }
  Exec(c->db, "PRAGMA synchronous=NORMAL");
  c->identity = FileIdentity(path);
  if (!c->PrepareAll()) {
    *error = kKeyFileError;
    return nullptr;
  }
  connections_.erase(std::remove_if(connections_.begin(), connections_.end(),
                                    [](const std::weak_ptr<Connection>& w) { return w.expired(); }),
                     connections_.end());
  connections_.push_back(c);
  return c;
}

int16_t KeyIndexLibrary::OpenNDX(const std::string& path, int mode, KeyIndexOpenInfo* info) {
  KeyIndexOpenInfo local;
  if (!info) info = &local;
  *info = {};
  if (mode != 0 && mode != 1) return kKeyFileError;
  size_t slot = 0;
  while (slot < handles_.size() && handles_[slot]) ++slot;
  if (slot >= static_cast<size_t>(kMaxHandles)) return kKeyTooManyOpen;
  int error = kKeyOk;
  auto conn = Connect(path, mode, info, &error);
  if (!conn) return static_cast<int16_t>(error);
  auto h = std::make_unique<Handle>();
  h->conn = conn;
  if (!h->PrepareAll()) return kKeyFileError;
  info->keyCount = conn->Count();
  info->owner = conn->Owner();
  conn->handles.push_back(h.get());
  if (slot == handles_.size()) handles_.emplace_back();
  handles_[slot] = std::move(h);
  return static_cast<int16_t>(slot);
}

int KeyIndexLibrary::CloseNDX(int16_t handle) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  h->Drop();
  auto& hs = h->conn->handles;
  hs.erase(std::remove(hs.begin(), hs.end(), h), hs.end());
  handles_[static_cast<size_t>(handle)].reset();
  return kKeyOk;
}

int KeyIndexLibrary::Change(Handle& h, const std::string& rawKey, int32_t entry, bool add) {
  Connection& c = *h.conn;
  std::string key = CutKey(rawKey);
  std::string upper = AnsiUpperString(key);
  ResetCursors(c);
  if (!c.Begin()) return kKeyFileError;
  sqlite3_stmt* s = add ? c.insert : c.removeOne;
  sqlite3_reset(s);
  BindBlob(s, 1, upper);
  sqlite3_bind_int64(s, 2, entry);
  if (add) BindBlob(s, 3, key);
  bool ok = sqlite3_step(s) == SQLITE_DONE;
  sqlite3_reset(s);
  int changed = ok ? sqlite3_changes(c.db) : 0;
  if (ok && changed > 0) ok = c.AddCount(add ? 1 : -1);
  if (!ok || !c.Commit()) {
    c.Rollback();
    return kKeyFileError;
  }
  return changed > 0 ? kKeyOk : kKeyNone;
}

int KeyIndexLibrary::AddKey(int16_t handle, const std::string& key, int32_t entry) {
  Handle* h = Get(handle);
  return h ? Change(*h, key, entry, true) : kKeyBadHandle;
}

int KeyIndexLibrary::DeleteKey(int16_t handle, const std::string& key, int32_t entry) {
  Handle* h = Get(handle);
  return h ? Change(*h, key, entry, false) : kKeyBadHandle;
}

int KeyIndexLibrary::GetKey(int16_t handle, const std::string& key, KeyEntry* found) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  std::string upper = AnsiUpperString(CutKey(key));
  h->Drop();
  sqlite3_bind_blob(h->find, 1, upper.data(), static_cast<int>(upper.size()), SQLITE_TRANSIENT);
  int rc = h->Start(h->find, +1, found);
  if (rc == kKeyNone) {
    // Past the last key: the walk back starts from the last key.
    h->positioned = true;
    h->posU = upper;
    h->posEntry = INT64_MIN;
  }
  return rc;
}

int KeyIndexLibrary::GetFirst(int16_t handle, KeyEntry* found) {
  Handle* h = Get(handle);
  return h ? h->Start(h->first, +1, found) : kKeyBadHandle;
}

int KeyIndexLibrary::GetLast(int16_t handle, KeyEntry* found) {
  Handle* h = Get(handle);
  return h ? h->Start(h->last, -1, found) : kKeyBadHandle;
}

int KeyIndexLibrary::GetNext(int16_t handle, KeyEntry* found, bool withKey) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  if (h->live && h->liveDir > 0) return h->Step(found, withKey);
  if (!h->positioned) return h->Start(h->first, +1, found, withKey);
  h->Drop();
  sqlite3_bind_blob(h->forward, 1, h->posU.data(), static_cast<int>(h->posU.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int64(h->forward, 2, h->posEntry);
  return h->Start(h->forward, +1, found, withKey);
}

int KeyIndexLibrary::GetPrev(int16_t handle, KeyEntry* found, bool withKey) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  if (h->live && h->liveDir < 0) return h->Step(found, withKey);
  if (!h->positioned) return h->Start(h->last, -1, found, withKey);
  h->Drop();
  sqlite3_bind_blob(h->backward, 1, h->posU.data(), static_cast<int>(h->posU.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int64(h->backward, 2, h->posEntry);
  return h->Start(h->backward, -1, found, withKey);
}

int KeyIndexLibrary::Rebuild(int16_t handle, std::vector<KeyEntry> keys) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  Connection& c = *h->conn;
  struct Row {
    std::string upper;
    const KeyEntry* e;
  };
  std::vector<Row> rows;
  rows.reserve(keys.size());
  for (auto& k : keys) {
    k.key = CutKey(k.key);
    rows.push_back({AnsiUpperString(k.key), &k});
  }
  // In key order the index grows at its end, which is much the cheapest.
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return a.upper != b.upper ? a.upper < b.upper : a.e->entry < b.e->entry;
  });
  ResetCursors(c);
  if (!c.Begin()) return kKeyFileError;
  bool ok = Exec(c.db, "DELETE FROM keys") && c.AddCount(-c.Count());
  for (size_t i = 0; ok && i < rows.size(); ++i) {
    sqlite3_reset(c.insert);
    BindBlob(c.insert, 1, rows[i].upper);
    sqlite3_bind_int64(c.insert, 2, rows[i].e->entry);
    BindBlob(c.insert, 3, rows[i].e->key);
    ok = sqlite3_step(c.insert) == SQLITE_DONE;
  }
  sqlite3_reset(c.insert);
  if (ok) ok = c.AddCount(static_cast<int64_t>(rows.size()));
  if (!ok || !c.Commit()) {
    c.Rollback();
    return kKeyFileError;
  }
  for (Handle* other : c.handles) other->positioned = false;
  return kKeyOk;
}

int64_t KeyIndexLibrary::KeyCount(int16_t handle) {
  Handle* h = Get(handle);
  return h ? h->conn->Count() : static_cast<int64_t>(kKeyBadHandle);
}

int KeyIndexLibrary::SetOwner(int16_t handle, const std::string& owner) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  Connection& c = *h->conn;
  sqlite3_stmt* s = Prepare(c.db, "INSERT OR REPLACE INTO meta(k, v) VALUES('owner', ?1)");
  if (!s) return kKeyFileError;
  BindBlob(s, 1, owner);
  ResetCursors(c);
  bool ok = c.Begin() && sqlite3_step(s) == SQLITE_DONE;
  sqlite3_finalize(s);
  if (!ok || !c.Commit()) {
    c.Rollback();
    return kKeyFileError;
  }
  return kKeyOk;
}

int KeyIndexLibrary::BeginBatch(int16_t handle) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  Connection& c = *h->conn;
  if (c.inBatch) return kKeyOk;
  ResetCursors(c);
  if (!Exec(c.db, "BEGIN IMMEDIATE")) return kKeyFileError;
  c.inBatch = true;
  return kKeyOk;
}

int KeyIndexLibrary::EndBatch(int16_t handle) {
  Handle* h = Get(handle);
  if (!h) return kKeyBadHandle;
  Connection& c = *h->conn;
  if (!c.inBatch) return kKeyOk;
  ResetCursors(c);
  c.inBatch = false;
  if (!Exec(c.db, "COMMIT")) {
    Exec(c.db, "ROLLBACK");
    return kKeyFileError;
  }
  return kKeyOk;
}

}  // namespace kelvarin::platform
