// Whether a path names an existing file, as a directory search answers it,
// and the mapping of the program's paths onto the disk.
//
// The program's paths are written as on a case-blind file system: "\" may
// separate folders and letter case does not matter (the DBF engine upper-cases
// the names it opens). ResolvePath turns such a path into the one on disk.
#pragma once

#include <string>

namespace kelvarin::platform {

// True when a directory search for path finds a normal file: a regular file
// (read-only files count); directories, hidden files (names beginning with
// ".") and special files do not. The last component may hold the wildcards
// "*" and "?", which match as in a directory search ("*.*" matches every
// name). Letter case is ignored. A bad path or a missing folder gives false.
bool FileExists(const std::string& path);

// Backslashes become "/" and each component that exists on disk in another
// letter case is replaced by the existing name (an exact match wins; among
// several case-blind matches the first in name order). Components that do
// not exist are kept as given, so a file to be created keeps its name.
std::string ResolvePath(const std::string& path);

}  // namespace kelvarin::platform
