// The substring test on stored bytes must answer as the substring test on
// the decoded texts does, for any text, case flag, field layout and entry:
// random entries of a few letters that fold into each other (accented ones
// in both cases, and box-drawing bytes that decode to one substitute), so
// that near matches and matches across field boundaries are frequent.
#include <gtest/gtest.h>

#include <random>

#include "platform/text/codepage.h"
#include "platform/text/substr.h"
#include "reports/runs/match_tests.h"
#include "reports/runs/raw_match.h"
#include "store/formats.h"

namespace kelvarin::reports {
namespace {

// Stored (code page 437) bytes: a A s S, the Greek letters that decode to
// s and S, é É ü Ü ß, blank, and two box drawing bytes that decode to the
// same character.
constexpr uint8_t kStored[] = {'a', 'A', 's', 'S', 0xE4, 0xE5, 0x82, 0x90, 0x81, 0x9A, 0xE1, ' ', 0xC4, 0xCD, '-'};

store::DatHeader RandomHeader(std::mt19937& rng) {
  store::DatHeader h;
  for (auto& len : h.FieldLength) len = static_cast<int16_t>(rng() % 3 == 0 ? 0 : rng() % 40);
  h.RecordLength = static_cast<int16_t>(store::ComputeRecordLength(h.FieldLength));
  return h;
}

std::vector<uint8_t> RandomRecord(std::mt19937& rng, const store::DatHeader& h) {
  std::vector<uint8_t> r(static_cast<size_t>(h.RecordLength));
  for (auto& b : r) b = kStored[rng() % sizeof kStored];
  store::EntryRecord links;
  links.Status = rng() % 2 ? store::StatusActive : store::StatusDeleted;
  links.NextLink = static_cast<float>(rng() % 1000);
  links.PrevLink = static_cast<float>(rng() % 1000);
  // Status and links as the store writes them; the texts stay random.
  std::vector<uint8_t> encoded(r.size());
  store::EncodeEntry(links, h, encoded.data());
  std::copy_n(encoded.begin(), 4, r.begin());
  const size_t linksAt = r.size() - 12;
  std::copy(encoded.begin() + static_cast<std::ptrdiff_t>(linksAt), encoded.end(),
            r.begin() + static_cast<std::ptrdiff_t>(linksAt));
  return r;
}

std::string RandomText(std::mt19937& rng) {
  std::string t;
  const size_t n = 1 + rng() % 4;
  for (size_t i = 0; i < n; ++i) t += platform::OemToAnsi(std::string(1, static_cast<char>(kStored[rng() % sizeof kStored])));
  return t;
}

TEST(RawTextTest, AnswersAsTheSubstringTestOnTheDecodedTexts) {
  std::mt19937 rng(20261207);
  int matches = 0, tried = 0;
  for (int layout = 0; layout < 60; ++layout) {
    const store::DatHeader h = RandomHeader(rng);
    for (int round = 0; round < 40; ++round) {
      const std::string text = RandomText(rng);
      const bool caseSensitive = rng() % 2;
      std::vector<int16_t> slots;
      if (rng() % 2)
        for (int k = 0; k < 3; ++k) slots.push_back(static_cast<int16_t>(rng() % 23) - 1);  // -1 and 21 too
      const RawTextTest test(text, caseSensitive, h, slots);
      for (int entry = 0; entry < 20; ++entry) {
        const std::vector<uint8_t> r = RandomRecord(rng, h);
        store::EntryRecord e;
        store::DecodeEntry(r.data(), h, &e);
        bool expected = false;
        for (int16_t slot = 0; slot < store::kFieldCount; ++slot) {
          const bool searched = slots.empty() || std::find(slots.begin(), slots.end(), slot) != slots.end();
          if (searched && platform::IsSubstr(text, e.FieldText[static_cast<size_t>(slot)], caseSensitive))
            expected = true;
        }
        if (slots.empty()) {
          EXPECT_EQ(expected, GlobalMatch(text, e, caseSensitive));
        }
        ASSERT_EQ(test.Contains(r.data()), expected) << "text \"" << text << "\" case " << caseSensitive;
        matches += expected;
        ++tried;
        EXPECT_EQ(RawStatus(r.data()), e.Status);
        EXPECT_EQ(RawNextLink(r.data(), h), e.NextLink);
        EXPECT_EQ(RawPrevLink(r.data(), h), e.PrevLink);
      }
    }
  }
  // Both answers must be common for the comparison to mean something.
  EXPECT_GT(matches, tried / 10);
  EXPECT_LT(matches, tried * 9 / 10);
}

TEST(RawTextTest, AnEmptyTextOrOneLongerThanEveryFieldMatchesNothing) {
  store::DatHeader h;
  h.FieldLength[0] = 5;
  h.FieldLength[20] = 3;
  h.RecordLength = static_cast<int16_t>(store::ComputeRecordLength(h.FieldLength));
  std::vector<uint8_t> r(static_cast<size_t>(h.RecordLength), 'a');
  EXPECT_FALSE(RawTextTest("", false, h).Contains(r.data()));
  EXPECT_FALSE(RawTextTest("aaaaaa", false, h).Contains(r.data()));
  EXPECT_TRUE(RawTextTest("AAAAA", false, h).Contains(r.data()));
  EXPECT_FALSE(RawTextTest("AAAAA", true, h).Contains(r.data()));
  // Slot 20 is searched like any other; a match may not run into the links.
  EXPECT_TRUE(RawTextTest("aaa", true, h, {20}).Contains(r.data()));
  EXPECT_FALSE(RawTextTest("aaaa", true, h, {20}).Contains(r.data()));
}

TEST(RawTextTest, ACharacterNoStoredByteStandsForMatchesNothing) {
  store::DatHeader h;
  h.FieldLength[0] = 40;
  h.RecordLength = static_cast<int16_t>(store::ComputeRecordLength(h.FieldLength));
  std::vector<uint8_t> r(static_cast<size_t>(h.RecordLength));
  for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<uint8_t>(i * 7);
  // The euro sign has no byte in the stored code page.
  EXPECT_FALSE(RawTextTest("\x80", true, h).Contains(r.data()));
  EXPECT_FALSE(RawTextTest("a\x80", false, h).Contains(r.data()));
}

// A walk keeps its test while the criteria stay; any change makes a new one.
TEST(RawTextTest, IsMadeForExactlyItsArguments) {
  store::DatHeader h;
  h.FieldLength[0] = 10;
  h.FieldLength[1] = 10;
  h.RecordLength = static_cast<int16_t>(store::ComputeRecordLength(h.FieldLength));
  const RawTextTest t("ab", false, h, {1});
  EXPECT_TRUE(t.MadeFor("ab", false, h, {1}));
  EXPECT_FALSE(t.MadeFor("aB", false, h, {1}));
  EXPECT_FALSE(t.MadeFor("ab", true, h, {1}));
  EXPECT_FALSE(t.MadeFor("ab", false, h, {0}));
  EXPECT_FALSE(t.MadeFor("ab", false, h, {}));
  store::DatHeader other = h;
  other.FieldLength[1] = 9;
  other.FieldLength[2] = 1;
  EXPECT_FALSE(t.MadeFor("ab", false, other, {1}));
  other = h;
  other.RecordLength = static_cast<int16_t>(h.RecordLength + 1);
  EXPECT_FALSE(t.MadeFor("ab", false, other, {1}));
}

}  // namespace
}  // namespace kelvarin::reports
