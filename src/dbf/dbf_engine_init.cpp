// Starting the engine: settings, the shrinking allocation of its tables, the
// file handles it asks the platform for, and the user's short-date order.
#include <new>

#include "dbf/dbf_engine.h"
#include "dbf/dbf_file_cache.h"
#include "dbf/dbf_number_text.h"
#include "dbf/dbf_text.h"
#include "platform/host.h"
#include "platform/text/codepage.h"

namespace kelvarin::dbf {
namespace {

constexpr int16_t kFieldsCeiling = 256;
constexpr const char* kInternalError = "Internal Error";

}  // namespace

DbfEngine::DbfEngine(platform::Host& host, platform::FilePool& files) : host_(host), files_(files) {}

DbfEngine::~DbfEngine() {
  for (int handle = 1; handle <= allocSlots_; ++handle) {
    if (!slots_[static_cast<size_t>(handle)].IsFree()) {
      int16_t err = 0;
      DbfClose(static_cast<int16_t>(handle), err, 0);
      if (!slots_[static_cast<size_t>(handle)].IsFree()) CloseFile(static_cast<int16_t>(handle));
    }
  }
}

bool DbfEngine::ProbeFails(DbfTable table, int count) const { return probe_ && probe_(table, count); }

void DbfEngine::Fatal(int16_t code, const std::string& text) {
  host_.MsgBox("Unexpected Application Error\r" + text, platform::MsgButtons::OK,
               platform::MsgIcon::Exclamation, kInternalError);
  fatalCode_ = code;
}

void DbfEngine::DbfInit() {
  if (engineReady_ || fatalCode_ != 0) return;
  if (maxFlds_ == 0) maxFlds_ = kFieldsCeiling;
  if (maxDbfs_ == 0) maxDbfs_ = 10;
  if (maxDbts_ == 0) maxDbts_ = 10;
  if (maxNdxs_ == 0) maxNdxs_ = 10;
  if (maxBufs_ == 0) maxBufs_ = 120;
  if (maxDbfs_ < 0) maxDbfs_ = 0;
  if (maxDbts_ < 0) maxDbts_ = 0;
  if (maxNdxs_ < 0) maxNdxs_ = 0;
  if (maxBufs_ < 0) maxBufs_ = 0;

  // Index page buffers: shrink one block at a time; none at all is not fatal.
  for (;;) {
    if (maxBufs_ < 1) {
      host_.MsgBox(
          "Insufficient memory to create index internal buffers.\rIndex files will be "
          "non-buffered only.",
          platform::MsgButtons::OK, platform::MsgIcon::Exclamation, kInternalError);
      maxBufs_ = 0;
      bufferPool_.clear();
      bufferState_.clear();
      break;
    }
    try {
      if (ProbeFails(DbfTable::BufferPool, maxBufs_)) throw std::bad_alloc();
      bufferPool_.assign(static_cast<size_t>(maxBufs_) + 1, {});
      bufferState_.assign(static_cast<size_t>(maxBufs_) + 2, 0);
      break;
    } catch (const std::bad_alloc&) {
      --maxBufs_;
    }
  }

  if (maxFlds_ > kFieldsCeiling) maxFlds_ = kFieldsCeiling;
  if (maxFlds_ < 1) maxFlds_ = 1;
  for (;;) {
    if (maxDbfs_ < 1) {
      Fatal(101, "Insufficient memory to create internal database buffers.");
      return;
    }
    try {
      if (ProbeFails(DbfTable::SlotTables, maxDbfs_)) throw std::bad_alloc();
      const size_t rows = static_cast<size_t>(maxDbfs_) + 1;
      fieldTable_.assign(rows * (static_cast<size_t>(maxFlds_) + 1), DbfFieldDesc{});
      slots_.assign(rows, DbfSlot{});
      caches_.clear();
      caches_.resize(rows);
      locks_.assign(rows, {-1, -1});
      allocSlots_ = maxDbfs_;
      allocFlds_ = maxFlds_;
      break;
    } catch (const std::bad_alloc&) {
      --maxDbfs_;
    }
  }

  for (;;) {
    if (maxDbts_ < 1) {
      Fatal(101, "Insufficient memory to create internal memo file buffers.");
      return;
    }
    try {
      if (ProbeFails(DbfTable::DbtSlots, maxDbts_)) throw std::bad_alloc();
      dbtSlots_.assign(static_cast<size_t>(maxDbts_) + 1, DbfDbtSlot{});
      break;
    } catch (const std::bad_alloc&) {
      --maxDbts_;
    }
  }

  for (;;) {
    if (maxNdxs_ < 1) {
      Fatal(101, "Insufficient memory to create internal index file buffers.");
      return;
    }
    try {
      if (ProbeFails(DbfTable::NdxTables, maxNdxs_)) throw std::bad_alloc();
      workTable_.assign(26, {});
      ndxInfo_.assign(static_cast<size_t>(maxNdxs_) + 1, DbfNdxInfo{});
      ndxSlots_.assign(static_cast<size_t>(maxNdxs_) + 1, DbfNdxSlot{});
      break;
    } catch (const std::bad_alloc&) {
      --maxNdxs_;
    }
  }

  const int needed = maxDbfs_ + maxNdxs_ + maxDbts_;
  if (vbFiles_ < 1) vbFiles_ = 40;
  if (vbFiles_ < needed) vbFiles_ = static_cast<int16_t>(needed);
  vbFiles_ = SetHandleCount(vbFiles_);
  if (vbFiles_ < needed || vbFiles_ < 1) {
    Fatal(100, "Couldn't allocate enough Windows file handles.");
    return;
  }

  for (int i = 1; i <= allocSlots_; ++i) slots_[static_cast<size_t>(i)].FileNum = -1;
  for (size_t i = 1; i < dbtSlots_.size(); ++i) dbtSlots_[i].FileNum = -1;
  for (size_t i = 1; i < ndxSlots_.size(); ++i) ndxSlots_[i].FileNum = -1;

  if (dateFormat_.empty()) dateFormat_ = "A7";
  std::string shortDate = host_.Locale().shortDate;
  if (shortDate.size() > 255) shortDate.resize(255);
  shortDate = platform::AnsiUpperString(TrimBlanks(shortDate));
  dayFirst_ = !shortDate.empty() && shortDate[0] == 'D';
  engineReady_ = true;
}

bool DbfEngine::StartEngine(int16_t& err) {
  if (!engineReady_) DbfInit();
  if (engineReady_) return true;
  err = fatalCode_ != 0 ? fatalCode_ : 100;
  return false;
}

void DbfEngine::DbfConfig(const std::string& keyword, int16_t& err, const std::string& value) {
  const std::string key = platform::AnsiUpperString(keyword);
  const bool numeric = key == "MAXDBFS" || key == "MAXDBTS" || key == "MAXNDXS" ||
                       key == "MAXBUFS" || key == "MAXFLDS" || key == "VBFILES" ||
                       key == "TEXTLIMIT";
  int16_t number = 0;
  if (numeric && !LeadingInt16(value, number)) {
    err = 6;  // overflow, as the conversion of the value raised it
    return;
  }
  if (key == "MAXDBFS") {
    maxDbfs_ = number < 1 ? int16_t{1} : number;
  } else if (key == "MAXDBTS") {
    maxDbts_ = number < 1 ? int16_t{1} : number;
  } else if (key == "MAXNDXS") {
    maxNdxs_ = number < 1 ? int16_t{1} : number;
  } else if (key == "MAXBUFS") {
    maxBufs_ = number < 120 ? int16_t{120} : number;
  } else if (key == "MAXFLDS") {
    maxFlds_ = number < 1 ? int16_t{128} : number > kFieldsCeiling ? kFieldsCeiling : number;
  } else if (key == "VBFILES") {
    const int needed = maxDbfs_ + maxDbts_ + maxNdxs_;
    int requested = number < needed ? needed : number;
    if (requested > 32767) requested = 32767;
    vbFiles_ = SetHandleCount(requested);
  } else if (key == "TEXTLIMIT") {
    host_.SendFocusMessage(1045, number);
  } else if (key == "CHARACTERS") {
    charsAnsi_ = platform::AnsiUpperString(value) == "ANSI";
  } else if (key == "DATE") {
    const std::string v = platform::AnsiUpperString(value);
    if (v == "DBASE") dateFormat_ = "A0";
    else if (v == "AMERICAN") dateFormat_ = "A7";
    else if (v == "ANSI") dateFormat_ = "A11";
    else if (v == "FRENCH" || v == "BRITISH") dateFormat_ = "A12";
    else if (v == "ITALIAN") dateFormat_ = "A14";
    else if (v == "GERMAN") dateFormat_ = "A13";
    else dateFormat_ = "A7";
  }
}

const DbfFieldDesc* DbfEngine::FieldDescAt(int16_t handle, int fieldNumber) const {
  if (handle < 0 || handle > allocSlots_ || fieldNumber < 0 || fieldNumber > allocFlds_)
    return nullptr;
  return &fieldTable_[static_cast<size_t>(handle) * (static_cast<size_t>(allocFlds_) + 1) +
                      static_cast<size_t>(fieldNumber)];
}

DbfFieldDesc& DbfEngine::Field(int16_t handle, int fieldNo) {
  return fieldTable_[static_cast<size_t>(handle) * (static_cast<size_t>(allocFlds_) + 1) +
                     static_cast<size_t>(fieldNo)];
}

const DbfSlot* DbfEngine::SlotAt(int16_t handle) const {
  if (handle < 0 || handle > allocSlots_) return nullptr;
  return &slots_[static_cast<size_t>(handle)];
}

}  // namespace kelvarin::dbf
