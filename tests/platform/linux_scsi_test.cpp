#include "platform/linux/linux_scsi.h"

#include <gtest/gtest.h>

namespace vx::platform::linux_backend {
namespace {

const std::uint8_t kCdb[16] = {0xE8, 0x01, 0x00, 0x00, 0x1B, 0x7E, 0x00, 0x03, 0x9F};
std::uint8_t g_data[3];

// The kernel's part played by a stand-in: what the sender asks of SG_IO and
// how it reads the answer. Host and driver errors (time-outs among them) fail
// the request; sense data beside a check condition is the device's answer.
TEST(LinuxScsi, FillsTheSgIoHeaderAndReadsItsAnswer) {
  const struct {
    const char* what;
    ScsiDirection direction;
    std::uint32_t length;
    int sgDirection, ioctlResult;
    unsigned short host, driver;
    std::uint8_t status;
    int resid;
    bool carried;
    std::uint32_t transferred;
  } cases[] = {
      {"in", ScsiDirection::In, 3, SG_DXFER_FROM_DEV, 0, 0, 0, 1, 0, true, 3},
      {"out", ScsiDirection::Out, 3, SG_DXFER_TO_DEV, 0, 0, 0, 0, 0, true, 3},
      {"without data", ScsiDirection::Out, 0, SG_DXFER_NONE, 0, 0, 0, 0, 0, true, 0},
      {"without data, asked as in", ScsiDirection::In, 0, SG_DXFER_NONE, 0, 0, 0, 0, 0, true, 0},
      {"check condition with sense", ScsiDirection::In, 3, SG_DXFER_FROM_DEV, 0, 0, 0x08, 2, 0, true, 3},
      {"one byte short", ScsiDirection::In, 3, SG_DXFER_FROM_DEV, 0, 0, 0, 0, 1, true, 2},
      {"ioctl refused", ScsiDirection::In, 3, SG_DXFER_FROM_DEV, -1, 0, 0, 0, 0, false, 0},
      {"host time-out", ScsiDirection::In, 3, SG_DXFER_FROM_DEV, 0, 0x03, 0, 0, 0, false, 0},
      {"driver time-out", ScsiDirection::In, 3, SG_DXFER_FROM_DEV, 0, 0, 0x06, 0, 0, false, 0},
      {"driver error with sense", ScsiDirection::In, 3, SG_DXFER_FROM_DEV, 0, 0, 0x0C, 2, 0, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sg_io_hdr_t seen{};
    LinuxScsi scsi([&](int, sg_io_hdr_t& header) {
      seen = header;
      header.host_status = c.host;
      header.driver_status = c.driver;
      header.status = c.status;
      header.resid = c.resid;
      return c.ioctlResult;
    });
    const DeviceHandle device = scsi.Open(u"/dev/null");
    ASSERT_NE(device, DeviceHandle::None);
    ScsiCompletion completion{0x55, 0x55};
    EXPECT_EQ(scsi.PassThroughDirect(device, {kCdb, 16, c.direction, c.length, c.length ? g_data : nullptr, 5},
                                     completion),
              c.carried);
    scsi.Close(device);
    EXPECT_EQ(seen.interface_id, 'S');
    EXPECT_EQ(seen.dxfer_direction, c.sgDirection);
    EXPECT_EQ(seen.dxfer_len, c.length);
    EXPECT_EQ(seen.dxferp, c.length ? g_data : nullptr);
    EXPECT_EQ(seen.cmdp, kCdb);
    EXPECT_EQ(seen.cmd_len, 16);
    EXPECT_EQ(seen.timeout, 5000u);  // milliseconds
    EXPECT_EQ(completion.status, c.carried ? c.status : 0x55);
    EXPECT_EQ(completion.transferred, c.carried ? c.transferred : 0x55u);
  }
}

}  // namespace
}  // namespace vx::platform::linux_backend
