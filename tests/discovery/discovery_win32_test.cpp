// The device search over the real Windows calls on a machine without
// bridges (under Wine, without USB devices at all): it finds none, and every
// device information set, handle and key it opened on the way is closed.
#include <gtest/gtest.h>

#include "bridge/device_record.h"
#include "discovery/device_table.h"
#include "platform/native_platform.h"
#include "tests/platform/win32_handle_count.h"

namespace vx {
namespace {

TEST(Win32Discovery, FindsNoBridgeAndClosesEverything) {
  const platform::ScopedPlatform scoped(platform::NativePlatform());
  const long before = test::OpenHandleCount();
  ASSERT_GE(before, 0);
  DeviceRecord* table = nullptr;
  std::int32_t count = -1;
  RefreshDevices(table, count);
  EXPECT_EQ(count, 0);
  ReleaseDevices(table, count);
  EXPECT_EQ(table, nullptr);
  EXPECT_EQ(test::OpenHandleCount(), before);
}

}  // namespace
}  // namespace vx
