// Two opens of one file: the sharing clauses of the request word, and the
// unshared (buffered) opens that must never see or write stale data.
#include <map>

#include "engine_fixture.h"

namespace kelvarin::dbf::testing {
namespace {

// Gives up at the first locking error instead of waiting for the retries.
class GivesUpAtOnce : public DbfEngine {
 public:
  using DbfEngine::DbfEngine;
  void DbfLockRetryHook(const std::string&, int16_t& err) override {
    ++calls;
    err = 70;
  }
  int calls = 0;
};

class SharingTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    engine = std::make_unique<GivesUpAtOnce>(host, pool);
  }
  int RetryCalls() const { return static_cast<GivesUpAtOnce&>(*engine).calls; }

  // Writes a file with records "a" and "b" in a one-character field.
  void WriteTwoRecords(const std::string& name) {
    WriteAll(Path(name), MakeDbf(0x03, {{"X", 'C', 1, 0}}, {" a", " b"}));
  }
  std::string Read(int16_t handle, int32_t recNo) {
    int16_t err = -1;
    std::string buf;
    engine->DbfReadRecord(handle, err, recNo, buf);
    return err ? "#" + std::to_string(err) : buf;
  }
};

TEST_F(SharingTest, SharingClausesFollowTheTable) {
  WriteTwoRecords("T.DBF");
  // Second open's result after a first open, for the shared requests: 16
  // read-write and 24 read with others free; 32 read-write and 40 read with
  // others reading only; 48 read-write and 56 read with others kept out.
  const std::vector<int16_t> requests = {16, 24, 32, 40, 48, 56};
  const std::map<std::pair<int, int>, int16_t> expected = {
      {{16, 16}, 0},  {{16, 24}, 0},  {{16, 32}, 70}, {{16, 40}, 70}, {{16, 48}, 70}, {{16, 56}, 70},
      {{24, 16}, 0},  {{24, 24}, 0},  {{24, 32}, 0},  {{24, 40}, 0},  {{24, 48}, 70}, {{24, 56}, 70},
      {{32, 16}, 70}, {{32, 24}, 0},  {{32, 32}, 70}, {{32, 40}, 70}, {{32, 48}, 70}, {{32, 56}, 70},
      {{40, 16}, 70}, {{40, 24}, 0},  {{40, 32}, 70}, {{40, 40}, 0},  {{40, 48}, 70}, {{40, 56}, 70},
      {{48, 16}, 70}, {{48, 24}, 70}, {{48, 32}, 70}, {{48, 40}, 70}, {{48, 48}, 70}, {{48, 56}, 70},
      {{56, 16}, 70}, {{56, 24}, 70}, {{56, 32}, 70}, {{56, 40}, 70}, {{56, 48}, 70}, {{56, 56}, 70},
  };
  for (int16_t first : requests) {
    for (int16_t second : requests) {
      int16_t err = -1;
      const int16_t a = Open(Path("T.DBF"), first, err);
      ASSERT_EQ(err, 0) << first;
      const int16_t b = Open(Path("T.DBF"), second, err);
      EXPECT_EQ(err, expected.at({first, second})) << first << " then " << second;
      if (err == 0) {
        EXPECT_EQ(Read(b, 2), " b");
        Close(b);
      }
      Close(a);
    }
  }
}

TEST_F(SharingTest, UnsharedOpensShareTheFileOnlyToRead) {
  WriteTwoRecords("U.DBF");
  for (int16_t first : {0, 4, 8, 12, 16, 24}) {
    for (int16_t second : {0, 2, 3, 4, 6, 8, 12, 16, 24}) {
      // Only two readers share; every pairing with an unshared open that may
      // write, or an unshared reader beside a writer, is refused.
      const bool bothRead = (first & 8 || first == 24) && (second & 8 || second == 24);
      const bool bothShared = first >= 16 && second >= 16;
      int16_t err = -1;
      const int16_t a = Open(Path("U.DBF"), first, err);
      ASSERT_EQ(err, 0);
      const int16_t b = Open(Path("u.dbf"), second, err);
      EXPECT_EQ(err, bothRead || bothShared ? 0 : 70) << first << " then " << second;
      if (err == 0) Close(b);
      else EXPECT_TRUE(engine->SlotAt(b)->IsFree());
      Close(a);
    }
  }
  // The refused creates left the file as it was.
  int16_t err = -1;
  const int16_t h = Open(Path("U.DBF"), 8, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(Read(h, 2), " b");
  Close(h);
}

TEST_F(SharingTest, AHeldHeaderOpenKeepsEveryAppend) {
  WriteTwoRecords("H.DBF");
  int16_t err = -1;
  const int16_t a = Open(Path("H.DBF"), 4, err);
  ASSERT_EQ(err, 0);
  Open(Path("H.DBF"), 4, err);
  EXPECT_EQ(err, 70);
  EXPECT_EQ(RetryCalls(), 1) << "the refusal goes to the retry hook";
  EXPECT_EQ(Append(a, {"", "c"}), 3);
  Close(a);
  // Once closed, the file opens again and holds every record.
  const int16_t b = Open(Path("H.DBF"), 0, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(Read(b, 3), " c");
  EXPECT_EQ(Append(b, {"", "d"}), 4);
  Close(b);
  const int16_t c = Open(Path("H.DBF"), 8, err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(Read(c, 4), " d");
  EXPECT_EQ(engine->SlotAt(c)->Header.RecordCount, 4);
  Close(c);
}

TEST_F(SharingTest, SecondEngineOnThePoolIsRefusedToo) {
  WriteTwoRecords("E.DBF");
  int16_t err = -1;
  const int16_t a = Open(Path("E.DBF"), 0, err);
  ASSERT_EQ(err, 0);
  GivesUpAtOnce other(host, pool);
  int16_t b = 0, type = 3;
  std::string name = Path("E.DBF");
  other.DbfOpen(b, err, name, type, 0);
  EXPECT_EQ(err, 70);
  Close(a);
  other.DbfOpen(b, err, name, type, 0);
  EXPECT_EQ(err, 0);
  other.DbfClose(b, err, 0);
}

}  // namespace
}  // namespace kelvarin::dbf::testing
