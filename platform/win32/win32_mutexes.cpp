#include "platform/win32/win32_mutexes.h"

#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

MutexHandle Win32Mutexes::Open(std::u16string_view name) {
  const auto wide = WideName(name);
  if (!wide) return MutexHandle::None;
  return FromNative<MutexHandle>(::OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, wide->c_str()));
}

MutexHandle Win32Mutexes::Create(std::u16string_view name) {
  const auto wide = WideName(name);
  if (!wide) return MutexHandle::None;
  return FromNative<MutexHandle>(::CreateMutexW(nullptr, FALSE, wide->c_str()));
}

WaitResult Win32Mutexes::Wait(MutexHandle mutex, std::uint32_t timeoutMs) {
  if (mutex == MutexHandle::None) return WaitResult::Failed;
  switch (::WaitForSingleObject(ToNative(mutex), timeoutMs)) {
    case WAIT_OBJECT_0:
      return WaitResult::Signaled;
    case WAIT_ABANDONED:
      return WaitResult::Abandoned;
    case WAIT_TIMEOUT:
      return WaitResult::TimedOut;
    default:
      return WaitResult::Failed;
  }
}

bool Win32Mutexes::Release(MutexHandle mutex) {
  return mutex != MutexHandle::None && ::ReleaseMutex(ToNative(mutex)) != FALSE;
}

bool Win32Mutexes::Close(MutexHandle mutex) {
  return mutex != MutexHandle::None && ::CloseHandle(ToNative(mutex)) != FALSE;
}

}  // namespace vx::platform::win32_backend
