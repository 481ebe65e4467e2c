#include "store/map_guard.h"

#include <atomic>
#include <csetjmp>
#include <csignal>
#include <cstring>

namespace kelvarin::store {
namespace {

// Where a fault in the copy under way on this thread jumps to; null outside
// a copy. Initial-exec: the handler must reach it without allocating.
__attribute__((tls_model("initial-exec"))) thread_local sigjmp_buf* tCopy = nullptr;
struct sigaction gBefore {};

void OnBusError(int, siginfo_t*, void*) {
  if (sigjmp_buf* copy = tCopy) {
    tCopy = nullptr;
    siglongjmp(*copy, 1);
  }
  // Not a guarded copy: the handling there was before takes the fault when
  // the access is made again on return.
  ::sigaction(SIGBUS, &gBefore, nullptr);
}

bool Install() {
  struct sigaction action {};
  action.sa_sigaction = OnBusError;
  sigemptyset(&action.sa_mask);
  // SA_NODEFER: the jump out of the handler leaves SIGBUS unblocked, so the
  // copy need not save the signal mask (a system call) every time.
  action.sa_flags = SA_SIGINFO | SA_NODEFER;
  return ::sigaction(SIGBUS, &action, &gBefore) == 0;
}

}  // namespace

bool CopyFromMap(uint8_t* to, const uint8_t* from, size_t len) {
  static const bool installed = Install();
  if (!installed) return false;
  sigjmp_buf landing;
  if (sigsetjmp(landing, 0) != 0) return false;
  tCopy = &landing;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  std::memcpy(to, from, len);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  tCopy = nullptr;
  return true;
}

}  // namespace kelvarin::store
