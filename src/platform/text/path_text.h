// Paths as the program holds them, and as it shows them.
//
// A path is the file system's bytes (UTF-8 on this system): what a file
// dialog answers, what a directory listing gives and what the file layer
// opens. The program never converts a path as text; only where one is shown
// (a message, a caption, a list item) does PathText make program text of it.
//
// Program text is Windows-1252, which lacks most of the world's letters. So
// that a path shows as it is ("/home/ann/報告.txt"), PathText writes each
// character Windows-1252 lacks as the byte 0x81, which Windows-1252 leaves
// unassigned, followed by the character's UTF-8 bytes; TextToUtf8, the GUI's
// conversion of program text, turns such a run back into the character.
//
//   host.MsgBox("Wrote 2 entries to ASCII file: " + PathText(path));
#pragma once

#include <string>
#include <string_view>

namespace kelvarin::platform {

inline constexpr char kForeignCharMark = '\x81';

// The program text that shows path. Bytes that are not part of valid UTF-8
// (a name written in another code page) are read as Windows-1252, as
// ResolvePath reads them.
std::string PathText(std::string_view path);

// Program text to UTF-8 for the GUI: Windows-1252, except that the mark
// followed by the UTF-8 of a character Windows-1252 lacks is that
// character. A mark followed by anything else is shown as itself.
std::string TextToUtf8(std::string_view text);

}  // namespace kelvarin::platform
