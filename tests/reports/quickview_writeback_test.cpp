// A key-field write-back failing at each of its store and key-index calls
// in turn, or the program stopping there: the entry holds its old or its
// new text and both key indexes agree with it.
#include <filesystem>

#include "quickview_fixture.h"
#include "reports/quickview/write_back.h"

namespace kelvarin::test_support {
namespace {

using reports::WriteBackCalls;
using store::EntryRecord;
using store::KeyIndexTable;

// What happens at the chosen call.
enum class Fault {
  FailBefore,  // reports failure, does nothing
  FailAfter,   // does its work, then reports failure
  HalfDone,    // key calls: the first index changed, the second not
  KillBefore,  // the program stops before the call
  KillAfter,   // the program stops after the call did its work
  DataLost,    // does its work, fails, and the data file is unreadable after
};
const char* Name(Fault f) {
  switch (f) {
    case Fault::FailBefore: return "fail before";
    case Fault::FailAfter: return "fail after";
    case Fault::HalfDone: return "half done";
    case Fault::KillBefore: return "killed before";
    case Fault::KillAfter: return "killed after";
    case Fault::DataLost: return "data file lost after";
  }
  return "";
}
struct Killed {};

class FaultyCalls : public WriteBackCalls {
 public:
  FaultyCalls(store::Store& store, int failAt, Fault fault) : WriteBackCalls(store), failAt_(failAt), fault_(fault) {}
  int calls = 0;
  std::vector<std::string> names;

  bool ReadEntry(EntryRecord& e, float n) override {
    if (dataLost_) return false;
    return Step("ReadEntry", [&] { return WriteBackCalls::ReadEntry(e, n); }, nullptr);
  }
  bool WriteEntry(const EntryRecord& e, float n) override {
    return Step("WriteEntry", [&] { return WriteBackCalls::WriteEntry(e, n); }, nullptr);
  }
  bool OpenKeyIndexes(KeyIndexTable& t) override {
    return Step("OpenKeyIndexes", [&] { return WriteBackCalls::OpenKeyIndexes(t); }, nullptr);
  }
  bool DeleteEntryKeys(KeyIndexTable& t, const EntryRecord& e, float n) override {
    return Step("DeleteEntryKeys", [&] { return WriteBackCalls::DeleteEntryKeys(t, e, n); },
                [&] { return WriteBackCalls::DeleteEntryKeys(First(t), e, n); });
  }
  bool AddEntryKeys(KeyIndexTable& t, const EntryRecord& e, float n) override {
    return Step("AddEntryKeys", [&] { return WriteBackCalls::AddEntryKeys(t, e, n); },
                [&] { return WriteBackCalls::AddEntryKeys(First(t), e, n); });
  }

