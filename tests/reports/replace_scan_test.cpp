// The look at the data file's bytes that spares the replace runs reading
// entries: it must never pass over an entry that holds the text, whatever
// the letters' case or code page, and should pass over the others.
#include <random>

#include "platform/text/substr.h"
#include "reports/replace/raw_entry_scan.h"
#include "replace_fixture.h"

namespace kelvarin::test_support {
namespace {

class RawScanTest : public ReplaceTest {
 protected:
  // Entries of short words over an alphabet with accented letters in both
  // cases, more than one block of the scan's reads.
  void RandomBooks(int count) {
    const std::string alphabet = "aAbBeE \xe9\xc9\xfc\xdc\xdf\xe7\xc7\xf1\xd1xyz0+";
    std::mt19937 rng(7);
    auto word = [&](size_t length) {
      std::string w;
      for (size_t i = 0; i < length; ++i) w.push_back(alphabet[rng() % alphabet.size()]);
      return w;
    };
    for (int n = 0; n < count; ++n) Book(word(1 + rng() % 20), word(rng() % 12), word(rng() % 6), word(rng() % 12));
  }

  // Checks every entry from `from` on; returns how many the scan let through
  // (and, in *held, how many hold the text).
  int Check(const std::string& text, bool caseSensitive, float from = 1, int* held = nullptr) {
    reports::RawEntryScan scan(st(), text, caseSensitive);
    int passed = 0;
    int missed = 0;
    for (float n = from; n <= st().CatalogHeader.EntryCount; ++n) {
      store::EntryRecord e = Stored(n);
      bool holds = false;
      for (const std::string& f : e.FieldText) {
        std::string t = f.substr(0, f.find_last_not_of(' ') + 1);
        holds = holds || platform::IsSubstr(text, t, caseSensitive) != 0;
      }
      const bool may = scan.MayHold(static_cast<int64_t>(n));
      passed += may;
      if (held) *held += holds;
      if (holds && !may && missed++ < 3) ADD_FAILURE() << "entry " << n << " holds \"" << text << "\"";
    }
    return passed;
  }
};

TEST_F(RawScanTest, NeverPassesOverAnEntryHoldingTheTextAcrossBlocks) {
  RandomBooks(20000);
  Start();
  // "+" is shown by many stored bytes, so the scan goes byte by byte for it.
  for (bool caseSensitive : {false, true}) {
    for (const std::string& text : {std::string("\xe9"), std::string("\xc9\xfc"), std::string("aB"),
                                    std::string("\xdf\xe7\xd1"), std::string("e E"), std::string("x0yz"),
                                    std::string("+a"), std::string("B+")}) {
      SCOPED_TRACE(text + (caseSensitive ? " (case)" : ""));
      int held = 0;
      const int passed = Check(text, caseSensitive, 1, &held);
      // Only a hit across two fields lets an entry through needlessly.
      EXPECT_LE(passed, held + 200);
      Check(text, caseSensitive, 15000);  // starting inside a block
    }
  }
}

TEST_F(RawScanTest, PassesOverEntriesThatCannotHoldTheText) {
  Book("Caf\xe9 au lait", "Zola");
  Book("Th\xe9", "Proust", "", "CAF\xc9.wav");
  Book("Coffee", "Iraq");
  Book("Tea", "Austen");
  // The text at the very end of the last field of the last entry.
  Book("Sound", "Ravel", "", "bolero12.waz");
  Start();
  EXPECT_EQ(Check("caf\xe9", false), 2);
  EXPECT_EQ(Check("CAF\xc9", true), 1);
  EXPECT_EQ(Check("nowhere", false), 0);
  EXPECT_EQ(Check("Proust", true), 1);
  EXPECT_EQ(Check("WA", false), 2);
  // Texts of several lengths ending there: with five entries of 67 bytes
  // the shortest start in the last few places of the block, which the scan
  // does not take sixteen at a time.
  for (const char* tail : {"z", "az", "waz", ".waz", "2.waz", "12.waz"}) EXPECT_EQ(Check(tail, true), 1) << tail;
  // "+" goes byte by byte.
  EXPECT_EQ(Check("+q", false), 0);
}

}  // namespace
}  // namespace kelvarin::test_support
