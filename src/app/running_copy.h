// One running copy of the program per application directory: two copies
// working on the same catalog files would overwrite each other's entry
// counts and settings. A second copy is refused; it asks the first to show
// and activate its main window, then ends.
//
// The guard is an exclusive lock (flock) on the file QAV.LCK inside the
// directory: every path that reaches the directory (a second spelling, a
// symbolic link, a bind mount) meets the same file, two copies started at
// the same moment cannot both take it, and it goes with the process that
// holds it, so a crashed copy leaves nothing in the way. The holder listens
// on a local socket of the Linux abstract namespace named from the user and
// the lock file's device and inode, which every path shares too.
//
//   RunningCopy copy;
//   if (!copy.Claim(appDir)) { say so; copy.AskToShow(); return; }
//   ... when copy.Fd() is readable:
//   if (copy.TakeRequests() > 0) bring the main window to the front;
#pragma once

#include <string>

namespace kelvarin::app {

inline constexpr const char* kLockFileName = "QAV.LCK";

class RunningCopy {
 public:
  RunningCopy() = default;
  ~RunningCopy();
  RunningCopy(const RunningCopy&) = delete;
  RunningCopy& operator=(const RunningCopy&) = delete;

  // Takes the directory's lock and listens for later copies; false when
  // another copy holds the lock. A directory where the lock file can be
  // neither made nor opened (read-only) cannot have its files rewritten
  // either: it is not guarded, and the claim succeeds.
  bool Claim(const std::string& appDir);
  // After a refused claim: asks the copy holding the lock to show its main
  // window; whether it was reached.
  bool AskToShow() const;
  // The socket later copies reach (-1 when not listening), to watch for
  // reading.
  int Fd() const { return listen_; }
  // Accepts the copies waiting to be let in, without blocking; how many
  // asked for the main window.
  int TakeRequests();

 private:
  int lock_ = -1;
  int listen_ = -1;
  // The socket name (without the leading NUL of the abstract namespace).
  std::string address_;
};

}  // namespace kelvarin::app
