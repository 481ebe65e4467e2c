#include "app/running_copy.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace kelvarin::app {
namespace {

constexpr char kShowRequest = 'S';
// How long a second copy waits for the first to take its request.
constexpr int kAnswerMillis = 2000;

// The abstract address of a name; its length in *len.
sockaddr_un Address(const std::string& name, socklen_t* len) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  // sun_path[0] stays 0: the abstract namespace.
  std::memcpy(addr.sun_path + 1, name.data(), name.size());
  *len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return addr;
}

std::string AddressOf(int lockFd) {
  struct stat st {};
  if (::fstat(lockFd, &st) != 0) return "";
  char name[80];
  std::snprintf(name, sizeof name, "kelvarin-%u-%llx-%llx", static_cast<unsigned>(::getuid()),
                static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino));
  return name;
}

}  // namespace

RunningCopy::~RunningCopy() {
  // The socket first: a copy that finds the lock free finds the name free.
  if (listen_ >= 0) ::close(listen_);
  if (lock_ >= 0) ::close(lock_);
}

bool RunningCopy::Claim(const std::string& appDir) {
  if (lock_ >= 0) return true;
  // Never through a link planted at the name: the lock must lie in the
  // directory itself.
  const std::string path = appDir + "/" + kLockFileName;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return true;
  address_ = AddressOf(fd);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    // A file system without locks cannot tell: the copy runs unguarded.
    return !held;
  }
  lock_ = fd;
  if (address_.empty()) return true;
  int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (s < 0) return true;
  socklen_t len = 0;
  sockaddr_un addr = Address(address_, &len);
  // Without the socket later copies are refused all the same; only the
  // request to show the window goes unheard.
  if (::bind(s, reinterpret_cast<const sockaddr*>(&addr), len) != 0 || ::listen(s, 8) != 0) {
    ::close(s);
    return true;
  }
  listen_ = s;
  return true;
}

bool RunningCopy::AskToShow() const {
  if (address_.empty()) return false;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  socklen_t len = 0;
  sockaddr_un addr = Address(address_, &len);
  bool reached = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), len) == 0;
  if (reached) {
    ::send(fd, &kShowRequest, 1, MSG_NOSIGNAL);
    // Wait until the first copy has taken the request (it closes its end),
    // so that it is not left with a connection from a process gone.
    pollfd p{fd, POLLIN, 0};
    ::poll(&p, 1, kAnswerMillis);
  }
  ::close(fd);
  return reached;
}

int RunningCopy::TakeRequests() {
  if (listen_ < 0) return 0;
  int requests = 0;
  for (;;) {
    int c = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) break;
    // The request follows the connection at once; a copy that sends nothing
    // within a moment asked for nothing.
    pollfd p{c, POLLIN, 0};
    char request = 0;
    if (::poll(&p, 1, 200) > 0 && ::recv(c, &request, 1, 0) == 1 && request == kShowRequest) ++requests;
    ::close(c);
  }
  return requests;
}

}  // namespace kelvarin::app
