// Names that become file names: a catalog's (NAME.DAT, NAME.SET...), a
// report format's (NAME.FMT) and an export's. Such a name comes from the
// name prompt, from QAV.INI, from a catalog's settings file or from a
// directory listing; whatever its source it must name a file in its own
// directory, so it is held to what the name prompt allows: 1 to 8 letters
// and digits. Letters are those of Windows-1252 (accented ones too, as a
// catalog made by another program may be named); blanks, dots, separators
// and everything else are refused, so no name reaches outside its folder.
#pragma once

#include <string>
#include <vector>

namespace kelvarin::platform {
class FileSystem;
}

namespace kelvarin::store {

inline constexpr size_t kMaxFileStemLength = 8;

// The name (Windows-1252) is 1 to 8 letters and digits.
bool IsValidFileStem(const std::string& name);

// The refusal shown for such a name: kind is "catalog", "report format"...
std::string InvalidNameMessage(const std::string& kind, const std::string& name);

// A file name as the disk spells it: the name's Windows-1252 text in UTF-8.
std::string StemOnDisk(const std::string& name);
// The program's Windows-1252 name for a stem read from the disk; "" when the
// stem has characters Windows-1252 lacks, or is not UTF-8.
std::string StemFromDisk(const std::string& stem);

// The catalogs of a directory: each NAME.SET beside a NAME.DAT (extensions
// in any case) whose name, read as UTF-8, is a valid one; sorted without
// regard to case.
std::vector<std::string> ListCatalogNames(platform::FileSystem& fs, const std::string& dataDir);

}  // namespace kelvarin::store
