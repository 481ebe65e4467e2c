#include <gtest/gtest.h>

#include "platform/text/codepage.h"
#include "platform/text/path_text.h"

namespace kelvarin::platform {
namespace {

TEST(PathText, EveryCharacterOfAUtf8PathIsShownAsItIs) {
  // Greek, Cyrillic, CJK, an emoji (four bytes), the euro and accented
  // Latin letters (which Windows-1252 holds) side by side.
  for (const std::string path :
       {"/home/ann/Ελλάδα/данные.dbf", "/home/ann/報告.txt", "/tmp/\xF0\x9F\x93\x81/x.txt", "/tmp/n\xE2\x82\xAC.dbf",
        "/home/J\xC3\xBCrgen/caf\xC3\xA9 \xC3\xA0 la carte.txt", "", "/plain/ascii name.txt",
        // The edges of the two-, three- and four-byte forms: U+07FF, अ (E0), ！ (EF), U+10FFFF.
        "/x/\xDF\xBF\xE0\xA4\x85\xEF\xBC\x81\xF4\x8F\xBF\xBF"}) {
    EXPECT_EQ(TextToUtf8(PathText(path)), path) << path;
  }
}

TEST(PathText, CharactersOfTheCodePageBecomeProgramText) {
  // Such a path reads in the program as any other text: one byte each.
  EXPECT_EQ(PathText("/home/J\xC3\xBCrgen/n\xE2\x82\xAC.txt"), "/home/J\xFCrgen/n\x80.txt");
  // A message built around a path converts as a whole.
  const std::string message = "Wrote 2 entries to ASCII file: " + PathText("/home/ann/報告.txt") + "\r\xE9t\xE9";
  EXPECT_EQ(TextToUtf8(message), "Wrote 2 entries to ASCII file: /home/ann/報告.txt\r\xC3\xA9t\xC3\xA9");
}

TEST(PathText, BytesThatAreNotUtf8ReadAsTheCodePage) {
  // A name written in Windows-1252 on disk, a cut sequence, an overlong
  // form and a lone continuation byte.
  EXPECT_EQ(TextToUtf8(PathText("/data/M\xFCller.dbf")), "/data/M\xC3\xBCller.dbf");
  EXPECT_EQ(TextToUtf8(PathText("/x/\xE5\xA0")), "/x/\xC3\xA5\xC2\xA0");
  EXPECT_EQ(TextToUtf8(PathText("\xC0\xAF")), "\xC3\x80\xC2\xAF");
  EXPECT_EQ(TextToUtf8(PathText("a\xA9")), "a\xC2\xA9");
}

TEST(PathText, TheMarkAloneOrBeforeACodePageCharacterIsPlainText) {
  // Text that merely holds the unassigned byte is shown as before.
  EXPECT_EQ(TextToUtf8("\x81"), AnsiToUtf8("\x81"));
  EXPECT_EQ(TextToUtf8("M\x81nchen"), AnsiToUtf8("M\x81nchen"));
  // UTF-8 of a character the code page holds (é) is not a foreign run.
  EXPECT_EQ(TextToUtf8("\x81\xC3\xA9"), AnsiToUtf8("\x81\xC3\xA9"));
  // A run cut short at the end of the text, and surrogates.
  EXPECT_EQ(TextToUtf8("x\x81\xE5\xA0"), AnsiToUtf8("x\x81\xE5\xA0"));
  EXPECT_EQ(TextToUtf8("\x81\xED\xA0\x80"), AnsiToUtf8("\x81\xED\xA0\x80"));
  EXPECT_EQ(TextToUtf8("\x81\xED\xBF\xBF"), AnsiToUtf8("\x81\xED\xBF\xBF"));
  EXPECT_EQ(TextToUtf8("\x81\xF4\x90\x80\x80"), AnsiToUtf8("\x81\xF4\x90\x80\x80"));  // beyond U+10FFFF
  // Without the mark, bytes that happen to be UTF-8 are Windows-1252 text.
  EXPECT_EQ(TextToUtf8("x\xE5\xA0\xB1"), AnsiToUtf8("x\xE5\xA0\xB1"));
  // The unassigned characters themselves, in a path, are kept apart from a
  // following foreign run.
  const std::string odd = "\xC2\x81\xE5\xA0\xB1";  // U+0081 then 報
  EXPECT_EQ(TextToUtf8(PathText(odd)), odd);
}

}  // namespace
}  // namespace kelvarin::platform
