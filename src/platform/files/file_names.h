// Every file name the program makes, and the one rule for the names a user
// gives, in one place: no other code puts a file name together. The store,
// the report formats, the dBase III exchange, the key index library and the
// file layer's own rewrites all take their names from here.
//
//   DIR/NAME.DAT .SET .MEM .MCR   a catalog: data, definition and settings,
//                                 memos, macros
//   DIR/NAMEXX01.WDX              the key index of field 1: the first six
//                                 characters of the catalog's name, padded
//                                 with X, then the field number
//   DIR/NAME-01.WDX               the same when the first name belongs to
//                                 another catalog that shares six characters
//   DIR/NAME.FMT                  a report format
//   DIR/QAV.INI                   the program's settings
//   DIR/NAME.DBF                  a dBase III export; an ASCII file is
//                                 offered as DIR/NAME (the dialog adds .txt)
//   FILE.kvtmp-XXXXXX             FILE being rewritten whole
//   FILE.WDX.new-XXXXXX           a key index being rebuilt
//   DIR/NAME.kvimp-XXXXXX.SET .DAT  a catalog being imported
//
// XXXXXX stands for six letters and digits that make the name unique: such a
// file is only ever created anew (never opened where it stands), so no link
// or file planted at a foreseeable name is followed or overwritten. A crash
// leaves them behind; LeftoverKind tells them apart so that they are cleared
// away when a catalog next opens.
//
// Names a user gives (catalogs, report formats, exports) are 1 to 8 letters
// and digits; letters are those of Windows-1252, accented ones too. They
// are Windows-1252 in memory and spelt in UTF-8 on disk, the same on every
// path that writes or opens them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarin::platform {

class FileSystem;

// ---- the name rule ----------------------------------------------------
inline constexpr size_t kMaxNameLength = 8;

// A digit or a Windows-1252 letter: what a name may hold, and what the name
// prompt lets be typed.
bool IsNameCharacter(unsigned char c);
// 1 to 8 name characters: nothing that could lead outside the directory.
bool IsValidName(std::string_view name);

// The name as the disk spells it (UTF-8), and back; NameFromDisk gives ""
// when the stem is not UTF-8 or holds a character Windows-1252 lacks.
std::string NameOnDisk(std::string_view name);
std::string NameFromDisk(std::string_view stem);

// ---- the program's files ----------------------------------------------
inline constexpr char kDataExt[] = ".DAT";
inline constexpr char kSettingsExt[] = ".SET";
inline constexpr char kMemoExt[] = ".MEM";
inline constexpr char kMacroExt[] = ".MCR";
inline constexpr char kFormatExt[] = ".FMT";

// dir/NAME + ext (ext with its dot, "" for the path without one).
std::string CatalogFile(const std::string& dir, std::string_view name, std::string_view ext);
// dir/NAMEXX01.WDX for field slot 0.
std::string SharedIndexFile(const std::string& dir, std::string_view catalogName, int slot);
// dir/NAME-01.WDX for field slot 0: no six-character name can take it.
std::string OwnIndexFile(const std::string& dir, std::string_view catalogName, int slot);
std::string ReportFormatFile(const std::string& dir, std::string_view name);
// NAME.FMT alone.
std::string ReportFormatFileName(std::string_view name);
// The name (upper case) a file of a directory listing stands for with the
// extension ext (kFormatExt, kSettingsExt...) spelt in any letter case;
// nullopt for other files. Files other programs wrote are found so, in any
// letter case, and with names in their own code page read as ours.
std::optional<std::string> NameOfFile(std::string_view file, std::string_view ext);
std::string ProgramSettingsFile(const std::string& dir);
std::string Db3ExportFile(const std::string& dir, std::string_view name);
// What the ASCII file's save dialog offers: dir/NAME, without extension.
std::string AsciiFileOffer(const std::string& dir, std::string_view catalogName);

// The catalogs of a directory: each NAME.SET beside a NAME.DAT (extensions
// in any case) whose name, read as UTF-8, is a valid one; sorted without
// regard to case. Files being written or imported are no catalogs.
std::vector<std::string> ListCatalogNames(FileSystem& fs, const std::string& dir);

// ---- temporary names --------------------------------------------------
inline constexpr size_t kUniquePartLength = 6;
// Each is completed by six unique letters and digits (and for an import by
// the catalog file's extension).
std::string RewriteTempPrefix(const std::string& path);
std::string IndexRebuildTempPrefix(const std::string& indexPath);
std::string ImportTempPrefix(const std::string& dir, std::string_view catalogName);

enum class Leftover {
  None,
  Temporary,       // a rewrite or a rebuild cut short: of no use
  ImportSettings,  // an import cut short while it built the catalog
  ImportData,      // an import cut short after its settings were put in place
};
// What a file of a directory listing is; for the two kinds of an import,
// *stem is the name of the catalog being imported as the disk spells it.
Leftover LeftoverKind(std::string_view file, std::string* stem = nullptr);

}  // namespace kelvarin::platform
