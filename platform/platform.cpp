#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace vx::platform {

namespace {

Platform g_current;

template <typename Api>
Api& Require(Api* api, const char* area) {
  if (api == nullptr) {
    std::fprintf(stderr, "internal error: the platform backend provides no %s\n", area);
    std::abort();
  }
  return *api;
}

}  // namespace

const Platform& Current() { return g_current; }
void Install(const Platform& platform) { g_current = platform; }

ScopedPlatform::ScopedPlatform(const Platform& platform) : previous_(g_current) { g_current = platform; }
ScopedPlatform::~ScopedPlatform() { g_current = previous_; }

ProfileApi& Profile() { return Require(g_current.profile, "profile reading"); }
FileApi& Files() { return Require(g_current.files, "file access"); }
MutexApi& Mutexes() { return Require(g_current.mutexes, "named mutexes"); }
ClockApi& Clock() { return Require(g_current.clock, "clock"); }
ScsiApi& Scsi() { return Require(g_current.scsi, "SCSI pass-through"); }
WinUsbApi& WinUsb() { return Require(g_current.winusb, "USB control transfers"); }
DeviceTreeApi& DeviceTree() { return Require(g_current.deviceTree, "device tree"); }
HubApi& Hubs() { return Require(g_current.hubs, "hub queries"); }
RegistryApi& Registry() { return Require(g_current.registry, "registry"); }
DiskApi& Disks() { return Require(g_current.disks, "disk access"); }
SystemApi& System() { return Require(g_current.system, "system information"); }

}  // namespace vx::platform
