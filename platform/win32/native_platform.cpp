#include "platform/native_platform.h"

#include <windows.h>

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_device_tree.h"
#include "platform/win32/win32_disks.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_hubs.h"
#include "platform/win32/win32_mutexes.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_scsi.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_winusb.h"

namespace vx::platform {

namespace {

struct Win32Areas {
  win32_backend::Win32Profile profile;
  win32_backend::Win32Files files;
  win32_backend::Win32Mutexes mutexes;
  win32_backend::Win32Clock clock;
  win32_backend::Win32Scsi scsi;
  win32_backend::Win32WinUsb winusb;
  win32_backend::Win32DeviceTree deviceTree;
  win32_backend::Win32Hubs hubs;
  win32_backend::Win32Registry registry;
  win32_backend::Win32Disks disks;
  win32_backend::Win32System system;
  Platform apis{.profile = &profile,
                .files = &files,
                .mutexes = &mutexes,
                .clock = &clock,
                .scsi = &scsi,
                .winusb = &winusb,
                .deviceTree = &deviceTree,
                .hubs = &hubs,
                .registry = &registry,
                .disks = &disks,
                .system = &system};
};

}  // namespace

const Platform& NativePlatform() {
  static Win32Areas areas;
  return areas.apis;
}

std::u16string ProgramFile() {
  // Paths reach 32767 characters at most.
  for (std::wstring path(MAX_PATH, L'\0'); path.size() <= 65536; path.resize(path.size() * 2)) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A full buffer means the path may have been cut.
    if (length < path.size()) return std::u16string(path.begin(), path.begin() + length);
  }
  return {};
}

}  // namespace vx::platform
