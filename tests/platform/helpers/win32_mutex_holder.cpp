// A second process for the named-mutex tests on Windows. It takes the mutex
// named on its command line and answers one character on standard output:
// 'H' when it got it, 'A' when it got it abandoned by an earlier owner, 'F'
// when it failed. Then it waits for one order on standard input: 'R'
// releases the mutex and exits with 0; anything else, or the end of the
// input, exits while holding it, which abandons it.
#include <cstdio>

#include "base/text.h"
#include "platform/win32/win32_mutexes.h"

int main(int argc, char** argv) {
  using namespace vx::platform;
  if (argc != 2) return 2;
  win32_backend::Win32Mutexes mutexes;
  const MutexHandle mutex = mutexes.Create(vx::FromUtf8(argv[1]));
  const WaitResult result = mutexes.Wait(mutex, kWaitInfinite);
  std::fputc(result == WaitResult::Signaled ? 'H' : result == WaitResult::Abandoned ? 'A' : 'F', stdout);
  std::fflush(stdout);
  return std::getchar() == 'R' && mutexes.Release(mutex) ? 0 : 1;
}
