// Another process holding a named mutex: a forked child that takes the mutex
// through its own LinuxMutexes, then keeps it until told to release it or
// until it is killed.
#pragma once

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/linux/linux_mutexes.h"

namespace vx::testing {

class MutexHolderProcess {
 public:
  explicit MutexHolderProcess(std::u16string_view name) {
    int ready[2];
    int command[2];
    if (::pipe(ready) != 0 || ::pipe(command) != 0) std::abort();
    child_ = ::fork();
    if (child_ < 0) std::abort();
    if (child_ == 0) RunChild(name, ready[1], command[0]);
    ::close(ready[1]);
    ::close(command[0]);
    command_ = command[1];
    char status = 0;
    held_ = ::read(ready[0], &status, 1) == 1 && status == 'H';
    ::close(ready[0]);
  }

  ~MutexHolderProcess() {
    if (child_ > 0) Kill();
    ::close(command_);
  }
  MutexHolderProcess(const MutexHolderProcess&) = delete;
  MutexHolderProcess& operator=(const MutexHolderProcess&) = delete;

  bool Held() const { return held_; }

  // The child releases the mutex and exits; true when it did so cleanly.
  bool ReleaseAndExit() {
    const char release = 'R';
    if (::write(command_, &release, 1) != 1) return false;
    return Reap() == 0;
  }

  // The child dies holding the mutex.
  void Kill() {
    ::kill(child_, SIGKILL);
    Reap();
  }

 private:
  [[noreturn]] static void RunChild(std::u16string_view name, int ready, int command) {
    platform::linux_backend::LinuxMutexes mutexes;
    const platform::MutexHandle mutex = mutexes.Create(name);
    const bool held = mutex != platform::MutexHandle::None &&
                      mutexes.Wait(mutex, platform::kWaitInfinite) == platform::WaitResult::Signaled;
    const char status = held ? 'H' : 'F';
    if (::write(ready, &status, 1) != 1) ::_exit(2);
    char order = 0;
    if (::read(command, &order, 1) == 1 && order == 'R' && mutexes.Release(mutex)) ::_exit(0);
    ::_exit(1);
  }

  int Reap() {
    int status = 0;
    ::waitpid(child_, &status, 0);
    child_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  pid_t child_ = 0;
  int command_ = -1;
  bool held_ = false;
};

}  // namespace vx::testing
