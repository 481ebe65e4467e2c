#include "app/app_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/text/path_text.h"

namespace kelvarin::app {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string WithoutTrailingSlash(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

}  // namespace

std::string ChooseAppDir(const AppDirInputs& in) {
  if (!in.appDirOverride.empty()) return WithoutTrailingSlash(in.appDirOverride);
  if (!in.programDir.empty() && in.programDirWritable) return WithoutTrailingSlash(in.programDir);
  // Relative XDG paths are to be ignored.
  if (!in.xdgDataHome.empty() && in.xdgDataHome.front() == '/')
    return WithoutTrailingSlash(in.xdgDataHome) + "/kelvarin";
  if (!in.home.empty()) return WithoutTrailingSlash(in.home) + "/.local/share/kelvarin";
  return "";
}

std::string ProgramDirectory() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return "";
  return exe.parent_path().string();
}

AppDirInputs CurrentAppDirInputs() {
  AppDirInputs in;
  in.appDirOverride = Env("KELVARIN_APPDIR");
  in.programDir = ProgramDirectory();
  in.programDirWritable = !in.programDir.empty() && access(in.programDir.c_str(), W_OK | X_OK) == 0;
  in.xdgDataHome = Env("XDG_DATA_HOME");
  in.home = Env("HOME");
  return in;
}

bool MakeDirectories(const std::string& dir) {
  if (dir.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return std::filesystem::is_directory(dir, ec);
}

std::string ResolveAppDir(std::string* error) {
  std::string dir = ChooseAppDir(CurrentAppDirInputs());
  if (dir.empty()) {
    if (error) *error = "No directory for the program's files: set KELVARIN_APPDIR or HOME.";
    return "";
  }
  if (!MakeDirectories(dir)) {
    if (error) *error = "The directory " + platform::PathText(dir) + " cannot be created.";
    return "";
  }
  return dir;
}

}  // namespace kelvarin::app
