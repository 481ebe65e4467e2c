// A demo application directory: QAV.INI naming the demo catalog BOOKS, the
// catalog itself (key, summed and computed fields, deleted entries, memos,
// entries threaded in title order) and two report formats, BOOKLIST (one line
// per entry) and CARDS (several lines with field names).
#pragma once

#include <string>

namespace kelvarin::test_support {

// Creates dir when needed and writes the files into it; false when a file
// cannot be written.
bool MakeDemoAppDir(const std::string& dir);

}  // namespace kelvarin::test_support
