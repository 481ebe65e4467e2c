// The boxes of the main window show each stored text without its padding,
// whatever mix of blanks and NULs pads it and wherever the last kept
// character falls.
#include <gtest/gtest.h>

#include <random>

#include "entry/program_fixture.h"
#include "platform/text/trim.h"
#include "store/store.h"

namespace kelvarin::test_support {
namespace {

class MainWindowPaddingTest : public ProgramTest {};

TEST_F(MainWindowPaddingTest, BoxesShowTheTextsWithoutTheirPadding) {
  WriteBooks();
  WriteIni("Database", "CurrentDB", "BOOKS");
  Start();
  std::mt19937 random(12);
  const char alphabet[] = {'a', 'Z', ' ', '\0', '\xE9', '.'};
  store::EntryRecord e;
  for (int round = 0; round < 2000; ++round) {
    // Title (30 bytes) and Year (4): longer and shorter than sixteen.
    for (size_t slot : {size_t{0}, size_t{3}}) {
      const size_t length = slot == 0 ? 30 : 4;
      std::string text(length, ' ');
      const size_t kept = random() % (length + 1);
      for (size_t i = 0; i < length; ++i)
        text[i] = i < kept ? alphabet[random() % sizeof alphabet] : (random() % 3 == 0 ? '\0' : ' ');
      e.FieldText[slot] = text;
    }
    main().ShowEntry(e);
    for (int16_t slot : {0, 3}) {
      const std::string& stored = e.FieldText[static_cast<size_t>(slot)];
      ASSERT_EQ(main().txtFieldData(slot).Text(), std::string(platform::TrimTrailingPadding(stored)))
          << "slot " << slot << " round " << round;
    }
  }
}

}  // namespace
}  // namespace kelvarin::test_support
