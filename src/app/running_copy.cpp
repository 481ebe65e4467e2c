#include "app/running_copy.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace kelvarin::app {
namespace {

constexpr char kShowRequest = 'S';
// How long a second copy waits for the first to take its request.
constexpr int kAnswerMillis = 2000;

// FNV-1a: the same in every build of the program, unlike std::hash.
uint64_t Fnv1a(const std::string& text) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

// The abstract address; its length in *len.
sockaddr_un Address(const std::string& appDir, socklen_t* len) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::string name = RunningCopyAddress(appDir);
  // sun_path[0] stays 0: the abstract namespace.
  std::memcpy(addr.sun_path + 1, name.data(), name.size());
  *len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return addr;
}

}  // namespace

std::string RunningCopyAddress(const std::string& appDir) {
  std::error_code ec;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(appDir, ec);
  std::string dir = ec ? appDir : canonical.string();
  char name[64];
  std::snprintf(name, sizeof name, "kelvarin-%u-%016llx", static_cast<unsigned>(::getuid()),
                static_cast<unsigned long long>(Fnv1a(dir)));
  return name;
}

bool AskRunningCopyToShow(const std::string& appDir) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  socklen_t len = 0;
  sockaddr_un addr = Address(appDir, &len);
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

RunningCopyListener::~RunningCopyListener() {
  if (fd_ >= 0) ::close(fd_);
}

bool RunningCopyListener::Listen(const std::string& appDir) {
  if (fd_ >= 0) return true;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  socklen_t len = 0;
  sockaddr_un addr = Address(appDir, &len);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), len) != 0 || ::listen(fd, 8) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

int RunningCopyListener::TakeRequests() {
  if (fd_ < 0) return 0;
  int requests = 0;
  for (;;) {
    int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
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
