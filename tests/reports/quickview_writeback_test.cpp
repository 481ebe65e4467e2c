// A key-field write-back failing at each of its store and key-index calls
// in turn, or the program stopping there: the entry holds its old or its
// new text and both key indexes agree with it.
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
};
const char* Name(Fault f) {
  switch (f) {
    case Fault::FailBefore: return "fail before";
    case Fault::FailAfter: return "fail after";
    case Fault::HalfDone: return "half done";
    case Fault::KillBefore: return "killed before";
    case Fault::KillAfter: return "killed after";
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
    }
    return false;
  }
  int failAt_;
  Fault fault_;
};

class WriteBackFaultTest : public QuickViewTest {
 protected:
  // The program starts again over the files as they are.
  void Restart() {
    program_.reset();
    program_ = std::make_unique<app::Program>(host_, dir_.path());
    program_->Start();
    ASSERT_EQ(st().CatalogName, "STOCK");
    host_.ClearRecord();
  }
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
  for (Fault fault : {Fault::FailBefore, Fault::FailAfter, Fault::HalfDone, Fault::KillBefore, Fault::KillAfter}) {
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
        EXPECT_EQ(result.written, now == Pad(newText, 20)) << where;
        if (result.read) {
          EXPECT_EQ(Pad(result.fileText, 20), now) << where << ": the cell shows the file";
        }
        // A change that reached the file with its keys repaired is no failure.
        if (!result.written) {
          EXPECT_TRUE(failed) << where << ": the failure is told";
        }
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

}  // namespace
}  // namespace kelvarin::test_support
