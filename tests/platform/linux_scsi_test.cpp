#include "platform/linux/linux_scsi.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "base/text.h"

namespace vx::platform::linux_backend {
namespace {

TEST(LinuxScsi, RefusesPathsThatAreNoScsiDevice) {
  LinuxScsi scsi;
  EXPECT_EQ(scsi.Open(u"/nonexistent/vx94c6/sg0"), DeviceHandle::None);
  EXPECT_EQ(scsi.Open(u""), DeviceHandle::None);

  // A regular file opens, but the pass-through fails on it.
  char name[] = "/tmp/vx_scsi_XXXXXX";
  const int fd = ::mkstemp(name);
  ASSERT_GE(fd, 0);
  ::close(fd);
  const DeviceHandle device = scsi.Open(FromUtf8(name));
  ::unlink(name);
  ASSERT_NE(device, DeviceHandle::None);
  const std::uint8_t cdb[6] = {0xD0, 0x00, 0x00, 0x00, 0x1B, 0x7E};
  std::uint8_t data[16] = {};
  std::uint8_t status = 0x55;
  EXPECT_FALSE(scsi.PassThroughDirect(device, {cdb, 6, ScsiDirection::In, 16, data, 5}, status));
  EXPECT_EQ(status, 0x55);
  scsi.Close(device);
}

}  // namespace
}  // namespace vx::platform::linux_backend
