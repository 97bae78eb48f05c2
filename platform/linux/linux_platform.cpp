#include "platform/linux/linux_platform.h"

#include "platform/ini_profile.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_mutexes.h"
#include "platform/linux/linux_scsi.h"

namespace vx::platform::linux_backend {

namespace {

struct LinuxAreas {
  LinuxFiles files;
  IniProfile profile{files};
  LinuxMutexes mutexes;
  LinuxClock clock;
  LinuxScsi scsi;
  Platform apis;

  LinuxAreas() {
    apis.files = &files;
    apis.profile = &profile;
    apis.mutexes = &mutexes;
    apis.clock = &clock;
    apis.scsi = &scsi;
  }
};

}  // namespace

const Platform& LinuxPlatform() {
  // Never destroyed: a thread still holding a named mutex at exit must keep
  // its mapping, or the kernel could not mark the mutex abandoned for the
  // other processes that share it.
  static LinuxAreas* const areas = new LinuxAreas;
  return areas->apis;
}

}  // namespace vx::platform::linux_backend
