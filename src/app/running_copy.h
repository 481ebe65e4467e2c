// One running copy of the program per application directory: two copies
// working on the same catalog files would overwrite each other's entry
// counts and settings. A second copy asks the first to show and activate its
// main window, then ends.
//
// The copies meet at a local socket of the Linux abstract namespace named
// from the user and the application directory; it goes away with the
// process that listens on it, so a crashed copy leaves nothing behind.
//
//   if (AskRunningCopyToShow(appDir)) return 0;   // the other copy shows
//   RunningCopyListener listener;
//   listener.Listen(appDir);
//   ... when listener.Fd() is readable:
//   if (listener.TakeRequests() > 0) bring the main window to the front;
#pragma once

#include <string>

namespace kelvarin::app {

// The socket name for a directory (without the leading NUL of the abstract
// namespace).
std::string RunningCopyAddress(const std::string& appDir);

// True when a copy is listening for appDir; it has then been asked to show
// its main window.
bool AskRunningCopyToShow(const std::string& appDir);

class RunningCopyListener {
 public:
  RunningCopyListener() = default;
  ~RunningCopyListener();
  RunningCopyListener(const RunningCopyListener&) = delete;
  RunningCopyListener& operator=(const RunningCopyListener&) = delete;

  // Starts listening for later copies; false when the address is taken (a
  // copy started at the same moment) or no socket can be made.
  bool Listen(const std::string& appDir);
  // The listening socket (-1 when not listening), to watch for reading.
  int Fd() const { return fd_; }
  // Accepts the copies waiting to be let in, without blocking; how many
  // asked for the main window.
  int TakeRequests();

 private:
  int fd_ = -1;
};

}  // namespace kelvarin::app
