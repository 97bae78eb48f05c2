#include "emulator/usb_bridge.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "emulator/flash_catalogue.h"
#include "tests/emulator/bridge_blocks.h"
#include "tests/support/test_bytes.h"

namespace vx::emu {
namespace {

using namespace test;
using vx::test::Pattern;

// What a host's mass-storage driver sees of one command.
struct Exchange {
  bool dataStalled = false;
  Bytes data;
  std::uint8_t status = 0xEE;  // 0 passed, 1 failed, 2 phase error
  std::uint32_t residue = 0;
  std::uint32_t tag = 0;
};

class UsbBridgeTest : public testing::Test {
 protected:
  UsbBridgeTest() { bridge.Flash()->SetStatus(0x1C); }

  static Bytes Wrapper(const Bytes& cdb, bool in, std::uint32_t length, std::uint32_t tag = 0x1234) {
    Bytes w = {'U', 'S', 'B', 'C', B(tag), B(tag >> 8), B(tag >> 16), B(tag >> 24),
               B(length), B(length >> 8), B(length >> 16), B(length >> 24), B(in ? 0x80 : 0x00), 0, B(cdb.size())};
    w.resize(31, 0);
    std::copy(cdb.begin(), cdb.end(), w.begin() + 15);
    return w;
  }

  // Wrapper, data phase and status the way a host driver runs them,
  // clearing a stalled bulk IN as it would.
  Exchange Run(const Bytes& cdb, bool in, std::uint32_t length, const Bytes& out = {}) {
    Exchange x;
    EXPECT_EQ(usb.BulkOut(0x02, Wrapper(cdb, in, length)).status, UsbStatus::Ok);
    if (!in && length > 0) {
      EXPECT_EQ(usb.BulkOut(0x02, out).accepted, out.size());
    }
    if (in && length > 0) {
      const BulkReply data = usb.BulkIn(0x81, length);
      x.dataStalled = data.status == UsbStatus::Stall;
      x.data = data.data;
    }
    BulkReply status = usb.BulkIn(0x81, 13);
    if (status.status == UsbStatus::Stall) {
      x.dataStalled = true;
      ClearHalt(0x81);
      status = usb.BulkIn(0x81, 13);
    }
    if (status.data.size() != 13 || !std::equal(status.data.begin(), status.data.begin() + 4, "USBS")) return x;
    x.tag = status.data[4] | status.data[5] << 8 | status.data[6] << 16 | std::uint32_t{status.data[7]} << 24;
    x.residue = status.data[8] | status.data[9] << 8 | status.data[10] << 16 | std::uint32_t{status.data[11]} << 24;
    x.status = status.data[12];
    return x;
  }

  ControlReply Control(B type, B request, std::uint16_t value, std::uint16_t index, std::uint16_t length) {
    return usb.Control({type, request, value, index, length}, {});
  }
  void ClearHalt(B endpoint) { EXPECT_TRUE(Control(0x02, 0x01, 0, endpoint, 0).ok); }

  Bytes Sense() { return Run({0x03, 0, 0, 0, 18, 0}, true, 18).data; }

