// The requests against an emulated bridge on the simulated machine, which
// counts every handle and mutex.
#include <gtest/gtest.h>

#include "emulator/bridge.h"
#include "emulator/flash_catalogue.h"
#include "platform/sim/sim_platform.h"
#include "tests/transport/fake_bridge_apis.h"
#include "transport/usb_requests.h"
#include "transport/vendor_commands.h"

namespace vx {
namespace {

using test::Bytes;
using test::Lines;

constexpr char16_t kMutexName[] = u"[Device0000]";
constexpr char16_t kDiskPath[] = u"\\\\?\\usbstor#disk&ven_vx#1";
constexpr char16_t kWinUsbPath[] = u"\\\\?\\usb#vid_1b7e&pid_94c6#2";

struct EmulatedBridge {
  EmulatedBridge() {
    sim.AttachBridge(bridge, kDiskPath, kWinUsbPath);
    device.mutex = sim.Mutexes().Create(kMutexName);
    SetText(device.diskPath, kDiskPath);
    SetText(device.winusbPath, kWinUsbPath);
  }
  ~EmulatedBridge() { sim.Mutexes().Close(device.mutex); }

  // Once another holder has let go, no mutex, handle or interface is left held.
  bool AllReleased() {
    sim.Mutexes().ReleaseByForeignOwner(kMutexName);
    return !sim.Mutexes().IsOwned(kMutexName) && sim.Mutexes().FailedReleases() == 0 && sim.Scsi().OpenHandles() == 0 &&
           sim.Scsi().BadCloses() == 0 && sim.WinUsb().OpenDevices() == 0 && sim.WinUsb().OpenInterfaces() == 0 &&
           sim.WinUsb().BadReleases() == 0;
  }

  platform::sim::SimPlatform sim;
  platform::ScopedPlatform scoped{sim.Apis()};
  emu::Bridge bridge{sim.Clock(), emu::PartForRow(46)};
  DeviceRecord device{};
  test::TraceCapture trace;
};

// Every failure: false, the caller's buffer untouched, everything released.
// A request that got as far as the interface path is traced as a failure;
// the cause is told in one line. (Requests that succeed reach the emulated
// bridge in the probe tests.)
TEST(EmulatedBridge, RequestsFailCleanly) {
  const struct {
    const char* name;
    void (*arrange)(EmulatedBridge&);
    int waits;
    bool traced;
    std::string cause;
    bool (*request)(const DeviceRecord&, std::uint8_t*) = ReadChipInfoUsb;
  } cases[] = {
      {"SCSI, lock held elsewhere", [](EmulatedBridge& e) { e.sim.Mutexes().HoldByForeignOwner(kMutexName); }, 1, false,
       "bridge lock: not obtained within 5000 ms; another program or thread is using the bridge\n", ReadChipInfo},
      {"no WinUSB path", [](EmulatedBridge& e) { SetText(e.device.winusbPath, u""); }, 0, false, ""},
      {"no mutex", [](EmulatedBridge& e) { e.device.mutex = platform::MutexHandle::None; }, 0, false,
       "bridge lock: the bridge has no lock to take; nothing was sent\n"},
      {"bridge unplugged", [](EmulatedBridge& e) { e.bridge.Unplug(); }, 1, true,
       "USB C0 F1 7E1B 0001 16: the interface path did not open (error 2)\n"},
      {"no WinUSB driver", [](EmulatedBridge& e) { e.bridge.Config().winusbDriver = false; }, 1, true,
       "USB C0 F1 7E1B 0001 16: the WinUSB interface did not initialise (error 1)\n"},
      {"transfer fails", [](EmulatedBridge& e) { e.bridge.Faults().OnUsbRequest(emu::UsbFault::Fails()); }, 1, true,
       "USB C0 F1 7E1B 0001 16: the control transfer failed (error 31)\n"},
      {"short transfer", [](EmulatedBridge& e) { e.bridge.Faults().OnUsbRequest(emu::UsbFault::ShortTransfer(15)); }, 1,
       true, "USB C0 F1 7E1B 0001 16: only 15 bytes arrived\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EmulatedBridge e;
    c.arrange(e);
    Bytes out(16, 0xFF);
    EXPECT_FALSE(c.request(e.device, out.data()));
    EXPECT_EQ(out, Bytes(16, 0xFF));
    EXPECT_EQ(e.sim.Mutexes().WaitCount(kMutexName), c.waits);
    EXPECT_EQ(e.trace.lines, c.traced ? Lines{"USB C0 F1 7E1B 0001 16 -> fail"} : Lines{});
    EXPECT_EQ(e.trace.CauseText(), c.cause);
    EXPECT_TRUE(e.AllReleased());
  }
}

}  // namespace
}  // namespace vx