 private:
  static KeyIndexTable& First(KeyIndexTable& t) {
    static KeyIndexTable first;
    first = t;
    first.KeyIndexCount = std::min(first.KeyIndexCount, 1);
    return first;
  }
  template <class Do, class Half>
  bool Step(const char* name, Do work, Half half) {
    names.push_back(name);
    if (calls++ != failAt_) return work();
    switch (fault_) {
      case Fault::FailBefore: return false;
      case Fault::FailAfter: work(); return false;
      case Fault::HalfDone:
        if constexpr (!std::is_same_v<Half, std::nullptr_t>) half();
        else work();
        return false;
      case Fault::KillBefore: throw Killed{};
      case Fault::KillAfter: work(); throw Killed{};
      case Fault::DataLost:
        work();
        dataLost_ = true;
        return false;
    }
    return false;
  }
  int failAt_;
  Fault fault_;
  bool dataLost_ = false;
};

class WriteBackFaultTest : public QuickViewTest {
 protected:
  // Every entry has exactly its own keys in both key indexes.
  void ExpectKeysAgree(const std::string& where) {
    const int count = static_cast<int>(st().CatalogHeader.EntryCount);
    for (int slot : {0, 6}) {
      auto keys = Keys(slot);
      EXPECT_EQ(static_cast<int>(keys.size()), count) << where << ", slot " << slot;
      for (int n = 1; n <= count; ++n)
        EXPECT_TRUE(HasKey(slot, store::Store::EntryKey(FileEntry(static_cast<float>(n)), slot), n))
            << where << ", slot " << slot << ", entry " << n;
    }
  }
};

TEST_F(WriteBackFaultTest, EachCallFailingOrStoppingLeavesTheEntryAndItsKeysInStep) {
  Items(4);
  Start();
  int scenario = 0;
  for (Fault fault : {Fault::FailBefore, Fault::FailAfter, Fault::HalfDone, Fault::KillBefore, Fault::KillAfter,
                      Fault::DataLost}) {
    for (int at = 0;; ++at) {
      const std::string oldText = FileField(2, 0);
      const std::string newText = "Renamed" + std::to_string(++scenario);
      FaultyCalls calls(st(), at, fault);
      bool killed = false;
      reports::WriteBackResult result;
      try {
        result = reports::WriteBackCell(calls, 2, 0, 20, newText);
      } catch (const Killed&) {
        killed = true;
      }
      if (at >= calls.calls) break;  // every call has had its turn
      const std::string where = std::string(Name(fault)) + " at " + calls.names[static_cast<size_t>(at)];
      const bool failed = !host_.MessageTexts().empty();
      host_.ClearRecord();
      if (killed) Restart();

      const std::string now = FileField(2, 0);
      EXPECT_TRUE(now == oldText || now == Pad(newText, 20)) << where << ": " << now;
      if (!killed) {
        // Unless the file could not be read back, the result says what it holds.
        if (calls.names[static_cast<size_t>(at)] != "ReadEntry" && fault != Fault::DataLost) {
          EXPECT_TRUE(result.read) << where;
        }
        if (result.read) {
          EXPECT_EQ(result.written, now == Pad(newText, 20)) << where;
          EXPECT_EQ(Pad(result.fileText, 20), now) << where << ": the cell shows the file";
        }
        // A change that reached the file with its keys repaired is no failure.
        EXPECT_EQ(failed, !result.written) << where << ": told exactly when not saved";
      }
      ExpectKeysAgree(where);
    }
  }
  EXPECT_GT(scenario, 20);
}

TEST_F(WriteBackFaultTest, AWriteBackWithoutFaultsIsSilent) {
  Items(2);
  Start();
  FaultyCalls calls(st(), -1, Fault::FailBefore);
  reports::WriteBackResult r = reports::WriteBackCell(calls, 1, 0, 20, "Quiet");
  EXPECT_TRUE(r.written);
  EXPECT_EQ(r.fileText, "Quiet");
  EXPECT_TRUE(host_.MessageTexts().empty());
  EXPECT_EQ(calls.names, (std::vector<std::string>{"ReadEntry", "OpenKeyIndexes", "DeleteEntryKeys", "WriteEntry",
                                                   "AddEntryKeys"}));
  ExpectKeysAgree("no fault");
}


TEST_F(WriteBackFaultTest, AnIndexThatCannotBeOpenedStopsTheChangeBeforeAnythingIsWritten) {
  Items(2);
  Start();
  // The code field's index file cannot be made: a folder stands in its place.
  std::filesystem::remove(st().IndexPath("STOCK", 6));
  std::filesystem::create_directory(st().IndexPath("STOCK", 6));
  int16_t probe = st().OpenIndex(0, st().CatalogHeader, st().CatalogName, 0);
  st().IndexClose(probe);
  reports::WriteBackCalls calls(st());
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "ERROR OPENING INDEX FILE\r" + st().IndexPath("STOCK", 6) +
                                                  "\rA folder stands in the place of the file.");
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "The change to entry 1 could not be saved.");
  reports::WriteBackResult r = reports::WriteBackCell(calls, 1, 0, 20, "Blocked");
  EXPECT_FALSE(r.written);
  EXPECT_EQ(r.fileText, "Item01");
  EXPECT_EQ(FileField(1, 0), Pad("Item01", 20));
  EXPECT_TRUE(HasKey(0, "Item01", 1));
  // The index that did open was given back.
  int16_t again = st().OpenIndex(0, st().CatalogHeader, st().CatalogName, 0);
  st().IndexClose(again);
  EXPECT_EQ(again, probe);
}

TEST_F(WriteBackFaultTest, WriteBacksGiveBackEveryIndexHandleTheyTake) {
  Items(3);
  Start();
  // Handles are handed out lowest first: the probe gets the same one again
  // only when nothing in between kept one.
  auto probe = [this] {
    int16_t h = st().OpenIndex(0, st().CatalogHeader, st().CatalogName, 0);
    st().IndexClose(h);
    return h;
  };
  const int16_t first = probe();
  reports::WriteBackCalls calls(st());
  ASSERT_TRUE(reports::WriteBackCell(calls, 1, 6, 6, "K1").written);
  EXPECT_EQ(probe(), first);
  // A key call that fails sends the indexes through a rebuild.
  FaultyCalls failing(st(), 4, Fault::FailBefore);
  ASSERT_TRUE(reports::WriteBackCell(failing, 2, 6, 6, "K2").written);
  EXPECT_EQ(failing.names[4], "AddEntryKeys");
  EXPECT_EQ(probe(), first);
  EXPECT_TRUE(host_.MessageTexts().empty());
  ExpectKeysAgree("after the write-backs");
  // A slot outside the entry, or no length, writes nothing.
  EXPECT_FALSE(reports::WriteBackCell(calls, 1, store::kFieldCount, 6, "X").written);
  EXPECT_FALSE(reports::WriteBackCell(calls, 1, -1, 6, "X").written);
  EXPECT_FALSE(reports::WriteBackCell(calls, 1, 6, 0, "X").written);
  EXPECT_EQ(FileField(1, 6), "K1    ");
}

}  // namespace
}  // namespace kelvarin::test_support
