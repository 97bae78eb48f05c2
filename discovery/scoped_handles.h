// Owners for what discovery opens through the platform layer: each closes its
// handle on every way out of the function that opened it.
#pragma once

#include "platform/device_tree_api.h"
#include "platform/disk_api.h"
#include "platform/hub_api.h"
#include "platform/mutex_api.h"
#include "platform/platform.h"
#include "platform/registry_api.h"

namespace vx {

template <typename Handle, typename Closer>
class ScopedHandle {
 public:
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (handle_ != Handle::None) Closer{}(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle::None; }

 private:
  Handle handle_;
};

struct DestroyInfoSet {
  void operator()(platform::DeviceInfoSet set) const { platform::DeviceTree().DestroyDeviceInfoList(set); }
};
struct CloseRegistryKey {
  void operator()(platform::RegistryKey key) const { platform::Registry().Close(key); }
};
struct CloseHub {
  void operator()(platform::DeviceHandle hub) const { platform::Hubs().Close(hub); }
};
struct CloseDisk {
  void operator()(platform::DeviceHandle disk) const { platform::Disks().Close(disk); }
};

using ScopedInfoSet = ScopedHandle<platform::DeviceInfoSet, DestroyInfoSet>;
using ScopedRegistryKey = ScopedHandle<platform::RegistryKey, CloseRegistryKey>;
using ScopedHub = ScopedHandle<platform::DeviceHandle, CloseHub>;
using ScopedDisk = ScopedHandle<platform::DeviceHandle, CloseDisk>;

}  // namespace vx
