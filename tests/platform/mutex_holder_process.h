// Another process holding a named mutex: a forked child that takes the mutex
// through its own LinuxMutexes, then keeps it until told to release it or
// until it is killed.
#pragma once

#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/linux/linux_mutexes.h"

namespace vx::testing {

class MutexHolderProcess {
 public:
  explicit MutexHolderProcess(std::u16string_view name) {
    int link[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, link) != 0 || (child_ = ::fork()) < 0) std::abort();
    if (child_ == 0) {  // take the mutex, say so, give it back when told
      platform::linux_backend::LinuxMutexes mutexes;
      const platform::MutexHandle mutex = mutexes.Create(name);
      const bool held = mutexes.Wait(mutex, platform::kWaitInfinite) == platform::WaitResult::Signaled;
      char order = 0;
      const bool told = ::write(link[1], held ? "H" : "F", 1) == 1 && ::read(link[1], &order, 1) == 1;
      ::_exit(told && order == 'R' && mutexes.Release(mutex) ? 0 : 1);
    }
    ::close(link[1]);
    link_ = link[0];
    char status = 0;
    held_ = ::read(link_, &status, 1) == 1 && status == 'H';
  }
  ~MutexHolderProcess() {
    Kill();
    ::close(link_);
  }

  bool Held() const { return held_; }
  // The child releases the mutex and exits; true when it did so cleanly.
  bool ReleaseAndExit() { return ::write(link_, "R", 1) == 1 && Reap() == 0; }
  // The child dies holding the mutex.
  void Kill() {
    if (child_ > 0) ::kill(child_, SIGKILL);
    Reap();
  }

 private:
  int Reap() {
    int status = 0;
    if (child_ > 0 && ::waitpid(child_, &status, 0) != child_) status = -1;
    child_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  pid_t child_ = 0;
  int link_ = -1;
  bool held_ = false;
};

}  // namespace vx::testing
