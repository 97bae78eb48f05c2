// The platform layer: the only code that touches the operating system. Each
// area is a small interface shaped after the Windows calls it stands for; a
// backend (linux, win32, sim) provides one object per area, and the program
// installs one backend's set at start-up (tests install the simulated one).
#pragma once

namespace vx::platform {

class ProfileApi;
class FileApi;
class MutexApi;
class ClockApi;
class ScsiApi;        // device open + SCSI pass-through
class WinUsbApi;      // device open + USB control transfer
class DeviceTreeApi;  // SetupAPI device information sets + configuration manager
class HubApi;         // USB hub queries
class RegistryApi;    // registry reading
class DiskApi;        // sector 0, drive layout, logical-drive mask
class SystemApi;      // platform version

struct Platform {
  ProfileApi* profile = nullptr;
  FileApi* files = nullptr;
  MutexApi* mutexes = nullptr;
  ClockApi* clock = nullptr;
  ScsiApi* scsi = nullptr;
  WinUsbApi* winusb = nullptr;
  DeviceTreeApi* deviceTree = nullptr;
  HubApi* hubs = nullptr;
  RegistryApi* registry = nullptr;
  DiskApi* disks = nullptr;
  SystemApi* system = nullptr;
};

// The installed backend. Areas a backend does not provide stay null; using
// one of those is a programming error and aborts with a message.
const Platform& Current();
void Install(const Platform& platform);

// Installs a backend for the lifetime of the object and restores the previous
// one afterwards (tests, the simulate mode).
class ScopedPlatform {
 public:
  explicit ScopedPlatform(const Platform& platform);
  ~ScopedPlatform();
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

 private:
  Platform previous_;
};

ProfileApi& Profile();
FileApi& Files();
MutexApi& Mutexes();
ClockApi& Clock();
ScsiApi& Scsi();
WinUsbApi& WinUsb();
DeviceTreeApi& DeviceTree();
HubApi& Hubs();
RegistryApi& Registry();
DiskApi& Disks();
SystemApi& System();

}  // namespace vx::platform
