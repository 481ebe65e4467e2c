// Where the program keeps its files on Linux.
//
// The application directory holds QAV.INI, the report formats and (as the
// data directory) the catalogs. It is, in this order:
//   1. $KELVARIN_APPDIR when set and not empty;
//   2. the directory of the program file when the user may write there (a
//      program run from where it was built or unpacked);
//   3. otherwise (an installed program) $XDG_DATA_HOME/kelvarin, or
//      $HOME/.local/share/kelvarin when XDG_DATA_HOME is unset or not an
//      absolute path.
// The chosen directory is created when it is missing.
#pragma once

#include <string>

namespace kelvarin::app {

struct AppDirInputs {
  std::string appDirOverride;  // KELVARIN_APPDIR
  std::string programDir;      // "" when unknown
  bool programDirWritable = false;
  std::string xdgDataHome;  // XDG_DATA_HOME
  std::string home;         // HOME
};

// The choice described above; "" when nothing can be found (no program
// directory that can be written and no home).
std::string ChooseAppDir(const AppDirInputs& in);

// The inputs as the running process sees them.
AppDirInputs CurrentAppDirInputs();

// The directory of the running program file ("" when unknown).
std::string ProgramDirectory();

// Creates the directory and its parents; true when it exists afterwards.
bool MakeDirectories(const std::string& dir);

// ChooseAppDir(CurrentAppDirInputs()), created. On failure "" and *error
// tells why.
std::string ResolveAppDir(std::string* error);

}  // namespace kelvarin::app