  VirtualClock clock;
  Bridge bridge{clock, PartNamed("EF 30 13")};
  UsbBridge usb{bridge, UsbIdentity{.serial = "SN42"}};
};

TEST_F(UsbBridgeTest, DescriptorsShowAMassStorageAndAVendorInterface) {
  const ControlReply device = Control(0x80, 6, 0x0100, 0, 18);
  ASSERT_TRUE(device.ok);
  EXPECT_EQ(Bytes(device.data.begin() + 8, device.data.begin() + 12), (Bytes{0x7E, 0x1B, 0xC6, 0x94}));

  const ControlReply config = Control(0x80, 6, 0x0200, 0, 255);
  ASSERT_TRUE(config.ok);
  EXPECT_EQ(config.data.size(), config.data[2] | config.data[3] << 8);
  EXPECT_EQ(config.data, (Bytes{9, 2, 41, 0, 2, 1, 0, 0x80, 250,             // configuration
                                9, 4, 0, 0, 2, 0x08, 0x06, 0x50, 0,          // mass storage, bulk-only
                                7, 5, 0x81, 2, 0x00, 0x02, 0, 7, 5, 0x02, 2, 0x00, 0x02, 0,
                                9, 4, 1, 0, 0, 0xFF, 0, 0, 0}));             // vendor class
  EXPECT_EQ(Control(0x80, 6, 0x0200, 0, 9).data.size(), 9u);                // cut to the request's length

  EXPECT_EQ(Control(0x80, 6, 0x0303, 0x0409, 255).data, (Bytes{10, 3, 'S', 0, 'N', 0, '4', 0, '2', 0}));
  EXPECT_FALSE(Control(0x80, 6, 0x0304, 0x0409, 255).ok);
  EXPECT_EQ(Control(0xA1, 0xFE, 0, 0, 1).data, Bytes{0});  // one logical unit
}

TEST_F(UsbBridgeTest, VendorRequestsReachTheBridgeAndOthersStall) {
  const ControlReply info = Control(0xC0, 0xF1, 0x7E1B, 0x0001, 16);
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(info.data, Bytes(bridge.Config().usbChipInfo.begin(), bridge.Config().usbChipInfo.end()));
  EXPECT_EQ(Control(0xC0, 0xF1, 0, 0, 2).data.size(), 2u);
  EXPECT_FALSE(Control(0xC0, 0xF2, 0, 0, 2).ok);
  EXPECT_EQ(bridge.Trace().Usb().size(), 3u);
}

TEST_F(UsbBridgeTest, VendorCommandsGoToTheBridgeWithTheirDataPhases) {
  const Exchange info = Run(ChipInfoCdb(), true, 16, {});
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(info.tag, 0x1234u);
  EXPECT_EQ(info.data, Bytes(bridge.Config().chipInfo.begin(), bridge.Config().chipInfo.end()));

  const Exchange id = Run(SpiBlock(0xE8, {0x9F}, 3), true, 3);
  EXPECT_EQ(id.data, (Bytes{0xEF, 0x30, 0x13}));

  const Bytes image = Pattern(1024, 3);
  bridge.Flash()->SetStatus(0);
  EXPECT_EQ(Run(SectorBlock(0xE6, 0x2800 / 512, 2), false, 1024, image).status, 0);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), bridge.Flash()->Array().begin() + 0x2800));
  EXPECT_EQ(bridge.CommandsReceived(), 3u);
}

