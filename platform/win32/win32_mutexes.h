// Named mutexes on Windows: OpenMutexW, CreateMutexW, WaitForSingleObject,
// ReleaseMutex and CloseHandle. The names live in the session's local
// namespace, shared by every program of the same logon.
#pragma once

#include "platform/mutex_api.h"

namespace vx::platform::win32_backend {

class Win32Mutexes final : public MutexApi {
 public:
  MutexHandle Open(std::u16string_view name) override;
  MutexHandle Create(std::u16string_view name) override;
  WaitResult Wait(MutexHandle mutex, std::uint32_t timeoutMs) override;
  bool Release(MutexHandle mutex) override;
  bool Close(MutexHandle mutex) override;
};

}  // namespace vx::platform::win32_backend
