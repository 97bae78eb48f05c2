// Named mutexes, shaped after OpenMutexW / CreateMutexW / WaitForSingleObject
// / ReleaseMutex / CloseHandle. Named mutexes are shared by every process of
// the same logon that opens the same name.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/handles.h"

namespace vx::platform {

// WaitForSingleObject's INFINITE: wait without a time limit.
inline constexpr std::uint32_t kWaitInfinite = 0xFFFFFFFF;

enum class WaitResult {
  Signaled,   // WAIT_OBJECT_0: this thread now owns the mutex
  TimedOut,   // WAIT_TIMEOUT
  Abandoned,  // WAIT_ABANDONED: owner ended without releasing; caller now owns it
  Failed,     // WAIT_FAILED
};

class MutexApi {
 public:
  virtual ~MutexApi() = default;

  // OpenMutexW: the existing mutex of that name, or None.
  virtual MutexHandle Open(std::u16string_view name) = 0;
  // CreateMutexW, not initially owned: opens or creates; None on failure.
  virtual MutexHandle Create(std::u16string_view name) = 0;
  virtual WaitResult Wait(MutexHandle mutex, std::uint32_t timeoutMs) = 0;
  virtual bool Release(MutexHandle mutex) = 0;
  virtual bool Close(MutexHandle mutex) = 0;
};

}  // namespace vx::platform