TEST_F(UsbBridgeTest, TheDiskIsTheDiskImageAreaOfTheFlash) {
  auto flash = bridge.Flash()->Array();
  const Bytes image = Pattern(1024, 9);
  std::ranges::copy(image, flash.begin() + 0x2800);

  const Exchange capacity = Run({0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true, 8);
  EXPECT_EQ(capacity.data, (Bytes{0, 0, 0x03, 0xEB, 0, 0, 0x02, 0}));  // (512 KiB - 10 KiB) / 512 - 1 = 1003

  // READ(10) of block 1, padded to 12 bytes as a BIOS sends it.
  const Exchange read = Run({0x28, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0}, true, 512);
  EXPECT_EQ(read.status, 0);
  EXPECT_EQ(read.data, Bytes(image.begin() + 512, image.end()));

  const Bytes written = Pattern(512, 77);
  EXPECT_EQ(Run({0x2A, 0, 0, 0, 0x03, 0xEB, 0, 0, 1, 0}, false, 512, written).status, 0);
  EXPECT_TRUE(std::equal(written.begin(), written.end(), flash.end() - 512));

  const Exchange beyond = Run({0x28, 0, 0, 0, 0x03, 0xEB, 0, 0, 2, 0}, true, 1024);
  EXPECT_TRUE(beyond.dataStalled);
  EXPECT_EQ(beyond.status, 1);
  EXPECT_EQ(beyond.residue, 1024u);
  EXPECT_EQ(Sense()[2], 0x05);  // illegal request
  EXPECT_EQ(bridge.CommandsReceived(), 0u);
}

TEST_F(UsbBridgeTest, StandardCommandsAreAnsweredWithoutTheBridge) {
  const Exchange inquiry = Run({0x12, 0, 0, 0, 36, 0}, true, 36);
  ASSERT_EQ(inquiry.data.size(), 36u);
  EXPECT_EQ(inquiry.data[0], 0x00);  // direct access
  EXPECT_EQ(std::string(inquiry.data.begin() + 8, inquiry.data.begin() + 10), "VX");
  EXPECT_EQ(Run({0x00, 0, 0, 0, 0, 0}, false, 0).status, 0);
  EXPECT_EQ(Run({0x1A, 0, 0x3F, 0, 4, 0}, true, 4).data, (Bytes{3, 0, 0, 0}));

  const Exchange unknown = Run({0xA0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0}, true, 16);
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(Sense(), (Bytes{0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x20, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Sense()[2], 0x00);  // read once, then cleared
  EXPECT_EQ(bridge.CommandsReceived(), 0u);
}

TEST_F(UsbBridgeTest, ARefusedVendorCommandStallsItsDataAndReportsFailure) {
  const Exchange refused = Run({0xD0, 0, 0, 0, 0x1B, 0x7F}, true, 16);
  EXPECT_TRUE(refused.dataStalled);
  EXPECT_TRUE(refused.data.empty());
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(Sense()[2], 0x05);
  EXPECT_EQ(Run(ChipInfoCdb(), true, 16).status, 0);  // the next command is served

  // The bridge's own reason reaches the host: block address out of range.
  EXPECT_EQ(Run(SectorBlock(0xE5, 1024, 1), true, 512).status, 1);
  const Bytes sense = Sense();
  EXPECT_EQ(Bytes(sense.begin() + 12, sense.begin() + 14), (Bytes{0x21, 0x00}));
}

TEST_F(UsbBridgeTest, FaultsPickTheirCommandByNumberOrByTheKthSpiOpcode) {
  usb.Faults().Add(UsbFaultWhen::Command(2), UsbFaultAction::Fail);
  usb.Faults().Add(UsbFaultWhen::SpiCommand(0x06, 2), UsbFaultAction::Stall);
  EXPECT_EQ(Run(ChipInfoCdb(), true, 16).status, 0);
  EXPECT_EQ(Run(ChipInfoCdb(), true, 16).status, 1);  // number 2: refused, not carried out
  EXPECT_EQ(bridge.Trace().Scsi()[1].status, 0x02);
  EXPECT_EQ(Run(SpiBlock(0xE7, {0x06}, 0), false, 0).status, 0);
  const Exchange stalled = Run(SpiBlock(0xE7, {0x06}, 0), false, 0);
  EXPECT_TRUE(stalled.dataStalled);
  EXPECT_EQ(stalled.status, 1);
  EXPECT_TRUE(bridge.Flash()->WriteEnabled());  // a stalled command was carried out
  EXPECT_EQ(Run(SpiBlock(0xE7, {0x06}, 0), false, 0).status, 0);
}

TEST_F(UsbBridgeTest, AHungBridgeAnswersNothingUntilTheHostResetsIt) {
  usb.Faults().Add(UsbFaultWhen::SpiCommand(0x9F, 1), UsbFaultAction::Hang);
  ASSERT_EQ(usb.BulkOut(0x02, Wrapper(SpiBlock(0xE8, {0x9F}, 3), true, 3)).status, UsbStatus::Ok);
  EXPECT_EQ(usb.BulkIn(0x81, 3).status, UsbStatus::NoAnswer);
  EXPECT_EQ(usb.BulkIn(0x81, 13).status, UsbStatus::NoAnswer);
  EXPECT_EQ(usb.BulkOut(0x02, Wrapper(ChipInfoCdb(), true, 16)).status, UsbStatus::NoAnswer);
  EXPECT_EQ(bridge.CommandsReceived(), 1u);

  ASSERT_TRUE(Control(0x21, 0xFF, 0, 0, 0).ok);  // bulk-only mass storage reset
  EXPECT_EQ(Run(SpiBlock(0xE8, {0x9F}, 3), true, 3).data, (Bytes{0xEF, 0x30, 0x13}));
}

TEST_F(UsbBridgeTest, AVanishedBridgeIsGone) {
  usb.Faults().Add(UsbFaultWhen::Command(1), UsbFaultAction::Vanish);
  usb.BulkOut(0x02, Wrapper(ChipInfoCdb(), true, 16));
  EXPECT_TRUE(usb.Gone());
  EXPECT_EQ(usb.BulkIn(0x81, 16).status, UsbStatus::Stall);
  EXPECT_FALSE(Control(0x80, 6, 0x0100, 0, 18).ok);
}

TEST_F(UsbBridgeTest, AnInvalidWrapperHaltsBothEndpointsUntilAReset) {
  Bytes bad = Wrapper(ChipInfoCdb(), true, 16);
  bad[3] = 'D';
  EXPECT_EQ(usb.BulkOut(0x02, bad).status, UsbStatus::Stall);
  ClearHalt(0x81);
  ClearHalt(0x02);
  EXPECT_EQ(usb.BulkOut(0x02, Wrapper(ChipInfoCdb(), true, 16)).status, UsbStatus::Stall);
  EXPECT_EQ(Control(0x82, 0x00, 0, 0x81, 2).data, (Bytes{1, 0}));

  usb.Reset();
  EXPECT_EQ(Run(ChipInfoCdb(), true, 16).status, 0);
  EXPECT_EQ(bridge.CommandsReceived(), 1u);
}

}  // namespace
}  // namespace vx::emu
