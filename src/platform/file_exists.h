// Whether a path names an existing file, as a directory search answers it,
// and the mapping of the program's paths onto the disk.
//
// The program's paths are written as on a case-blind file system: "\" may
// separate folders and letter case does not matter. ResolvePath turns such a
// path into the one on disk. Names are compared as characters: a name that is
// valid UTF-8 is read as UTF-8, any other as Windows-1252 (the program's own
// text), so both find a file whose name the disk holds in UTF-8.
#pragma once

#include <string>

namespace kelvarin::platform {

// True when a directory search for path finds a normal file: a regular file
// (read-only files count); directories, hidden files (names beginning with
// ".") and special files do not. The last component may hold the wildcards
// "*" and "?", which match as in a directory search ("*.*" matches every
// name). Letter case is ignored. A bad path or a missing folder gives false.
bool FileExists(const std::string& path);

// Backslashes become "/"; a component that exists on disk byte for byte is
// kept, and one that does not is replaced by the existing name with the same
// characters (in Windows-1252 rather than UTF-8) or else the same characters
// in another letter case (the first in name order). Components that do not
// exist keep their characters, written in UTF-8, so a file to be created keeps
// the name it was given.
std::string ResolvePath(const std::string& path);

// The path in upper case, in the encoding it came in: the letters of a UTF-8
// path become their capitals in UTF-8, the bytes of any other path their
// Windows-1252 capitals. ResolvePath finds the file again by it.
std::string UpperCasePath(const std::string& path);

}  // namespace kelvarin::platform
